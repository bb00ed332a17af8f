// Element trees of the eleven gauges.
#include "frame/catalogue.h"
#include "layout/layout.h"
#include "variants/variant.h"

namespace afcp::layout {

namespace {

constexpr StaticImageElement root(int32_t bitmap, uint32_t image_flags, Gauge gauge) {
    StaticImageElement e{};
    e.head.kind = kStaticImage;
    e.head.bitmap_id = bitmap;
    e.head.gauge = &gauge_headers[gauge];
    e.head.image_flags = image_flags;
    return e;
}

StaticImageElement afcp_root = root(0x1000, 1, kGaugeAFCP);
StaticImageElement ias_select_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeIASSelect);
StaticImageElement alt_select_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeALTSelect);
StaticImageElement alt_vs_select_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeALTVSSelect);
StaticImageElement ap_trim_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeAPTrim);
StaticImageElement high_modes_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeHighModesDisengage);
StaticImageElement go_around_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeGoAround);
StaticImageElement stab_root = root(Variant::select_gauge_root_bitmap, 1, kGaugeStab);
StaticImageElement annunciator_root = root(0x1050, 0, kGaugeAnnunciator);
StaticImageElement annunciator_t_root = root(Variant::annunciator_t_root_bitmap, 1, kGaugeAnnunciatorT);
StaticImageElement gs_root = root(0x2100, 1, kGaugeGS);

}  // namespace

ElementHead* afcp_elements[2] = {&afcp_root.head, nullptr};
ElementHead* ias_select_elements[2] = {&ias_select_root.head, nullptr};
ElementHead* alt_select_elements[2] = {&alt_select_root.head, nullptr};
ElementHead* alt_vs_select_elements[2] = {&alt_vs_select_root.head, nullptr};
ElementHead* ap_trim_elements[2] = {&ap_trim_root.head, nullptr};
ElementHead* high_modes_elements[2] = {&high_modes_root.head, nullptr};
ElementHead* go_around_elements[2] = {&go_around_root.head, nullptr};
ElementHead* stab_elements[2] = {&stab_root.head, nullptr};
ElementHead* annunciator_elements[2] = {&annunciator_root.head, nullptr};
ElementHead* annunciator_t_elements[2] = {&annunciator_t_root.head, nullptr};
ElementHead* gs_elements[2] = {&gs_root.head, nullptr};

}  // namespace afcp::layout
