// A model of the panel's mode logic, written from the rules with its own constants and arithmetic, driven side
// by side with the module through long random sequences of commands (through the command table), updates of
// the AFCP gauge, engine writes into the block, changes of the simulator's variables, countdowns running down
// and the block going away and coming back. After every step the two must agree on the mode words, the five
// references, the events sent, the variables read, the eleven countdowns, the two ground-speed settings and the
// six texts of both annunciators.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/unit/modes_fixture.h"

namespace afcp::test {
namespace {

// The deliverable under test; every difference of the model follows from this one fact.
constexpr bool kBrevane = std::string_view(Variant::module_name) == "brevanepanel";

// The model's own names for the bits and masks, copied from the rules.
namespace rule {
constexpr uint32_t HDG = 0x1, LOC = 0x2, LOC_AUX = 0x4, VOR = 0x20, VOR_AUX = 0x40, NAV = 0x80;
constexpr uint32_t VS = 0x100, ALT = 0x200, GS = 0x400, GS_AUX = 0x800, IAS = 0x1000, HOV = 0x2000;
constexpr uint32_t CRHT = 0x4000, HHT = 0x8000, HOV_SUB_B = 0x10000, TUP = 0x20000, TDN = 0x40000, GA = 0x80000;
constexpr uint32_t STAB = 0x100000, STAB_AX1 = 0x200000, STAB_AX3 = 0x800000, ATT = 0x2000000;
constexpr uint32_t HOV_SUB_A = 0x4000000, PANEL = 0x80000000;
constexpr uint32_t LATERAL_GROUP = 0x040720FF, VERTICAL_GROUP = 0x0008CF00, TDN_BLOCKERS = 0x00000EFE;
constexpr uint32_t LATERAL_ARMS = 0x000000FE, VERTICAL_ARMS = 0x00000E00, MODE_BITS = 0x040FFFFF;
constexpr uint32_t PERSISTENT = 0xFBF00000, HEADING_KEEP = 0xFBF8DF00, GO_AROUND_KEEP = 0xFBF010FF;
constexpr uint32_t STAB_AXES = 0x01E00000, STAB_SET = 0x01F00000, MARKS = 0x82000000;
}  // namespace rule

// Truncation toward zero into the int32 range, NaN as 0.
int64_t whole(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483648LL;
    return static_cast<int64_t>(std::trunc(v));
}

bool same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

struct Model {
    // The block, as the module should see it.
    bool attached = false;
    uint32_t engaged = 0, armed = 0;
    double altitude_ref = 0, radar_ref = 0, hover_ref = 0, fore_aft = 0, lateral = 0;
    // Module-wide state.
    double supply = 0, enable = 0, airspeed = 0, radar = 0;
    int8_t countdown[kFeedbackCount] = {};
    int32_t fore_aft_setting = 0, lateral_setting = 0;
    // The simulator's variables.
    double current_altitude = 0, heading_bug = 0, autopilot_altitude = 0, autopilot_airspeed = 0, nav_source = 0;
    uint64_t nav_flags_raw = 0;
    double vertical_speed = 0, selected_course = 0, navigation_track = 0;
    // What the host should see during one step.
    std::vector<SentEvent> events;
    std::vector<int32_t> reads;

    bool gate() const { return airspeed > 40.0 && radar > 60.96; }
    double read(int32_t token, double value) {
        reads.push_back(token);
        return value;
    }
    void send(uint32_t event, int64_t parameter) { events.push_back({event, static_cast<uint32_t>(parameter)}); }

    void update(double s, double e, double a, double r) {
        if (!attached) {
            // The engine hands out a fresh, zeroed block; nothing is sampled.
            attached = true;
            engaged = armed = 0;
            altitude_ref = radar_ref = hover_ref = fore_aft = lateral = 0.0;
            return;
        }
        reads = {755, 131, 61, 614};
        supply = s;
        enable = e;
        airspeed = a;
        radar = r;
        engaged |= rule::MARKS;
        const bool power_lost = enable == 0.0 || supply < 10.0;
        if (kBrevane) {
            if (power_lost) engaged = rule::PANEL;
            if ((engaged & rule::MODE_BITS) != 0 || (armed & rule::TDN) != 0) {
                engaged |= rule::STAB_SET;
            } else {
                engaged &= ~rule::STAB_SET;
                armed = 0;
            }
        } else {
            if (power_lost) engaged &= ~rule::STAB;
            if ((engaged & rule::STAB) != 0) {
                engaged |= rule::STAB_AXES;
            } else {
                engaged &= ~rule::STAB_AXES;
                armed = 0;
            }
        }
    }

