// What the module does with records and values a host may hand it that the normal cases never show: missing
// headers, element lists and buffers, trees of any shape under "Annunciator-T", parameter texts of any length
// and content, element maximum lengths of any size, and the module routines that must do nothing.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "display/display.h"
#include "frame/afcp_service.h"
#include "frame/catalogue.h"
#include "layout/layout.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

using namespace bits;

constexpr uint32_t kHeld = layout::annunciator_t_background;
constexpr uint32_t kOld = 0x0A0B0C0D;

ZolmCounts counts() {
    ZolmCounts c{};
    zolm_test_counts(&c);
    return c;
}

// ---------------------------------------------------------------------------------------------------------------
// The "AFCP" service callback without a header.

class MissingRecords : public ModuleTest {};

TEST_F(MissingRecords, AfcpServiceWorksOnEveryCodeWithoutAHeader) {
    afcp_service(nullptr, kUpdate, 0);
    ASSERT_NE(module.block, nullptr);
    int32_t was_null = 0;
    zolm_test_last_parameter(&was_null);
    EXPECT_EQ(was_null, 1);
    StateBlock* block = module.block;
    block->engaged = STAB | ALT;
    host.set(token::supply_level, 28.0);
    host.set(token::enable_switch, 1.0);
    host.set(token::airspeed, 55.0);
    afcp_service(nullptr, kUpdate, 0);
    EXPECT_EQ(block->engaged, STAB | ALT | masks::stab_axes | masks::per_update_marks) << "the step runs";
    EXPECT_EQ(double{module.airspeed_sample.value}, 55.0);
    afcp_service(nullptr, kParametersReady, 0);
    EXPECT_EQ(module.block, block);
    afcp_service(nullptr, kDisconnect, 0);
    EXPECT_EQ(module.block, nullptr);
    EXPECT_EQ(counts().release_calls, 1);
}

TEST_F(MissingRecords, ModuleInitAndDeinitDoNothing) {
    StateBlock* block = attach();
    block->engaged = STAB | HDG;
    module.countdown[kFeedbackALT] = 3;
    const StateBlock before = *block;
    Linkage.init();
    Linkage.deinit();
    EXPECT_EQ(std::memcmp(&before, block, sizeof before), 0);
    EXPECT_EQ(module.block, block);
    EXPECT_EQ(int{module.countdown[kFeedbackALT]}, 3);
    EXPECT_EQ(counts().release_calls, 0) << "deinit does not release the block";
    EXPECT_TRUE(host.reads.empty());
    EXPECT_TRUE(host.events.empty());
    EXPECT_TRUE(host.element_calls.empty());
}

// ---------------------------------------------------------------------------------------------------------------
// "Annunciator-T" on trees of any shape.

// A gauge of the host's records built by hand. Down the first children: root, a, b, c; b is a static image in
// the chain, d a second child of a beside it, c has an empty child list. The root is a text element too, which
// the callback must still leave alone.
struct Tree {
    TextElement root{}, a{}, c{}, d{};
    StaticImageElement b{};
    ElementHead* root_children[2] = {&a.head, nullptr};
    ElementHead* a_children[3] = {&b.head, &d.head, nullptr};
    ElementHead* b_children[2] = {&c.head, nullptr};
    ElementHead* c_children[1] = {nullptr};
    ElementHead* list[2] = {&root.head, nullptr};
    GaugeHeader header{};

    Tree() {
        for (TextElement* t : {&root, &a, &c, &d}) {
            t->head.kind = kText;
            t->background_colour = kOld;
            t->text_colour = 0x00FFFFFF;
        }
        b.head.kind = kStaticImage;
        root.head.child_list = root_children;
        a.head.child_list = a_children;
        b.head.child_list = b_children;
        c.head.child_list = c_children;
        header.element_list = list;
    }
    Tree(const Tree&) = delete;

    void parameters_ready(const char* parameter, int32_t code = kParametersReady) {
        header.parameter_string = parameter;
        annunciator_t_service(&header, code, 0);
    }
};

