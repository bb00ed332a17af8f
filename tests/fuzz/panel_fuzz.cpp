// Coverage-guided fuzzing of one module as its two callers drive it: the host (updates and disconnects of the
// AFCP gauge, clicks, every text, image and marker callback, the "Annunciator-T" service callback, lifecycle
// routines, and whatever values its variables and records hold) and the engine (commands by name, writes of any
// bit pattern or double into the block, an attach that returns null).
//
// The input is a sequence of operations, each one byte that names it followed by its operands. Numbers come from
// a table of awkward doubles or as raw 8-byte patterns. After every operation the checks below must hold whatever
// the input was; a broken one aborts, so that the fuzzer keeps the input that broke it.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "display/display.h"
#include "engine/zolm_test.h"
#include "frame/afcp_service.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/services.h"
#include "frame/simulator.h"
#include "layout/layout.h"
#include "modes/command_table.h"
#include "variants/variant.h"

namespace {

using namespace afcp;

[[noreturn]] void broken(const char* what, int line) {
    std::fprintf(stderr, "panel_fuzz:%d: check failed: %s\n", line, what);
    std::abort();
}
#define FUZZ_CHECK(condition)                           \
    do {                                                \
        if (!(condition)) broken(#condition, __LINE__); \
    } while (0)

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMax = std::numeric_limits<double>::max();

// Values at and around every threshold the panel compares with, and values no conversion can hold.
constexpr double kInteresting[] = {
    0.0,      -0.0,    1.0,     -1.0,     0.5,          -0.5,         9.99,        10.0,
    10.00001, 30.47,   30.48,   40.0,     40.0000001,   60.96,        60.9600001,  99.9,
    99.95,    100.0,   299.5,   300.0,    359.0,        359.7,        360.0,       -1.737,
    -3.0,     1500.0,  1495.0,  3000.0,   2995.0,       2560.0,       10240.0,     30000.0,
    29950.0,  99900.0, 99950.0, 123456.0, 2147483647.0, 2147483648.0, -2147483648, -2147483649.0,
    4.3e9,    9.3e18,  -9.3e18, 1e300,    -1e300,       kMax,         -kMax,       4.9e-324,
    2.2e-308, kInf,    -kInf,   kNaN,     -kNaN,        1.68781,      84.3905,     -33.7562,
    65536.0,  1e15,    -1e15,   5e-1,     1.0 / 3.0,    2e9,          -2e9,        0.15,
};
constexpr size_t kInterestingCount = sizeof kInteresting / sizeof kInteresting[0];

constexpr int32_t kLengths[] = {INT32_MIN, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 40, 255, INT32_MAX};

// The operands of the operations, read from the input; an exhausted input reads as zeros.
class Input {
public:
    Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool empty() const { return p_ == end_; }
    uint8_t byte() { return p_ < end_ ? *p_++ : 0; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w |= uint32_t{byte()} << (8 * i);
        return w;
    }
    uint64_t bits64() { return word() | uint64_t{word()} << 32; }
    // A table entry, a whole number, or a raw pattern (any NaN payload, denormal or infinity).
    double number() {
        const uint8_t select = byte();
        if (select < 0x80) return kInteresting[select % kInterestingCount];
        if (select < 0xC0) return static_cast<int32_t>(word());
        const uint64_t raw = bits64();
        double value;
        std::memcpy(&value, &raw, sizeof value);
        return value;
    }
    int32_t length() {
        const uint8_t select = byte();
        if (select < 0xF0) return kLengths[select % (sizeof kLengths / sizeof kLengths[0])];
        return static_cast<int32_t>(word());
    }
    // A zero-terminated text of any bytes; a length byte of 0xFF takes a long run from the rest of the input.
    const char* text(char* out, size_t capacity) {
        size_t n = byte();
        if (n == 0xFF) n = byte() * 16 + byte();
        if (n > capacity - 1) n = capacity - 1;
        size_t i = 0;
        for (; i < n && p_ < end_; ++i) out[i] = static_cast<char>(*p_++);
        out[i] = '\0';
        return out;
    }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

// ---------------------------------------------------------------------------------------------------------------
// The host: a panel services table of our own, variables whose values the input sets.

constexpr int32_t kTokens[] = {token::supply_level,       token::enable_switch,      token::airspeed,
                               token::radar_height,       token::current_altitude,   token::heading_bug,
                               token::autopilot_altitude, token::autopilot_airspeed, token::nav_source_flag,
                               token::nav_receiver_flags};
constexpr size_t kTokenCount = sizeof kTokens / sizeof kTokens[0];

// Key events the panel may send: its own, and those of the Brevane face's simulator knobs.
constexpr uint32_t kOtherPanelEvents[] = {65884, 65883, 65536, 65662, 65663, 66322, 66321};

struct Host {
    void* table[64] = {};
    uint64_t values[kTokenCount] = {};
    uint32_t host_words = 0;  // what the host leaves in its own words of a record it fills
    int32_t element_result = 0;
};
Host host;

int token_slot(int32_t token) {
    for (size_t i = 0; i < kTokenCount; ++i)
        if (kTokens[i] == token) return static_cast<int>(i);
    return -1;
}

void AFCP_STDCALL read_variable_service(ModuleVariable* variable) {
    FUZZ_CHECK(variable != nullptr);
    const int slot = token_slot(variable->token);
    FUZZ_CHECK(slot >= 0);  // the panel reads only the variables it names
    std::memcpy(&variable->value, &host.values[slot], sizeof variable->value);
    variable->host_word1 = variable->host_word2 = host.host_words;
    variable->host_word3 = variable->host_word4 = ~host.host_words;
}

void AFCP_STDCALL send_event_service(uint32_t event_id, uint32_t parameter) {
    switch (event_id) {
    case event::heading_bug_set:
        FUZZ_CHECK(parameter <= 359);
        return;
    case event::autopilot_altitude_set:
        FUZZ_CHECK(parameter <= 99900);
        return;
    case event::vertical_speed_up:
    case event::vertical_speed_down:
        FUZZ_CHECK(parameter == 0);
        return;
    case event::first_go_around_preset:
        FUZZ_CHECK(parameter == 500);
        return;
    case event::second_go_around_preset:
        FUZZ_CHECK(parameter == 75);
        return;
    case event::autopilot_airspeed_set:
        return;  // a trim beep moves the airspeed reference unclamped
    default:
        for (uint32_t other : kOtherPanelEvents)
            if (event_id == other) return;
        broken("an event the panel does not send", __LINE__);
    }
}

ElementHead* afcp_root() { return gauge_headers[kGaugeAFCP].element_list[0]; }

int32_t AFCP_STDCALL element_service(ElementHead* element) {
    FUZZ_CHECK(element == afcp_root());
    return host.element_result;
}

int32_t AFCP_STDCALL element_word_service(ElementHead* element, uint32_t) {
    FUZZ_CHECK(element == afcp_root());
    return host.element_result;
}

void install_host() {
    host = Host{};
    host.table[service::read_variable] = reinterpret_cast<void*>(&read_variable_service);
    host.table[service::send_event] = reinterpret_cast<void*>(&send_event_service);
    for (int entry : service::element_services) {
        host.table[entry] = entry == 25 || entry == 28 ? reinterpret_cast<void*>(&element_word_service)
                                                       : reinterpret_cast<void*>(&element_service);
    }
    ImportTable.services = host.table;
}

// ---------------------------------------------------------------------------------------------------------------
// Checks after every operation.

void check_module() {
    for (int8_t c : module.countdown) FUZZ_CHECK(c >= -5 && c <= 5);
    FUZZ_CHECK(module.fore_aft_speed_setting >= -10 && module.fore_aft_speed_setting <= 50);
    FUZZ_CHECK(module.lateral_speed_setting >= -20 && module.lateral_speed_setting <= 20);
    FUZZ_CHECK(module.block == nullptr || module.block == zolm_test_block());
    FUZZ_CHECK(zolm_test_guards_intact() == 1);
}

// What an update of the AFCP gauge leaves in the mode words, whatever they held before.
void check_after_update(double supply, double enable) {
    const StateBlock& block = *module.block;
    const bool power_lost = enable == 0.0 || supply < 10.0;
    FUZZ_CHECK((block.engaged & bits::PANEL) != 0);
    if constexpr (Variant::stab_follows_modes) {
        if (power_lost) FUZZ_CHECK((block.engaged & ~masks::stab_set) == bits::PANEL);
        if ((block.engaged & masks::mode_bits) != 0 || (block.armed & bits::TDN) != 0) {
            FUZZ_CHECK((block.engaged & masks::stab_set) == masks::stab_set);
        } else {
            FUZZ_CHECK((block.engaged & masks::stab_set) == 0);
            FUZZ_CHECK(block.armed == 0);
        }
    } else {
        FUZZ_CHECK((block.engaged & masks::per_update_marks) == masks::per_update_marks);
        if (power_lost) FUZZ_CHECK((block.engaged & bits::STAB) == 0);
        if ((block.engaged & bits::STAB) != 0) {
            FUZZ_CHECK((block.engaged & masks::stab_axes) == masks::stab_axes);
        } else {
            FUZZ_CHECK((block.engaged & masks::stab_axes) == 0);
            FUZZ_CHECK(block.armed == 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Text elements: a buffer of exactly the element's room, then guard bytes.

constexpr int32_t kLongestText = 11;
constexpr size_t kGuardBytes = 64;
constexpr char kGuard = 0x5A;

size_t room_of(int32_t max_length) {
    if (max_length < 0) return 0;
    return static_cast<size_t>(max_length > kLongestText ? kLongestText : max_length);
}

struct LentBuffer {
    char bytes[kLongestText + 1 + kGuardBytes];
    size_t room;

    explicit LentBuffer(int32_t max_length) : room(room_of(max_length)) {
        std::memset(bytes, kGuard, sizeof bytes);
        std::memset(bytes, 'Q', room);  // an old text, terminated
        bytes[room] = '\0';
    }
    void check() const {
        const void* end = std::memchr(bytes, '\0', room + 1);
        FUZZ_CHECK(end != nullptr);  // never longer than the element's maximum, and never past 11
        for (const char* c = bytes; c != end; ++c) FUZZ_CHECK(*c >= 0x20 && *c <= 0x7E);
        for (size_t i = room + 1; i < sizeof bytes; ++i) FUZZ_CHECK(bytes[i] == kGuard);
    }
};

void check_text_call(TextCallback callback, TextElement& element, bool lend) {
    LentBuffer buffer(element.max_length);
    char* const held = element.text_buffer;
    element.text_buffer = lend ? buffer.bytes : nullptr;
    TextElement before;
    std::memcpy(&before, &element, sizeof before);
    const double result = callback(&element);
    FUZZ_CHECK(result == 0.0 && !std::signbit(result));
    FUZZ_CHECK(std::memcmp(&before, &element, sizeof before) == 0);  // the element's own record stays as it was
    element.text_buffer = held;
    if (lend) buffer.check();
}

constexpr TextCallback kTexts[] = {&display::upper_left_text, &display::upper_centre_text, &display::upper_right_text,
                                   &display::lower_left_text, &display::lower_centre_text, &display::lower_right_text};

void text_op(Input& in) {
    const TextCallback callback = kTexts[in.byte() % 6];
    const uint8_t mode = in.byte() % 4;  // 0: no element, 1: no buffer, else a lent buffer
    TextElement element{};
    element.head.kind = kText;
    element.max_length = in.length();
    for (ModuleVariable& source : element.source) source.value = in.number();
    if (mode == 0) {
        FUZZ_CHECK(callback(nullptr) == 0.0);
        return;
    }
    check_text_call(callback, element, mode != 1);
}

// ---------------------------------------------------------------------------------------------------------------
// Image selectors: the lamps, and both pictures over every countdown.

enum class Picture { lamp, button, knob };

struct ImageCallback {
    ValueCallback callback;
    Picture picture;
    int countdown;
};

template <size_t... I>
constexpr auto image_callbacks(std::index_sequence<I...>) {
    return std::array<ImageCallback, 2 + 2 * kFeedbackCount>{
        ImageCallback{&display::stab_lamp, Picture::lamp, -1},
        ImageCallback{&display::navigation_lamp, Picture::lamp, -1},
        ImageCallback{&display::button_image<static_cast<Feedback>(I)>, Picture::button, I}...,
        ImageCallback{&display::knob_image<static_cast<Feedback>(I)>, Picture::knob, I}...};
}
constexpr auto kImages = image_callbacks(std::make_index_sequence<kFeedbackCount>{});

void check_image_call(const ImageCallback& image, ElementHead* element) {
    const int8_t before = image.countdown >= 0 ? module.countdown[image.countdown] : 0;
    const double value = image.callback(element);
    const int8_t after = image.countdown >= 0 ? module.countdown[image.countdown] : 0;
    switch (image.picture) {
    case Picture::lamp:
        FUZZ_CHECK(value == -1.0 || value == 0.0);
        break;
    case Picture::button:
        FUZZ_CHECK(value == -1.0 || value == 0.0);
        FUZZ_CHECK(value == 0.0 ? before > 0 && after == before - 1 : before <= 0 && after == before);
        break;
    case Picture::knob:
        FUZZ_CHECK(value == -1.0 || value == 0.0 || value == 1.0);
        if (value == 0.0) FUZZ_CHECK(before < 0 && after == before + 1);
        if (value == 1.0) FUZZ_CHECK(before > 0 && after == before - 1);
        if (value == -1.0) FUZZ_CHECK(before == 0 && after == 0);
        break;
    }
}

void image_op(Input& in) {
    const ImageCallback& image = kImages[in.byte() % kImages.size()];
    StaticImageElement element{};
    check_image_call(image, in.byte() & 1 ? &element.head : nullptr);
}

// Tape offsets: finite and inside the tape's travel.
void marker_op(Input& in) {
    if (in.byte() & 1) {
        const double y = display::fore_aft_marker(nullptr);
        FUZZ_CHECK(std::isfinite(y) && y >= 54.0 && y <= 540.0);
    } else {
        const double x = display::lateral_marker(nullptr);
        FUZZ_CHECK(std::isfinite(x) && x >= 55.0 && x <= 379.0);
    }
}

// ---------------------------------------------------------------------------------------------------------------
// Element trees as the host walks them: every callback of every element, with lent buffers.

constexpr int kMostElements = 256;

template <typename Visit>
void walk(ElementHead* element, Visit&& visit, int& budget, int depth = 0) {
    if (element == nullptr || budget <= 0 || depth > 16) return;
    --budget;
    visit(element);
    if (element->child_list == nullptr) return;
    for (ElementHead** child = element->child_list; *child != nullptr && budget > 0; ++child)
        walk(*child, visit, budget, depth + 1);
}

void refresh_gauge_op(Input& in) {
    GaugeHeader& gauge = gauge_headers[in.byte() % kGaugeCount];
    const double sources[3] = {in.number(), in.number(), in.number()};
    if (gauge.element_list == nullptr) return;
    int budget = kMostElements;
    walk(
        gauge.element_list[0],
        [&](ElementHead* element) {
            switch (element->kind) {
            case kText: {
                auto& text = *reinterpret_cast<TextElement*>(element);
                if (text.text_callback == nullptr) return;
                for (int i = 0; i < 3; ++i) text.source[i].value = sources[i];
                check_text_call(text.text_callback, text, true);
                return;
            }
            case kImageSelector: {
                auto& selector = *reinterpret_cast<ImageSelectorElement*>(element);
                if (selector.value_callback == nullptr) return;
                const double value = selector.value_callback(element);
                FUZZ_CHECK(value == -1.0 || value == 0.0 || value == 1.0);
                return;
            }
            case kMovingImage: {
                auto& moving = *reinterpret_cast<MovingImageElement*>(element);
                for (ValueCallback callback : {moving.x_callback, moving.y_callback}) {
                    if (callback == nullptr) continue;
                    const double offset = callback(element);
                    FUZZ_CHECK(std::isfinite(offset) && offset >= 54.0 && offset <= 540.0);
                }
                return;
            }
            default:
                return;
            }
        },
        budget);
}

// ---------------------------------------------------------------------------------------------------------------
// "Annunciator-T": the service callback on the module's own tree and on trees of any shape.

constexpr int kTreeNodes = 8;

struct Tree {
    TextElement nodes[kTreeNodes];
    ElementHead* lists[kTreeNodes][3];
    ElementHead* root_list[2];
};
Tree tree;

// A tree whose first-child chain runs through nodes of any kind, with null and empty child lists and second
// children beside the chain.
ElementHead** make_tree(Input& in) {
    tree = Tree{};
    const int count = 1 + in.byte() % kTreeNodes;
    for (int i = 0; i < count; ++i) {
        TextElement& node = tree.nodes[i];
        const uint8_t shape = in.byte();
        if ((shape & 0x30) == 0x30) {
            node.head.kind = static_cast<int32_t>(in.word());
        } else {
            node.head.kind = (shape & 0x10) != 0 ? kStaticImage : kText;
        }
        node.background_colour = in.word();
        node.text_colour = 0x00FFFFFF;
        ElementHead** list = tree.lists[i];
        switch (shape & 3) {
        case 0:
            node.head.child_list = nullptr;
            break;
        case 1:
            node.head.child_list = list;  // empty
            break;
        default:
            node.head.child_list = list;
            if (i + 1 < count) list[0] = &tree.nodes[i + 1].head;
            if ((shape & 3) == 3 && i + 2 < count) list[1] = &tree.nodes[count - 1].head;
            break;
        }
    }
    tree.root_list[0] = (in.byte() & 0x0F) == 0 ? nullptr : &tree.nodes[0].head;
    return tree.root_list;
}

// A copy of every element reachable from a root, to tell afterwards what the callback wrote.
struct Snapshot {
    struct Node {
        ElementHead* element;
        size_t size;
        unsigned char bytes[sizeof(TextElement)];
        bool in_chain;
    };
    Node nodes[kMostElements];
    int count = 0;

    void take(ElementHead* root) {
        count = 0;
        int budget = kMostElements;
        walk(
            root,
            [&](ElementHead* element) {
                Node& node = nodes[count++];
                node.element = element;
                node.size = element->kind == kText ? sizeof(TextElement) : sizeof(ElementHead);
                std::memcpy(node.bytes, element, node.size);
                node.in_chain = false;
            },
            budget);
        // The chain of first children below the root.
        for (ElementHead* e = root; e != nullptr && e->child_list != nullptr && e->child_list[0] != nullptr;) {
            e = e->child_list[0];
            for (int i = 0; i < count; ++i)
                if (nodes[i].element == e) nodes[i].in_chain = true;
        }
    }

    // Only the background word of the chain's text elements may differ, and then holds `colour`.
    void check(bool acted, uint32_t colour) const {
        for (int i = 0; i < count; ++i) {
            const Node& node = nodes[i];
            if (acted && node.in_chain && node.element->kind == kText) {
                TextElement now;
                std::memcpy(&now, node.element, sizeof now);
                FUZZ_CHECK(now.background_colour == colour);
                std::memcpy(&now.background_colour, node.bytes + offsetof(TextElement, background_colour),
                            sizeof now.background_colour);
                FUZZ_CHECK(std::memcmp(&now, node.bytes, sizeof now) == 0);
            } else {
                FUZZ_CHECK(std::memcmp(node.element, node.bytes, node.size) == 0);
            }
        }
    }
};
Snapshot snapshot;

// The colour a parameter text gives in korstpanel: the C library's reading of a decimal number, held to 32 bits.
[[maybe_unused]] uint32_t colour_of(const char* parameter) {
    const long long value = std::strtoll(parameter, nullptr, 10);
    const long long held = value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : value;
    return static_cast<uint32_t>(static_cast<int32_t>(held));
}

char parameter_text[4096 + 1];

void annunciator_t_op(Input& in) {
    const uint8_t shape = in.byte();
    const int32_t code = (shape & 0xE0) != 0 ? kParametersReady : static_cast<int32_t>(in.word());
    const char* parameter = (shape & 0x10) != 0 ? nullptr : in.text(parameter_text, sizeof parameter_text);
    GaugeHeader scratch{};
    GaugeHeader* gauge = nullptr;
    switch (shape % 4) {
    case 0:
        gauge = &gauge_headers[kGaugeAnnunciatorT];
        break;
    case 1:
        gauge = nullptr;
        break;
    case 2:
        gauge = &scratch;  // no element list
        break;
    case 3:
        gauge = &scratch;
        scratch.element_list = make_tree(in);
        break;
    }
    const char* held = gauge != nullptr ? gauge->parameter_string : nullptr;
    if (gauge != nullptr) gauge->parameter_string = parameter;
    ElementHead* root = gauge != nullptr && gauge->element_list != nullptr ? gauge->element_list[0] : nullptr;
    snapshot.take(root);
    annunciator_t_service(gauge, code, in.word());
    bool acted = code == kParametersReady && root != nullptr;
    uint32_t colour = layout::annunciator_t_background;
    if constexpr (Variant::annunciator_t_colour_from_parameter) {
        acted = acted && parameter != nullptr;
        if (parameter != nullptr) colour = colour_of(parameter);
    }
    snapshot.check(acted, colour);
    if (gauge != nullptr) gauge->parameter_string = held;
}

// ---------------------------------------------------------------------------------------------------------------
// The AFCP gauge's service callback, clicks, lifecycle routines and the engine.

char afcp_parameter[300];

// The header the host passes: the module's own, with or without a parameter text, or none at all.
GaugeHeader* afcp_header(Input& in) {
    GaugeHeader& afcp = gauge_headers[kGaugeAFCP];
    switch (in.byte() % 3) {
    case 0:
        afcp.parameter_string = nullptr;
        return &afcp;
    case 1:
        return nullptr;
    default:
        afcp.parameter_string = in.text(afcp_parameter, sizeof afcp_parameter);
        return &afcp;
    }
}

void update_op(Input& in) {
    const double supply = in.number(), enable = in.number();
    const double samples[4] = {supply, enable, in.number(), in.number()};
    for (int i = 0; i < 4; ++i) std::memcpy(&host.values[i], &samples[i], sizeof samples[i]);
    const bool held = module.block != nullptr;
    afcp_service(afcp_header(in), kUpdate, in.word());
    gauge_headers[kGaugeAFCP].parameter_string = nullptr;
    if (held) {
        FUZZ_CHECK(module.block != nullptr);
        FUZZ_CHECK(std::memcmp(&module.supply_sample.value, &samples[0], sizeof(double)) == 0);
        FUZZ_CHECK(std::memcmp(&module.radar_height_sample.value, &samples[3], sizeof(double)) == 0);
        check_after_update(supply, enable);
    } else {
        FUZZ_CHECK(module.block == zolm_test_block());
    }
}

void service_op(Input& in, int32_t code) {
    afcp_service(afcp_header(in), code, in.word());
    gauge_headers[kGaugeAFCP].parameter_string = nullptr;
    if (code == kDisconnect) FUZZ_CHECK(module.block == nullptr);
}

void command_op(Input& in) {
    const CommandEntry& entry = command_table[in.byte() % command_count];
    const int32_t a = static_cast<int32_t>(in.word()), b = static_cast<int32_t>(in.word());
    FUZZ_CHECK(entry.handler(a, b) == 0);
}

void click_op(Input& in) {
    const GaugeHeader& gauge = gauge_headers[in.byte() % kGaugeCount];
    const uint8_t which = in.byte();
    const int32_t a = static_cast<int32_t>(in.word()), b = static_cast<int32_t>(in.word());
    const MouseArea* areas[64];
    int count = 0;
    for (const MouseArea* area = gauge.mouse_areas; area != nullptr && area->type != kListEnd && count < 64; ++area)
        if (area->type == kArea && area->handler != nullptr) areas[count++] = area;
    if (count == 0) return;
    FUZZ_CHECK(areas[which % count]->handler(a, b) == 0);
}

void lifecycle_op(Input& in) {
    const GaugeHeader& gauge = gauge_headers[in.byte() % kGaugeCount];
    host.element_result = static_cast<int32_t>(in.word());
    const uint32_t word = in.word();
    int32_t result = 0;
    switch (in.byte() % 7) {
    case 0:
        result = gauge.lifecycle_1();
        break;
    case 1:
        result = gauge.lifecycle_2(word);
        break;
    case 2:
        result = gauge.lifecycle_3();
        break;
    case 3:
        result = gauge.lifecycle_4();
        break;
    case 4:
        result = gauge.lifecycle_5(word);
        break;
    case 5:
        result = gauge.lifecycle_6();
        break;
    default:
        result = gauge.lifecycle_7();
        break;
    }
    FUZZ_CHECK(result == host.element_result);
}

// The engine writes what it likes into the words and doubles it owns with the panel.
void engine_write_op(Input& in) {
    StateBlock* const block = module.block;
    const uint8_t field = in.byte() % 9;
    const uint32_t word = in.word();
    const double value = in.number();
    if (block == nullptr) return;
    switch (field) {
    case 0:
        block->engaged = word;
        break;
    case 1:
        block->armed = word;
        break;
    case 2:
        block->engaged ^= 1u << (word % 32);
        break;
    case 3:
        block->armed ^= 1u << (word % 32);
        break;
    case 4:
        block->altitude_reference = value;
        break;
    case 5:
        block->radar_height_reference = value;
        break;
    case 6:
        block->hover_height_reference = value;
        break;
    case 7:
        block->fore_aft_input = value;
        break;
    default:
        block->lateral_input = value;
        break;
    }
}

void variable_op(Input& in) {
    const size_t slot = in.byte() % kTokenCount;
    const double value = in.number();
    std::memcpy(&host.values[slot], &value, sizeof value);
    if (in.byte() & 1) host.values[slot] = in.bits64();  // e.g. a flag byte with anything above it
    host.host_words = in.word();
}

enum Op : uint8_t {
    kOpCommand,
    kOpUpdate,
    kOpDisconnect,
    kOpOtherService,
    kOpFailAttach,
    kOpEngineWrite,
    kOpVariable,
    kOpText,
    kOpImage,
    kOpMarker,
    kOpAnnunciatorT,
    kOpLifecycle,
    kOpClick,
    kOpRefreshGauge,
    kOpCount
};

constexpr int kMostOperations = 512;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    module = ModuleState{};
    zolm_test_reset();
    install_host();
    Input in(data, size);
    for (int n = 0; n < kMostOperations && !in.empty(); ++n) {
        switch (in.byte() % kOpCount) {
        case kOpCommand:
            command_op(in);
            break;
        case kOpUpdate:
            update_op(in);
            break;
        case kOpDisconnect:
            service_op(in, kDisconnect);
            break;
        case kOpOtherService:
            service_op(in, static_cast<int32_t>(in.word()));
            break;
        case kOpFailAttach:
            zolm_test_fail_attach(in.byte() & 1);
            break;
        case kOpEngineWrite:
            engine_write_op(in);
            break;
        case kOpVariable:
            variable_op(in);
            break;
        case kOpText:
            text_op(in);
            break;
        case kOpImage:
            image_op(in);
            break;
        case kOpMarker:
            marker_op(in);
            break;
        case kOpAnnunciatorT:
            annunciator_t_op(in);
            break;
        case kOpLifecycle:
            lifecycle_op(in);
            break;
        case kOpClick:
            click_op(in);
            break;
        default:
            refresh_gauge_op(in);
            break;
        }
        check_module();
    }
    afcp_service(nullptr, kDisconnect, 0);
    zolm_test_reset();
    return 0;
}