    void stab_with_engage() {
        if (kBrevane) engaged |= rule::STAB_SET;
    }
    bool korst_without_ax1() const { return !kBrevane && (engaged & rule::STAB_AX1) == 0; }

    int64_t autopilot_altitude_rounded() {
        const double a = read(74, current_altitude);
        if (std::isnan(a)) return 0;
        const double hundreds = std::floor((a + 50.0) / 100.0);
        return hundreds < 0 ? 0 : hundreds > 999 ? 99900 : static_cast<int64_t>(hundreds) * 100;
    }
    double altitude_seed() {
        const double hundreds = std::floor(read(74, current_altitude) * 0.01 + 0.5);
        return std::isnan(hundreds) ? 0.0 : hundreds * 100.0;
    }
    static int64_t heading(int64_t h) { return h > 359 ? 0 : h < 0 ? 359 : h; }
    static int64_t limit(int64_t v, int64_t lo, int64_t hi) { return v < lo ? lo : v > hi ? hi : v; }

    void command(std::string_view n) {
        using namespace rule;
        const bool b = attached;
        // Mode engage commands.
        if (n == "STAB") {
            if (!b) return;
            engaged ^= STAB;
            armed |= ATT;
            if ((engaged & STAB) == 0) {
                engaged &= PERSISTENT;
                armed &= PERSISTENT;
            }
        } else if (n == "ALT") {
            if (b && (engaged & ALT)) {
                engaged &= ~ALT;
            } else if (b && gate()) {
                altitude_ref = altitude_seed();
                engaged = (engaged & ~VERTICAL_GROUP) | ALT;
                stab_with_engage();
            }
            countdown[kFeedbackALT] = 5;
        } else if (n == "ALTA") {
            if (!b) return;
            if (armed & ALT) {
                armed &= ~ALT;
            } else if (gate()) {
                send(66124, autopilot_altitude_rounded());
                armed = (armed & LATERAL_ARMS) | ALT;
            }
        } else if (n == "HDG" || n == "VS" || n == "CRHT") {
            if (!b) return;
            const uint32_t bit = n == "HDG" ? HDG : n == "VS" ? VS : CRHT;
            if (engaged & bit) {
                engaged &= ~bit;
            } else if (gate()) {
                engaged = bit == HDG ? (engaged & HEADING_KEEP) | bit : (engaged & ~VERTICAL_GROUP) | bit;
                stab_with_engage();
                armed |= bit;
            }
        } else if (n == "IAS") {
            if (b) {
                engaged = gate() ? engaged ^ IAS : engaged & ~IAS;
                if (engaged & IAS) {
                    stab_with_engage();
                    armed |= IAS;
                }
            }
            countdown[kFeedbackIAS] = 5;
        } else if (n == "TDN") {
            if (b && !korst_without_ax1()) {
                if (engaged & HOV) {
                    engaged = (engaged & PERSISTENT) | TUP;
                } else if (engaged & TUP) {
                    engaged &= ~TUP;
                } else if (engaged & TDN) {
                    engaged &= ~TDN;
                } else if (armed & TDN) {
                    armed &= ~TDN;
                } else if ((armed & TDN_BLOCKERS) == 0) {
                    stab_with_engage();
                    armed |= TDN;
                }
            }
            countdown[kFeedbackTDN] = 5;
        } else if (n == "HOV") {
            if (!b || korst_without_ax1()) return;
            if (engaged & HOV) {
                engaged &= ~(HOV | HOV_SUB_A | HOV_SUB_B | HHT);
            } else {
                if (!(engaged & TDN)) armed |= HHT;
                engaged = (engaged & PERSISTENT) | HOV | HOV_SUB_A;
                stab_with_engage();
                armed |= HDG | HOV_SUB_B | STAB_AX1 | STAB_AX3;
                if (kBrevane || (engaged & STAB_AX3)) engaged |= HHT;
            }
        } else if (n == "NAV") {
            const uint32_t nav = VOR | VOR_AUX | NAV;
            if (b && (engaged & nav)) {
                engaged &= ~nav;
            } else if (b && (armed & nav)) {
                armed &= ~nav;
            } else if (b && gate()) {
                armed &= VERTICAL_ARMS;
                if (read(848, nav_source) == 0.0) {
                    uint32_t arm = VOR;
                    if (kBrevane) {
                        read(46, 0.0);  // the flag byte is the low byte of the value field
                        const uint8_t flags = static_cast<uint8_t>(nav_flags_raw & 0xFF);
                        if (flags & 0x80) arm = (flags & 0x40) ? LOC | GS : LOC;
                    }
                    armed |= arm;
                } else {
                    engaged = (engaged & HEADING_KEEP) | NAV;
                }
            }
            countdown[kFeedbackNAV] = 5;
        } else if (n == "APP" || n == "GS") {
            const bool app = n == "APP";
            const uint32_t pair = app ? LOC | LOC_AUX : GS | GS_AUX;
            if (b && (engaged & pair)) {
                engaged &= ~pair;
            } else if (b && (armed & pair)) {
                armed &= ~pair;
            } else if (b && gate()) {
                armed = app ? (armed & VERTICAL_ARMS) | LOC : (armed & LATERAL_ARMS) | GS;
            }
            countdown[app ? kFeedbackAPP : kFeedbackGS] = 5;
        } else if (n == "GO_AROUND") {
            if (!b) return;
            send(66036, 500);
            send(66037, 75);
            send(66083, 9600);
            armed = 0;
            engaged = (engaged & GO_AROUND_KEEP) | IAS | VS;
        } else if (n == "FD_DISENGAGE") {
            if (!b) return;
            engaged &= PERSISTENT;
            armed = 0;
        }
        // Reference-value commands.
        else if (n == "ALTA_INCREASE" || n == "ALTA_DECREASE") {
            const bool up = n == "ALTA_INCREASE";
            send(66124, limit(whole(read(109, autopilot_altitude)) + (up ? 100 : -100), 0, 99900));
            countdown[kFeedbackALTA] = up ? 5 : -5;
        } else if (n == "HDG_RIGHT" || n == "HDG_LEFT") {
            const bool right = n == "HDG_RIGHT";
            send(66042, heading(whole(read(107, heading_bug)) + (right ? 1 : -1)));
            countdown[kFeedbackHDG] = right ? 5 : -5;
        } else if (n == "VS_INCREASE" || n == "VS_DECREASE") {
            const bool up = n == "VS_INCREASE";
            send(up ? 65894 : 65895, 0);
            countdown[kFeedbackVS] = up ? 5 : -5;
        } else if (n == "CRHT_UP") {
            if (b) radar_ref = std::min(radar_ref + 10.0, 1500.0);
            countdown[kFeedbackCRHT] = 5;
        } else if (n == "CRHT_DOWN") {
            if (b) radar_ref = std::max(radar_ref - 10.0, 10.0);
            countdown[kFeedbackCRHT] = -5;
        } else if (n == "HOV_UP") {
            if (b) {
                int64_t f = whole(hover_ref) + 1;
                if (f > 20) f = (f + 9) / 10 * 10;
                hover_ref = static_cast<double>(std::min<int64_t>(f, 300));
            }
            countdown[kFeedbackHOV] = 5;
        } else if (n == "HOV_DOWN") {
            if (b) {
                int64_t f = whole(hover_ref) - 1;
                if (f > 20) f = f / 10 * 10;
                hover_ref = static_cast<double>(std::max<int64_t>(f, 0));
            }
            countdown[kFeedbackHOV] = -5;
        } else if (n == "IAS_INCREASE" || n == "IAS_DECREASE") {
            const int64_t knots = whole(read(145, autopilot_airspeed)) / 64 + (n == "IAS_INCREASE" ? 1 : -1);
            send(66083, limit(knots, 40, 160) * 128);
        } else if (n == "ALT_INCREASE") {
            if (b && altitude_ref < 30000.0) altitude_ref += 100.0;
        } else if (n == "ALT_DECREASE") {
            if (b && altitude_ref > 99.9) altitude_ref -= 100.0;
        } else if (n == "ALT_VS_INCREASE" || n == "ALT_VS_DECREASE") {
            if (!b || !(engaged & IAS)) return;
            const bool up = n == "ALT_VS_INCREASE";
            if (engaged & ALT) {
                if (up && altitude_ref < 30000.0) altitude_ref += 100.0;
                if (!up && altitude_ref > 99.9) altitude_ref -= 100.0;
            } else if (engaged & VS) {
                send(up ? 65894 : 65895, 0);
            } else if (engaged & CRHT) {
                if (up && radar_ref < 3000.0) radar_ref += 10.0;
                if (!up && radar_ref > 9.99) radar_ref -= 10.0;
            }
        }
        // Trim and ground-speed commands.
        else if (n == "TRIM_UP" || n == "TRIM_DOWN") {
            if (!b) return;
            const bool up = n == "TRIM_UP";
            const uint32_t vertical = engaged & VERTICAL_GROUP;
            if (engaged & IAS) {
                const double v = read(145, autopilot_airspeed);
                if (up && v < 10240.0) send(66083, 2 * whole(v) + 128);
                if (!up && v > 2560.0) send(66083, 2 * whole(v) - 128);
            } else if ((engaged & HOV) && (engaged & (HOV_SUB_A | HOV_SUB_B))) {
                fore_aft += up ? 0.1 : -0.1;
            } else if (vertical == VS) {
                send(up ? 65894 : 65895, 0);
            } else if (vertical == ALT) {
                if (up && altitude_ref < 30000.0) altitude_ref += 100.0;
                if (!up && altitude_ref >= 100.0) altitude_ref -= 100.0;
            } else {
                fore_aft = up ? 0.15 : -0.15;
                armed |= ATT;
            }
        } else if (n == "TRIM_RIGHT" || n == "TRIM_LEFT") {
            if (!b) return;
            const bool right = n == "TRIM_RIGHT";
            const uint32_t m = engaged & LATERAL_GROUP;
            if (m == 0x01 || m == 0x02 || m == 0x04 || m == 0x08 || m == 0x10 || m == 0x20 || m == 0x40 || m == 0x80) {
                send(66042, heading(whole(read(107, heading_bug)) + (right ? 1 : -1)));
            } else if (m == (HOV | HOV_SUB_B) || m == (HOV | HOV_SUB_A)) {
                lateral += right ? 0.1 : -0.1;
            } else {
                lateral = right ? 0.15 : -0.15;
                armed |= ATT;
            }
        } else if (n == "TRIM_CENTER") {
            if (b) fore_aft = lateral = 0.0;
        } else if (n == "GS_FORWARD") {
            fore_aft_setting = std::min(fore_aft_setting + 1, 50);
        } else if (n == "GS_BACK") {
            fore_aft_setting = std::max(fore_aft_setting - 1, -10);
        } else if (n == "GS_RESET_FB") {
            fore_aft_setting = 0;
        } else if (n == "GS_RIGHT") {
            lateral_setting = std::min(lateral_setting + 1, 20);
        } else if (n == "GS_LEFT") {
            lateral_setting = std::max(lateral_setting - 1, -20);
        } else if (n == "GS_RESET_LR") {
            lateral_setting = 0;
        } else {
            ADD_FAILURE() << "the model has no rule for " << n;
        }
    }
};

// The six annunciator texts, from the annunciation rules: each text shows one entry of its list, the one whose
// word equals the masked mode word exactly, or the single blank. Texts are cut at their element's length.
namespace annunciation {

using namespace rule;

struct Entry {
    uint32_t word;
    const char* format;         // a printf format with one value, a fixed word, or null for level height or G/S
    double Model::*value = {};  // the value the format prints, times the scale
    double scale = 1.0;
};

// Upper-left: the engaged vertical mode, beside IAS, HOV, CRHT or GA only.
constexpr uint32_t kUpperLeftWindow = IAS | HOV | CRHT | GA;
constexpr Entry kUpperLeft[] = {
    {VS, "V/S %4.f", &Model::vertical_speed},
    {ALT, "ALT %5.f", &Model::altitude_ref},
    {GS, nullptr},
    {CRHT, "RHT %4.f", &Model::radar_ref},
    {HHT, "HHT %3.f", &Model::hover_ref},
    {GA, "G/A %4.f", &Model::vertical_speed},
};
// Upper-centre: the engaged lateral mode.
constexpr Entry kUpperCentre[] = {
    {HDG, "HDG %3.f", &Model::heading_bug},       {LOC, "LOC %3.f", &Model::selected_course},
    {VOR, "VOR %3.f", &Model::selected_course},   {NAV, "NAV %3.f", &Model::navigation_track, 57.29578},
    {HOV, "HOV %3.f", &Model::heading_bug},       {HOV | HOV_SUB_A, "HOV %3.f", &Model::heading_bug},
    {TUP, "TUP %3.f", &Model::heading_bug},       {TDN, "TDN %3.f", &Model::heading_bug},
    {TDN | HDG, "TDN %3.f", &Model::heading_bug}, {TDN | LOC, "TDN %3.f", &Model::heading_bug},
    {TDN | VOR, "TDN %3.f", &Model::heading_bug}, {TDN | NAV, "TDN %3.f", &Model::heading_bug},
};
// Upper-right: the airspeed while IAS or GA is engaged, else the engaged vertical mode.
constexpr uint32_t kAirspeedWindow = IAS | GA;
constexpr Entry kUpperRight[] = {
    {VS, "V/S %5.f", &Model::vertical_speed}, {ALT, "ALT %5.f", &Model::altitude_ref}, {GS, "G/S"}};
// Lower corners: the armed vertical mode, left while IAS is engaged, right otherwise.
constexpr Entry kLowerCorner[] = {{ALT, "ALT.A %5.f", &Model::autopilot_altitude}, {GS, "G/S"}};
// Lower-centre: the armed lateral mode.
constexpr Entry kLowerCentre[] = {{LOC, "LOC"}, {VOR, "VOR"}, {TDN, "TDN"}};

std::string printed(const char* format, double value) {
    char text[400];  // room for any double in %f
    std::snprintf(text, sizeof text, format, value);
    return text;
}

template <size_t N>
std::string shown(const Model& m, const Entry (&entries)[N], uint32_t word) {
    for (const Entry& e : entries) {
        if (e.word != word) continue;
        if (e.format == nullptr) return m.radar < 30.48 ? "LVLHT" : "G/S";
        if (e.value == nullptr) return e.format;
        return printed(e.format, m.*e.value * e.scale);
    }
    return " ";
}

// The six texts in the order of the annunciators' chains: lower-right, lower-centre, lower-left, upper-right,
// upper-centre, upper-left; cut at 11 characters, 7 in the centre column.
std::array<std::string, 6> texts(const Model& m) {
    std::array<std::string, 6> t;
    t.fill(" ");
    if (m.attached) {
        const uint32_t vertical = m.engaged & VERTICAL_GROUP, lateral = m.engaged & LATERAL_GROUP;
        const bool ias = (m.engaged & IAS) != 0;
        t[0] = ias ? " " : shown(m, kLowerCorner, m.armed & VERTICAL_GROUP);
        t[1] = shown(m, kLowerCentre, m.armed & LATERAL_GROUP);
        t[2] = ias ? shown(m, kLowerCorner, m.armed & VERTICAL_GROUP) : " ";
        t[3] = (m.engaged & kAirspeedWindow) != 0 ? printed("IAS %3.f", m.autopilot_airspeed / 64.0)
                                                  : shown(m, kUpperRight, vertical);
        t[4] = shown(m, kUpperCentre, lateral);
        t[5] = (m.engaged & kUpperLeftWindow) != 0 ? shown(m, kUpperLeft, vertical) : " ";
    }
    for (size_t i = 0; i < t.size(); ++i) t[i].resize(std::min<size_t>(t[i].size(), i == 1 || i == 4 ? 7 : 11));
    return t;
}

}  // namespace annunciation

template <typename T, size_t N>
T pick(std::mt19937& rng, const T (&pool)[N]) {
    return pool[rng() % N];
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

constexpr double kAirspeeds[] = {0.0, 39.9, 40.0, 40.0001, 41.0, 80.0, 150.0, kNaN, -1.0, kInf};
constexpr double kRadarHeights[] = {0.0, 30.47, 30.48, 60.96, 60.9601, 61.0, 100.0, kNaN};
constexpr double kSupplies[] = {28.0, 10.0, 9.99, 0.0, kNaN};
constexpr double kEnables[] = {1.0, 0.0, -1.0, -0.0, kNaN};
constexpr double kAltitudes[] = {0.0,  -1350.0, 2449.9, 2450.0, 99949.0, 99950.0, 150000.0,
                                 kNaN, 1e12,    -1e12,  50.0,   49.9,    1234.5,  -49.0};
constexpr double kHeadings[] = {0.0, 0.5, 359.0, 359.7, 180.0, kNaN, 360.0, -1.0, -10.0, 1e12};
constexpr double kAutopilotAltitudes[] = {0.0, 60.0, 99900.0, 99850.0, 250.5, 100000.0, -500.0, kNaN, 1e12};
constexpr double kAutopilotAirspeeds[] = {10240.0, 10239.9, 2560.0, 2560.1, 1920.0, 2656.0,
                                          10880.0, 0.0,     kNaN,   6400.0, -1e12,  1e12};
constexpr double kNavSources[] = {0.0, -0.0, 1.0, 0.5, kNaN};
constexpr double kVerticalSpeeds[] = {0.0, -700.0, 1234.5, -12345.0, 99999.6, kNaN, -kInf, 1e300};
constexpr double kCourses[] = {0.0, 275.0, 359.5, -1.0, 1000.0, kNaN, kInf};
constexpr double kTracks[] = {0.0, 1.0, -1.736, -1.737, 6.283, -3.0, kNaN, -kInf};
// The simulator's variables that a step may change (besides the nav receiver flags), each with its token and
// its values.
struct SimulatorVariable {
    int32_t token;
    double Model::*member;
    std::span<const double> pool;
};
constexpr SimulatorVariable kVariables[] = {
    {token::current_altitude, &Model::current_altitude, kAltitudes},
    {token::heading_bug, &Model::heading_bug, kHeadings},
    {token::autopilot_altitude, &Model::autopilot_altitude, kAutopilotAltitudes},
    {token::autopilot_airspeed, &Model::autopilot_airspeed, kAutopilotAirspeeds},
    {token::nav_source_flag, &Model::nav_source, kNavSources},
    {token::vertical_speed, &Model::vertical_speed, kVerticalSpeeds},
    {token::selected_course, &Model::selected_course, kCourses},
    {token::navigation_track, &Model::navigation_track, kTracks},
};
constexpr uint64_t kNavFlags[] = {0x80, 0xC0, 0x40, 0x00, 0x7F, 0xFF, 0x180, 0x140, 0x100, 0xFFFFFFFFFFFFFF80ull};
constexpr double kAltitudeRefs[] = {0.0, 99.9, 99.95, 100.0, 29950.0, 30000.0, 1000.0, -150.0, kNaN};
constexpr double kRadarRefs[] = {10.0, 15.0, 9.99, 9.995, 1495.0, 1500.0, 1600.0, 2995.0, 3000.0, kNaN};
constexpr double kHoverRefs[] = {0.0, 19.0, 20.0, 21.0, 25.7, 30.0, 295.0, 300.0, -5.0, 400.0, kNaN};
constexpr double kInputs[] = {0.0, 0.15, -0.15, 1.68781, kNaN};
// Whole states the engine might leave, so that hover, transitions and single radio modes come up often.
constexpr uint32_t kEngagedStates[] = {
    0x81F00000 | rule::HOV | rule::HOV_SUB_A | rule::HHT,
    0x81F00000 | rule::HOV | rule::HOV_SUB_B,
    0x81F00000 | rule::HOV | rule::HOV_SUB_A | rule::HOV_SUB_B | rule::IAS,
    0x81F00000 | rule::TDN,
    0x81F00000 | rule::TUP | rule::ALT,
    0x81F00000 | rule::LOC | rule::GS,
    0x81F00000 | rule::VOR | rule::ALT,
    0x81F00000 | rule::IAS | rule::CRHT,
    0x81F00000 | rule::IAS | rule::VS,
    0x81F00000 | rule::ALT,
    0x81F00000 | rule::VS | rule::HDG,
    0x81F00000 | rule::NAV,
    0x81F00000 | rule::HOV | rule::HOV_SUB_A | rule::LOC,
    0x83F00000,
    0x80000000,
    0xFFFFFFFF,
};
constexpr uint32_t kArmedStates[] = {0, rule::TDN, rule::ALT | rule::LOC, rule::GS | rule::VOR, 0xFFFFFFFF};

class ModelTest : public ModuleTest, public ::testing::WithParamInterface<int> {
protected:
    // Sets every simulator variable of the model on the host too.
    void host_variables() {
        for (const SimulatorVariable& v : kVariables) host.set(v.token, model.*v.member);
        host.set_raw(token::nav_receiver_flags, model.nav_flags_raw);
    }

    // The engine writes one of the five references.
    void write_reference(std::mt19937& rng) {
        if (module.block == nullptr) return;
        StateBlock& block = *module.block;
        switch (rng() % 5) {
        case 0:
            block.altitude_reference = model.altitude_ref = pick(rng, kAltitudeRefs);
            break;
        case 1:
            block.radar_height_reference = model.radar_ref = pick(rng, kRadarRefs);
            break;
        case 2:
            block.hover_height_reference = model.hover_ref = pick(rng, kHoverRefs);
            break;
        case 3:
            block.fore_aft_input = model.fore_aft = pick(rng, kInputs);
            break;
        default:
            block.lateral_input = model.lateral = pick(rng, kInputs);
            break;
        }
    }

    std::string difference() const {
        std::ostringstream out;
        out << std::hex;
        StateBlock* const block = module.block;
        if ((block != nullptr) != model.attached) return "attached state differs";
        if (block != nullptr) {
            if (block->engaged != model.engaged)
                out << " engaged " << block->engaged << " model " << model.engaged << ";";
            if (block->armed != model.armed) out << " armed " << block->armed << " model " << model.armed << ";";
            const double refs[5] = {block->altitude_reference, block->radar_height_reference,
                                    block->hover_height_reference, block->fore_aft_input, block->lateral_input};
            const double expected[5] = {model.altitude_ref, model.radar_ref, model.hover_ref, model.fore_aft,
                                        model.lateral};
            for (int i = 0; i < 5; ++i)
                if (!same(refs[i], expected[i]))
                    out << " reference " << i << " " << refs[i] << " model " << expected[i] << ";";
        }
        for (int i = 0; i < kFeedbackCount; ++i)
            if (module.countdown[i] != model.countdown[i])
                out << " countdown " << i << " " << int{module.countdown[i]} << " model " << int{model.countdown[i]}
                    << ";";
        if (module.fore_aft_speed_setting != model.fore_aft_setting ||
            module.lateral_speed_setting != model.lateral_setting)
            out << " settings differ;";
        if (host.events != model.events) out << " events differ (" << host.events.size() << " sent);";
        if (host.reads != model.reads) out << " reads differ (" << host.reads.size() << " made);";
        if (zolm_test_guards_intact() != 1) out << " the engine area or the bytes after the block were written;";
        const std::array<std::string, 6> expected = annunciation::texts(model);
        for (Gauge gauge : {kGaugeAnnunciator, kGaugeAnnunciatorT}) {
            const std::array<std::string, 6> shown = texts_of(gauge);
            for (size_t i = 0; i < shown.size(); ++i)
                if (shown[i] != expected[i])
                    out << " " << gauge_headers[gauge].name << " text " << i << " '" << shown[i] << "' model '"
                        << expected[i] << "';";
        }
        return out.str();
    }

    // The value the host puts into a source variable of a text element, by its token.
    double variable(int32_t token) const {
        for (const SimulatorVariable& v : kVariables)
            if (v.token == token) return model.*v.member;
        return 4321.0;  // bound, but shown by no text
    }

    // The texts of one annunciator down its chain, each callback run as the host runs it: on a copy of the
    // element with its source variables filled and a buffer of its maximum length, guarded behind.
    std::array<std::string, 6> texts_of(Gauge gauge) const {
        std::array<std::string, 6> texts;
        const ElementHead* e = gauge_headers[gauge].element_list[0];
        for (std::string& text : texts) {
            e = e->child_list[0];
            TextElement element = *reinterpret_cast<const TextElement*>(e);
            char buffer[32];
            std::memset(buffer, 0x5A, sizeof buffer);
            for (ModuleVariable& source : element.source)
                if (source.token != 0) source.value = variable(source.token);
            element.text_buffer = buffer;
            element.text_callback(&element);
            const size_t room = static_cast<size_t>(element.max_length) + 1;
            if (std::memchr(buffer, '\0', room) == nullptr ||
                std::any_of(buffer + room, std::end(buffer), [](char c) { return c != 0x5A; }))
                return {"the buffer overran"};
            text = buffer;
        }
        return texts;
    }

    Model model;
};

TEST_P(ModelTest, RandomSequencesAgreeWithTheModel) {
    std::mt19937 rng(static_cast<uint32_t>(GetParam()));
    model.current_altitude = 1000.0;
    model.autopilot_airspeed = 6400.0;
    host_variables();
    std::vector<std::string> history;
    const auto note = [&](std::string what) {
        if (history.size() == 8) history.erase(history.begin());
        history.push_back(std::move(what));
    };
    int commands_run = 0;
    // Every 250 steps a handful of commands comes into focus, so that rare conjunctions (a rocker at a limit
    // with the right mode engaged) turn up.
    uint32_t focus[5] = {};
    for (int step = 0; step < 5000; ++step) {
        if (step % 250 == 0)
            for (uint32_t& f : focus) f = rng() % command_count;
        host.events.clear();
        host.reads.clear();
        model.events.clear();
        model.reads.clear();
        const uint32_t roll = step == 0 ? 50 : rng() % 100;
        if (roll < 50) {
            const CommandEntry& entry = command_table[rng() % 2 == 0 ? focus[rng() % 5] : rng() % command_count];
            note(entry.name);
            ASSERT_EQ(entry.handler(static_cast<int32_t>(rng()), static_cast<int32_t>(rng())), 0);
            model.command(entry.name);
            ++commands_run;
        } else if (roll < 62) {
            // Mostly a healthy helicopter above the gate, with every boundary in between.
            const bool healthy = rng() % 10 < 7;
            const double supply = healthy ? 28.0 : pick(rng, kSupplies);
            const double enable = healthy ? 1.0 : pick(rng, kEnables);
            const bool flying = rng() % 2 == 0;
            const double airspeed = flying ? 80.0 : pick(rng, kAirspeeds);
            const double radar = flying ? 100.0 : pick(rng, kRadarHeights);
            note("update");
            update(supply, enable, airspeed, radar);
            model.update(supply, enable, airspeed, radar);
        } else if (roll < 74) {
            note("engine writes bits");
            if (module.block != nullptr) {
                StateBlock& block = *module.block;
                switch (rng() % 6) {
                case 0:
                case 1:
                    block.engaged ^= 1u << (rng() % 32);
                    break;
                case 2:
                    block.armed ^= 1u << (rng() % 32);
                    break;
                case 3:
                case 4:
                    block.engaged = pick(rng, kEngagedStates);
                    write_reference(rng);
                    break;
                default:
                    block.armed = pick(rng, kArmedStates);
                    break;
                }
                model.engaged = block.engaged;
                model.armed = block.armed;
            }
        } else if (roll < 82) {
            note("engine writes a reference");
            write_reference(rng);
        } else if (roll < 92) {
            note("simulator variable");
            const size_t which = rng() % (std::size(kVariables) + 1);
            if (which < std::size(kVariables)) {
                const SimulatorVariable& v = kVariables[which];
                model.*v.member = v.pool[rng() % v.pool.size()];
            } else {
                model.nav_flags_raw = pick(rng, kNavFlags);
            }
            host_variables();
        } else if (roll < 98) {
            // The image callbacks run the countdowns back toward 0.
            note("countdowns run down");
            for (int i = 0; i < kFeedbackCount; ++i) {
                int8_t& c = module.countdown[i];
                c = static_cast<int8_t>(c > 0 ? c - 1 : c < 0 ? c + 1 : 0);
                model.countdown[i] = c;
            }
        } else {
            note("disconnect");
            afcp_service(&gauge_headers[kGaugeAFCP], kDisconnect, 0);
            model.attached = false;
        }
        const std::string diff = difference();
        if (!diff.empty()) {
            std::ostringstream trail;
            for (const std::string& h : history) trail << " > " << h;
            FAIL() << "seed " << GetParam() << " step " << step << ":" << diff << "\n  after" << trail.str();
        }
    }
    EXPECT_GT(commands_run, 2000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ModelTest, ::testing::Range(1, 21));

}  // namespace
}  // namespace afcp::test
