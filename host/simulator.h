// The host's simulator: the variables the panel and the engine read (host/variables.h), the key events they
// send, and the helicopter behind them; in three parts: the variable store and the flight (host/simulator.cpp),
// the placement of the aircraft (host/placement.cpp) and the events table (host/events.cpp).
//
// Frozen until flown: until the first `situation` or `fly`, every variable reads what was set (or its initial
// value) and nothing moves, as a panel on a test bench. Once flying, the flight model (flight/) and the navigation
// world give the aircraft's and the receivers' variables; a `set` of the airspeed, altitude, radar height or
// heading places the aircraft there anew, trimmed. The pilot's controls are held where they are put; the engine
// adds its share to each (engine/aircraft_link.h).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "flight/world.h"
#include "frame/host.h"
#include "host/variables.h"

namespace flight {
class Helicopter;
struct Environment;
struct TrimResult;
struct Outputs;
}  // namespace flight

namespace host_core {

struct SentEvent {
    uint32_t event;
    uint32_t parameter;
};

enum class Situation { ground, hover, cruise, approach };
// Below this airspeed a start from the variables as set is a hover over the ground, not flight through the air.
constexpr double kHoverBelowKt = 1.0;
// Below this radar height and airspeed a start from the variables as set is on the ground.
constexpr double kOnGroundBelowFt = 0.5;
// "ground" -> Situation::ground; false for any other word.
bool situation_named(const std::string& name, Situation& out);
std::span<const char* const> situation_names();  // in the order of Situation

// The pilot's controls, by the names scenarios give them.
enum class ControlAxis { collective, pitch, roll, pedals };
bool control_named(const std::string& name, ControlAxis& out);
std::span<const char* const> control_names();  // in the order of ControlAxis
// A control's travel: from this to 1 (the collective from 0, the others from -1).
double control_low(ControlAxis axis);

// The physics and the engine step at 100 Hz; the host's frames at 18 Hz.
constexpr double kStepSeconds = 0.01;
constexpr int kStepsPerSecond = 100;
constexpr double kFrameSeconds = 1.0 / 18.0;

// The lowest and highest value a variable took over the last `fly`, taken at every physics step; a circular
// variable's on the unwrapped circle from where it started.
struct Extent {
    double start = 0, low = 0, high = 0, last = 0;
};

class Simulator {
public:
    // Powered and frozen: supply level 28, enable switch 1; every other variable reads its initial value.
    Simulator();
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    double get(int32_t token) const;
    // Frozen: the variable takes the value. Flying: an aircraft variable repositions the aircraft, trimmed; a
    // variable that the flight or the world gives throws std::runtime_error saying so.
    void set(int32_t token, double value);

    // Fills a module variable record as the host's read service does. The flag variable (token 46) is an integer
    // whose low byte holds the flags; every other value is a double.
    void read(afcp::ModuleVariable& variable) const;

    // Applies a key event: heading bug set (degrees), autopilot altitude set (feet), autopilot airspeed set
    // (1/128 kt, kept in 1/64 kt), vertical speed up and down (100 ft/min steps), the go-around presets (vertical
    // speed in ft/min, airspeed in knots), and the engine's control events. Every key event is recorded, the
    // engine's control events are not (they come 400 times a second).
    void send(uint32_t event, uint32_t parameter);
    const std::vector<SentEvent>& events() const { return events_; }

