#include "preview/panel_host.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace preview {

namespace {

std::string hex(int id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(id));
    return text;
}

}  // namespace

PanelHost::PanelHost(const std::string& module_path, host_conventions::Convention services) {
    const size_t slash = module_path.find_last_of("/\\");
    module_name_ = module_path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (const size_t dot = module_name_.rfind('.'); dot != std::string::npos) module_name_.resize(dot);

    module_ = LoadLibraryA(module_path.c_str());
    if (module_ == nullptr)
        throw std::runtime_error("cannot load " + module_path + " (error " + std::to_string(GetLastError()) +
                                 "; zolm.dll must stand beside the preview program)");
    auto* import_table = reinterpret_cast<afcp::ImportTableRecord*>(GetProcAddress(module_, "ImportTable"));
    auto* linkage = reinterpret_cast<afcp::LinkageRecord*>(GetProcAddress(module_, "Linkage"));
    try {
        if (import_table == nullptr || linkage == nullptr)
            throw std::runtime_error(module_path + " exports no ImportTable and Linkage: not a gauge module");
        panel_ = std::make_unique<host_core::Panel>(*import_table, *linkage, *this, services);
        for (const GaugeShape& g : panel_->gauges()) surfaces_.push_back(std::make_unique<Surface>(g.width, g.height));
    } catch (...) {
        panel_.reset();
        for (auto& [id, b] : bitmaps_) DeleteObject(b.handle);
        FreeLibrary(module_);
        throw;
    }
}

PanelHost::~PanelHost() {
    panel_.reset();  // disconnects a running panel; the engine forgets the block and the table
    surfaces_.clear();
    for (auto& [key, f] : fonts_) DeleteObject(f);
    for (auto& [id, b] : bitmaps_) DeleteObject(b.handle);
    FreeLibrary(module_);
}

art::Canvas PanelHost::bitmap_pixels(int id) {
    const Bitmap& b = bitmap(id);
    Surface s(b.width, b.height);
    blit(s.dc(), id, 0, 0, 0, 0, b.width, b.height, false);
    return s.canvas();
}

host_core::BitmapSource::Size PanelHost::size(int id) {
    const Bitmap& b = bitmap(id);
    return {b.width, b.height};
}

const PanelHost::Bitmap& PanelHost::bitmap(int id) {
    if (auto it = bitmaps_.find(id); it != bitmaps_.end()) return it->second;
    HANDLE image = LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image == nullptr) throw std::runtime_error(module_name_ + " has no bitmap " + hex(id));
    BITMAP info{};
    GetObjectA(image, sizeof info, &info);
    return bitmaps_[id] = {static_cast<HBITMAP>(image), static_cast<int>(info.bmWidth),
                           static_cast<int>(info.bmHeight)};
}

void PanelHost::blit(HDC dc, int id, int x, int y, int from_x, int from_y, int width, int height, bool black_is_clear) {
    const Bitmap& b = bitmap(id);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, b.handle);
    if (black_is_clear)
        TransparentBlt(dc, x, y, width, height, source, from_x, from_y, width, height, RGB(0, 0, 0));
    else
        BitBlt(dc, x, y, width, height, source, from_x, from_y, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

void PanelHost::draw() {
    for (size_t slot = 0; slot < surfaces_.size(); ++slot) {
        HDC dc = surfaces_[slot]->dc();
        for (const host_core::DrawStep& s : panel_->gauge(static_cast<int>(slot)).steps) {
            if (s.kind == host_core::DrawStep::image_step)
                blit(dc, s.bitmap_id, s.x, s.y, s.from_x, s.from_y, s.width, s.height, s.black_is_clear);
            else
                render_text(dc, s);
        }
    }
}

HFONT PanelHost::font(const host_core::DrawStep& s) {
    const std::string key = s.font_face + "/" + std::to_string(s.font_weight) + "/" + std::to_string(s.character_set) +
                            "/" + std::to_string(s.font_height) + "/" + std::to_string(s.font_width);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    HFONT f = CreateFontA(s.font_height, s.font_width, 0, 0, s.font_weight, FALSE, FALSE, FALSE,
                          static_cast<DWORD>(s.character_set), OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                          FIXED_PITCH | FF_MODERN, s.font_face.c_str());
    if (f == nullptr) throw std::runtime_error("cannot make a font for the face '" + s.font_face + "'");
    return fonts_[key] = f;
}

void PanelHost::render_text(HDC dc, const host_core::DrawStep& s) {
    fill(dc, s.x, s.y, s.width, s.height, colour(s.background_colour));
    RECT box{s.x, s.y, s.x + s.width, s.y + s.height};
    HGDIOBJ previous = SelectObject(dc, font(s));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour(s.text_colour));
    DrawTextA(dc, s.text.c_str(), static_cast<int>(s.text.size()), &box, s.format_flags);
    SelectObject(dc, previous);
}

}  // namespace preview
