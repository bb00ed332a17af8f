// The AFCP faces and the Korst face's overlays (lamps, turned knobs, pressed button).
//
// Every control stands where the module's area rows put it (controls.h): a button's keycap fills its area, with
// a flat 1 px outline on the area's edge; a knob's disc sits in the block of its areas, or, where the tree draws
// a turned-knob image over it, centred on that image's block (the V/S knob's image stands 2 px left of its
// areas; its disc still lies inside them). The lamps' windows are the lamps' own pixel triangles, at the lamp
// elements' positions.
//
// What the host draws over the face must meet it without a seam: a turned knob is drawn on the very pixels the
// face has under its knob, so the anti-aliased rim blends into the face and not into black; only the pixels the
// disc does not touch at all are pure black, which the host leaves undrawn. A lamp fills exactly its window's
// pixels. The pressed keycap is opaque and has the resting keycap's outline.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>
#include <string>
#include <string_view>
#include <type_traits>

#include "art/generator/controls.h"
#include "art/generator/paint.h"
#include "art/generator/pictures.h"
#include "frame/simulator.h"
#include "variants/variant.h"

namespace art {

namespace {

constexpr double kPi = std::numbers::pi;

constexpr Rgb kOutline{14, 14, 15};  // the edge of every keycap and knob: exact, the checks find controls by it
// Lamps: the lit colour at the triangle's edge, the hot colour at its core, the unlit tint of the window.
constexpr Rgb kStabLampLit{255, 204, 30}, kStabLampHot{255, 248, 92}, kStabLampUnlit{62, 54, 22};
constexpr Rgb kNavLampLit{30, 214, 232}, kNavLampHot{92, 255, 255}, kNavLampUnlit{18, 50, 56};
// The lamps' and turned knobs' sizes, from the Korst rows of the manifest (the Brevane face has neither).
constexpr const bitmap::Entry& kLamp = bitmap::in(bitmap::Module::korst, "stab_lamp");
constexpr const bitmap::Entry& kTurnedKnob = bitmap::in(bitmap::Module::korst, "turned_knob");
constexpr int kLampWidth = kLamp.width, kLampHeight = kLamp.height;
constexpr int kKnobImage = kTurnedKnob.width;
static_assert(bitmap::in(bitmap::Module::korst, "navigation_lamp").width == kLampWidth &&
              bitmap::in(bitmap::Module::korst, "navigation_lamp").height == kLampHeight);
static_assert(kTurnedKnob.height == kKnobImage, "the turned-knob pictures are square");

// ---- What each face says: legends by control, and how the face places them -----------------------------------

// What a control is called on the face, keyed as controls.h names the control: by its first area's command, or
// by the key event of a knob that only sends events (a button that does nothing has neither).
struct Legend {
    std::string_view command;
    uint32_t key_event;
    std::string_view text;
};
constexpr Legend by_command(std::string_view command, std::string_view text) { return {command, 0, text}; }
constexpr Legend by_event(uint32_t key_event, std::string_view text) { return {"", key_event, text}; }

enum class LegendSide { below, above };

template <class V>
struct FaceArt;

template <>
struct FaceArt<afcp::variants::Korst> {
    static constexpr double fastener_inset = 14, fastener_radius = 5.5, legend_size = 14;
    static constexpr LegendSide side = LegendSide::below;
    static constexpr bool caps_carry_legends = false;  // one pressed keycap serves every button
    static constexpr bool arrows_on_caps = false;      // beside the knobs' lower halves
    static constexpr Legend legends[] = {
        by_command("STAB", "STAB"), by_command("CRHT", "CR.HT"), by_command("HOV", "HOV/HT"),
        by_command("HDG", "HDG"),   by_command("ALTA", "ALT.A"), by_command("VS", "V/S"),
        by_command("NAV", "NAV"),   by_command("TDN", "F/TDN"),  by_command("APP", "APP"),
        by_command("GS", "G/S"),    by_command("IAS", "IAS"),    by_command("ALT", "ALT"),
    };
    // A bracket over the coupled modes' buttons, labelled, open where the navigation lamp sits in it.
    static constexpr std::string_view bracket_label = "CTL";
    static constexpr std::string_view bracketed[] = {"NAV", "APP", "GS"};
};

template <>
struct FaceArt<afcp::variants::Brevane> {
    static constexpr double fastener_inset = 8, fastener_radius = 3.6, legend_size = 12;
    static constexpr LegendSide side = LegendSide::above;
    static constexpr bool caps_carry_legends = true;  // nothing is drawn over this face
    static constexpr bool arrows_on_caps = true;      // no room beside the small knobs
    static constexpr Legend legends[] = {
        by_command("CRHT", "CR.HT"),
        by_command("HOV", "HT/HOV"),
        by_command("HDG", "HDG"),
        by_command("ALTA", "ALT.A"),
        by_command("VS", "VS"),
        by_command("IAS", "IAS"),
        by_command("NAV", "NAVD CPL"),
        by_command("TDN", "F/TDN"),
        by_command("ALT", "ALT"),
        by_command("", "FND CPL"),
        by_event(afcp::event::baro_knob_left, "BARO"),
        by_event(afcp::event::uplim_knob, "UPLIM"),
        by_event(afcp::event::crs_knob_left, "CRS"),
        by_event(afcp::event::dh_knob_left, "DH"),
    };
    static constexpr std::string_view bracket_label = "";
    static constexpr std::string_view bracketed[] = {""};
};

using Art = FaceArt<afcp::Variant>;

// The area rows that begin a control (controls.cpp groups the rest with them): push areas, and the left half of a
// knob that only sends key events.
constexpr bool begins_control(const afcp::layout::AreaRow& a) {
    return a.cursor == afcp::cursor::push ||
           (a.command == nullptr && a.key_event != 0 && a.cursor == afcp::cursor::decrease);
}
constexpr bool names(const Legend& l, const afcp::layout::AreaRow& a) {
    return begins_control(a) && std::string_view(a.command != nullptr ? a.command : "") == l.command &&
           a.key_event == l.key_event;
}
consteval bool one_legend_per_control() {
    size_t controls = 0;
    for (const auto& a : afcp::Variant::afcp_areas) {
        if (!begins_control(a)) continue;
        ++controls;
        size_t legends = 0;
        for (const Legend& l : Art::legends) legends += names(l, a) ? 1 : 0;
        if (legends != 1) return false;
    }
    return controls == std::size(Art::legends);
}
static_assert(one_legend_per_control(), "every control of the face has one legend, and every legend a control");

std::string_view legend_of(const Control& c) {
    for (const Legend& l : Art::legends)
        if (l.key_event != 0 ? c.name == "#" + std::to_string(l.key_event) : c.name == l.command) return l.text;
    std::fprintf(stderr, "artgen: no legend for the control '%s'\n", c.name.c_str());
    std::exit(2);
}

// ---- The panel ---------------------------------------------------------------------------------------------------

void panel(Painting& p) { plate(p, 0.205, 0.160, Art::fastener_inset, Art::fastener_radius, 0x5eed); }

// ---- Keycaps -----------------------------------------------------------------------------------------------------

// A keycap filling `r`: the flat outline on the area's edge, a dark collar, and the cap standing out of it,
// or sunk into it while pressed.
void keycap(cairo_t* cr, Rect r, bool pressed) {
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    set_colour(cr, rgb(kOutline));
    cairo_fill(cr);
    const Rect inner{r.x + 1, r.y + 1, r.w - 2, r.h - 2};
    cairo_rectangle(cr, inner.x, inner.y, inner.w, inner.h);
    cairo_clip_preserve(cr);
    fill_gradient(cr, 0, inner.y, 0, inner.bottom(), {{0, {0.07, 0.075, 0.08}}, {1, {0.17, 0.175, 0.185}}});

    const double inset = pressed ? 3.2 : 2.2, radius = std::min(r.w, r.h) * 0.12;
    const Rect cap{inner.x + inset, inner.y + inset + (pressed ? 0.8 : 0), inner.w - 2 * inset,
                   inner.h - 2 * inset - (pressed ? 0.4 : 1.2)};
    // The cap's flank below it, lit less: its height above the collar.
    if (!pressed) {
        rounded_rectangle(cr, {cap.x, cap.y + 1.6, cap.w, cap.h}, radius);
        set_colour(cr, grey(30));
        cairo_fill(cr);
    }
    cairo_pattern_t* top = cairo_pattern_create_linear(0, cap.y, 0, cap.bottom());
    if (pressed) {
        cairo_pattern_add_color_stop_rgb(top, 0, 0.19, 0.20, 0.215);
        cairo_pattern_add_color_stop_rgb(top, 1, 0.29, 0.30, 0.32);
    } else {
        cairo_pattern_add_color_stop_rgb(top, 0, 0.43, 0.445, 0.47);
        cairo_pattern_add_color_stop_rgb(top, 0.5, 0.33, 0.345, 0.365);
        cairo_pattern_add_color_stop_rgb(top, 1, 0.25, 0.26, 0.28);
    }
    rounded_rectangle(cr, cap, radius);
    cairo_set_source(cr, top);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(top);
    // A rim of light along the upper edge when raised; a shadow cast into the sunk cap from above when pressed.
    cairo_pattern_t* rim = cairo_pattern_create_linear(0, cap.y, 0, cap.bottom());
    if (pressed) {
        cairo_pattern_add_color_stop_rgba(rim, 0, 0, 0, 0, 0.55);
        cairo_pattern_add_color_stop_rgba(rim, 0.3, 0, 0, 0, 0.0);
    } else {
        cairo_pattern_add_color_stop_rgba(rim, 0, 1, 1, 1, 0.45);
        cairo_pattern_add_color_stop_rgba(rim, 0.25, 1, 1, 1, 0.0);
        cairo_pattern_add_color_stop_rgba(rim, 0.9, 0, 0, 0, 0.0);
        cairo_pattern_add_color_stop_rgba(rim, 1, 0, 0, 0, 0.35);
    }
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    cairo_restore(cr);
}

// ---- Knobs -------------------------------------------------------------------------------------------------------

struct KnobShape {
    double cx, cy, rim, skirt, cap;  // centre; radii of the outline, the knurled skirt and the cap
};

KnobShape knob_shape(Rect block) {
    const double outer = block.w / 2 - 1.5;
    return {block.centre_x(), block.centre_y(), outer, outer - 2.6, outer - 2.6 - (block.w >= 54 ? 5.5 : 3.6)};
}

// A knob in the square `block`, its index turned `degrees` clockwise from twelve o'clock: a flat outline ring,
// a knurled skirt that turns with it, a domed cap lit from the upper left, and the white index.
void knob(cairo_t* cr, Rect block, double degrees) {
    const KnobShape k = knob_shape(block);
    const double turn = degrees * kPi / 180;
    cairo_save(cr);
    cairo_arc(cr, k.cx, k.cy, k.rim, 0, 2 * kPi);
    set_colour(cr, rgb(kOutline));
    cairo_fill(cr);

    // Skirt: metal ridges all round, lighter where they face the light.
    cairo_arc(cr, k.cx, k.cy, k.skirt, 0, 2 * kPi);
    fill_gradient(cr, k.cx - k.skirt, k.cy - k.skirt, k.cx + k.skirt, k.cy + k.skirt,
                  {{0, {0.42, 0.43, 0.45}}, {1, {0.12, 0.125, 0.135}}});
    const int ridges = block.w >= 54 ? 40 : 28;
    cairo_set_line_width(cr, block.w >= 54 ? 1.5 : 1.1);
    for (int i = 0; i < ridges; ++i) {
        const double a = turn + 2 * kPi * i / ridges;
        const double c = std::cos(a), s = std::sin(a);
        cairo_move_to(cr, k.cx + c * (k.cap + 0.5), k.cy + s * (k.cap + 0.5));
        cairo_line_to(cr, k.cx + c * (k.skirt - 0.3), k.cy + s * (k.skirt - 0.3));
        set_colour(cr, grey(0), 0.55);
        cairo_stroke(cr);
    }

    // Cap: a dome, its light spot towards the upper left, with a chamfered edge.
    cairo_arc(cr, k.cx, k.cy, k.cap + 0.8, 0, 2 * kPi);
    set_colour(cr, grey(10), 0.8);
    cairo_fill(cr);
    cairo_pattern_t* dome =
        cairo_pattern_create_radial(k.cx - k.cap * 0.35, k.cy - k.cap * 0.4, k.cap * 0.05, k.cx, k.cy, k.cap * 1.1);
    cairo_pattern_add_color_stop_rgb(dome, 0, 0.50, 0.515, 0.54);
    cairo_pattern_add_color_stop_rgb(dome, 0.6, 0.24, 0.25, 0.265);
    cairo_pattern_add_color_stop_rgb(dome, 1, 0.13, 0.135, 0.145);
    cairo_arc(cr, k.cx, k.cy, k.cap, 0, 2 * kPi);
    cairo_set_source(cr, dome);
    cairo_fill(cr);
    cairo_pattern_destroy(dome);

    // Index: a white line from near the middle to the cap's edge, over its own dark shadow.
    const double dx = std::sin(turn), dy = -std::cos(turn);
    const double from = k.cap * 0.25, to = k.cap - 1.2, width = block.w >= 54 ? 3.0 : 2.2;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, width + 1.4);
    cairo_move_to(cr, k.cx + dx * from + 0.4, k.cy + dy * from + 0.6);
    cairo_line_to(cr, k.cx + dx * to + 0.4, k.cy + dy * to + 0.6);
    set_colour(cr, grey(0), 0.6);
    cairo_stroke(cr);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, k.cx + dx * from, k.cy + dy * from);
    cairo_line_to(cr, k.cx + dx * to, k.cy + dy * to);
    set_colour(cr, grey(246));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void knob_shadow(cairo_t* cr, Rect block) {
    const KnobShape k = knob_shape(block);
    drop_shadow(cr, {k.cx - k.rim, k.cy - k.rim, 2 * k.rim, 2 * k.rim}, k.rim, block.w >= 54 ? 3.5 : 2.5, 0.7);
}

void button_shadow(cairo_t* cr, Rect r) { drop_shadow(cr, r, 2, 3, 0.6); }

// Decrease and increase arrows for a knob: beside its lower half on the panel, or on its cap.
void knob_arrows(cairo_t* cr, Rect block, bool on_cap) {
    const KnobShape k = knob_shape(block);
    const double row = on_cap ? k.cy + k.cap * 0.45 : block.y + block.h * 0.75;
    const double near = on_cap ? k.cap * 0.22 : k.rim + 4.5, far = on_cap ? k.cap * 0.72 : k.rim + 11.5;
    const double half = on_cap ? 2.8 : 5.0;
    for (double side : {-1.0, 1.0})
        engrave_shape(
            cr,
            [&] {
                cairo_move_to(cr, k.cx + side * far, row);
                cairo_line_to(cr, k.cx + side * near, row - half);
                cairo_line_to(cr, k.cx + side * near, row + half);
                cairo_close_path(cr);
            },
            false);
}

// ---- Lamps -------------------------------------------------------------------------------------------------------

// The lamp triangle, apex up, in its 21 x 19 box: pixel (x, y) of the box belongs to it.
bool in_lamp(int x, int y) {
    return x >= 0 && y >= 0 && x < kLampWidth && y < kLampHeight &&
           std::abs(x + 0.5 - kLampWidth / 2.0) <= (y + 1) * (kLampWidth / 2.0) / kLampHeight;
}

// A lit lamp: the triangle's pixels glowing, brightest low in the middle, on black (left undrawn).
Canvas lit_lamp(Rgb lit, Rgb hot) {
    Canvas c(kLampWidth, kLampHeight, kBlack);
    for (int y = 0; y < kLampHeight; ++y)
        for (int x = 0; x < kLampWidth; ++x) {
            if (!in_lamp(x, y)) continue;
            const double dx = (x + 0.5 - kLampWidth / 2.0) / (kLampWidth / 2.0), dy = (y + 0.5 - 12.5) / 12.0;
            const double glow = std::clamp(1.0 - std::hypot(dx, dy), 0.0, 1.0);
            auto mix = [glow](uint8_t from, uint8_t to) { return uint8_t(std::lround(from + (to - from) * glow)); };
            c.set(x, y, {mix(lit.r, hot.r), mix(lit.g, hot.g), mix(lit.b, hot.b)});
        }
    return c;
}

// The unlit window on the face: a sunk triangular bezel, the lamp's own pixels in a dark tint.
void lamp_window(Painting& p, Rect at, Rgb unlit) {
    cairo_t* cr = p.cr();
    cairo_save(cr);
    const double cx = at.x + kLampWidth / 2.0;
    cairo_move_to(cr, cx, at.y - 3.2);
    cairo_line_to(cr, at.x + kLampWidth + 2.8, at.y + kLampHeight + 1.6);
    cairo_line_to(cr, at.x - 2.8, at.y + kLampHeight + 1.6);
    cairo_close_path(cr);
    fill_gradient(cr, 0, at.y - 3, 0, at.y + kLampHeight + 2, {{0, {0.06, 0.06, 0.065}}, {1, {0.30, 0.31, 0.33}}});
    cairo_restore(cr);
    cairo_surface_t* s = cairo_get_target(cr);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < kLampHeight; ++y)
        for (int x = 0; x < kLampWidth; ++x)
            if (in_lamp(x, y))
                reinterpret_cast<uint32_t*>(data + (int(at.y) + y) * stride)[int(at.x) + x] =
                    uint32_t(unlit.r) << 16 | uint32_t(unlit.g) << 8 | unlit.b;
    cairo_surface_mark_dirty(s);
}

