// A fixture for the command handlers: an attached block, samples that pass the engage gate, and ways to spy
// on what the host sees while a command runs.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "frame/afcp_service.h"
#include "frame/catalogue.h"
#include "modes/command_table.h"
#include "tests/unit/fake_host.h"

namespace afcp::test {

// The STAB set written out bit by bit.
constexpr uint32_t kStabOn = bits::STAB | bits::STAB_AX1 | bits::STAB_AX2 | bits::STAB_AX3 | bits::STAB_AX4;
// Bits that no command may touch, unless it clears or sets every word.
constexpr uint32_t kForeign = 0x78000000u | bits::PANEL;

class ModesTest : public ModuleTest {
protected:
    void SetUp() override {
        block = attach();
        ASSERT_NE(block, nullptr);
        gate_open();
        clear_host();
    }

    void clear_host() {
        host.events.clear();
        host.reads.clear();
        host.read_zeroed.clear();
    }

    // The two mode words, as the engine would leave them.
    void words(uint32_t engaged, uint32_t armed = 0) {
        block->engaged = engaged;
        block->armed = armed;
    }

    // The engage gate's samples, written as an update would leave them.
    void samples(double airspeed, double radar_height) {
        module.airspeed_sample.value = airspeed;
        module.radar_height_sample.value = radar_height;
    }
    void gate_closed() { samples(40.0, 100.0); }

    // The module's pointer is gone while the engine's block stays, so a test can see that nothing touched it.
    void forget_block() { module.block = nullptr; }

    static int32_t press(CommandHandler handler) { return handler(0x12345678, -1); }

    int8_t countdown(Feedback which) const { return module.countdown[which]; }

    StateBlock* block = nullptr;
};

// Everything a command may change, to compare before and after.
struct Snapshot {
    StateBlock block;
    int8_t countdown[kFeedbackCount];
    int32_t fore_aft_speed_setting;
    int32_t lateral_speed_setting;

    static Snapshot take(const StateBlock* block) {
        Snapshot s{};
        if (block != nullptr) std::memcpy(&s.block, block, sizeof s.block);
        std::memcpy(s.countdown, module.countdown, sizeof s.countdown);
        s.fore_aft_speed_setting = module.fore_aft_speed_setting;
        s.lateral_speed_setting = module.lateral_speed_setting;
        return s;
    }
    bool same_block(const Snapshot& other) const { return std::memcmp(&block, &other.block, sizeof block) == 0; }
};

// Replaces the host's send-event service for the life of the spy, and records the mode words as they were at
// the moment of each event.
class EventSpy {
public:
    struct Seen {
        uint32_t event;
        uint32_t parameter;
        uint32_t engaged;
        uint32_t armed;
    };
    EventSpy(FakeHost& host, const StateBlock* block) : host_(host), block_(block) {
        saved_ = host.table[service::send_event];
        host.table[service::send_event] = reinterpret_cast<void*>(&EventSpy::send);
        current_ = this;
    }
    ~EventSpy() {
        host_.table[service::send_event] = saved_;
        current_ = nullptr;
    }
    std::vector<Seen> seen;

private:
    static void AFCP_STDCALL send(uint32_t event, uint32_t parameter) {
        EventSpy& spy = *current_;
        spy.seen.push_back({event, parameter, spy.block_->engaged, spy.block_->armed});
        reinterpret_cast<SendEventService>(spy.saved_)(event, parameter);
    }
    static inline EventSpy* current_ = nullptr;
    FakeHost& host_;
    const StateBlock* block_;
    void* saved_;
};

// Replaces the host's read-variable service: keeps a copy of each record as it is handed over, and after the
// host has filled it writes a mark into the host-owned words, as a real host may.
class ReadSpy {
public:
    static constexpr uint32_t kHostMark = 0xC0FFEE00u;

    explicit ReadSpy(FakeHost& host) : host_(host) {
        saved_ = host.table[service::read_variable];
        host.table[service::read_variable] = reinterpret_cast<void*>(&ReadSpy::read);
        current_ = this;
    }
    ~ReadSpy() {
        host_.table[service::read_variable] = saved_;
        current_ = nullptr;
    }
    std::vector<const void*> records;
    std::vector<ModuleVariable> handed;

private:
    static void AFCP_STDCALL read(ModuleVariable* variable) {
        current_->records.push_back(variable);
        current_->handed.push_back(*variable);
        reinterpret_cast<ReadVariableService>(current_->saved_)(variable);
        variable->host_word1 = kHostMark | 1u;
        variable->host_word4 = kHostMark | 4u;
    }
    static inline ReadSpy* current_ = nullptr;
    FakeHost& host_;
    void* saved_;
};

}  // namespace afcp::test
