// The preview's simulator host: it loads a panel module beside the stand-in engine, lends it a panel services
// table backed by a small simulator, drives its gauges as a host does (parameters ready, updates, disconnect),
// hit-tests clicks against the mouse-area lists and draws every gauge with GDI into a picture of its own.
//
// How it draws a gauge: the element tree in list order, each element before its children. A static image draws
// its bitmap at its position; an image selector draws bitmap id + n for its callback's value n (-1 draws nothing);
// a moving image shows its strip through a window the size of the companion bitmap (id + 1), at the offsets its
// x and y callbacks give (0 without one); a text fills its box with the background colour and draws the text its
// callback wrote, centred as its format flags say. Images whose flags have bit 0x2 leave their pure black pixels
// undrawn, so the face shows through the corners of a knob or around a lamp.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/host.h"
#include "preview/conventions.h"
#include "preview/scenario.h"
#include "preview/simulator.h"
#include "preview/surface.h"

namespace preview {

class PanelHost {
public:
    // Loads the module; throws std::runtime_error when it cannot be loaded or holds no usable gauges.
    // `services`: the calling convention of the panel services lent to the module.
    explicit PanelHost(const std::string& module_path,
                       host_conventions::Convention services = host_conventions::Convention::callee_cleans);
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // The module's file name without folder or extension ("korstpanel").
    const std::string& module_name() const { return module_name_; }
    const std::vector<GaugeShape>& gauges() const { return shapes_; }
    Simulator& simulator() { return simulator_; }

    // A gauge's parameter string, handed over when the panel starts.
    void set_parameter(int gauge, const std::string& text);
    // Starts the panel once: parameter strings into the headers, "parameters ready" to every gauge with a service
    // callback, and a first drawing of every gauge. Later calls do nothing.
    void start();
    // One host frame: "update" to every gauge with a service callback, then every gauge drawn anew.
    void frame();
    // A click at a pixel of a gauge: the first mouse area that holds it acts (its handler, or its key event sent
    // to the simulator). Returns what acted; throws std::runtime_error when no area holds the point.
    std::string click(int gauge, int x, int y);
    // "disconnect" to every gauge with a service callback; the panel is done.
    void finish();

    // A gauge's picture as last drawn.
    const Surface& picture(int gauge) const { return *gauges_[static_cast<size_t>(gauge)].surface; }
    // A bitmap of the module by resource id, as the host loads it.
    art::Canvas bitmap_pixels(int id);

    // The name of a command handler in the table the module registered with the engine, or "".
    static std::string command_name(afcp::CommandHandler handler);

private:
    struct Bitmap {
        HBITMAP handle;
        int width, height;
    };
    struct Gauge {
        afcp::GaugeHeader* header;
        afcp::ElementHead* root;
        std::unique_ptr<Surface> surface;
        std::string parameter;
        bool has_parameter = false;
    };

    const Bitmap& bitmap(int id);
    void blit(HDC dc, int id, int x, int y, int from_x, int from_y, int width, int height, bool black_is_clear);
    void service(int32_t code);
    void draw(Gauge& g);
    void draw_element(Gauge& g, afcp::ElementHead* e, int depth);
    void draw_text(Gauge& g, afcp::TextElement* t);
    void prepare_text_buffers(afcp::ElementHead* e, int depth);
    HFONT font(const afcp::TextElement& t);

    HMODULE module_ = nullptr;
    std::string module_name_;
    Simulator simulator_;
    std::vector<Gauge> gauges_;
    std::vector<GaugeShape> shapes_;
    std::map<int, Bitmap> bitmaps_;
    std::map<const afcp::TextElement*, std::vector<char>> text_buffers_;
    std::map<std::string, HFONT> fonts_;
    void* services_[64] = {};
    bool started_ = false, finished_ = false;
};

}  // namespace preview