    // ---- flight ----
    bool flying() const { return flying_; }
    // Places the aircraft, trimmed, and sets the references to match; starts the flight.
    void situation(Situation s);
    // Places the aircraft where a recorded flight was (feet north and east of the pad, altitude above sea level,
    // heading, airspeed, the skids' height), trimmed there: in a hover below kHoverBelowKt, on the ground where
    // the skids were also below kOnGroundBelowFt; starts the flight. Throws std::runtime_error for a place out
    // of range, as a set of the aircraft's variables does.
    void place(double airspeed_kt, double altitude_ft, double heading_deg, double north_ft, double east_ft,
               double radar_height_ft);
    // Starts the flight from the variables as set, trimmed at their airspeed, altitude and heading; does nothing
    // while flying.
    void start_flight();
    // The wind, from a direction (degrees) at a speed (knots); taken at once, also while frozen.
    void wind(double from_deg, double speed_kt);
    // Dryden turbulence at a level (0 off, 1 light, 2 moderate, 3 severe) from a seed; taken at once, also
    // while frozen, and kept through placements.
    void turbulence(int level, uint64_t seed);
    int turbulence_level() const { return turbulence_level_; }
    uint64_t turbulence_seed() const { return turbulence_seed_; }
    // Engine failures: engine 1 or 2 (or both) fails, or every engine runs again; taken at once, also while
    // frozen, and kept through placements (a placement's failed engine gives nothing from the start).
    void fail_engine(int engine);  // 1, 2, or 0 for both
    void restore_engines();
    int engines_out() const;
    // Whether the flight ended on the ground, and why ("" while it has not).
    bool crashed() const;
    std::string crash_description() const;
    // The pilot puts a control at a position (collective 0 to 1, the others -1 to 1); held until changed.
    void control(ControlAxis axis, double value);
    // One physics step of kStepSeconds (starts the flight first if frozen).
    void step();
    // Simulated seconds since the flight started or the aircraft was last placed.
    double time() const { return time_; }
    // How many times the aircraft has been placed (a situation or a reposition): the engine resets its loops
    // when this changes.
    int placements() const { return placements_; }

    // Extents over the last fly: begin_extents() before it, then every step() records.
    void begin_extents();
    bool extent(int32_t token, Extent& out) const;

    // The aircraft's controls as the blades get them: the pilot's plus the engine's share, in range.
    std::array<double, 4> effective_controls() const;

    // A key event the simulator knows: its name for the logs, and what it does (null: only logged).
    struct EventRow {
        uint32_t event;
        const char* name;
        void (*effect)(Simulator&, double parameter);
    };
    static const EventRow kEvents[];
    static const EventRow* event_row(uint32_t event);

private:
    void turn_course(double degrees);
    void turn_decision_height(double feet);
    void place_trimmed(double airspeed_kt, double altitude_ft, double heading_deg, double north_ft, double east_ft,
                       bool still_over_ground);
    void make_helicopter();  // the flight model, with the turbulence as set
    void place_on_ground(double heading_deg, double north_ft, double east_ft);
    static void check_placement(double airspeed_kt, double altitude_ft);  // throws for one out of range
    // The aircraft as placed, the pilot's controls at the placement's, the engine's shares at zero.
    void take_placement(const flight::TrimResult& placed);
    void refresh();  // the aircraft's and the world's variables from the flight state
    void refresh_power_and_ground(const flight::Outputs& o);  // torque, power and the crash
    void record_extents();
    double& slot(int32_t token);
    double& pilot_slot(int axis);  // the pilot's control on an axis (ControlAxis's order)

    // The table's variables in a flat array, reached by token through a small index (the engine reads some thirty
    // a step); any other token a scenario names in a map.
    static constexpr int32_t kIndexedTokens = 4096;
    std::array<int16_t, kIndexedTokens> index_{};
    std::vector<double> table_;
    std::map<int32_t, double> others_;
    std::vector<SentEvent> events_;
    bool flying_ = false;
    std::unique_ptr<flight::Helicopter> helicopter_;
    std::unique_ptr<flight::Environment> environment_;
    std::array<double, 4> autopilot_share_{};  // collective, pitch, roll, pedals
    double time_ = 0;
    int placements_ = 0;
    double wind_from_deg_ = 0, wind_kt_ = 0;
    int turbulence_level_ = 0;
    uint64_t turbulence_seed_ = 0;
    std::array<bool, 2> engine_failed_{};
    std::vector<Extent> extents_;  // in the order of variables()
    // Where each extent's variable is kept (its slot: the table's and the map's stay where they are), and
    // whether it is circular, found once by begin_extents.
    struct ExtentSource {
        const double* value;
        bool circular;
    };
    std::vector<ExtentSource> extent_sources_;
    flight::Receivers receivers_{flight::airport()};
};

// "heading bug set (66042) 95": an event's name where the panel knows it, for the run's log.
std::string describe_event(const SentEvent& e);

}  // namespace host_core
