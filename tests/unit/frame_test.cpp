// The module frame: attach, per-update step, release, the catalogue and the "Annunciator-T" parameter.
#include <cmath>
#include <limits>

#include "frame/afcp_service.h"
#include "frame/catalogue.h"
#include "modes/command_table.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

using namespace bits;

ZolmCounts counts() {
    ZolmCounts c{};
    zolm_test_counts(&c);
    return c;
}

class AttachCycle : public ModuleTest {};

TEST_F(AttachCycle, FirstUpdateAttachesAndRegistersButSamplesNothing) {
    gauge_headers[kGaugeAFCP].parameter_string = "afcp.cfg";
    StateBlock* block = attach();
    gauge_headers[kGaugeAFCP].parameter_string = nullptr;
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block, zolm_test_block());
    EXPECT_EQ(counts().attach_calls, 1);
    EXPECT_EQ(counts().register_calls, 1);
    EXPECT_EQ(counts().last_register_count, 41);
    EXPECT_EQ(zolm_test_table(), command_table);
    EXPECT_EQ(zolm_test_last_services(), host.table);
    int32_t was_null = 1;
    EXPECT_STREQ(zolm_test_last_parameter(&was_null), "afcp.cfg");
    EXPECT_EQ(was_null, 0);
    EXPECT_TRUE(host.reads.empty());
    EXPECT_EQ(block->engaged, 0u) << "bits are first kept on the second update";
}

TEST_F(AttachCycle, LaterUpdatesSampleTheFourVariablesInOrder) {
    attach();
    update(27.5, 1.0, 55.0, 70.0);
    EXPECT_EQ(host.reads, (std::vector<int32_t>{755, 131, 61, 614}));
    EXPECT_EQ(double{module.supply_sample.value}, 27.5);
    EXPECT_EQ(double{module.airspeed_sample.value}, 55.0);
    EXPECT_EQ(double{module.radar_height_sample.value}, 70.0);
    EXPECT_EQ(counts().attach_calls, 1);
}

TEST_F(AttachCycle, NullAttachIsRetriedOnEveryUpdate) {
    zolm_test_fail_attach(1);
    update();
    update();
    EXPECT_EQ(module.block, nullptr);
    EXPECT_EQ(counts().attach_calls, 2);
    EXPECT_EQ(counts().register_calls, 2) << "registration follows every attach attempt";
    EXPECT_TRUE(host.reads.empty());
    zolm_test_fail_attach(0);
    update();
    EXPECT_NE(module.block, nullptr);
    EXPECT_EQ(counts().register_calls, 3);
}

TEST_F(AttachCycle, DisconnectReleasesEvenWithoutABlockAndTheNextUpdateAttachesAgain) {
    afcp_service(&gauge_headers[kGaugeAFCP], kDisconnect, 0);
    EXPECT_EQ(counts().release_calls, 1);
    attach();
    afcp_service(&gauge_headers[kGaugeAFCP], kDisconnect, 0);
    EXPECT_EQ(module.block, nullptr);
    EXPECT_EQ(counts().release_calls, 2);
    update();
    EXPECT_NE(module.block, nullptr);
    EXPECT_EQ(counts().attach_calls, 2);
}

TEST_F(AttachCycle, OtherServiceCodesAreIgnored) {
    for (int32_t code : {0, 1, 2, 3, 5, 7, 14, 16, -1}) afcp_service(&gauge_headers[kGaugeAFCP], code, 0);
    EXPECT_EQ(counts().attach_calls + counts().release_calls + counts().register_calls, 0);
}

TEST_F(AttachCycle, NullHeaderAttachesWithANullParameter) {
    afcp_service(nullptr, kUpdate, 0);
    int32_t was_null = 0;
    zolm_test_last_parameter(&was_null);
    EXPECT_EQ(was_null, 1);
    EXPECT_NE(module.block, nullptr);
}

class PerUpdate : public ModuleTest {
protected:
    void SetUp() override { block = attach(); }
    uint32_t after(uint32_t engaged, uint32_t armed, double supply, double enable) {
        block->engaged = engaged;
        block->armed = armed;
        update(supply, enable);
        return block->engaged;
    }
    StateBlock* block = nullptr;
};

