// The host core: plays a panel module given its ImportTable and Linkage, for either front (the Windows preview,
// which loads the real DLL and draws with GDI, and the web page, which links the module in and draws on
// canvases). It lends the module a panel services table backed by a small simulator, drives the gauges as a host
// does (parameters ready, updates, disconnect), hit-tests clicks against the mouse-area lists, calls commands by
// name and captures through the stand-in engine, and walks every gauge's element tree into a list of drawing
// steps that the front carries out.
//
// How a gauge is drawn: the element tree in list order, each element before its children. A static image draws
// its bitmap at its position; an image selector draws bitmap id + n for its callback's value n (-1 draws nothing);
// a moving image shows its strip through a window the size of the companion bitmap (id + 1), at the offsets its
// x and y callbacks give (0 without one), rounded to the nearest pixel; a text fills its box with the background
// colour and draws the text its callback wrote, centred as its format flags say, in a fixed-pitch font. Images
// whose flags have bit 0x2 leave their pure black pixels undrawn, so the face shows through the corners of a knob
// or around a lamp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/zolm_test.h"
#include "frame/host.h"
#include "host/conventions.h"
#include "host/scenario.h"
#include "host/simulator.h"

namespace host_core {

// The front's bitmaps, by resource id, as the host loads them from the module.
class BitmapSource {
public:
    struct Size {
        int width, height;
    };
    virtual ~BitmapSource() = default;
    // Throws std::runtime_error when the module has no such bitmap.
    virtual Size size(int id) = 0;
};

// One thing for the front to draw on a gauge's picture, in order.
struct DrawStep {
    enum Kind { image_step, text_step };
    Kind kind = image_step;
    int x = 0, y = 0;           // top left, in pixels of the gauge's picture
    int width = 0, height = 0;  // image: the part of the bitmap shown; text: the box
    // image
    int bitmap_id = 0;
    int from_x = 0, from_y = 0;   // the part's top left in the bitmap
    bool black_is_clear = false;  // pure black pixels are left undrawn
    // text: colour words 0x00BBGGRR, the element's DrawText format flags and the font it asks for
    uint32_t text_colour = 0, background_colour = 0, format_flags = 0;
    int font_height = 0, font_width = 0, font_weight = 0, character_set = 0;
    std::string font_face;
    std::string text;
    bool operator==(const DrawStep&) const = default;
};

// A gauge as the core holds it.
struct GaugeState {
    afcp::GaugeHeader* header;
    afcp::ElementHead* root;
    std::string parameter;
    bool has_parameter = false;
    std::vector<DrawStep> steps;     // as last drawn
    std::vector<std::string> texts;  // every text element's text as last drawn, in element-tree order
};

// The five references of the state block, in its order.
struct References {
    double altitude, radar_height, hover_height, fore_aft, lateral;
};

class Panel {
public:
    // Lends the module its services table (in the given convention, where conventions differ) and reads the
    // gauges; throws std::runtime_error when a gauge has no usable root image.
    Panel(afcp::ImportTableRecord& import_table, afcp::LinkageRecord& linkage, BitmapSource& bitmaps,
          host_conventions::Convention services = host_conventions::Convention::callee_cleans);
    ~Panel();
    Panel(const Panel&) = delete;
    Panel& operator=(const Panel&) = delete;

    const std::vector<GaugeShape>& gauges() const { return shapes_; }
    const GaugeState& gauge(int slot) const { return gauges_.at(static_cast<size_t>(slot)); }
    // How many times a gauge has been drawn: while it stays the same, every gauge's steps do.
    uint64_t drawings() const { return drawings_; }
    Simulator& simulator() { return simulator_; }
    const Simulator& simulator() const { return simulator_; }
    bool started() const { return started_; }

    // A gauge's parameter string. Before the panel starts it is handed over at the start; once started, it goes
    // into the header at once and the gauge, if it has a service callback, hears "parameters ready" again.
    void set_parameter(int gauge, const std::string& text);
    // Starts the panel once: parameter strings into the headers, "parameters ready" to every gauge with a service
    // callback, and a first drawing of every gauge. Later calls do nothing.
    void start();
    // One host frame: "update" to every gauge with a service callback, then every gauge drawn anew.
    void frame();
    // A click at a pixel of a gauge: the first mouse area that holds it acts (its handler, or its key event sent
    // to the simulator). Returns what acted; throws std::runtime_error when no area holds the point.
    std::string click(int gauge, int x, int y);
    // The first mouse area of a gauge that holds a pixel, or null.
    const afcp::MouseArea* area_at(int gauge, int x, int y) const;
    // A panel command called by name through the engine, as the engine would; throws std::runtime_error for a
    // name the module did not register, or before it registered anything.
    void command(const std::string& name);
    // The engine captures its armed targets; returns the modes captured ("ALT GS", "nothing"). Throws before
    // the engine has handed out a block.
    std::string capture();
    // "disconnect" to every gauge with a service callback; the panel is done.
    void finish();
    // Simulated time: the engine and the physics at 100 Hz, a host frame every 1/18 s, from where the last fly
    // ended. Starts the flight if it is frozen. `each_frame`, when given, is called after every host frame; `done`,
    // when given, after every step, and the flight stops when it answers true. Returns the seconds flown.
    double fly(double seconds, const std::function<void()>& each_frame = nullptr,
               const std::function<bool()>& done = nullptr);
    // One step of the engine and the physics (kStepSeconds), without a host frame.
    void step();

    // The mode words and references of the engine's block; zero while it has none.
    bool attached() const;
    uint32_t engaged() const;
    uint32_t armed() const;
    References references() const;
    // The engine's caution, read from its own interface (mode 0: none).
    ZolmCaution caution() const;
    // The engine's block holds the three heights given (altitude, radar height, hover height, feet), as a fresh
    // start of the trainer gives them; the ground-speed inputs stay the panel's. Nothing while there is no block.
    void restart_references(double altitude, double radar_height, double hover_height);

    // The name of a command handler in the table the module registered with the engine, or "".
    static std::string command_name(afcp::CommandHandler handler);

private:
    void service(int32_t code);
    void service(GaugeState& g, int32_t code);
    void draw(GaugeState& g);
    void draw_element(GaugeState& g, afcp::ElementHead* e, int depth);
    void draw_text(GaugeState& g, afcp::TextElement* t);
    void prepare_text_buffers(afcp::ElementHead* e, int depth);
    BitmapSource::Size bitmap(int id);

    BitmapSource& bitmaps_;
    Simulator simulator_;
    std::vector<GaugeState> gauges_;
    std::vector<GaugeShape> shapes_;
    std::map<int, BitmapSource::Size> sizes_;
    std::map<const afcp::TextElement*, std::vector<char>> text_buffers_;
    void* services_[64] = {};
    bool started_ = false, finished_ = false;
    double to_next_frame_ = 0;  // simulated seconds until the next host frame while flying
    uint64_t drawings_ = 0;
};

// The modes of a word among those a capture engages: "ALT GS", or "nothing".
std::string captured_modes(uint32_t word);

// Why a command or a capture cannot be played yet, and why a click acts on nothing.
inline constexpr const char* kNoCommandsYet =
    "the engine has no commands yet: the AFCP gauge registers them on its first update";
inline constexpr const char* kNoBlockYet =
    "the engine has no state block yet: the AFCP gauge attaches on its first update";
std::string no_area(const std::string& gauge, int x, int y);
// Whether the module registered a command of that name with the engine; before it registered anything, whether
// `commands` (the module's table, where the host knows it) names it.
bool command_known(const std::string& name, const std::vector<std::string>& commands);

}  // namespace host_core
