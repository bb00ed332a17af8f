#include "host/scenario.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "flight/helicopter.h"
#include "host/mode_names.h"
#include "host/simulator.h"
#include "host/variables.h"

namespace host_core {

namespace {

// A line cut into words: blanks separate, double quotes keep blanks inside a word, '#' ends the line.
struct Line {
    std::vector<std::string> words;
    bool bad_quote = false;
};

Line split(std::string_view text) {
    Line line;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            const size_t close = text.find('"', i + 1);
            if (close == std::string_view::npos) {
                line.bad_quote = true;
                break;
            }
            line.words.emplace_back(text.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            size_t end = i;
            while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '#' &&
                   text[end] != '"')
                ++end;
            line.words.emplace_back(text.substr(i, end - i));
            i = end;
        }
    }
    return line;
}

std::string join(const std::vector<std::string>& words, size_t first, size_t last) {
    std::string s;
    for (size_t i = first; i < last; ++i) s += (i > first ? " " : "") + words[i];
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool number(const std::string& word, int& out) {
    const char* end = word.data() + word.size();
    auto [at, error] = std::from_chars(word.data(), end, out);
    return error == std::errc() && at == end && !word.empty();
}

bool snapshot_name(const std::string& name) {
    if (name.empty() || name[0] == '.' || name[0] == '-') return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_' && c != '.') return false;
    return true;
}

class Parser {
public:
    Parser(const std::string& file, const std::vector<GaugeShape>& gauges) : gauges_(gauges) { scenario_.file = file; }

    void line(int number_, std::string_view text) {
        line_ = number_;
        Line l = split(text);
        if (l.bad_quote) fail("a double quote is not closed");
        if (l.words.empty()) return;
        w_ = std::move(l.words);
        const std::string& word = w_[0];
        if (word == "set") return set();
        if (word == "update") return update();
        if (word == "click") return click();
        if (word == "command") return command();
        if (word == "capture") return capture();
        if (word == "parameter") return parameter();
        if (word == "snapshot") return snapshot();
        if (word == "situation") return situation();
        if (word == "fly") return fly();
        if (word == "wind") return wind();
        if (word == "control") return control();
        if (word == "expect") return expect();
        if (word == "turbulence") return turbulence();
        fail("unknown instruction '" + word +
             "': expected set, update, click, command, capture, parameter, snapshot, situation, fly, wind, control, "
             "expect or turbulence");
    }

    Scenario take() { return std::move(scenario_); }

private:
    [[noreturn]] void fail(const std::string& what) const { throw ScenarioError(where(scenario_.file, line_) + what); }

    Step& add(Instruction instruction) {
        Step step;
        step.instruction = instruction;
        step.line = line_;
        scenario_.steps.push_back(std::move(step));
        if (instruction == Instruction::update || instruction == Instruction::click ||
            instruction == Instruction::command || instruction == Instruction::capture ||
            instruction == Instruction::snapshot || instruction == Instruction::fly)
            started_ = true;
        return scenario_.steps.back();
    }

    int find_gauge(const std::string& name) const {
        for (size_t i = 0; i < gauges_.size(); ++i)
            if (same_name(gauges_[i].name, name)) return static_cast<int>(i);
        return -1;
    }

    [[noreturn]] void unknown_gauge(const std::string& name) const {
        std::string known;
        for (const GaugeShape& g : gauges_) known += (known.empty() ? "" : ", ") + g.name;
        fail("unknown gauge '" + name + "' (gauges: " + known + ")");
    }

    void set() {
        if (w_.size() != 3) fail("expected 'set VARIABLE VALUE'");
        Step& s = add(Instruction::set);
        if (!find_variable(w_[1], s.token)) fail("unknown variable '" + w_[1] + "'");
        if (!finite_number(w_[2], s.value))
            fail("expected 'set VARIABLE VALUE' with a finite number, not '" + w_[2] + "'");
    }

    void update() {
        int count = 1;
        if (w_.size() > 2 || (w_.size() == 2 && (!number(w_[1], count) || count < 1 || count > kMostFrames)))
            fail("expected 'update' or 'update N' with N from 1 to " + std::to_string(kMostFrames));
        frames_ += count;
        if (frames_ > kMostFrames)
            fail("the scenario plays more than " + std::to_string(kMostFrames) + " frames in all");
        add(Instruction::update).count = count;
    }

    void click() {
        int x = 0, y = 0;
        const size_t n = w_.size();
        if (n < 4 || !number(w_[n - 2], x) || !number(w_[n - 1], y)) fail("expected 'click GAUGE X Y'");
        const std::string name = join(w_, 1, n - 2);
        const int gauge = find_gauge(name);
        if (gauge < 0) unknown_gauge(name);
        const GaugeShape& g = gauges_[static_cast<size_t>(gauge)];
        if (x < 0 || y < 0 || x >= g.width || y >= g.height)
            fail("(" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside " + g.name + " (" +
                 std::to_string(g.width) + " x " + std::to_string(g.height) + ")");
        Step& s = add(Instruction::click);
        s.gauge = gauge;
        s.x = x;
        s.y = y;
    }

    void command() {
        int times = 1;
        if (w_.size() < 2 || w_.size() > 3 ||
            (w_.size() == 3 && (!number(w_[2], times) || times < 1 || times > kMostRepeats)))
            fail("expected 'command NAME' or 'command NAME N' with N from 1 to " + std::to_string(kMostRepeats));
        Step& s = add(Instruction::command);
        s.text = w_[1];
        s.count = times;
    }

    void capture() {
        if (w_.size() != 1) fail("expected 'capture' alone");
        add(Instruction::capture);
    }

    // The gauge is the longest run of words after 'parameter' that names one; the rest is the text.
    void parameter() {
        if (w_.size() < 3) fail("expected 'parameter GAUGE TEXT'");
        int gauge = -1;
        size_t text_from = 0;
        for (size_t end = w_.size() - 1; end >= 2 && gauge < 0; --end) {
            gauge = find_gauge(join(w_, 1, end));
            text_from = end;
        }
        if (gauge < 0) unknown_gauge(w_[1]);
        if (started_)
            fail(
                "'parameter' comes before the panel starts: before the first update, click, command, capture, "
                "snapshot or fly");
        Step& s = add(Instruction::parameter);
        s.gauge = gauge;
        s.text = join(w_, text_from, w_.size());
    }

    void snapshot() {
        if (w_.size() != 2) fail("expected 'snapshot NAME'");
        const std::string& name = w_[1];
        if (!snapshot_name(name)) fail("a snapshot name is letters, digits, '-', '_' and '.', not '" + name + "'");
        if (auto [it, fresh] = snapshots_.emplace(name, line_); !fresh)
            fail("snapshot '" + name + "' is already taken on line " + std::to_string(it->second));
        add(Instruction::snapshot).text = name;
    }

    void situation() {
        Situation which{};
        if (w_.size() != 2 || !situation_named(w_[1], which))
            fail("expected 'situation ground', 'situation hover', 'situation cruise' or 'situation approach'");
        add(Instruction::situation).which = static_cast<int>(which);
    }

    // fly SECONDS [until VARIABLE below|above VALUE | until crashed]
    void fly() {
        double seconds = 0;
        const std::string usage = "expected 'fly SECONDS', 'fly SECONDS until VARIABLE below|above VALUE' or 'fly "
                                  "SECONDS until crashed', with a number of seconds above 0";
        const bool crash = w_.size() == 4 && w_[2] == "until" && w_[3] == "crashed";
        if ((w_.size() != 2 && w_.size() != 6 && !crash) || !finite_number(w_[1], seconds) || seconds <= 0) fail(usage);
        Step until;
        if (crash) until.which = kUntilCrashed;
        if (w_.size() == 6) {
            if (w_[2] != "until" || (w_[4] != "below" && w_[4] != "above")) fail(usage);
            if (!find_variable(w_[3], until.token)) fail("unknown variable '" + w_[3] + "'");
            if (!finite_number(w_[5], until.b)) fail(usage);
            until.which = w_[4] == "below" ? -1 : 1;
        }
        flown_ += seconds;
        if (flown_ > kMostFlightSeconds)
            fail("the scenario flies more than " + std::to_string(static_cast<int>(kMostFlightSeconds)) +
                 " simulated seconds in all");
        Step& s = add(Instruction::fly);
        s.a = seconds;
        s.token = until.token;
        s.which = until.which;
        s.b = until.b;
    }

    void wind() {
        double direction = 0, speed = 0;
        if (w_.size() != 3 || !finite_number(w_[1], direction) || !finite_number(w_[2], speed))
            fail("expected 'wind DIRECTION SPEED' (degrees the wind comes from, knots)");
        if (direction < 0 || direction > 360 || speed < 0 || speed > kMostWindKt)
            fail("a wind comes from 0 to 360 degrees at 0 to " + std::to_string(static_cast<int>(kMostWindKt)) +
                 " knots");
        Step& s = add(Instruction::wind);
        s.a = direction;
        s.b = speed;
    }

    // turbulence off|light|moderate|severe [SEED]
    void turbulence() {
        const std::string usage = "expected 'turbulence off|light|moderate|severe' or 'turbulence LEVEL SEED' with a "
                                  "SEED from 0 to 4294967295";
        if (w_.size() < 2 || w_.size() > 3) fail(usage);
        int level = -1;
        for (int i = 0; i < flight::kTurbulenceLevels; ++i)
            if (w_[1] == flight::turbulence_level_name(static_cast<flight::TurbulenceLevel>(i))) level = i;
        uint32_t seed = 0;
        if (level < 0) fail(usage);
        if (w_.size() == 3) {
            const char* end = w_[2].data() + w_[2].size();
            auto [at, error] = std::from_chars(w_[2].data(), end, seed);
            if (error != std::errc() || at != end) fail(usage);
        }
        Step& s = add(Instruction::turbulence);
        s.which = level;
        s.seed = seed;
    }

    void control() {
        ControlAxis axis{};
        double value = 0;
        if (w_.size() != 3 || !control_named(w_[1], axis) || !finite_number(w_[2], value))
            fail("expected 'control collective|pitch|roll|pedals VALUE'");
        const double low = control_low(axis);
        if (value < low || value > 1.0) {
            char from[16];
            std::snprintf(from, sizeof from, "%g", low);
            fail("control " + w_[1] + " takes " + from + " to 1, not " + w_[2]);
        }
        Step& s = add(Instruction::control);
        s.which = static_cast<int>(axis);
        s.a = value;
    }

    // expect VARIABLE VALUE TOL | within VARIABLE LOW HIGH | reference NAME VALUE TOL | [not] engaged|armed MODE...
    void expect() {
        const std::string usage =
            "expected 'expect VARIABLE VALUE TOLERANCE', 'expect within VARIABLE LOW HIGH', 'expect steady "
            "VARIABLE TOLERANCE', 'expect reference NAME VALUE TOLERANCE' or 'expect [not] engaged|armed MODE...'";
        if (w_.size() < 2) fail(usage);
        size_t at = 1;
        const bool negated = w_[at] == "not";
        if (negated) ++at;
        if (at < w_.size() && (w_[at] == "engaged" || w_[at] == "armed")) {
            const bool engaged = w_[at] == "engaged";
            if (at + 1 >= w_.size()) fail(usage);
            uint32_t bits = 0;
            for (size_t i = at + 1; i < w_.size(); ++i) {
                const ModeBit* m = nullptr;
                for (const ModeBit& b : mode_bits)
                    if (w_[i] == b.name) m = &b;
                if (m == nullptr) fail("unknown mode '" + w_[i] + "' (modes: HDG, LOC, VOR, NAV, VS, ALT, GS, IAS, "
                                       "HOV, CRHT, HHT, TUP, TDN, GA, STAB, ATT and the other bits' names)");
                bits |= m->bit;
            }
            Step& s = add(Instruction::expect);
            s.expectation = engaged ? (negated ? Expectation::not_engaged : Expectation::engaged)
                                    : (negated ? Expectation::not_armed : Expectation::armed);
            s.modes = bits;
            return;
        }
        if (w_.size() == 3 && w_[1] == "crashed") {
            int cause = -1;
            for (int i = 1; i < flight::kCrashCauses; ++i)
                if (w_[2] == flight::crash_cause_name(static_cast<flight::CrashCause>(i))) cause = i;
            if (cause < 0)
                fail("unknown crash cause '" + w_[2] +
                     "' (hard_touchdown, fast_on_ground, attitude_on_ground, rotor_strike, tail_rotor_strike, "
                     "airframe_strike)");
            Step& s = add(Instruction::expect);
            s.expectation = Expectation::crashed;
            s.which = cause;
            return;
        }
        if (w_.size() == 4 && w_[1] == "steady") {
            Step& s = add(Instruction::expect);
            s.expectation = Expectation::steady;
            if (!find_variable(w_[2], s.token)) fail("unknown variable '" + w_[2] + "'");
            if (!finite_number(w_[3], s.b) || s.b < 0) fail("expected 'expect steady VARIABLE TOLERANCE'");
            return;
        }
        if (negated || w_.size() != 4 + (w_[1] == "within" || w_[1] == "reference" ? 1u : 0u)) fail(usage);
        Step s;
        size_t first = 1;
        if (w_[1] == "within") {
            s.expectation = Expectation::within;
            first = 2;
        } else if (w_[1] == "reference") {
            s.expectation = Expectation::reference;
            first = 2;
            if (!reference_index(w_[2], s.which))
                fail("unknown reference '" + w_[2] + "' (altitude, radar_height, hover_height, fore_aft, lateral)");
            s.text = w_[2];
        }
        if (s.expectation != Expectation::reference && !find_variable(w_[first], s.token))
            fail("unknown variable '" + w_[first] + "'");
        if (!finite_number(w_[first + 1], s.a) || !finite_number(w_[first + 2], s.b))
            fail(usage + " with finite numbers");
        const Variable* variable = variable_of(s.token);
        const bool arc = variable != nullptr && variable->circular;  // LOW clockwise to HIGH, across north too
        if (s.expectation == Expectation::within ? (s.b < s.a && !arc) : s.b < 0)
            fail(s.expectation == Expectation::within ? "LOW is above HIGH" : "a tolerance is not negative");
        Step& added = add(Instruction::expect);
        const int line = added.line;
        added = s;
        added.instruction = Instruction::expect;
        added.line = line;
    }

    const std::vector<GaugeShape>& gauges_;
    double flown_ = 0;
    Scenario scenario_;
    std::map<std::string, int> snapshots_;
    std::vector<std::string> w_;
    int line_ = 0;
    int64_t frames_ = 0;
    bool started_ = false;
};

}  // namespace

bool reference_index(const std::string& name, int& index) {
    for (int i = 0; i < static_cast<int>(std::size(kReferenceNames)); ++i)
        if (name == kReferenceNames[i]) {
            index = i;
            return true;
        }
    return false;
}

Scenario parse_scenario(const std::string& file, std::string_view text, const std::vector<GaugeShape>& gauges) {
    Parser parser(file, gauges);
    int number_ = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        parser.line(++number_, text.substr(at, end - at));
        at = end + 1;
    }
    return parser.take();
}

// strtod, since from_chars for doubles is missing from some standard libraries.
bool finite_number(const std::string& word, double& out) {
    if (word.empty() || std::isspace(static_cast<unsigned char>(word[0]))) return false;
    char* end = nullptr;
    out = std::strtod(word.c_str(), &end);
    return end == word.c_str() + word.size() && std::isfinite(out);
}

std::string where(const std::string& file, int line) {
    return (file.empty() ? "line " : file + ":") + std::to_string(line) + ": ";
}

std::string step_message(const Scenario& scenario, const Step& step, const std::string& what) {
    return where(scenario.file, step.line) + what;
}

}  // namespace host_core
