// Element trees of the eleven gauges. Every tree hangs from one root static image; each child list holds one
// element, except the last level of "AFCP" (the eleven button and knob images) and the level under the "GS"
// root (the two tapes).
#include <iterator>
#include <string_view>

#include "display/display.h"
#include "frame/catalogue.h"
#include "frame/simulator.h"
#include "layout/bitmaps.h"
#include "layout/layout.h"

namespace afcp::layout {

namespace {

// The module's one failure list: its one entry, then the end pair.
constinit int32_t failure_list[4] = {failure::key, failure::action, 0, 0};

constexpr ElementHead head(ElementKind kind, int32_t bitmap, int32_t x, int32_t y, uint32_t image_flags, Gauge gauge,
                           ElementHead** children = nullptr, int32_t* failures = nullptr) {
    ElementHead h{};
    h.kind = kind;
    h.bitmap_id = bitmap;
    h.x = x;
    h.y = y;
    h.gauge = &gauge_headers[gauge];
    h.child_list = children;
    h.failure_list = failures;
    h.image_flags = image_flags;
    return h;
}

constexpr StaticImageElement root(int32_t bitmap, uint32_t image_flags, Gauge gauge, ElementHead** children = nullptr) {
    return {head(kStaticImage, bitmap, 0, 0, image_flags, gauge, children), {}};
}

// ---- "AFCP" -------------------------------------------------------------------------------------------------

constexpr ImageSelectorElement selector(int32_t bitmap, int32_t x, int32_t y, uint32_t image_flags,
                                        uint32_t image_count, ValueCallback callback, ElementHead** children = nullptr,
                                        int32_t* failures = nullptr) {
    ImageSelectorElement e{};
    e.head = head(kImageSelector, bitmap, x, y, image_flags, kGaugeAFCP, children, failures);
    e.selection_mode = kSelectionMode;
    e.image_count = image_count;
    e.value_callback = callback;
    return e;
}

// Image flags of each kind of element.
constexpr uint32_t kRootFlags = image_flag::bit_1;
constexpr uint32_t kButtonFlags = image_flag::black_is_clear;
constexpr uint32_t kKnobFlags = image_flag::bit_1 | image_flag::black_is_clear;
constexpr uint32_t kLampFlags = image_flag::bit_1 | image_flag::black_is_clear | image_flag::bit_4;
constexpr uint32_t kAnnunciatorFlags = 0;  // the bezel
constexpr uint32_t kAnnunciatorTextFlags = image_flag::bit_1 | image_flag::black_is_clear | image_flag::bit_4;
constexpr uint32_t kAnnunciatorTTextFlags = image_flag::black_is_clear | image_flag::bit_4;
constexpr uint32_t kTapeFlags = 0;

constexpr uint32_t kButtonImages = 1, kKnobImages = 2, kLampImages = 1;

template <Feedback countdown>
constexpr ImageSelectorElement button(int32_t x, int32_t y) {
    return selector(bitmap::pressed_button, x, y, kButtonFlags, kButtonImages, display::button_image<countdown>);
}

template <Feedback countdown>
constexpr ImageSelectorElement knob(int32_t x, int32_t y) {
    return selector(bitmap::turned_knob, x, y, kKnobFlags, kKnobImages, display::knob_image<countdown>);
}

// Image n of a selector is the bitmap of its id + n: each image the tree can show is one of the module's.
consteval bool images_carried(int32_t id, uint32_t count) {
    for (uint32_t n = 0; n < count; ++n)
        if (!bitmap::carries(Variant::bitmaps, id + static_cast<int32_t>(n))) return false;
    return true;
}
static_assert(!Variant::afcp_has_feedback_images ||
              (images_carried(bitmap::pressed_button, kButtonImages) &&
               images_carried(bitmap::turned_knob, kKnobImages) && images_carried(bitmap::stab_lamp, kLampImages) &&
               images_carried(bitmap::navigation_lamp, kLampImages)));

constinit ImageSelectorElement alt_button = button<kFeedbackALT>(85, 78);
constinit ImageSelectorElement tdn_button = button<kFeedbackTDN>(184, 199);
constinit ImageSelectorElement nav_button = button<kFeedbackNAV>(385, 199);
constinit ImageSelectorElement app_button = button<kFeedbackAPP>(489, 199);
constinit ImageSelectorElement gs_button = button<kFeedbackGS>(594, 199);
constinit ImageSelectorElement ias_button = button<kFeedbackIAS>(489, 78);
constinit ImageSelectorElement crht_knob = knob<kFeedbackCRHT>(95, 195);
constinit ImageSelectorElement alta_knob = knob<kFeedbackALTA>(190, 74);
constinit ImageSelectorElement hov_knob = knob<kFeedbackHOV>(293, 195);
constinit ImageSelectorElement hdg_knob = knob<kFeedbackHDG>(382, 74);
constinit ImageSelectorElement vs_knob = knob<kFeedbackVS>(607, 74);  // 2 px left of the V/S knob's areas

constinit ElementHead* afcp_feedback_images[] = {&alt_button.head, &tdn_button.head, &nav_button.head, &app_button.head,
                                                 &gs_button.head,  &ias_button.head, &crht_knob.head,  &alta_knob.head,
                                                 &hov_knob.head,   &hdg_knob.head,   &vs_knob.head,    nullptr};
static_assert(std::size(afcp_feedback_images) == kFeedbackCount + 1, "one image per countdown, then the end");

constinit ImageSelectorElement stab_lamp = selector(bitmap::stab_lamp, 312, 58, kLampFlags, kLampImages,
                                                    display::stab_lamp, afcp_feedback_images, failure_list);
constinit ElementHead* afcp_level_2[2] = {&stab_lamp.head, nullptr};
constinit ImageSelectorElement navigation_lamp = selector(bitmap::navigation_lamp, 516, 170, kLampFlags, kLampImages,
                                                          display::navigation_lamp, afcp_level_2, failure_list);
constinit ElementHead* afcp_level_1[2] = {&navigation_lamp.head, nullptr};

// The Brevane face draws nothing over itself.
constinit StaticImageElement afcp_root =
    root(bitmap::afcp_face, kRootFlags, kGaugeAFCP, Variant::afcp_has_feedback_images ? afcp_level_1 : nullptr);

// ---- "Annunciator" and "Annunciator-T" ----------------------------------------------------------------------

constexpr uint32_t kGreen = 0x005FEE00, kCyan = 0x00FFFF00, kThirdColour = 0x0000FF00;
constexpr int32_t kWideBox = 198, kNarrowBox = 126, kBoxHeight = 64;
constexpr int32_t kWideText = 11, kNarrowText = 7;
constexpr int32_t kFontWeight = 400, kDefaultCharacterSet = 1;
constexpr uint32_t kCentredSingleLine =
    text_format::centred | text_format::vertically_centred | text_format::single_line;

// One of the six texts, the same in both annunciators but for where it stands.
struct TextRow {
    int32_t column, row;  // 0..2, 0..1
    bool wide;
    uint32_t colour;
    int32_t tokens[3];
    TextCallback callback;
};

// Chain order: lower-right, lower-centre, lower-left, upper-right, upper-centre, upper-left.
constexpr TextRow text_rows[] = {
    {2, 1, true, kCyan, {token::autopilot_altitude, 0, 0}, display::lower_right_text},
    {1, 1, false, kCyan, {0, 0, 0}, display::lower_centre_text},
    {0, 1, true, kCyan, {token::autopilot_altitude, 0, 0}, display::lower_left_text},
    {2, 0, true, kGreen, {108, token::vertical_speed, token::autopilot_airspeed}, display::upper_right_text},
    {1,
     0,
     false,
     kGreen,
     {token::heading_bug, token::selected_course, token::navigation_track},
     display::upper_centre_text},
    {0, 0, true, kGreen, {token::autopilot_altitude, token::vertical_speed, 116}, display::upper_left_text},
};
static_assert(std::size(text_rows) == 6, "the six annunciator texts");

// Where the two annunciators put their grid, and how they draw it.
struct AnnunciatorGrid {
    Gauge gauge;
    int32_t columns[3];
    int32_t rows[2];
    uint32_t image_flags;
    uint32_t background;
};
constexpr AnnunciatorGrid annunciator_grid = {
    kGaugeAnnunciator, {72, 315, 486}, {56, 120}, kAnnunciatorTextFlags, 0x00000000};
constexpr AnnunciatorGrid annunciator_t_grid = {
    kGaugeAnnunciatorT, {2, 244, 414}, {2, 66}, kAnnunciatorTTextFlags, annunciator_t_background};

constexpr TextElement text(const AnnunciatorGrid& a, int index, ElementHead** children) {
    const TextRow& t = text_rows[index];
    TextElement e{};
    e.head = head(kText, -1, a.columns[t.column], a.rows[t.row], a.image_flags, a.gauge, children, failure_list);
    for (int i = 0; i < 3; ++i) e.source[i].token = t.tokens[i];
    e.box_width = t.wide ? kWideBox : kNarrowBox;
    e.box_height = kBoxHeight;
    e.text_colour = t.colour;
    e.background_colour = a.background;
    e.third_colour = kThirdColour;
    const char face[] = "Glass Gauge";
    for (size_t i = 0; i < sizeof face; ++i) e.font_face[i] = face[i];
    e.font_weight = kFontWeight;
    e.character_set = kDefaultCharacterSet;
    e.format_flags = kCentredSingleLine;
    e.max_length = t.wide ? kWideText : kNarrowText;
    e.text_callback = t.callback;
    return e;
}

// A chain of six texts under a root, built from the last to the first.
struct Annunciator {
    TextElement texts[6];
    ElementHead* lists[6][2];
};

#define AFCP_ANNUNCIATOR_CHAIN(name, grid)                                                         \
    extern Annunciator name;                                                                       \
    constinit Annunciator name = {                                                                 \
        {text(grid, 0, name.lists[1]), text(grid, 1, name.lists[2]), text(grid, 2, name.lists[3]), \
         text(grid, 3, name.lists[4]), text(grid, 4, name.lists[5]), text(grid, 5, nullptr)},      \
        {{&name.texts[0].head, nullptr},                                                           \
         {&name.texts[1].head, nullptr},                                                           \
         {&name.texts[2].head, nullptr},                                                           \
         {&name.texts[3].head, nullptr},                                                           \
         {&name.texts[4].head, nullptr},                                                           \
         {&name.texts[5].head, nullptr}}}
AFCP_ANNUNCIATOR_CHAIN(annunciator_texts, annunciator_grid);
AFCP_ANNUNCIATOR_CHAIN(annunciator_t_texts, annunciator_t_grid);
#undef AFCP_ANNUNCIATOR_CHAIN

constinit StaticImageElement annunciator_root =
    root(bitmap::annunciator_bezel, kAnnunciatorFlags, kGaugeAnnunciator, annunciator_texts.lists[0]);
constinit StaticImageElement annunciator_t_root =
    root(Variant::annunciator_t_root_bitmap, kRootFlags, kGaugeAnnunciatorT, annunciator_t_texts.lists[0]);

// ---- "GS" -----------------------------------------------------------------------------------------------------

// A strip seen through a window of the face; a range end is the strip's length less the window's, 0 along the
// axis the strip does not move in.
constexpr MovingImageElement tape(int32_t bitmap, int32_t x, int32_t y, double x_range_end, double y_range_end,
                                  ValueCallback x_callback, ValueCallback y_callback) {
    MovingImageElement e{};
    e.head = head(kMovingImage, bitmap, x, y, kTapeFlags, kGaugeGS);
    e.x_range_end = x_range_end;
    e.y_range_end = y_range_end;
    e.x_callback = x_callback;
    e.y_callback = y_callback;
    return e;
}

// A strip and its window, the bitmap after it (the host takes the window from the strip's id + 1); the strip
// moves along one axis only, and is as wide across it as its window.
struct Strip {
    const bitmap::Entry& strip;
    const bitmap::Entry& window;
};
consteval Strip strip(std::string_view name) {
    const bitmap::Entry& s = bitmap::in(Variant::bitmaps, name);
    return {s, bitmap::at(Variant::bitmaps, s.id + 1)};
}
constexpr Strip fore_aft_strip = strip("fore_aft_tape"), lateral_strip = strip("lateral_tape");
static_assert(fore_aft_strip.window.drawer == bitmap::Drawer::window &&
              fore_aft_strip.window.width == fore_aft_strip.strip.width);
static_assert(lateral_strip.window.drawer == bitmap::Drawer::window &&
              lateral_strip.window.height == lateral_strip.strip.height);

constinit MovingImageElement fore_aft_tape =
    tape(fore_aft_strip.strip.id, 145, 40, 0.0, double(fore_aft_strip.strip.height - fore_aft_strip.window.height),
         nullptr, display::fore_aft_marker);
constinit MovingImageElement lateral_tape =
    tape(lateral_strip.strip.id, 331, 101, double(lateral_strip.strip.width - lateral_strip.window.width), 0.0,
         display::lateral_marker, nullptr);
constinit ElementHead* gs_tapes[3] = {&fore_aft_tape.head, &lateral_tape.head, nullptr};
constinit StaticImageElement gs_root = root(bitmap::gs_face, kRootFlags, kGaugeGS, gs_tapes);

// Every root's bitmap is one of the module's.
static_assert(bitmap::carries(Variant::bitmaps, bitmap::afcp_face) &&
              bitmap::carries(Variant::bitmaps, bitmap::annunciator_bezel) &&
              bitmap::carries(Variant::bitmaps, Variant::annunciator_t_root_bitmap) &&
              bitmap::carries(Variant::bitmaps, bitmap::gs_face) &&
              bitmap::carries(Variant::bitmaps, Variant::select_gauge_root_bitmap));

// ---- the seven 32 mm gauges: a black face under their mouse areas ----------------------------------------------

constinit StaticImageElement ias_select_root = root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeIASSelect);
constinit StaticImageElement alt_select_root = root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeALTSelect);
constinit StaticImageElement alt_vs_select_root =
    root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeALTVSSelect);
