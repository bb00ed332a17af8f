#include "art/generator/paint.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

namespace art {

namespace {

// By file, not by family name: a name would be resolved differently on every machine.
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

// The face lives as long as the program: one FreeType library, one face, one cairo face on it.
cairo_font_face_t* panel_face() {
    static cairo_font_face_t* face = [] {
        FT_Library library = nullptr;
        FT_Face ft = nullptr;
        if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, kFontFile, 0, &ft) != 0) {
            std::fprintf(stderr, "artgen: cannot load the panel font %s (package fonts-dejavu-extra)\n", kFontFile);
            std::exit(2);
        }
        return cairo_ft_font_face_create_for_ft_face(ft, 0);
    }();
    return face;
}

void use_font(cairo_t* cr, double size) {
    cairo_set_font_face(cr, panel_face());
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

// A scratch context for measuring text.
cairo_t* measuring() {
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    static cairo_t* cr = cairo_create(surface);
    return cr;
}

// Places the current point so that `text` is centred on (cx, cy), capitals' middle on cy.
void move_to_centred(cairo_t* cr, const std::string& text, double cx, double cy, double size) {
    use_font(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_move_to(cr, cx - e.x_advance / 2, cy + cap_height(size) / 2);
}

constexpr double kPi = std::numbers::pi;
constexpr Colour kLegendWhite{0.95, 0.945, 0.91};

}  // namespace

Painting::Painting(int width, int height)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
      cr_(cairo_create(surface_)) {}

Painting::Painting(const Canvas& start) : Painting(start.width(), start.height()) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const Rgb p = start.at(x, y);
            reinterpret_cast<uint32_t*>(data + y * stride)[x] = uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | p.b;
        }
    cairo_surface_mark_dirty(surface_);
}

Painting::~Painting() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Canvas Painting::canvas() const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    Canvas c(width_, height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const uint32_t p = reinterpret_cast<const uint32_t*>(data + y * stride)[x];
            c.set(x, y, {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        }
    return c;
}

void Painting::grain(Rect r, int amount, uint32_t seed) {
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    uint32_t state = seed;
    for (int y = int(r.y); y < int(r.bottom()) && y < height_; ++y)
        for (int x = int(r.x); x < int(r.right()) && x < width_; ++x) {
            state = state * 1664525u + 1013904223u;
            const int delta = int(state >> 24) % (2 * amount + 1) - amount;
            uint32_t& p = reinterpret_cast<uint32_t*>(data + y * stride)[x];
            auto channel = [&](int shift) {
                const int v = int((p >> shift) & 0xFF) + delta;
                return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v) << shift;
            };
            p = channel(16) | channel(8) | channel(0);
        }
    cairo_surface_mark_dirty(surface_);
}

void set_colour(cairo_t* cr, Colour c, double alpha) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

