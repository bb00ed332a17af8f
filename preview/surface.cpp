#include "preview/surface.h"

#include <stdexcept>

namespace preview {

Surface::Surface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc_ == nullptr || bitmap_ == nullptr) {
        if (dc_ != nullptr) DeleteDC(dc_);
        throw std::runtime_error("cannot make a " + std::to_string(width) + " x " + std::to_string(height) +
                                 " drawing surface");
    }
    bits_ = static_cast<uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
}

Surface::~Surface() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

art::Canvas Surface::canvas() const {
    GdiFlush();
    art::Canvas c(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
            c.set(x, y, {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    return c;
}

void fill(HDC dc, int x, int y, int width, int height, COLORREF c) {
    RECT r{x, y, x + width, y + height};
    HBRUSH brush = CreateSolidBrush(c);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

}  // namespace preview
