// The six annunciator texts: selection on the exact masked words, formats and widths, and the bound on the
// host's buffer.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "display/display.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {
namespace {

using namespace bits;
using namespace display;

constexpr char guard = 0x5A;
constexpr double inf = std::numeric_limits<double>::infinity();

class AnnunciatorText : public ModuleTest {
protected:
    void SetUp() override {
        block = attach();
        block->altitude_reference = 1500;
        block->radar_height_reference = 500;
        block->hover_height_reference = 5;
        module.radar_height_sample.value = 100;
    }

    // Runs the callback on a fresh element whose buffer ends in guard bytes; returns the text written.
    static std::string run(TextCallback callback, int32_t max_length, double s1 = 0, double s2 = 0, double s3 = 0) {
        char buffer[40];
        std::memset(buffer, guard, sizeof buffer);
        TextElement element{};
        element.max_length = max_length;
        element.source[0].value = s1;
        element.source[1].value = s2;
        element.source[2].value = s3;
        element.text_buffer = buffer;
        EXPECT_EQ(callback(&element), 0.0);
        const int room = std::clamp(max_length, 0, 11) + 1;
        EXPECT_NE(std::memchr(buffer, '\0', room), nullptr) << "unterminated";
        for (int i = room; i < static_cast<int>(sizeof buffer); ++i) EXPECT_EQ(buffer[i], guard) << "byte " << i;
        return buffer;
    }
    std::string text(TextCallback callback, uint32_t engaged, uint32_t armed, double s1 = 0, double s2 = 0,
                     double s3 = 0) {
        block->engaged = engaged;
        block->armed = armed;
        const int32_t max_length = callback == &upper_centre_text || callback == &lower_centre_text ? 7 : 11;
        return run(callback, max_length, s1, s2, s3);
    }

    StateBlock* block = nullptr;
};

TEST_F(AnnunciatorText, UpperLeftShowsTheVerticalModeOnlyBesideTheWindowModes) {
    EXPECT_EQ(text(&upper_left_text, VS, 0, 0, -750), " ");
    EXPECT_EQ(text(&upper_left_text, VS | IAS, 0, 0, -750), "V/S -750");
    EXPECT_EQ(text(&upper_left_text, VS | IAS, 0, 0, 1234.6), "V/S 1235");
    EXPECT_EQ(text(&upper_left_text, ALT | IAS | HDG | STAB | ATT | PANEL, ALT), "ALT  1500");
    EXPECT_EQ(text(&upper_left_text, CRHT, 0), "RHT  500");
    EXPECT_EQ(text(&upper_left_text, HOV | HHT, 0), "HHT   5");
    EXPECT_EQ(text(&upper_left_text, GA, 0, 0, 1200), "G/A 1200");
    EXPECT_EQ(text(&upper_left_text, IAS, 0), " ");
    EXPECT_EQ(text(&upper_left_text, VS | ALT | IAS, 0), " ");
    EXPECT_EQ(text(&upper_left_text, GS | GS_AUX | IAS, 0), " ");
}

TEST_F(AnnunciatorText, LevelHeightBelowThirtyPointFourEightMetres) {
    const double samples[] = {30.48, 30.47, -1.0, std::nan("")};
    const char* shown[] = {"G/S", "LVLHT", "LVLHT", "G/S"};
    for (int i = 0; i < 4; ++i) {
        module.radar_height_sample.value = samples[i];
        EXPECT_EQ(text(&upper_left_text, GS | IAS, 0, 0, 0, 5120), shown[i]) << samples[i];
        EXPECT_EQ(text(&upper_right_text, GS | IAS, 0, 0, 0, 5120), "IAS  80");
        EXPECT_EQ(text(&upper_right_text, GS, 0), "G/S") << "no radar height test upper-right";
    }
}

TEST_F(AnnunciatorText, UpperCentreMatchesTheExactLateralWord) {
    auto centre = [&](uint32_t engaged) { return text(&upper_centre_text, engaged, 0, 90, 275, 1.0); };
    EXPECT_EQ(centre(HDG | ALT | STAB | PANEL), "HDG  90");
    EXPECT_EQ(centre(LOC), "LOC 275");
    EXPECT_EQ(centre(VOR), "VOR 275");
    EXPECT_EQ(centre(NAV), "NAV  57");
    EXPECT_EQ(centre(TUP), "TUP  90");
    for (uint32_t w : {HOV, HOV | HOV_SUB_A}) EXPECT_EQ(centre(w), "HOV  90") << w;
    for (uint32_t w : {TDN, TDN | HDG, TDN | LOC, TDN | VOR, TDN | NAV}) EXPECT_EQ(centre(w), "TDN  90") << w;
    for (uint32_t w : {HOV | HOV_SUB_B, HOV | HOV_SUB_A | HOV_SUB_B, TDN | HDG | LOC, TDN | LOC_AUX, HDG | LOC, 0u})
        EXPECT_EQ(centre(w), " ") << w;
}

TEST_F(AnnunciatorText, UpperRightPutsAirspeedFirstAndWidensVerticalSpeed) {
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, 800), "V/S   800");
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, -12345), "V/S -12345");
    EXPECT_EQ(text(&upper_right_text, ALT, 0), "ALT  1500");
    EXPECT_EQ(text(&upper_right_text, ALT | IAS, 0, 0, 0, 5119), "IAS  80");
    EXPECT_EQ(text(&upper_right_text, GA, 0, 0, 0, 64 * 120.4), "IAS 120");
    EXPECT_EQ(text(&upper_right_text, CRHT, 0), " ");
    EXPECT_EQ(text(&upper_right_text, HOV | HHT, 0), " ");
    EXPECT_EQ(text(&upper_right_text, VS | ALT, 0), " ");
}