constinit StaticImageElement ap_trim_root = root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeAPTrim);
constinit StaticImageElement high_modes_root =
    root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeHighModesDisengage);
constinit StaticImageElement go_around_root = root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeGoAround);
constinit StaticImageElement stab_root = root(Variant::select_gauge_root_bitmap, kRootFlags, kGaugeStab);

}  // namespace

constinit ElementHead* afcp_elements[2] = {&afcp_root.head, nullptr};
constinit ElementHead* ias_select_elements[2] = {&ias_select_root.head, nullptr};
constinit ElementHead* alt_select_elements[2] = {&alt_select_root.head, nullptr};
constinit ElementHead* alt_vs_select_elements[2] = {&alt_vs_select_root.head, nullptr};
constinit ElementHead* ap_trim_elements[2] = {&ap_trim_root.head, nullptr};
constinit ElementHead* high_modes_elements[2] = {&high_modes_root.head, nullptr};
constinit ElementHead* go_around_elements[2] = {&go_around_root.head, nullptr};
constinit ElementHead* stab_elements[2] = {&stab_root.head, nullptr};
constinit ElementHead* annunciator_elements[2] = {&annunciator_root.head, nullptr};
constinit ElementHead* annunciator_t_elements[2] = {&annunciator_t_root.head, nullptr};
constinit ElementHead* gs_elements[2] = {&gs_root.head, nullptr};

}  // namespace afcp::layout