TEST_F(PerUpdate, PowerThresholds) {
    const uint32_t engaged = STAB | ALT;
    struct Case {
        double supply, enable;
        bool keeps;
    } cases[] = {
        {10.0, 1.0, true},
        {9.99, 1.0, false},
        {28.0, -1.0, true},
        {28.0, 0.0, false},
        {28.0, -0.0, false},
        {std::nan(""), 1.0, true},
        {28.0, std::nan(""), true},
        {std::numeric_limits<double>::infinity(), 1.0, true},
        {-std::numeric_limits<double>::infinity(), 1.0, false},
    };
    for (const Case& c : cases) {
        const uint32_t result = after(engaged, ALT, c.supply, c.enable);
        SCOPED_TRACE(testing::Message() << "supply " << c.supply << " enable " << c.enable);
        EXPECT_EQ((result & STAB) != 0, c.keeps);
        if (c.keeps) {
            EXPECT_EQ(result, engaged | masks::per_update_marks | masks::stab_axes);
        } else if constexpr (Variant::power_drop_clears_all) {
            EXPECT_EQ(result, PANEL);
        } else {
            EXPECT_EQ(result, ALT | masks::per_update_marks) << "a power drop leaves the other modes";
        }
        EXPECT_EQ(block->armed, c.keeps ? ALT : 0u);
    }
}

TEST_F(PerUpdate, StabRule) {
    if constexpr (Variant::stab_follows_modes) {
        // STAB is on exactly while a mode is engaged or TDN is armed.
        EXPECT_EQ(after(STAB, ALT, 28, 1), PANEL | ATT);
        EXPECT_EQ(block->armed, 0u);
        EXPECT_EQ(after(HOV_SUB_A, 0, 28, 1), HOV_SUB_A | PANEL | ATT | masks::stab_set);
        EXPECT_EQ(after(GA, 0, 28, 1), GA | PANEL | ATT | masks::stab_set);
        EXPECT_EQ(after(0, TDN | ALT, 28, 1), PANEL | ATT | masks::stab_set);
        EXPECT_EQ(block->armed, TDN | ALT);
        // The power drop empties `engaged`, but an armed TDN brings STAB straight back.
        EXPECT_EQ(after(ALT | HDG | STAB, TDN, 5, 1), 0x81F00000u);
        EXPECT_EQ(block->armed, TDN);
        EXPECT_EQ(after(ALT | HDG | STAB, ALT, 28, 0), PANEL);
        EXPECT_EQ(block->armed, 0u);
        // Bits 27..30 are not modes.
        EXPECT_EQ(after(0x78000000, 0, 28, 1), 0x78000000u | PANEL | ATT);
    } else {
        // The axes follow STAB; without STAB nothing stays armed, whatever is engaged.
        EXPECT_EQ(after(STAB, ALT, 28, 1), STAB | masks::stab_axes | PANEL | ATT);
        EXPECT_EQ(block->armed, ALT);
        EXPECT_EQ(after(ALT | masks::stab_axes, TDN | ALT, 28, 1), ALT | PANEL | ATT);
        EXPECT_EQ(block->armed, 0u);
        EXPECT_EQ(after(0x78000000 | STAB, 0, 28, 1), 0x78000000u | masks::stab_set | PANEL | ATT);
    }
}

TEST_F(PerUpdate, NothingOutsideTheModeWordsIsWritten) {
    block->altitude_reference = 1234.0;
    block->lateral_input = -0.5;
    update();
    update(0, 0);
    EXPECT_EQ(block->altitude_reference, 1234.0);
    EXPECT_EQ(block->lateral_input, -0.5);
    EXPECT_EQ(zolm_test_guards_intact(), 1);
}

TEST(Conversion, SaturatesAndTruncates) {
    EXPECT_EQ(to_int32(2.9), 2);
    EXPECT_EQ(to_int32(-2.9), -2);
    EXPECT_EQ(to_int32(std::nan("")), 0);
    EXPECT_EQ(to_int32(2147483647.0), INT32_MAX);
    EXPECT_EQ(to_int32(2147483646.9), 2147483646);
    EXPECT_EQ(to_int32(1e300), INT32_MAX);
    EXPECT_EQ(to_int32(-2147483648.0), INT32_MIN);
    EXPECT_EQ(to_int32(-2147483647.5), -2147483647);
    EXPECT_EQ(to_int32(-std::numeric_limits<double>::infinity()), INT32_MIN);
}

