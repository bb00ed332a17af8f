// Drawing with cairo for the artwork: a picture to paint on, the panel's lettering (DejaVu Sans Condensed Bold,
// loaded from its file so that every machine draws the same bytes) and the shapes every gauge shares.
#pragma once

#include <cairo.h>

#include <functional>
#include <initializer_list>
#include <string_view>

#include "art/kit/canvas.h"

namespace art {

struct Rect {
    double x, y, w, h;
    double right() const { return x + w; }
    double bottom() const { return y + h; }
    double centre_x() const { return x + w / 2; }
    double centre_y() const { return y + h / 2; }
};

// A colour for cairo, channels 0..1.
struct Colour {
    double r, g, b;
};
constexpr Colour grey(int level) { return {level / 255.0, level / 255.0, level / 255.0}; }
constexpr Colour rgb(Rgb c) { return {c.r / 255.0, c.g / 255.0, c.b / 255.0}; }

// An opaque picture with a cairo context on it.
class Painting {
public:
    Painting(int width, int height);
    explicit Painting(const Canvas& start);  // painting over an existing picture
    ~Painting();
    Painting(const Painting&) = delete;
    Painting& operator=(const Painting&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Canvas canvas() const;

    // Fine grain over a rectangle: each pixel lightened or darkened by up to `amount` levels, the same for every
    // run (a fixed pseudo-random sequence), so a matte surface does not look like flat paint.
    void grain(Rect r, int amount, uint32_t seed);

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

void set_colour(cairo_t* cr, Colour c, double alpha = 1.0);

// Path of a rectangle with rounded corners.
void rounded_rectangle(cairo_t* cr, Rect r, double radius);

// Lettering in the panel's typeface, `size` pixels to the em.
double text_width(std::string_view text, double size);
// Height of the capitals above the baseline.
double cap_height(double size);
// White lettering engraved in the panel: a dark cut along its upper edge, a faint highlight along its lower, the
// paint in the letters. Centred on (cx, cy), the capitals' middle on cy.
void engrave(cairo_t* cr, std::string_view text, double cx, double cy, double size);
// The same in a colour of its own, for legends that carry a colour code.
void engrave(cairo_t* cr, std::string_view text, double cx, double cy, double size, Colour colour);
// Plain lettering of one colour, centred the same way (tape numbers).
void letter(cairo_t* cr, std::string_view text, double cx, double cy, double size, Colour colour);

// A stop of a gradient: where (0..1) and what colour.
struct Stop {
    double at;
    Colour colour;
};
// Fills the current path with a linear gradient from (x0, y0) to (x1, y1).
void fill_gradient(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops);

// A shape engraved in the panel: `path` (which makes the current path) filled or stroked twice, a little higher
// in dark for the cut, then in the legends' white.
void engrave_shape(cairo_t* cr, const std::function<void()>& path, bool stroke);

// A panel plate filling the picture: matte grey from level `top` to `bottom` (0..1, a trace of blue in it) with
// grain, a chamfered edge lit from the upper left and a fastener `inset` px in from each corner.
void plate(Painting& p, double top, double bottom, double fastener_inset, double fastener_radius, uint32_t seed);

// A panel fastener: a slotted screw head sunk in a countersink, lit from the upper left.
void fastener(cairo_t* cr, double cx, double cy, double radius);

// A soft shadow cast to the lower right by a rounded rectangle (a disc when the radius is half its side),
// spreading `spread` px, `strength` its darkest.
void drop_shadow(cairo_t* cr, Rect r, double radius, double spread, double strength);

}  // namespace art
