#include "host/scenario.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

bool reference_index(const std::string& name, int& index) {
    for (int i = 0; i < static_cast<int>(std::size(kReferenceNames)); ++i)
        if (name == kReferenceNames[i]) {
            index = i;
            return true;
        }
    return false;
}

void ParseContext::fail(const std::string& what) const { throw ScenarioError(where(file, line) + what); }

int ParseContext::find_gauge(const std::string& name) const {
    for (size_t i = 0; i < gauges.size(); ++i)
        if (same_name(gauges[i].name, name)) return static_cast<int>(i);
    return -1;
}

void ParseContext::unknown_gauge(const std::string& name) const {
    std::string known;
    for (const GaugeShape& g : gauges) known += (known.empty() ? "" : ", ") + g.name;
    fail("unknown gauge '" + name + "' (gauges: " + known + ")");
}

Scenario parse_scenario(const std::string& file, std::string_view text, const std::vector<GaugeShape>& gauges) {
    Scenario scenario;
    scenario.file = file;
    int64_t frames = 0;
    double flown = 0;
    bool started = false;
    std::vector<std::pair<std::string, int>> snapshots;
    int number = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const Line line = split(text.substr(at, end - at));
        at = end + 1;
        ++number;
        const ParseContext c{file, line.words, gauges, number, frames, flown, started, snapshots};
        if (line.bad_quote) c.fail("a double quote is not closed");
        if (line.words.empty()) continue;
        Step step{number, parse_instruction(c)};
        started = started || std::visit([](const auto& i) { return i.starts_panel; }, step.what);
        scenario.steps.push_back(std::move(step));
    }
    return scenario;
}

std::string number_text(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v);
    return text;
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
