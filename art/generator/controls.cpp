#include "art/generator/controls.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>

#include "art/generator/pictures.h"
#include "layout/area_table.h"
#include "layout/layout.h"
#include "variants/variant.h"

namespace art {

namespace {

using afcp::ElementHead;
namespace cursor = afcp::layout::cursor;

[[noreturn]] void unexpected(const std::string& what) {
    std::fprintf(stderr, "artgen: %s\n", what.c_str());
    std::exit(2);
}

Rect united(Rect a, Rect b) {
    const double x = std::min(a.x, b.x), y = std::min(a.y, b.y);
    return {x, y, std::max(a.right(), b.right()) - x, std::max(a.bottom(), b.bottom()) - y};
}

bool overlaps(Rect a, Rect b) { return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom(); }
// Whether two rectangles overlap or share a stretch of a side.
bool touches(Rect a, Rect b) {
    const bool across = a.x < b.right() && b.x < a.right(), along = a.y < b.bottom() && b.y < a.bottom();
    return (across && along) || (across && (a.y == b.bottom() || b.y == a.bottom())) ||
           (along && (a.x == b.right() || b.x == a.right()));
}

Rect box(const afcp::layout::AreaRow& a) { return {double(a.x), double(a.y), double(a.width), double(a.height)}; }

// Every element of a tree, each before its children.
void walk(ElementHead* e, const std::function<void(ElementHead*)>& visit) {
    visit(e);
    if (e->child_list != nullptr)
        for (ElementHead** child = e->child_list; *child != nullptr; ++child) walk(*child, visit);
}

// The areas of a mouse list (between the parent record and its end).
template <class List>
std::vector<const afcp::MouseArea*> areas_of(const List& list) {
    std::vector<const afcp::MouseArea*> out;
    for (const afcp::MouseArea& a : list)
        if (a.type == afcp::kArea) out.push_back(&a);
    return out;
}

Rect box(const afcp::MouseArea& a) { return {double(a.x), double(a.y), double(a.width), double(a.height)}; }

const afcp::MovingImageElement* tape(int32_t bitmap) {
    const afcp::MovingImageElement* found = nullptr;
    walk(afcp::layout::gs_elements[0], [&](ElementHead* e) {
        if (e->kind == afcp::kMovingImage && e->bitmap_id == bitmap)
            found = reinterpret_cast<const afcp::MovingImageElement*>(e);
    });
    if (found == nullptr) unexpected("no tape in the GS tree");
    return found;
}

// Drives a window's areas as a pilot's clicks would and reads the tape's callback at every setting.
TapeScale scale(int32_t bitmap, bool vertical) {
    const afcp::MovingImageElement* t = tape(bitmap);
    const afcp::ValueCallback marker = vertical ? t->y_callback : t->x_callback;
    if (marker == nullptr) unexpected("a tape has no marker callback");
    const Rect at{double(t->head.x), double(t->head.y), 1, 1};
    TapeScale s{{}, {}, false};
    afcp::CommandHandler reset = nullptr, down = nullptr, up = nullptr;
    Rect up_area{};
    for (Rect w : ground_speed_windows())
        if (overlaps(w, at)) s.window = w;
    for (const afcp::MouseArea* a : areas_of(afcp::layout::gs_mouse)) {
        if (!overlaps(box(*a), s.window)) continue;
        (a->cursor == cursor::push ? reset : a->cursor == cursor::decrease ? down : up) = a->handler;
        if (a->cursor == cursor::increase) up_area = box(*a);
    }
    s.increase_first = vertical ? up_area.centre_y() < s.window.centre_y() : up_area.centre_x() < s.window.centre_x();
    if (reset == nullptr || down == nullptr || up == nullptr) unexpected("a tape window lacks one of its areas");
    auto reading = [&] { return marker(const_cast<ElementHead*>(&t->head)); };
    reset(0, 0);
    int lowest = 0;
    for (double last = reading();; --lowest) {
        down(0, 0);
        if (reading() == last) break;
        last = reading();
    }
    for (int knots = lowest;; ++knots) {
        s.readings.push_back({knots, reading()});
        up(0, 0);
        if (reading() == s.readings.back().offset) break;
    }
    reset(0, 0);
    return s;
}

}  // namespace

std::vector<Control> afcp_controls() {
    const auto& rows = afcp::Variant::afcp_areas;
    const size_t n = std::size(rows);
    std::vector<Control> controls;
    for (size_t i = 0; i < n; ++i) {
        const auto& a = rows[i];
        const bool knob_below = a.cursor == cursor::push && i + 2 < n && rows[i + 1].cursor == cursor::decrease &&
                                rows[i + 2].cursor == cursor::increase && rows[i + 1].y == a.y + a.height &&
                                rows[i + 2].y == a.y + a.height;
        const bool knob_halves = a.cursor == cursor::decrease && a.command == nullptr && i + 1 < n &&
                                 rows[i + 1].cursor == cursor::increase && rows[i + 1].x == a.x + a.width &&
                                 rows[i + 1].y == a.y && rows[i + 1].height == a.height;
        std::string name = a.command != nullptr ? a.command : a.key_event != 0 ? "#" + std::to_string(a.key_event) : "";
        if (knob_below) {
            controls.push_back({ControlKind::knob, united(box(a), united(box(rows[i + 1]), box(rows[i + 2]))), name});
            i += 2;
        } else if (knob_halves) {
            controls.push_back({ControlKind::knob, united(box(a), box(rows[i + 1])), name});
            i += 1;
        } else if (a.cursor == cursor::push) {
            controls.push_back({ControlKind::button, box(a), name});
        } else {
            unexpected("AFCP area row " + std::to_string(i) + " belongs to no button or knob");
        }
    }
    return controls;
}

std::vector<Rect> afcp_images(int32_t bitmap, int w, int h) {
    std::vector<Rect> boxes;
    walk(afcp::layout::afcp_elements[0], [&](ElementHead* e) {
        if (e->kind == afcp::kImageSelector && e->bitmap_id == bitmap)
            boxes.push_back({double(e->x), double(e->y), double(w), double(h)});
    });
    return boxes;
}

std::vector<Rect> annunciator_boxes() {
    std::vector<Rect> boxes;
    walk(afcp::layout::annunciator_elements[0], [&](ElementHead* e) {
        if (e->kind != afcp::kText) return;
        const auto* t = reinterpret_cast<const afcp::TextElement*>(e);
        boxes.push_back({double(e->x), double(e->y), double(t->box_width), double(t->box_height)});
    });
    if (boxes.empty()) unexpected("the annunciator has no text boxes");
    return boxes;
}

std::vector<Rect> ground_speed_windows() {
    std::vector<Rect> windows;
    for (const afcp::MouseArea* a : areas_of(afcp::layout::gs_mouse)) {
        Rect r = box(*a);
        // Merge with every window it touches along a side, until none is left to merge.
        for (bool merged = true; merged;) {
            merged = false;
            for (auto w = windows.begin(); w != windows.end(); ++w)
                if (touches(*w, r)) {
                    r = united(*w, r);
                    windows.erase(w);
                    merged = true;
                    break;
                }
        }
        windows.push_back(r);
    }
    return windows;
}

TapeScale fore_aft_scale() { return scale(bitmap::fore_aft_tape, true); }
TapeScale lateral_scale() { return scale(bitmap::lateral_tape, false); }

}  // namespace art