void rounded_rectangle(cairo_t* cr, Rect r, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, r.right() - radius, r.y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, r.right() - radius, r.bottom() - radius, radius, 0, kPi / 2);
    cairo_arc(cr, r.x + radius, r.bottom() - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, r.x + radius, r.y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

double text_width(std::string_view text, double size) {
    cairo_t* cr = measuring();
    use_font(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, std::string(text).c_str(), &e);
    return e.x_advance;
}

double cap_height(double size) { return size * 0.729; }  // DejaVu's capitals: 1493 of 2048 units

void engrave(cairo_t* cr, std::string_view text, double cx, double cy, double size) {
    engrave(cr, text, cx, cy, size, kLegendWhite);
}

void engrave(cairo_t* cr, std::string_view text, double cx, double cy, double size, Colour colour) {
    const std::string s(text);
    cairo_save(cr);
    move_to_centred(cr, s, cx, cy - 0.8, size);
    set_colour(cr, grey(0), 0.75);
    cairo_show_text(cr, s.c_str());
    move_to_centred(cr, s, cx, cy + 0.6, size);
    set_colour(cr, grey(150), 0.35);
    cairo_show_text(cr, s.c_str());
    move_to_centred(cr, s, cx, cy, size);
    set_colour(cr, colour);
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

void letter(cairo_t* cr, std::string_view text, double cx, double cy, double size, Colour colour) {
    const std::string s(text);
    cairo_save(cr);
    move_to_centred(cr, s, cx, cy, size);
    set_colour(cr, colour);
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

void fill_gradient(cairo_t* cr, double x0, double y0, double x1, double y1, std::initializer_list<Stop> stops) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const Stop& s : stops) cairo_pattern_add_color_stop_rgb(gradient, s.at, s.colour.r, s.colour.g, s.colour.b);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void engrave_shape(cairo_t* cr, const std::function<void()>& path, bool stroke) {
    cairo_save(cr);
    cairo_translate(cr, 0, -0.8);
    path();
    set_colour(cr, grey(0), 0.7);
    stroke ? cairo_stroke(cr) : cairo_fill(cr);
    cairo_restore(cr);
    path();
    set_colour(cr, kLegendWhite);
    stroke ? cairo_stroke(cr) : cairo_fill(cr);
}

void plate(Painting& p, double top, double bottom, double fastener_inset, double fastener_radius, uint32_t seed) {
    cairo_t* cr = p.cr();
    const double w = p.width(), h = p.height();
    cairo_rectangle(cr, 0, 0, w, h);
    fill_gradient(cr, 0, 0, 0, h, {{0, {top, top * 1.03, top * 1.09}}, {1, {bottom, bottom * 1.03, bottom * 1.09}}});
    p.grain({0, 0, w, h}, 3, seed);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 1, 1, w - 2, h - 2);
    set_colour(cr, grey(8), 0.9);
    cairo_stroke(cr);
    cairo_move_to(cr, 3, h - 3);
    cairo_line_to(cr, 3, 3);
    cairo_line_to(cr, w - 3, 3);
    set_colour(cr, grey(150), 0.5);
    cairo_stroke(cr);
    cairo_move_to(cr, w - 3, 3);
    cairo_line_to(cr, w - 3, h - 3);
    cairo_line_to(cr, 3, h - 3);
    set_colour(cr, grey(0), 0.55);
    cairo_stroke(cr);
    for (double x : {fastener_inset, w - fastener_inset})
        for (double y : {fastener_inset, h - fastener_inset}) fastener(cr, x, y, fastener_radius);
}

void fastener(cairo_t* cr, double cx, double cy, double radius) {
    cairo_save(cr);
    // Countersink: a dark ring, lighter towards the lower right where it catches the light.
    cairo_arc(cr, cx, cy, radius + 1.6, 0, 2 * kPi);
    fill_gradient(cr, cx - radius, cy - radius, cx + radius, cy + radius,
                  {{0, {0.07, 0.07, 0.08}}, {1, {0.36, 0.37, 0.39}}});
    // The head: domed, lit from the upper left.
    cairo_pattern_t* head =
        cairo_pattern_create_radial(cx - radius * 0.4, cy - radius * 0.45, radius * 0.1, cx, cy, radius * 1.05);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.78, 0.79, 0.80);
    cairo_pattern_add_color_stop_rgb(head, 0.55, 0.50, 0.51, 0.53);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.25, 0.26, 0.27);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    // The slot, turned a little, with its lit lower lip.
    const double a = -0.6, dx = std::cos(a) * radius * 0.78, dy = std::sin(a) * radius * 0.78;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_width(cr, std::max(1.2, radius * 0.32));
    cairo_move_to(cr, cx - dx, cy - dy);
    cairo_line_to(cr, cx + dx, cy + dy);
    set_colour(cr, grey(28));
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.7);
    cairo_move_to(cr, cx - dx + 0.5, cy - dy + radius * 0.2);
    cairo_line_to(cr, cx + dx + 0.5, cy + dy + radius * 0.2);
    set_colour(cr, grey(190), 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void drop_shadow(cairo_t* cr, Rect r, double radius, double spread, double strength) {
    cairo_save(cr);
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double grow = spread * i / steps;
        rounded_rectangle(cr, {r.x - grow + spread * 0.5, r.y - grow + spread * 0.7, r.w + 2 * grow, r.h + 2 * grow},
                          radius + grow);
        set_colour(cr, grey(0), strength / steps);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

}  // namespace art