// Everything but the background word of a text element.
bool same_except_background(const TextElement& x, const TextElement& y) {
    TextElement copy = y;
    copy.background_colour = x.background_colour;
    return std::memcmp(&x, &copy, sizeof x) == 0;
}

class AnnunciatorTTree : public ModuleTest {};

TEST_F(AnnunciatorTTree, TheChainRunsThroughOtherElementsAndWritesOnlyItsTexts) {
    Tree tree;
    const TextElement root = tree.root, a = tree.a, c = tree.c, d = tree.d;
    const StaticImageElement b = tree.b;
    tree.parameters_ready("255");
    const uint32_t expected = Variant::annunciator_t_colour_from_parameter ? 255u : kHeld;
    EXPECT_EQ(tree.a.background_colour, expected);
    EXPECT_EQ(tree.c.background_colour, expected) << "past the static image b";
    EXPECT_TRUE(same_except_background(a, tree.a));
    EXPECT_TRUE(same_except_background(c, tree.c));
    EXPECT_EQ(std::memcmp(&root, &tree.root, sizeof root), 0) << "the root is never written";
    EXPECT_EQ(std::memcmp(&b, &tree.b, sizeof b), 0);
    EXPECT_EQ(std::memcmp(&d, &tree.d, sizeof d), 0) << "second children are not in the chain";
}

TEST_F(AnnunciatorTTree, TheChainEndsAtAMissingOrEmptyChildList) {
    {
        Tree tree;
        tree.b.head.child_list = nullptr;
        tree.parameters_ready("7");
        EXPECT_NE(tree.a.background_colour, kOld);
        EXPECT_EQ(tree.c.background_colour, kOld) << "b has no child list";
    }
    {
        Tree tree;
        ElementHead* empty[1] = {nullptr};
        tree.a.head.child_list = empty;
        tree.parameters_ready("7");
        EXPECT_NE(tree.a.background_colour, kOld);
        EXPECT_EQ(tree.c.background_colour, kOld) << "a's child list is empty";
    }
    {
        Tree tree;
        tree.root.head.child_list = nullptr;
        tree.parameters_ready("7");
        EXPECT_EQ(tree.a.background_colour, kOld);
    }
}

TEST_F(AnnunciatorTTree, MissingHeaderListRootOrParameter) {
    Tree tree;
    // No root: the list is empty.
    tree.list[0] = nullptr;
    tree.parameters_ready("7");
    tree.parameters_ready(nullptr);
    tree.list[0] = &tree.root.head;
    // No element list.
    tree.header.element_list = nullptr;
    tree.parameters_ready("7");
    tree.header.element_list = tree.list;
    annunciator_t_service(nullptr, kParametersReady, 0);
    EXPECT_EQ(tree.a.background_colour, kOld);
    EXPECT_EQ(tree.c.background_colour, kOld);
    // No parameter text: korstpanel keeps every colour, brevanepanel stores its fixed one all the same.
    tree.parameters_ready(nullptr);
    EXPECT_EQ(tree.a.background_colour, Variant::annunciator_t_colour_from_parameter ? kOld : kHeld);
    EXPECT_EQ(tree.c.background_colour, Variant::annunciator_t_colour_from_parameter ? kOld : kHeld);
    // Any other service code: nothing, with or without a parameter.
    Tree other;
    for (int32_t code : {6, 15, 0, -1, INT32_MAX}) {
        other.parameters_ready("7", code);
        other.parameters_ready(nullptr, code);
    }
    EXPECT_EQ(other.a.background_colour, kOld);
    EXPECT_EQ(other.c.background_colour, kOld);
}

// ---------------------------------------------------------------------------------------------------------------
// Parameter texts of any length and content.

// The C library's reading of a decimal number, held to the int32 range.
int32_t held_strtoll(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value);
}