TEST(ParameterText, DecimalNumbers) {
    EXPECT_EQ(parse_decimal("255"), 255);
    EXPECT_EQ(parse_decimal("  -1"), -1);
    EXPECT_EQ(parse_decimal("\t+42xyz"), 42);
    EXPECT_EQ(parse_decimal("abc"), 0);
    EXPECT_EQ(parse_decimal(""), 0);
    EXPECT_EQ(parse_decimal("-"), 0);
    EXPECT_EQ(parse_decimal("0x10"), 0);
    EXPECT_EQ(parse_decimal("2147483647"), INT32_MAX);
    EXPECT_EQ(parse_decimal("2147483648"), INT32_MAX);
    EXPECT_EQ(parse_decimal("-2147483648"), INT32_MIN);
    EXPECT_EQ(parse_decimal("-99999999999999999999999"), INT32_MIN);
    EXPECT_EQ(parse_decimal("16777215"), 0x00FFFFFF);
}

class AnnunciatorT : public ModuleTest {
protected:
    GaugeHeader& gauge = gauge_headers[kGaugeAnnunciatorT];
    void TearDown() override {
        gauge.parameter_string = nullptr;
        // Leave the module's own colour behind for the next test.
        for (ElementHead* e = gauge.element_list[0]; e->child_list != nullptr && e->child_list[0] != nullptr;) {
            e = e->child_list[0];
            reinterpret_cast<TextElement*>(e)->background_colour = 0x00020202;
        }
    }
    std::vector<uint32_t> backgrounds() {
        std::vector<uint32_t> out;
        for (ElementHead* e = gauge.element_list[0]; e->child_list != nullptr && e->child_list[0] != nullptr;) {
            e = e->child_list[0];
            out.push_back(reinterpret_cast<TextElement*>(e)->background_colour);
        }
        return out;
    }
    void parameters_ready(const char* parameter, int32_t code = kParametersReady) {
        gauge.parameter_string = parameter;
        annunciator_t_service(&gauge, code, 0);
    }
};

TEST_F(AnnunciatorT, ParameterSetsEveryTextBackgroundButNeverTheRoot) {
    const StaticImageElement root_before = *reinterpret_cast<StaticImageElement*>(gauge.element_list[0]);
    const std::vector<uint32_t> held = backgrounds();
    for (uint32_t colour : held) EXPECT_EQ(colour, 0x00020202u);
    parameters_ready("255");
    const uint32_t expected = Variant::annunciator_t_colour_from_parameter ? 0x000000FFu : 0x00020202u;
    for (uint32_t colour : backgrounds()) EXPECT_EQ(colour, expected);
    EXPECT_EQ(std::memcmp(&root_before, gauge.element_list[0], sizeof root_before), 0);
    parameters_ready("  -1");
    for (uint32_t colour : backgrounds())
        EXPECT_EQ(colour, Variant::annunciator_t_colour_from_parameter ? 0xFFFFFFFFu : 0x00020202u);
    parameters_ready("blue");
    for (uint32_t colour : backgrounds())
        EXPECT_EQ(colour, Variant::annunciator_t_colour_from_parameter ? 0u : 0x00020202u);
}

TEST_F(AnnunciatorT, OnlyParametersReadyActs) {
    for (int32_t code : {2 * 3, 15, 0, 3}) parameters_ready("255", code);
    for (uint32_t colour : backgrounds()) EXPECT_EQ(colour, 0x00020202u);
    parameters_ready(nullptr);
    for (uint32_t colour : backgrounds()) EXPECT_EQ(colour, 0x00020202u);
    annunciator_t_service(nullptr, kParametersReady, 0);
    GaugeHeader empty{};
    annunciator_t_service(&empty, kParametersReady, 0);
    ElementHead* no_root[1] = {nullptr};
    empty.element_list = no_root;
    empty.parameter_string = "255";
    annunciator_t_service(&empty, kParametersReady, 0);
}

