// A picture to draw on with GDI: a 32-bit top-down DIB section selected into a memory DC.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "art/kit/canvas.h"

namespace preview {

class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_; }

    // The pixels as drawn so far, after GDI has finished its queued work.
    art::Canvas canvas() const;

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;  // 0x00RRGGBB, rows top down
};

// A GDI colour from a colour word 0x00BBGGRR; the two agree bit for bit.
inline COLORREF colour(uint32_t word) { return static_cast<COLORREF>(word & 0x00FFFFFF); }

// Fills a rectangle with one colour.
void fill(HDC dc, int x, int y, int width, int height, COLORREF c);

}  // namespace preview
