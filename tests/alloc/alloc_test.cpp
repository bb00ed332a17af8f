// The module allocates nothing. A long pseudo-random run calls every command through the command table, updates
// and disconnects the AFCP gauge (so the block is attached, lost and attached again), and calls every element
// and gauge callback, with the host's variables and the engine's words at ordinary and extreme values, while the
// replaced allocation functions count. The engine and the host of this program allocate nothing themselves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "display/display.h"
#include "frame/catalogue.h"
#include "frame/module_state.h"
#include "frame/simulator.h"
#include "modes/command_table.h"
#include "tests/alloc/counting_allocator.h"
#include "tests/alloc/static_engine.h"
#include "tests/stub/stub_host.h"

namespace afcp::alloc {
namespace {

// Hides a pointer from the optimiser, so that an allocation paired with its release is not left out.
template <typename T>
T* kept(T* pointer) {
    asm volatile("" : "+r"(pointer) : : "memory");
    return pointer;
}

TEST(CountingAllocator, CountsEveryFormOfNewAndEveryCAllocation) {
    struct alignas(64) Wide {
        char bytes[64];
    };
    start();
    delete kept(new int(1));
    delete[] kept(new int[4]);
    delete kept(new (std::nothrow) int(2));
    delete kept(new Wide);
    const uint64_t news = tally().operator_new;
    void* m = kept(std::malloc(16));
    void* c = kept(std::calloc(2, 8));
    m = kept(std::realloc(m, 64));
    void* a = kept(std::aligned_alloc(64, 64));
    void* p = nullptr;
    const int aligned = posix_memalign(&p, 64, 64);
    char* copy = kept(strdup("copied inside the C library"));  // its malloc is the C library's own call
    stop();
    std::free(m);
    std::free(c);
    std::free(a);
    std::free(p);
    std::free(copy);
    EXPECT_EQ(aligned, 0);
    EXPECT_EQ(news, 4u);
    EXPECT_EQ(tally().c_allocations, 6u);
    EXPECT_EQ(tally().first_size, sizeof(int));
}

TEST(CountingAllocator, CountsOnlyWhileOn) {
    start();
    stop();
    delete kept(new int(1));
    std::free(kept(std::malloc(8)));
    EXPECT_EQ(allocations(), 0u);
}

// --- The run ---------------------------------------------------------------------------------------------

constexpr double inf = std::numeric_limits<double>::infinity();

// What the host and the engine hand over: ordinary values, the edges the module tests, and every extreme.
const double values[] = {0.0,    -0.0,    1.0,     -1.0,         9.99,          10.0,        28.0,   40.0,
                         40.5,   60.96,   61.0,    100.0,        359.7,         -0.5,        1500.0, 2560.0,
                         5120.0, 10240.0, 99950.0, -1.8,         3000.0,        25.7,        1e300,  -1e300,
                         inf,    -inf,    5e-324,  2147483648.0, -2147483649.0, std::nan("")};

// Every token the module reads, and the strings a gauge's parameter may hold.
const int32_t tokens[] = {token::supply_level,       token::enable_switch,      token::airspeed,
                          token::radar_height,       token::current_altitude,   token::heading_bug,
                          token::autopilot_altitude, token::autopilot_airspeed, token::nav_source_flag};
const char* const parameters[] = {nullptr, "", "123", "-5", "99999999999", "0x10", "  +42abc", "131586"};
const int32_t service_codes[] = {kParametersReady, kUpdate, kDisconnect, 0, 7, -1};
const int32_t max_lengths[] = {11, 7, 11, 7, 0, -3, 40};

const TextCallback texts[] = {display::upper_left_text, display::upper_centre_text, display::upper_right_text,
                              display::lower_left_text, display::lower_centre_text, display::lower_right_text};
constexpr int text_count = sizeof texts / sizeof texts[0];

const ValueCallback images[] = {
    display::stab_lamp,
    display::navigation_lamp,
    display::button_image<kFeedbackALT>,
    display::button_image<kFeedbackTDN>,
    display::button_image<kFeedbackNAV>,
    display::button_image<kFeedbackAPP>,
    display::button_image<kFeedbackGS>,
    display::button_image<kFeedbackIAS>,
    display::knob_image<kFeedbackCRHT>,
    display::knob_image<kFeedbackALTA>,
    display::knob_image<kFeedbackHOV>,
    display::knob_image<kFeedbackHDG>,
    display::knob_image<kFeedbackVS>,
    display::fore_aft_marker,
    display::lateral_marker,
};
constexpr int image_count = sizeof images / sizeof images[0];

class Random {
public:
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
    template <typename T, size_t N>
    const T& pick(const T (&items)[N]) {
        return items[below(N)];
    }
    // A mode word as the engine or the commands may leave it: a few named bits, or any bits at all.
    uint32_t word() {
        if (below(4) == 0) return static_cast<uint32_t>(next());
        uint32_t w = below(2) == 0 ? masks::stab_set | masks::per_update_marks : 0;
        for (uint32_t n = below(4); n > 0; --n) w |= 1u << below(20);
        if (below(4) == 0) w |= bits::HOV_SUB_A;
        return w;
    }

private:
    uint64_t state_ = 0x9E3779B97F4A7C15u;
};

// How often each thing ran, to show that the run reached all of it.
struct Reach {
    uint64_t commands[command_count];
    uint64_t commands_attached;
    uint64_t texts[text_count];
    uint64_t images[image_count];
    uint64_t updates;
    uint64_t disconnects;
    uint64_t gauge_services;
    uint64_t lifecycle;
    uint64_t tree_walks;
    uint64_t tree_callbacks;
    uint64_t mouse_walks;
};

// Calls `callback` on the element if there is one.
template <typename Callback, typename Element>
void call(Callback callback, Element* element, uint64_t& calls) {
    if (callback == nullptr) return;
    callback(element);
    ++calls;
}

// Every element of a gauge's tree, depth first, with its callbacks; text elements get a buffer for the call,
// as the host lends one.
void walk(ElementHead* element, int depth, char* buffer, uint64_t& calls) {
    if (element == nullptr || depth > 16) return;
    switch (element->kind) {
    case kText: {
        auto* text = reinterpret_cast<TextElement*>(element);
        char* const lent = text->text_buffer;
        text->text_buffer = buffer;
        call(text->text_callback, text, calls);
        text->text_buffer = lent;
        break;
    }
    case kImageSelector: {
        call(reinterpret_cast<ImageSelectorElement*>(element)->value_callback, element, calls);
        break;
    }
    case kMovingImage: {
        auto* moving = reinterpret_cast<MovingImageElement*>(element);
        call(moving->x_callback, element, calls);
        call(moving->y_callback, element, calls);
        break;
    }
    default:
        break;
    }
    if (element->child_list != nullptr)
        for (ElementHead** child = element->child_list; *child != nullptr; ++child)
            walk(*child, depth + 1, buffer, calls);
}

void click_every_area(GaugeHeader& gauge, Random& random, uint64_t& calls) {
    int n = 0;
    for (MouseArea* area = gauge.mouse_areas; area != nullptr && area->type != kListEnd && n < 256; ++area, ++n) {
        if (area->type == kArea && area->handler != nullptr) {
            area->handler(static_cast<int32_t>(random.next()), static_cast<int32_t>(random.next()));
            ++calls;
        }
    }
}

class ModuleAllocations : public ::testing::Test {
protected:
    void SetUp() override {
        module = ModuleState{};
        engine::record = engine::Record{};
        stub::install();
        for (int32_t token : tokens) stub::set(token, 50.0);
        for (int i = 0; i < text_count; ++i) {
            elements[i] = TextElement{};
            elements[i].text_buffer = buffers[i];
        }
    }
    void TearDown() override {
        module = ModuleState{};
        for (GaugeHeader& gauge : gauge_headers) gauge.parameter_string = nullptr;
    }