class Catalogue : public ModuleTest {};

TEST_F(Catalogue, ElevenGaugesInOrder) {
    const char* names[] = {"AFCP",      "IAS Select", "ALT Select",  "ALT/VS Select", "AP Trim", "High Modes Disengage",
                           "Go-Around", "Stab",       "Annunciator", "Annunciator-T", "GS"};
    const uint32_t sizes[] = {300, 32, 32, 32, 32, 32, 32, 32, 100, 100, 300};
    EXPECT_EQ(Linkage.leading_word, 0x13u);
    EXPECT_EQ(Linkage.word5, 0x800u);
    for (int i = 0; i < kGaugeCount; ++i) {
        const GaugeHeader* h = Linkage.gauges[i];
        ASSERT_NE(h, nullptr);
        EXPECT_STREQ(h->name, names[i]);
        EXPECT_EQ(h->size_mm, sizes[i]);
        EXPECT_EQ(h->header_version, 0x320u);
        EXPECT_EQ(h->parameter_string, nullptr);
        ASSERT_NE(h->element_list, nullptr);
        EXPECT_NE(h->element_list[0], nullptr);
        EXPECT_EQ(h->element_list[1], nullptr) << "exactly one root";
        EXPECT_EQ(h->element_list[0]->gauge, h);
        EXPECT_EQ(h->service_callback, i == kGaugeAFCP           ? &afcp_service
                                       : i == kGaugeAnnunciatorT ? &annunciator_t_service
                                                                 : nullptr);
    }
    EXPECT_EQ(Linkage.gauges[11], nullptr);
}

TEST_F(Catalogue, LifecycleRoutinesOfEveryGaugeHandTheAfcpRootToTheirService) {
    ElementHead* afcp_root = gauge_headers[kGaugeAFCP].element_list[0];
    const GaugeHeader& gs = gauge_headers[kGaugeGS];
    EXPECT_EQ(gs.lifecycle_1(), 1024);
    EXPECT_EQ(gs.lifecycle_2(77), 1025);
    EXPECT_EQ(gs.lifecycle_3(), 1026);
    EXPECT_EQ(gs.lifecycle_4(), 1027);
    EXPECT_EQ(gs.lifecycle_5(0xDEADBEEF), 1028);
    EXPECT_EQ(gs.lifecycle_6(), 1029);
    EXPECT_EQ(gs.lifecycle_7(), 1031);
    const int entries[] = {24, 25, 26, 27, 28, 29, 31};
    ASSERT_EQ(host.element_calls.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(host.element_calls[i].entry, entries[i]);
        EXPECT_EQ(host.element_calls[i].element, afcp_root);
    }
    EXPECT_EQ(host.element_calls[1].word, 77u);
    EXPECT_EQ(host.element_calls[4].word, 0xDEADBEEFu);
    for (const GaugeHeader& h : gauge_headers) {
        EXPECT_EQ(h.lifecycle_1, gs.lifecycle_1);
        EXPECT_EQ(h.lifecycle_7, gs.lifecycle_7);
    }
}

// Entries 25 and 28 take a word besides the element; no other entry does, the element-list ones or the others.
TEST(ElementServices, OnlyTheSecondAndFifthTakeAWord) {
    for (int entry = 0; entry < 64; ++entry) EXPECT_EQ(service::takes_word(entry), entry == 25 || entry == 28) << entry;
}

TEST(CommandTable, NamesArePaddedWithZeros) {
    for (const CommandEntry& e : command_table) {
        const size_t length = std::strlen(e.name);
        EXPECT_GT(length, 0u);
        EXPECT_LE(length, 15u);
        for (size_t i = length; i < sizeof e.name; ++i) EXPECT_EQ(e.name[i], '\0') << e.name;
        EXPECT_NE(e.handler, nullptr);
    }
    EXPECT_STREQ(command_table[0].name, "STAB");
    EXPECT_STREQ(command_table[34].name, "TRIM_CENTER");
    EXPECT_STREQ(command_table[40].name, "GS_LEFT");
}

}  // namespace
}  // namespace afcp::test