// ---- Legends -----------------------------------------------------------------------------------------------------

// The legends' row for a control: under (or over) the lowest (highest) control that shares its row.
double legend_row(const std::vector<Control>& controls, const Control& c) {
    double edge = Art::side == LegendSide::below ? c.block.bottom() : c.block.y;
    for (const Control& o : controls)
        if (o.block.y < c.block.bottom() && c.block.y < o.block.bottom())
            edge = Art::side == LegendSide::below ? std::max(edge, o.block.bottom()) : std::min(edge, o.block.y);
    const double gap = Art::legend_size * 0.95;
    return Art::side == LegendSide::below ? edge + gap : edge - gap + 1;
}

void bracket(cairo_t* cr, const std::vector<Control>& controls, const std::vector<Rect>& lamps) {
    if (Art::bracket_label.empty()) return;
    double left = 1e9, right = -1e9, top = 1e9;
    for (const Control& c : controls)
        for (std::string_view name : Art::bracketed)
            if (c.name == name) {
                left = std::min(left, c.block.x + 5);
                right = std::max(right, c.block.right() - 5);
                top = std::min(top, c.block.y);
            }
    const double row = top - 18, label_x = (left + (lamps.empty() ? right : lamps[0].x)) / 2;
    const double label_half = text_width(Art::bracket_label, Art::legend_size) / 2 + 5;
    // Engraved lines: down at the ends, along the top, open for the label and the lamps.
    cairo_save(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    engrave_shape(
        cr,
        [&] {
            double from = left;
            auto segment = [&](double to) {
                cairo_move_to(cr, from, row);
                cairo_line_to(cr, to, row);
            };
            cairo_move_to(cr, left, row + 12);
            cairo_line_to(cr, left, row - 1);
            segment(label_x - label_half);
            from = label_x + label_half;
            for (const Rect& lamp : lamps) {
                segment(lamp.x - 6);
                from = lamp.right() + 6;
            }
            segment(right);
            cairo_move_to(cr, right, row - 1);
            cairo_line_to(cr, right, row + 12);
        },
        true);
    cairo_restore(cr);
    engrave(cr, Art::bracket_label, label_x, row, Art::legend_size);
}

// Where a knob's disc is drawn: on the turned-knob image's block where the tree shows one over it.
Rect knob_block(const Control& c, const std::vector<Rect>& turned) {
    for (const Rect& t : turned)
        if (t.x < c.block.right() && c.block.x < t.right() && t.y < c.block.bottom() && c.block.y < t.bottom())
            return t;
    return c.block;
}

// The face's pixels under a turned knob, with the knob turned, and pure black wherever the disc does not reach.
Canvas turned_knob(const Canvas& under, Rect block, double degrees) {
    Painting p(under.crop(int(block.x), int(block.y), int(block.w), int(block.h)));
    const Rect local{0, 0, block.w, block.h};
    knob(p.cr(), local, degrees);
    Canvas c = p.canvas();
    const KnobShape k = knob_shape(local);
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            // Distance from the centre to the pixel's nearest point: beyond the rim, the disc does not touch it.
            const double nx = std::clamp(k.cx, double(x), x + 1.0), ny = std::clamp(k.cy, double(y), y + 1.0);
            if (std::hypot(nx - k.cx, ny - k.cy) >= k.rim) c.set(x, y, kBlack);
        }
    return c;
}

}  // namespace