TEST(ParameterTextOfAnyKind, LongTextsAndOddCharacters) {
    const std::string nines(100000, '9'), blanks(100000, ' '), zeros(50000, '0');
    EXPECT_EQ(parse_decimal(nines.c_str()), INT32_MAX);
    EXPECT_EQ(parse_decimal(("-" + nines).c_str()), INT32_MIN);
    EXPECT_EQ(parse_decimal((blanks + "12").c_str()), 12);
    EXPECT_EQ(parse_decimal((zeros + "42").c_str()), 42);
    EXPECT_EQ(parse_decimal(("-" + zeros + "1").c_str()), -1);
    EXPECT_EQ(parse_decimal((blanks + "x" + nines).c_str()), 0);
    EXPECT_EQ(parse_decimal("\n\v\f\r\t 7"), 7);
    EXPECT_EQ(parse_decimal("+-1"), 0);
    EXPECT_EQ(parse_decimal("- 1"), 0);
    EXPECT_EQ(parse_decimal("1 2"), 1);
    EXPECT_EQ(parse_decimal("-2147483649"), INT32_MIN);
    EXPECT_EQ(parse_decimal("\xFF\xFE"
                            "12"),
              0)
        << "bytes above 0x7F are neither blanks nor digits";
    EXPECT_EQ(parse_decimal("\xEF\xBC\x91"), 0) << "a full-width digit one";
    EXPECT_EQ(parse_decimal("\xA0"
                            "5"),
              0);
}

TEST(ParameterTextOfAnyKind, ReadsAsTheCLibraryReadsADecimalNumber) {
    const char alphabet[] = " \t\n\v+-0123456789x\xA0\xFF";
    std::mt19937 random(20240611);
    for (int n = 0; n < 20000; ++n) {
        std::string text(random() % 16, ' ');
        for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
        ASSERT_EQ(parse_decimal(text.c_str()), held_strtoll(text)) << '"' << text << '"';
    }
}

TEST_F(AnnunciatorTTree, AVeryLongParameterSetsTheHeldNumber) {
    Tree tree;
    const std::string parameter = std::string(70000, ' ') + "-" + std::string(70000, '9');
    tree.parameters_ready(parameter.c_str());
    EXPECT_EQ(tree.a.background_colour, Variant::annunciator_t_colour_from_parameter ? 0x80000000u : kHeld);
}

// ---------------------------------------------------------------------------------------------------------------
// Texts never outgrow the room their element gives, whatever its maximum length and the values shown.

class TextRoom : public ModuleTest {};

TEST_F(TextRoom, EveryTextStaysWithinTheRoomItsElementGivesWhateverTheValues) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr TextCallback callbacks[] = {&display::upper_left_text,   &display::upper_centre_text,
                                          &display::upper_right_text,  &display::lower_left_text,
                                          &display::lower_centre_text, &display::lower_right_text};
    // States that bring out every numbered format of the six texts.
    const struct {
        uint32_t engaged, armed;
    } states[] = {{VS | IAS, LOC}, {ALT | IAS, ALT}, {CRHT, VOR}, {HOV | HHT, TDN}, {GA, GS}, {NAV, ALT},
                  {HDG, 0},        {VS, ALT},        {ALT, GS},   {TDN | LOC, 0},   {TUP, 0}};
    const int32_t lengths[] = {INT32_MIN, -1, 0, 1, 2, 6, 7, 8, 10, 11, 12, 100, INT32_MAX};
    StateBlock* block = attach();
    for (double value : {-1e300, 1e300, -inf, std::nan(""), -123456789.0}) {
        block->altitude_reference = block->radar_height_reference = block->hover_height_reference = value;
        for (const auto& state : states) {
            block->engaged = state.engaged;
            block->armed = state.armed;
            for (TextCallback callback : callbacks) {
                for (int32_t length : lengths) {
                    const size_t room = length < 0 ? 0 : length > 11 ? 11 : static_cast<size_t>(length);
                    char buffer[12 + 16];
                    std::memset(buffer, 0x5A, sizeof buffer);
                    TextElement element{};
                    element.max_length = length;
                    for (ModuleVariable& source : element.source) source.value = value;
                    element.text_buffer = buffer;
                    ASSERT_EQ(callback(&element), 0.0);
                    ASSERT_NE(std::memchr(buffer, '\0', room + 1), nullptr) << "length " << length;
                    for (size_t i = room + 1; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 0x5A) << "length " << length;
                }
            }
        }
    }
}

}  // namespace
}  // namespace afcp::test
