// The preview's front of the host core (host/panel.h) on Windows: it loads a panel module beside the stand-in
// engine with LoadLibrary, loads its bitmaps from the module's resources, and carries out the core's drawing
// steps with GDI, each gauge into a picture of its own. Images whose steps leave pure black undrawn go through
// TransparentBlt; texts are drawn with DrawText in a fixed-pitch font that Windows (or Wine) substitutes for the
// module's face.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/conventions.h"
#include "host/panel.h"
#include "preview/surface.h"

namespace preview {

using host_core::GaugeShape;
using host_core::Simulator;

class PanelHost : public host_core::BitmapSource {
public:
    // Loads the module; throws std::runtime_error when it cannot be loaded or holds no usable gauges.
    // `services`: the calling convention of the panel services lent to the module.
    explicit PanelHost(const std::string& module_path,
                       host_conventions::Convention services = host_conventions::Convention::callee_cleans);
    ~PanelHost() override;
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    // The module's file name without folder or extension ("korstpanel").
    const std::string& module_name() const { return module_name_; }
    const std::vector<GaugeShape>& gauges() const { return panel_->gauges(); }
    Simulator& simulator() { return panel_->simulator(); }
    host_core::Panel& panel() { return *panel_; }
    const host_core::Panel& panel() const { return *panel_; }

    // Ends the panel as the core does (host/panel.h); everything else is played through panel().
    void finish() { panel_->finish(); }

    // Every gauge's picture drawn with GDI from the core's drawing steps of its last frame.
    void draw();
    // A gauge's picture as last drawn.
    const Surface& picture(int gauge) const { return *surfaces_[static_cast<size_t>(gauge)]; }
    // A bitmap of the module by resource id, as the host loads it.
    art::Canvas bitmap_pixels(int id);
    Size size(int id) override;

private:
    struct Bitmap {
        HBITMAP handle;
        int width, height;
    };

    const Bitmap& bitmap(int id);
    void blit(HDC dc, int id, int x, int y, int from_x, int from_y, int width, int height, bool black_is_clear);
    void render_text(HDC dc, const host_core::DrawStep& s);
    HFONT font(const host_core::DrawStep& s);

    HMODULE module_ = nullptr;
    std::string module_name_;
    std::map<int, Bitmap> bitmaps_;
    std::map<std::string, HFONT> fonts_;
    std::unique_ptr<host_core::Panel> panel_;
    std::vector<std::unique_ptr<Surface>> surfaces_;
};

}  // namespace preview