TEST_F(AnnunciatorText, ArmedVerticalModeShowsInExactlyOneLowerCorner) {
    for (uint32_t ias : {0u, IAS}) {
        EXPECT_EQ(text(ias ? &lower_left_text : &lower_right_text, ias, ALT | LOC, 2000), "ALT.A  2000");
        EXPECT_EQ(text(ias ? &lower_right_text : &lower_left_text, ias, ALT, 2000), " ");
        EXPECT_EQ(text(ias ? &lower_left_text : &lower_right_text, ias, GS), "G/S");
        EXPECT_EQ(text(ias ? &lower_left_text : &lower_right_text, ias, GS | GS_AUX), " ");
        EXPECT_EQ(text(ias ? &lower_left_text : &lower_right_text, ias, ALT | GS), " ");
    }
}

TEST_F(AnnunciatorText, AnArmedVerticalModeBesideAnotherVerticalRequestShowsInNeitherCorner) {
    // The requests VS, CRHT and HHT (and a GA the engine may leave) are members of the vertical group: beside
    // an armed ALT.A or G/S the armed word matches no case, whichever corner IAS picks.
    for (uint32_t ias : {0u, IAS})
        for (uint32_t arm : {ALT, GS})
            for (uint32_t request : {VS, CRHT, HHT, GA})
                for (TextCallback corner : {&lower_left_text, &lower_right_text})
                    EXPECT_EQ(text(corner, ias | HDG, arm | request | LOC, 2000), " ")
                        << "IAS " << ias << " armed " << (arm | request)
                        << (corner == &lower_left_text ? " left" : " right");
}

TEST_F(AnnunciatorText, LowerCentreMatchesTheExactArmedLateralWord) {
    EXPECT_EQ(text(&lower_centre_text, 0, LOC | ALT), "LOC");
    EXPECT_EQ(text(&lower_centre_text, 0, VOR), "VOR");
    EXPECT_EQ(text(&lower_centre_text, 0, TDN), "TDN");
    EXPECT_EQ(text(&lower_centre_text, 0, NAV), " ");
    EXPECT_EQ(text(&lower_centre_text, 0, LOC | VOR), " ");
    EXPECT_EQ(text(&lower_centre_text, 0, TDN | HDG), " ");
}

TEST_F(AnnunciatorText, EveryTextIsBlankWithoutABlock) {
    module.block = nullptr;
    for (TextCallback callback : {&upper_left_text, &upper_centre_text, &upper_right_text, &lower_left_text,
                                  &lower_centre_text, &lower_right_text})
        EXPECT_EQ(run(callback, 11, 1, 2, 3), " ");
}

TEST_F(AnnunciatorText, OverlongTextsAreCutAtTheMaximumLength) {
    EXPECT_EQ(text(&upper_centre_text, NAV, 0, 0, 0, -1.736), "NAV -99");
    EXPECT_EQ(text(&upper_centre_text, NAV, 0, 0, 0, -1.737), "NAV -10");
    EXPECT_EQ(text(&upper_centre_text, NAV, 0, 0, 0, -3.0), "NAV -17");
    EXPECT_EQ(text(&lower_right_text, 0, ALT, 123456), "ALT.A 12345");
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, 1e300), "V/S 1000000");
    block->engaged = VS;
    EXPECT_EQ(run(&upper_right_text, 200, 0, 1e300), "V/S 1000000") << "never past 11 characters";
    EXPECT_EQ(run(&upper_right_text, 3, 0, 1e300), "V/S");
    EXPECT_EQ(run(&upper_right_text, 0, 0, 1e300), "");
    EXPECT_EQ(run(&upper_right_text, -5, 0, 1e300), "");
    block->engaged = GS | IAS;
    module.radar_height_sample.value = 0;
    EXPECT_EQ(run(&upper_left_text, 3), "LVL");
    block->engaged = 0;
    EXPECT_EQ(run(&upper_right_text, 0), "");
}

TEST_F(AnnunciatorText, NonFiniteValuesPrintAsWords) {
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, inf), "V/S   inf");
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, -inf), "V/S  -inf");
    EXPECT_EQ(text(&upper_right_text, VS, 0, 0, std::nan("")), "V/S   nan");
    EXPECT_EQ(text(&upper_centre_text, NAV, 0, 0, 0, -inf), "NAV -in");
    block->altitude_reference = -inf;
    EXPECT_EQ(text(&upper_left_text, ALT | IAS, 0), "ALT  -inf");
}

TEST_F(AnnunciatorText, NothingIsWrittenWithoutAnElementOrABuffer) {
    TextElement element{};
    element.max_length = 11;
    block->engaged = ALT | IAS;
    for (TextCallback callback : {&upper_left_text, &upper_centre_text, &upper_right_text, &lower_left_text,
                                  &lower_centre_text, &lower_right_text}) {
        EXPECT_EQ(callback(nullptr), 0.0);
        EXPECT_EQ(callback(&element), 0.0);
    }
}

}  // namespace
}  // namespace afcp::test