    // One step of the run: a command, a gauge service, a change of the host's or the engine's values, or a
    // callback, drawn at random.
    void step(Random& random) {
        const uint32_t roll = random.below(100);
        if (roll < 40) {
            const uint32_t i = random.below(command_count);
            const CommandEntry& entry = command_table[i];
            during(entry.name);
            entry.handler(static_cast<int32_t>(random.next()), static_cast<int32_t>(random.next()));
            ++reach.commands[i];
            if (module.block != nullptr) ++reach.commands_attached;
        } else if (roll < 52) {
            during("update");
            GaugeHeader& afcp = gauge_headers[kGaugeAFCP];
            afcp.service_callback(&afcp, kUpdate, static_cast<uint32_t>(random.next()));
            ++reach.updates;
        } else if (roll < 54) {
            during("disconnect");
            GaugeHeader& afcp = gauge_headers[kGaugeAFCP];
            afcp.service_callback(&afcp, kDisconnect, 0);
            ++reach.disconnects;
            engine::record.fail_attach = random.below(4) == 0;
        } else if (roll < 57) {
            during("gauge service");
            GaugeHeader& gauge = gauge_headers[random.below(kGaugeCount)];
            gauge.parameter_string = random.pick(parameters);
            if (gauge.service_callback != nullptr) {
                gauge.service_callback(&gauge, random.pick(service_codes), 0);
                ++reach.gauge_services;
            }
        } else if (roll < 62) {
            // The host's variables: the samples, the fresh reads and the receiver flag byte.
            stub::set(random.pick(tokens), random.pick(values));
            stub::set_raw(token::nav_receiver_flags, random.next());
            // Values in the usual ranges again now and then, so that the gate opens and power stays on.
            if (random.below(3) == 0) {
                stub::set(token::supply_level, 28.0);
                stub::set(token::enable_switch, 1.0);
                stub::set(token::airspeed, 80.0);
                stub::set(token::radar_height, 100.0);
            }
        } else if (roll < 68) {
            // The engine's writes into its block.
            StateBlock& block = engine::record.block;
            block.engaged = random.word();
            block.armed = random.word();
            double* const references[] = {&block.altitude_reference, &block.radar_height_reference,
                                          &block.hover_height_reference, &block.fore_aft_input, &block.lateral_input};
            *random.pick(references) = random.pick(values);
        } else if (roll < 84) {
            const uint32_t i = random.below(text_count);
            during("annunciator text");
            TextElement& element = elements[i];
            element.max_length = random.pick(max_lengths);
            for (ModuleVariable& source : element.source) source.value = random.pick(values);
            texts[i](&element);
            ++reach.texts[i];
        } else if (roll < 96) {
            const uint32_t i = random.below(image_count);
            during("lamp, image or marker");
            ElementHead element{};
            images[i](&element);
            ++reach.images[i];
        } else if (roll < 98) {
            during("lifecycle routine");
            GaugeHeader& gauge = gauge_headers[random.below(kGaugeCount)];
            switch (random.below(7)) {
            case 0:
                gauge.lifecycle_1();
                break;
            case 1:
                gauge.lifecycle_2(static_cast<uint32_t>(random.next()));
                break;
            case 2:
                gauge.lifecycle_3();
                break;
            case 3:
                gauge.lifecycle_4();
                break;
            case 4:
                gauge.lifecycle_5(static_cast<uint32_t>(random.next()));
                break;
            case 5:
                gauge.lifecycle_6();
                break;
            default:
                gauge.lifecycle_7();
                break;
            }
            ++reach.lifecycle;
        } else if (roll < 99) {
            during("element tree");
            for (GaugeHeader& gauge : gauge_headers)
                if (gauge.element_list != nullptr) walk(gauge.element_list[0], 0, tree_buffer, reach.tree_callbacks);
            ++reach.tree_walks;
        } else {
            during("mouse area");
            for (GaugeHeader& gauge : gauge_headers) click_every_area(gauge, random, reach.mouse_walks);
        }
        // Now and then a long stretch of only the usual values, so that modes engage and stay.
        if (random.below(1000) == 0) {
            stub::set(token::airspeed, 80.0);
            stub::set(token::radar_height, 100.0);
        }
    }

