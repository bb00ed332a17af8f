// The web page's side of the host core: the module and the stand-in engine are linked in, the bitmaps are
// embedded as PNG files (/bitmaps/<id>.png) and decoded here. The page's script calls the functions below;
// each answers a JSON text (an object with "error" when the call is refused) that stays valid until the next
// call.
#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO_FAILURE_STRINGS
#include <stb_image.h>

#include "frame/catalogue.h"
#include "frame/services.h"
#include "host/json.h"
#include "host/mode_names.h"
#include "host/panel.h"
#include "host/scenario.h"
#include "host/variables.h"
#include "layout/area_table.h"
#include "modes/command_table.h"
#include "variants/variant.h"

extern "C" afcp::LinkageRecord Linkage;

namespace {

using host_core::DrawStep;
using host_core::Panel;

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// The module's bitmaps, as the build embedded them.
class EmbeddedBitmaps : public host_core::BitmapSource {
public:
    Size size(int id) override {
        const Picture& p = picture(id);
        return {p.width, p.height};
    }
    const Picture& picture(int id) {
        if (auto it = pictures_.find(id); it != pictures_.end()) return it->second;
        char path[32];
        std::snprintf(path, sizeof path, "/bitmaps/%X.png", static_cast<unsigned>(id));
        int w = 0, h = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path, &w, &h, &channels, 4);
        if (pixels == nullptr) throw std::runtime_error("the module has no bitmap " + std::string(path + 9));
        Picture& p = pictures_[id];
        p.width = w;
        p.height = h;
        p.rgba.assign(pixels, pixels + static_cast<size_t>(w) * h * 4);
        stbi_image_free(pixels);
        return p;
    }
    std::vector<int> ids() const {
        std::vector<int> out;
        for (auto& [id, p] : pictures_) out.push_back(id);
        return out;
    }

private:
    std::map<int, Picture> pictures_;
};

using host_core::Json;

EmbeddedBitmaps bitmaps;
std::unique_ptr<Panel> panel;
std::string answer;

// The names of the module's command table, which the engine receives on the first update.
const std::vector<std::string>& module_commands() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const afcp::CommandEntry& e : afcp::command_table)
            out.emplace_back(e.name, strnlen(e.name, sizeof e.name));
        return out;
    }();
    return names;
}

const char* reply(const Json& j) {
    answer = j.text();
    return answer.c_str();
}

const char* refuse(const std::string& what) {
    Json j;
    j.open('{').key("error").str(what).close('}');
    return reply(j);
}

const char* ok() {
    Json j;
    j.open('{').key("ok").boolean(true).close('}');
    return reply(j);
}

// Runs an action of the page; a refusal becomes {"error": ...}.
template <typename Action>
const char* guarded(Action action) {
    if (!panel) return refuse("the panel is not open");
    try {
        return action();
    } catch (const std::exception& e) {
        return refuse(e.what());
    }
}

int gauge_slot(int gauge) {
    if (gauge < 0 || gauge >= static_cast<int>(panel->gauges().size()))
        throw std::runtime_error("no gauge " + std::to_string(gauge));
    return gauge;
}

void write_words(Json& j) {
    j.key("engaged").num(panel->engaged()).key("armed").num(panel->armed()).key("attached").boolean(panel->attached());
    const host_core::References r = panel->references();
    j.key("references").open('{');
    j.key("altitude").num(r.altitude).key("radar_height").num(r.radar_height).key("hover_height").num(r.hover_height);
    j.key("fore_aft").num(r.fore_aft).key("lateral").num(r.lateral).close('}');
}

}  // namespace