std::vector<Picture> afcp_pictures() {
    const std::vector<Control> controls = afcp_controls();
    const std::vector<Rect> turned = afcp_images(bitmap::turned_knob, kKnobImage, kKnobImage);
    const std::vector<Rect> stab_lamps = afcp_images(bitmap::stab_lamp, kLampWidth, kLampHeight);
    const std::vector<Rect> nav_lamps = afcp_images(bitmap::navigation_lamp, kLampWidth, kLampHeight);
    const std::vector<Rect> pressed = afcp_images(bitmap::pressed_button, 0, 0);

    constexpr const bitmap::Entry& face_row = manifest_row("afcp_face");
    Painting face(face_row.width, face_row.height);
    cairo_t* cr = face.cr();
    panel(face);
    for (const Control& c : controls) {
        if (c.kind == ControlKind::knob)
            knob_shadow(cr, knob_block(c, turned));
        else
            button_shadow(cr, c.block);
    }
    for (const Control& c : controls) {
        const std::string_view text = legend_of(c);
        const bool on_cap = Art::caps_carry_legends && c.kind == ControlKind::button &&
                            text_width(text, Art::legend_size) <= c.block.w - 12;
        if (!on_cap) engrave(cr, text, c.block.centre_x(), legend_row(controls, c), Art::legend_size);
        if (c.kind == ControlKind::knob && !Art::arrows_on_caps) knob_arrows(cr, knob_block(c, turned), false);
    }
    bracket(cr, controls, nav_lamps);
    for (const Rect& l : stab_lamps) lamp_window(face, l, kStabLampUnlit);
    for (const Rect& l : nav_lamps) lamp_window(face, l, kNavLampUnlit);

    // What lies under the knobs, for the turned knobs.
    const Canvas under = face.canvas();
    for (const Control& c : controls) {
        if (c.kind == ControlKind::button) {
            keycap(cr, c.block, false);
            const std::string_view text = legend_of(c);
            if (Art::caps_carry_legends && text_width(text, Art::legend_size) <= c.block.w - 12)
                engrave(cr, text, c.block.centre_x(), c.block.centre_y(), Art::legend_size);
        } else {
            const Rect block = knob_block(c, turned);
            knob(cr, block, 0);
            if (Art::arrows_on_caps) knob_arrows(cr, block, true);
        }
    }

    std::vector<Picture> out;
    out.push_back({bitmap::afcp_face, 0, face.canvas(), {kOutline, kStabLampUnlit, kNavLampUnlit}});
    if constexpr (afcp::Variant::afcp_has_feedback_images) {
        out.push_back({bitmap::stab_lamp, 0, lit_lamp(kStabLampLit, kStabLampHot), {kBlack}});
        out.push_back({bitmap::navigation_lamp, 0, lit_lamp(kNavLampLit, kNavLampHot), {kBlack}});
        const Rect model = turned.front();
        out.push_back({bitmap::turned_knob, 0, turned_knob(under, model, -30), {kBlack, kOutline}});
        out.push_back({bitmap::id("turned_knob_clockwise"), 0, turned_knob(under, model, 30), {kBlack, kOutline}});
        // One pressed keycap for every button: drawn at the first button the tree presses.
        for (const Control& c : controls)
            if (!pressed.empty() && c.block.x == pressed.front().x && c.block.y == pressed.front().y) {
                Painting k(under.crop(int(c.block.x), int(c.block.y), int(c.block.w), int(c.block.h)));
                keycap(k.cr(), {0, 0, c.block.w, c.block.h}, true);
                out.push_back({bitmap::pressed_button, 0, k.canvas(), {kOutline}});
            }
    }
    return out;
}

}  // namespace art