    Reach reach = {};
    TextElement elements[text_count];
    char buffers[text_count][64];
    char tree_buffer[64];
};

TEST_F(ModuleAllocations, NoneInALongRunOfEverything) {
    constexpr int steps = 1000000;
    Random random;
    start();
    for (int i = 0; i < steps; ++i) step(random);
    stop();

    EXPECT_EQ(allocations(), 0u) << tally().operator_new << " operator new, " << tally().c_allocations
                                 << " C allocations; the first, of " << tally().first_size << " bytes, during "
                                 << tally().first_during;

    // The run reached everything, attached and detached.
    EXPECT_EQ(engine::record.table, command_table);
    EXPECT_EQ(engine::record.count, command_count);
    EXPECT_GT(engine::record.attach_calls, 1000u);
    EXPECT_GT(engine::record.release_calls, 1000u);
    EXPECT_GT(reach.commands_attached, steps / 10u);
    for (int i = 0; i < command_count; ++i) EXPECT_GT(reach.commands[i], 1000u) << command_table[i].name;
    for (int i = 0; i < text_count; ++i) EXPECT_GT(reach.texts[i], 1000u) << "text " << i;
    for (int i = 0; i < image_count; ++i) EXPECT_GT(reach.images[i], 1000u) << "image callback " << i;
    EXPECT_GT(reach.gauge_services, 1000u);
    EXPECT_GT(reach.lifecycle, 1000u);
    EXPECT_GT(reach.tree_walks, 0u);
}

}  // namespace
}  // namespace afcp::alloc