extern "C" {

// Opens the panel: the gauges, the simulator's variables, the mode bits and the cursor kinds the page needs.
EMSCRIPTEN_KEEPALIVE const char* panel_open() {
    try {
        panel = std::make_unique<Panel>(ImportTable, Linkage, bitmaps);
        panel->start();
    } catch (const std::exception& e) {
        panel.reset();
        return refuse(e.what());
    }
    Json j;
    j.open('{').key("module").str(afcp::Variant::module_name);
    j.key("gauges").open('[');
    for (const host_core::GaugeShape& g : panel->gauges())
        j.open('{').key("name").str(g.name).key("width").num(g.width).key("height").num(g.height).close('}');
    j.close(']').key("variables").open('[');
    for (const host_core::Variable& v : host_core::variables())
        j.open('{').key("name").str(v.name).key("token").num(v.token).key("unit").str(v.unit).key("source")
            .str(host_core::source_name(v.source)).close('}');
    j.close(']').key("bits").open('[');
    for (const host_core::ModeBit& b : host_core::mode_bits) j.open('[').num(b.bit).str(b.name).close(']');
    j.close(']').key("cursors").open('{');
    j.key("push").num(afcp::layout::cursor::push);
    j.key("increase").num(afcp::layout::cursor::increase);
    j.key("decrease").num(afcp::layout::cursor::decrease).close('}');
    j.key("most_frames").num(host_core::kMostFrames);
    j.close('}');
    return reply(j);
}

// A bitmap's pixels (RGBA rows, top down) and size.
EMSCRIPTEN_KEEPALIVE const uint8_t* panel_bitmap(int id, int* width, int* height) {
    try {
        const Picture& p = bitmaps.picture(id);
        *width = p.width;
        *height = p.height;
        return p.rgba.data();
    } catch (const std::exception&) {
        *width = *height = 0;
        return nullptr;
    }
}

// Everything the page shows: each gauge's drawing steps and texts, the mode words, the references, and the key
// events sent from `events_from` on.
EMSCRIPTEN_KEEPALIVE const char* panel_view(int events_from) {
    return guarded([&] {
        Json j;
        j.open('{').key("gauges").open('[');
        for (size_t slot = 0; slot < panel->gauges().size(); ++slot) {
            const host_core::GaugeState& g = panel->gauge(static_cast<int>(slot));
            j.open('{').key("steps").open('[');
            for (const DrawStep& s : g.steps) {
                j.open('[');
                if (s.kind == DrawStep::image_step) {
                    j.num(0).num(s.x).num(s.y).num(s.width).num(s.height).num(s.bitmap_id).num(s.from_x);
                    j.num(s.from_y).num(s.black_is_clear ? 1 : 0);
                } else {
                    j.num(1).num(s.x).num(s.y).num(s.width).num(s.height).num(s.text_colour);
                    j.num(s.background_colour).num(s.format_flags).num(s.font_height).num(s.font_width);
                    j.num(s.font_weight).str(s.text);
                }
                j.close(']');
            }
            j.close(']').key("texts").open('[');
            for (const std::string& t : g.texts) j.str(t);
            j.close(']').close('}');
        }
        j.close(']');
        write_words(j);
        const auto& events = panel->simulator().events();
        j.key("event_count").num(static_cast<double>(events.size())).key("events").open('[');
        for (size_t i = events_from < 0 ? 0 : static_cast<size_t>(events_from); i < events.size(); ++i)
            j.open('[')
                .num(events[i].event)
                .num(events[i].parameter)
                .str(host_core::describe_event(events[i]))
                .close(']');
        j.close(']').close('}');
        return reply(j);
    });
}

// The variables' current values, in the order of panel_open's list.
EMSCRIPTEN_KEEPALIVE const char* panel_variables() {
    return guarded([&] {
        Json j;
        j.open('[');
        for (const host_core::Variable& v : host_core::variables()) j.num(panel->simulator().get(v.token));
        j.close(']');
        return reply(j);
    });
}

// A variable by name or token number; the value as typed. Only a finite number is taken.
EMSCRIPTEN_KEEPALIVE const char* panel_set(const char* name, const char* value) {
    return guarded([&] {
        int32_t token = 0;
        if (!host_core::find_variable(name, token)) return refuse("unknown variable '" + std::string(name) + "'");
        double v = 0;
        if (!host_core::finite_number(value, v))
            return refuse("a variable's value is a finite number, not '" + std::string(value) + "'");
        panel->simulator().set(token, v);
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_update(int frames) {
    return guarded([&] {
        if (frames < 1 || frames > host_core::kMostFrames)
            return refuse("update takes 1 to " + std::to_string(host_core::kMostFrames) + " frames");
        for (int i = 0; i < frames; ++i) panel->frame();
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_click(int gauge, int x, int y) {
    return guarded([&] {
        const host_core::GaugeShape& g = panel->gauges().at(static_cast<size_t>(gauge_slot(gauge)));
        if (x < 0 || y < 0 || x >= g.width || y >= g.height)
            return refuse("(" + std::to_string(x) + ", " + std::to_string(y) + ") lies outside " + g.name + " (" +
                          std::to_string(g.width) + " x " + std::to_string(g.height) + ")");
        const std::string reached = panel->click(gauge, x, y);
        Json j;
        j.open('{').key("reached").str(reached).close('}');
        return reply(j);
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_words() {
    return guarded([&] {
        Json j;
        j.open('{');
        write_words(j);
        j.close('}');
        return reply(j);
    });
}

// The texts of a gauge's text elements as last drawn, in element-tree order.
EMSCRIPTEN_KEEPALIVE const char* panel_texts(int gauge) {
    return guarded([&] {
        Json j;
        j.open('[');
        for (const std::string& t : panel->gauge(gauge_slot(gauge)).texts) j.str(t);
        j.close(']');
        return reply(j);
    });
}

// The cursor kind of the area under a pixel, or 0 where there is none.
EMSCRIPTEN_KEEPALIVE int panel_cursor(int gauge, int x, int y) {
    if (!panel || gauge < 0 || gauge >= static_cast<int>(panel->gauges().size())) return 0;
    const afcp::MouseArea* a = panel->area_at(gauge, x, y);
    return a != nullptr ? a->cursor : 0;
}

EMSCRIPTEN_KEEPALIVE const char* panel_command(const char* name) {
    return guarded([&] {
        panel->command(name);
        return ok();
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_capture() {
    return guarded([&] {
        Json j;
        j.open('{').key("captured").str(panel->capture()).close('}');
        return reply(j);
    });
}

EMSCRIPTEN_KEEPALIVE const char* panel_parameter(int gauge, const char* text) {
    return guarded([&] {
        panel->set_parameter(gauge_slot(gauge), text);
        return ok();
    });
}

// Plays a scenario on the live panel, or nothing of it when a line is refused. Answers the log lines and the
// snapshots taken.
EMSCRIPTEN_KEEPALIVE const char* panel_run(const char* text) {
    return guarded([&] {
        const host_core::Scenario scenario = host_core::parse_scenario("", text, panel->gauges());
        struct Hooks : host_core::PlayHooks {
            Json log_lines, snapshots;
            Hooks() {
                log_lines.open('[');
                snapshots.open('[');
            }
            void snapshot(const host_core::Step& s) override { snapshots.str(s.text); }
            void log(const std::string& line) override { log_lines.str(line); }
        } hooks;
        host_core::check_playable(*panel, scenario, module_commands());
        host_core::play(*panel, scenario, hooks);
        hooks.log_lines.close(']');
        hooks.snapshots.close(']');
        Json j;
        j.open('{').key("log").raw(hooks.log_lines.text()).key("snapshots").raw(hooks.snapshots.text()).close('}');
        return reply(j);
    });
}

}  // extern "C"
