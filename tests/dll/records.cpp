#include "tests/dll/records.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "tests/conformance/check.h"

namespace dll {

namespace {

std::string hex(uint32_t v) {
    char s[16];
    std::snprintf(s, sizeof s, "0x%X", v);
    return s;
}

}  // namespace

namespace {

// A value of the record at `address`, or 0 with a failure where it lies outside the module.
template <typename T>
T read(const Image& image, uint32_t address) {
    const uint8_t* p = image.at(address, sizeof(T));
    if (p == nullptr) {
        conformance::fail(__FILE__, __LINE__, ("a record reaches " + hex(address) + ", outside the module").c_str());
        return 0;
    }
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

uint32_t Image::u32(uint32_t address) const { return read<uint32_t>(*this, address); }

double Image::f64(uint32_t address) const { return read<double>(*this, address); }

std::string Image::text(uint32_t address) const {
    std::string s;
    for (uint32_t i = 0; i < 256; ++i) {
        const uint8_t* p = at(address + i, 1);
        if (p == nullptr) {
            conformance::fail(__FILE__, __LINE__, ("a text at " + hex(address) + " runs out of the module").c_str());
            return s;
        }
        if (*p == 0) return s;
        s += static_cast<char>(*p);
    }
    return s;
}

std::vector<uint32_t> Image::children(uint32_t element) const {
    std::vector<uint32_t> out;
    const uint32_t list = pointer(element + offsets::element_children);
    if (list == 0) return out;
    for (uint32_t i = 0; i < 64; ++i) {
        const uint32_t child = pointer(list + 4 * i);
        if (child == 0) return out;
        out.push_back(child);
    }
    conformance::fail(__FILE__, __LINE__, ("the child list at " + hex(list) + " has no end").c_str());
    return out;
}

uint32_t Image::only_child(uint32_t element) const {
    const std::vector<uint32_t> c = children(element);
    return c.size() == 1 ? c[0] : 0;
}

std::vector<uint32_t> Image::areas(int slot) const {
    std::vector<uint32_t> out;
    const uint32_t first = pointer(gauge(slot) + offsets::header_mouse);
    CHECK_EQ(i32(first), 1);
    uint32_t r = first + offsets::mouse_record_bytes;
    for (int n = 0; n < 64 && i32(r) == 2; ++n, r += offsets::mouse_record_bytes) out.push_back(r);
    CHECK_EQ(i32(r), 3);
    CHECK_EQ(i32(r + offsets::mouse_record_bytes), 0);
    for (uint32_t frame : {first, r, r + offsets::mouse_record_bytes}) {
        CHECK_EQ(i32(frame + 20), -1);
        for (int word = 1; word < 11; ++word)
            if (word != 5) CHECK_EQ(u32(frame + 4 * word), 0);
    }
    return out;
}

// ---- Expected tables -------------------------------------------------------------------------------------------

namespace {

const Area korst_afcp[] = {
    {302, 85, 40, 40, 5, 0x20000000, "STAB", 0},
    {95, 195, 54, 27, 5, 0x20000000, "CRHT", 0},
    {95, 222, 27, 27, 2, 0x20200000, "CRHT_DOWN", 0},
    {122, 222, 27, 27, 1, 0x20200000, "CRHT_UP", 0},
    {293, 195, 54, 27, 5, 0x20000000, "HOV", 0},
    {293, 222, 27, 27, 2, 0x20200000, "HOV_DOWN", 0},
    {320, 222, 27, 27, 1, 0x20200000, "HOV_UP", 0},
    {382, 74, 54, 27, 5, 0x20000000, "HDG", 0},
    {382, 101, 27, 27, 2, 0x20200000, "HDG_LEFT", 0},
    {409, 101, 27, 27, 1, 0x20200000, "HDG_RIGHT", 0},
    {190, 74, 54, 27, 5, 0x20000000, "ALTA", 0},
    {190, 101, 27, 27, 2, 0x20200000, "ALTA_DECREASE", 0},
    {217, 101, 27, 27, 1, 0x20200000, "ALTA_INCREASE", 0},
    {609, 74, 54, 27, 5, 0x20000000, "VS", 0},
    {609, 101, 27, 27, 2, 0x20200000, "VS_DECREASE", 0},
    {636, 101, 27, 27, 1, 0x20200000, "VS_INCREASE", 0},
    {385, 199, 74, 48, 5, 0x20000000, "NAV", 0},
    {184, 199, 74, 48, 5, 0x20000000, "TDN", 0},
    {489, 199, 74, 48, 5, 0x20000000, "APP", 0},
    {594, 199, 74, 48, 5, 0x20000000, "GS", 0},
    {489, 78, 74, 48, 5, 0x20000000, "IAS", 0},
    {85, 78, 74, 48, 5, 0x20000000, "ALT", 0},
};

const Area brevane_afcp[] = {
    {416, 34, 36, 18, 5, 0x20000000, "CRHT", 0},
    {416, 52, 18, 18, 2, 0x20200000, "CRHT_DOWN", 0},
    {434, 52, 18, 18, 1, 0x20200000, "CRHT_UP", 0},
    {416, 95, 36, 18, 5, 0x20000000, "HOV", 0},
    {416, 113, 18, 18, 2, 0x20200000, "HOV_DOWN", 0},
    {434, 113, 18, 18, 1, 0x20200000, "HOV_UP", 0},
    {115, 34, 36, 18, 5, 0x20000000, "HDG", 0},
    {115, 52, 18, 18, 2, 0x20200000, "HDG_LEFT", 0},
    {133, 52, 18, 18, 1, 0x20200000, "HDG_RIGHT", 0},
    {259, 34, 36, 18, 5, 0x20000000, "ALTA", 0},
    {259, 52, 18, 18, 2, 0x20200000, "ALTA_DECREASE", 0},
    {277, 52, 18, 18, 1, 0x20200000, "ALTA_INCREASE", 0},
    {187, 34, 36, 18, 5, 0x20000000, "VS", 0},
    {187, 52, 18, 18, 2, 0x20200000, "VS_DECREASE", 0},
    {205, 52, 18, 18, 1, 0x20200000, "VS_INCREASE", 0},
    {42, 34, 36, 18, 5, 0x20000000, "IAS", 0},
    {42, 52, 18, 18, 2, 0x20200000, "IAS_DECREASE", 0},
    {60, 52, 18, 18, 1, 0x20200000, "IAS_INCREASE", 0},
    {114, 90, 36, 30, 5, 0x20000000, "NAV", 0},
    {337, 90, 74, 48, 5, 0x20000000, "TDN", 0},
    {337, 29, 74, 48, 5, 0x20000000, "ALT", 0},
    {259, 90, 74, 48, 5, 0x20000000, nullptr, 0},
    {489, 34, 18, 36, 2, 0x20200000, nullptr, 65884},
    {507, 34, 18, 36, 1, 0x20200000, nullptr, 65883},
    {561, 34, 18, 36, 2, 0x20200000, nullptr, 65536},
    {579, 34, 18, 36, 1, 0x20200000, nullptr, 65536},
    {489, 95, 18, 36, 2, 0x20200000, nullptr, 65662},
    {507, 95, 18, 36, 1, 0x20200000, nullptr, 65663},
    {561, 95, 18, 36, 2, 0x20200000, nullptr, 66322},
    {579, 95, 18, 36, 1, 0x20200000, nullptr, 66321},
};

struct GaugeAreas {
    int slot;
    std::vector<Area> areas;
};

const GaugeAreas shared_lists[] = {
    {IAS_SELECT, {{0, 0, 32, 16, 1, 0x20200000, "IAS_INCREASE", 0}, {0, 16, 32, 16, 2, 0x20200000, "IAS_DECREASE", 0}}},
    {ALT_SELECT, {{0, 0, 32, 16, 1, 0x20200000, "ALT_INCREASE", 0}, {0, 16, 32, 16, 2, 0x20200000, "ALT_DECREASE", 0}}},
    {ALT_VS_SELECT,
     {{0, 0, 32, 16, 1, 0x20200000, "ALT_VS_INCREASE", 0}, {0, 16, 32, 16, 2, 0x20200000, "ALT_VS_DECREASE", 0}}},
    {AP_TRIM,
     {{10, 0, 12, 12, 1, 0x20200000, "TRIM_UP", 0},
      {10, 20, 12, 12, 2, 0x20200000, "TRIM_DOWN", 0},
      {0, 10, 12, 12, 2, 0x20200000, "TRIM_LEFT", 0},
      {20, 10, 12, 12, 1, 0x20200000, "TRIM_RIGHT", 0},
      {12, 12, 8, 8, 5, 0x20200000, "TRIM_CENTER", 0}}},
    {HIGH_MODES, {{0, 0, 32, 32, 5, 0x20000000, "FD_DISENGAGE", 0}}},
    {GO_AROUND, {{0, 0, 32, 32, 5, 0x20000000, "GO_AROUND", 0}}},
    {STAB, {{0, 0, 32, 32, 5, 0x20000000, "STAB", 0}}},
    {ANNUNCIATOR, {}},
    {ANNUNCIATOR_T, {}},
    {GS,
     {{145, 100, 58, 58, 5, 0x20000000, "GS_RESET_FB", 0},
      {145, 158, 58, 60, 2, 0x20200000, "GS_BACK", 0},
      {145, 40, 58, 60, 1, 0x20200000, "GS_FORWARD", 0},
      {391, 101, 58, 58, 5, 0x20000000, "GS_RESET_LR", 0},
      {331, 101, 60, 58, 2, 0x20200000, "GS_LEFT", 0},
      {449, 101, 60, 58, 1, 0x20200000, "GS_RIGHT", 0}}},
};

struct Gauge {
    const char* name;
    uint32_t size;
    bool service;
};
const Gauge gauges[kGauges] = {{"AFCP", 300, true},          {"IAS Select", 32, false}, {"ALT Select", 32, false},
                               {"ALT/VS Select", 32, false}, {"AP Trim", 32, false},    {"High Modes Disengage", 32, false},
                               {"Go-Around", 32, false},     {"Stab", 32, false},       {"Annunciator", 100, false},
                               {"Annunciator-T", 100, true}, {"GS", 300, false}};

struct ExpectedBitmap {
    uint32_t id;
    int32_t width, height;
    int bits;
};
const ExpectedBitmap korst_bitmaps[] = {{0x1000, 746, 328, 8},  {0x1010, 21, 19, 8},    {0x1020, 21, 19, 8},
                                        {0x1030, 54, 54, 8},    {0x1031, 54, 54, 8},    {0x1040, 74, 48, 8},
                                        {0x1050, 754, 278, 24}, {0x1055, 614, 132, 24}, {0x1060, 32, 32, 8},
                                        {0x2100, 754, 254, 24}, {0x2110, 58, 782, 24},  {0x2111, 58, 178, 8},
                                        {0x2120, 623, 57, 24},  {0x2121, 178, 57, 8}};
const ExpectedBitmap brevane_bitmaps[] = {{0x1000, 640, 143, 8}, {0x1050, 754, 278, 24}, {0x1060, 614, 132, 24},
                                          {0x1100, 32, 32, 8},   {0x2100, 754, 254, 24}, {0x2110, 58, 782, 24},
                                          {0x2111, 58, 178, 8},  {0x2120, 623, 57, 24},  {0x2121, 178, 57, 8}};

// A record the host reads holds its values in a section the host may write.
void check_writable(const Image& image, uint32_t record, const char* what) {
    if (!image.writable(record))
        conformance::fail(__FILE__, __LINE__, (std::string(what) + " at " + hex(record) + " is read-only").c_str());
}

void check_callback(const Image& image, uint32_t address, const char* what) {
    if (address == 0 || !image.code(address))
        conformance::fail(__FILE__, __LINE__,
                          (std::string(what) + " " + hex(address) + " does not point into the module's code").c_str());
}

}  // namespace

// ---- Linkage and gauge headers ---------------------------------------------------------------------------------

void check_linkage_words(const Image& image) {
    const uint32_t t = image.import_table, l = image.linkage;
    CHECK(t != 0 && l != 0);
    if (t == 0 || l == 0) return;
    CHECK_EQ(image.u32(t), 0xF);
    for (int word = 1; word < 4; ++word) CHECK_EQ(image.u32(t + 4 * word), 0);
    check_writable(image, t + 4, "ImportTable's services word");
    CHECK_EQ(image.u32(l), 0x13);
    check_callback(image, image.pointer(l + 4), "the module init routine");
    CHECK_EQ(image.pointer(l + 8), image.pointer(l + 4));
    CHECK_EQ(image.u32(l + 12), 0);
    CHECK_EQ(image.u32(l + 16), 0);
    CHECK_EQ(image.u32(l + 20), 0x800);
    for (int slot = 0; slot < kGauges; ++slot) CHECK(image.gauge(slot) != 0);
    CHECK_EQ(image.u32(l + offsets::linkage_gauges + 4 * kGauges), 0);
}

void check_gauge_headers(const Image& image) {
    const uint32_t first = image.gauge(AFCP);
    for (int slot = 0; slot < kGauges; ++slot) {
        const uint32_t h = image.gauge(slot);
        if (h == 0) continue;
        const Gauge& e = gauges[slot];
        check_writable(image, h, "a gauge header");
        CHECK_EQ(image.u32(h), 0x320);
        const std::string name = image.text(image.pointer(h + offsets::header_name));
        CHECK_STR(name.c_str(), e.name);
        const uint32_t list = image.pointer(h + offsets::header_elements);
        CHECK(list != 0 && image.pointer(list) != 0 && image.pointer(list + 4) == 0);
        if (list != 0 && image.pointer(list) != 0)
            CHECK_EQ(image.pointer(image.pointer(list) + offsets::element_gauge), h);
        for (int r = 0; r < 7; ++r) {
            const uint32_t routine = image.pointer(h + offsets::header_lifecycle + 4 * r);
            check_callback(image, routine, "a lifecycle routine");
            CHECK_EQ(routine, image.pointer(first + offsets::header_lifecycle + 4 * r));
        }
        CHECK_EQ(image.u32(h + offsets::header_size), e.size);
        CHECK(image.pointer(h + offsets::header_mouse) != 0);
        const uint32_t service = image.pointer(h + offsets::header_service);
        CHECK_EQ(service != 0, e.service);
        if (e.service) check_callback(image, service, "a service callback");
        CHECK_EQ(image.u32(h + offsets::header_parameter), 0);
        // Every word the module does not set is zero.
        for (int byte = 0; byte < offsets::header_bytes; byte += 4) {
            const bool named = byte <= 36 || byte == offsets::header_size || byte == offsets::header_mouse ||
                               byte == offsets::header_service;
            if (!named) CHECK_EQ(image.u32(h + byte), 0);
        }
    }
    CHECK(image.pointer(image.gauge(AFCP) + offsets::header_service) !=
          image.pointer(image.gauge(ANNUNCIATOR_T) + offsets::header_service));
}

// ---- Element trees ---------------------------------------------------------------------------------------------

namespace {

void check_roots(const Image& image, bool brevane) {
    struct Root {
        int slot;
        int32_t bitmap;
        uint32_t flags;
    } roots[] = {{AFCP, 0x1000, 1},
                 {IAS_SELECT, brevane ? 0x1100 : 0x1060, 1},
                 {ALT_SELECT, brevane ? 0x1100 : 0x1060, 1},
                 {ALT_VS_SELECT, brevane ? 0x1100 : 0x1060, 1},
                 {AP_TRIM, brevane ? 0x1100 : 0x1060, 1},
                 {HIGH_MODES, brevane ? 0x1100 : 0x1060, 1},
                 {GO_AROUND, brevane ? 0x1100 : 0x1060, 1},
                 {STAB, brevane ? 0x1100 : 0x1060, 1},
                 {ANNUNCIATOR, 0x1050, 0},
                 {ANNUNCIATOR_T, brevane ? 0x1060 : 0x1055, 1},
                 {GS, 0x2100, 1}};
    for (const Root& r : roots) {
        const uint32_t e = image.root(r.slot);
        if (e == 0) continue;
        check_writable(image, e, "a root element");
        CHECK_EQ(image.i32(e + offsets::element_kind), 0);
        CHECK_EQ(image.i32(e + offsets::element_bitmap), r.bitmap);
        CHECK_EQ(image.i32(e + offsets::element_x), 0);
        CHECK_EQ(image.i32(e + offsets::element_y), 0);
        CHECK_EQ(image.u32(e + offsets::element_flags), r.flags);
        CHECK_EQ(image.pointer(e + offsets::element_gauge), image.gauge(r.slot));
        CHECK_EQ(image.u32(e + offsets::element_failures), 0);
        for (int byte = 60; byte < 96; byte += 4) CHECK_EQ(image.u32(e + byte), 0);
        const bool leaf = r.slot >= IAS_SELECT && r.slot <= STAB;
        CHECK_EQ(image.children(e).empty(), leaf || (r.slot == AFCP && brevane));
    }
}

void check_failure_list(const Image& image, uint32_t list) {
    CHECK(list != 0);
    if (list == 0) return;
    CHECK_EQ(image.i32(list), 21);
    CHECK_EQ(image.i32(list + 4), 3);
    CHECK_EQ(image.i32(list + 8), 0);
    CHECK_EQ(image.i32(list + 12), 0);
}

void check_afcp_tree(const Image& image, bool brevane) {
    const uint32_t root = image.root(AFCP);
    if (root == 0) return;
    if (brevane) {
        CHECK(image.children(root).empty());
        return;
    }
    const uint32_t nav_lamp = image.only_child(root);
    const uint32_t stab_lamp = nav_lamp ? image.only_child(nav_lamp) : 0;
    CHECK(nav_lamp != 0 && stab_lamp != 0);
    if (stab_lamp == 0) return;
    struct Selector {
        uint32_t e;
        int32_t bitmap, x, y;
        uint32_t flags, images;
        bool failures;
    };
    const std::vector<uint32_t> items = image.children(stab_lamp);
    CHECK_EQ(items.size(), 11);
    if (items.size() != 11) return;
    const Selector expected[] = {
        {nav_lamp, 0x1020, 516, 170, 7, 1, true},  {stab_lamp, 0x1010, 312, 58, 7, 1, true},
        {items[0], 0x1040, 85, 78, 2, 1, false},   {items[1], 0x1040, 184, 199, 2, 1, false},
        {items[2], 0x1040, 385, 199, 2, 1, false}, {items[3], 0x1040, 489, 199, 2, 1, false},
        {items[4], 0x1040, 594, 199, 2, 1, false}, {items[5], 0x1040, 489, 78, 2, 1, false},
        {items[6], 0x1030, 95, 195, 3, 2, false},  {items[7], 0x1030, 190, 74, 3, 2, false},
        {items[8], 0x1030, 293, 195, 3, 2, false}, {items[9], 0x1030, 382, 74, 3, 2, false},
        {items[10], 0x1030, 607, 74, 3, 2, false},
    };
    const uint32_t failure_list = image.pointer(nav_lamp + offsets::element_failures);
    check_failure_list(image, failure_list);
    for (const Selector& s : expected) {
        check_writable(image, s.e, "an image selector");
        CHECK_EQ(image.i32(s.e + offsets::element_kind), 4);
        CHECK_EQ(image.i32(s.e + offsets::element_bitmap), s.bitmap);
        CHECK_EQ(image.i32(s.e + offsets::element_x), s.x);
        CHECK_EQ(image.i32(s.e + offsets::element_y), s.y);
        CHECK_EQ(image.u32(s.e + offsets::element_flags), s.flags);
        CHECK_EQ(image.pointer(s.e + offsets::element_gauge), image.gauge(AFCP));
        CHECK_EQ(image.pointer(s.e + offsets::element_failures), s.failures ? failure_list : 0);
        CHECK_EQ(image.i32(s.e + 60), 0);  // source variable token
        CHECK_EQ(image.u32(s.e + 92), 3);
        CHECK(image.f64(s.e + 96) == 0.0 && image.f64(s.e + 104) == 0.0);
        CHECK_EQ(image.u32(s.e + 112), s.images);
        check_callback(image, image.pointer(s.e + offsets::selector_callback), "an image selector's callback");
        CHECK_EQ(image.u32(s.e + 136), 0);
        if (s.e != nav_lamp && s.e != stab_lamp) CHECK(image.children(s.e).empty());
    }
}

void check_annunciator_texts(const Image& image) {
    struct Text {
        int column, row;
        bool wide;
        uint32_t colour;
        int32_t tokens[3];
    };
    // Chain order: lower-right, lower-centre, lower-left, upper-right, upper-centre, upper-left.
    const Text texts[6] = {{2, 1, true, 0x00FFFF00, {109, 0, 0}},     {1, 1, false, 0x00FFFF00, {0, 0, 0}},
                           {0, 1, true, 0x00FFFF00, {109, 0, 0}},     {2, 0, true, 0x005FEE00, {108, 120, 145}},
                           {1, 0, false, 0x005FEE00, {107, 45, 838}}, {0, 0, true, 0x005FEE00, {109, 120, 116}}};
    struct Grid {
        int slot;
        int32_t columns[3], rows[2];
        uint32_t flags, background;
    } grids[2] = {{ANNUNCIATOR, {72, 315, 486}, {56, 120}, 7, 0},
                  {ANNUNCIATOR_T, {2, 244, 414}, {2, 66}, 6, 0x00020202}};
    const char face[32] = "Glass Gauge";
    for (const Grid& g : grids) {
        uint32_t e = image.root(g.slot);
        for (int i = 0; i < 6 && e != 0; ++i) {
            e = image.only_child(e);
            CHECK(e != 0);
            if (e == 0) break;
            const Text& t = texts[i];
            check_writable(image, e, "a text element");
            CHECK_EQ(image.i32(e + offsets::element_kind), 2);
            CHECK_EQ(image.i32(e + offsets::element_bitmap), -1);
            CHECK_EQ(image.i32(e + offsets::element_x), g.columns[t.column]);
            CHECK_EQ(image.i32(e + offsets::element_y), g.rows[t.row]);
            CHECK_EQ(image.u32(e + offsets::element_flags), g.flags);
            CHECK_EQ(image.pointer(e + offsets::element_gauge), image.gauge(g.slot));
            check_failure_list(image, image.pointer(e + offsets::element_failures));
            for (int s = 0; s < 3; ++s) CHECK_EQ(image.i32(e + 60 + 28 * s), t.tokens[s]);
            CHECK_EQ(image.u32(e + offsets::text_buffer), 0);
            CHECK_EQ(image.i32(e + 192), t.wide ? 198 : 126);
            CHECK_EQ(image.i32(e + 196), 64);
            CHECK_EQ(image.u32(e + 208), t.colour);
            CHECK_EQ(image.u32(e + offsets::text_background), g.background);
            CHECK_EQ(image.u32(e + 216), 0x0000FF00);
            const uint8_t* name = image.at(e + 248, 32);
            CHECK(name != nullptr && std::memcmp(name, face, 32) == 0);
            CHECK_EQ(image.i32(e + 280), 400);
            CHECK_EQ(image.i32(e + 284), 1);
            CHECK_EQ(image.u32(e + 288), 0x25);
            CHECK_EQ(image.i32(e + offsets::text_max_length), t.wide ? 11 : 7);
            check_callback(image, image.pointer(e + offsets::text_callback), "a text callback");
        }
        if (e != 0) CHECK(image.children(e).empty());
    }
}

void check_gs_tapes(const Image& image) {
    const uint32_t root = image.root(GS);
    if (root == 0) return;
    const std::vector<uint32_t> tapes = image.children(root);
    CHECK_EQ(tapes.size(), 2);
    if (tapes.size() != 2) return;
    struct Tape {
        int32_t bitmap, x, y;
        double x_end, y_end;
        bool x_moves;
    } expected[2] = {{0x2110, 145, 40, 0.0, 604.0, false}, {0x2120, 331, 101, 445.0, 0.0, true}};
    for (int i = 0; i < 2; ++i) {
        const uint32_t e = tapes[i];
        const Tape& t = expected[i];
        check_writable(image, e, "a moving image");
        CHECK_EQ(image.i32(e + offsets::element_kind), 5);
        CHECK_EQ(image.i32(e + offsets::element_bitmap), t.bitmap);
        CHECK_EQ(image.i32(e + offsets::element_x), t.x);
        CHECK_EQ(image.i32(e + offsets::element_y), t.y);
        CHECK_EQ(image.u32(e + offsets::element_flags), 0);
        CHECK_EQ(image.pointer(e + offsets::element_gauge), image.gauge(GS));
        CHECK(image.f64(e + 100) == t.x_end);
        CHECK(image.f64(e + 152) == t.y_end);
        const uint32_t x_callback = image.pointer(e + offsets::moving_x_callback);
        const uint32_t y_callback = image.pointer(e + offsets::moving_y_callback);
        CHECK_EQ(x_callback != 0, t.x_moves);
        CHECK_EQ(y_callback != 0, !t.x_moves);
        check_callback(image, t.x_moves ? x_callback : y_callback, "a moving image's callback");
        // Nothing else in the record is set.
        for (int byte = 60; byte < 268; byte += 4) {
            const bool named = byte == 100 || byte == 104 || byte == 152 || byte == 156 ||
                               byte == offsets::moving_x_callback || byte == offsets::moving_y_callback;
            if (!named) CHECK_EQ(image.u32(e + byte), 0);
        }
        CHECK(image.children(e).empty());
    }
}

void check_areas(const Image& image, int slot, const Area* expected, size_t count,
                 const std::function<uint32_t(const char*)>& handler_of) {
    const std::vector<uint32_t> actual = image.areas(slot);
    CHECK_EQ(actual.size(), count);
    for (size_t i = 0; i < actual.size() && i < count; ++i) {
        const uint32_t a = actual[i];
        const Area& e = expected[i];
        check_writable(image, a, "a mouse area");
        CHECK_EQ(image.i32(a + 4), e.x);
        CHECK_EQ(image.i32(a + 8), e.y);
        CHECK_EQ(image.i32(a + 12), e.w);
        CHECK_EQ(image.i32(a + 16), e.h);
        CHECK_EQ(image.i32(a + 20), e.cursor);
        CHECK_EQ(image.u32(a + 24), 0);
        CHECK_EQ(image.u32(a + 28), e.flags);
        CHECK_EQ(image.u32(a + 32), e.key_event);
        CHECK_EQ(image.u32(a + 40), 0);
        const uint32_t handler = image.pointer(a + offsets::mouse_handler);
        if (e.key_event != 0) {
            CHECK_EQ(handler, 0);
            continue;
        }
        check_callback(image, handler, "a mouse handler");
        if (handler_of && e.command != nullptr) {
            CHECK_EQ(handler, handler_of(e.command));
        }
    }
}

}  // namespace

std::vector<Area> afcp_areas(bool brevane) {
    if (brevane) return {std::begin(brevane_afcp), std::end(brevane_afcp)};
    return {std::begin(korst_afcp), std::end(korst_afcp)};
}

void check_element_trees(const Image& image, bool brevane) {
    check_roots(image, brevane);
    check_afcp_tree(image, brevane);
    check_annunciator_texts(image);
    check_gs_tapes(image);
}

void check_mouse_areas(const Image& image, bool brevane, const std::function<uint32_t(const char*)>& handler_of) {
    if (brevane)
        check_areas(image, AFCP, brevane_afcp, std::size(brevane_afcp), handler_of);
    else
        check_areas(image, AFCP, korst_afcp, std::size(korst_afcp), handler_of);
    for (const GaugeAreas& g : shared_lists) check_areas(image, g.slot, g.areas.data(), g.areas.size(), handler_of);
}

void check_images_over_areas(const Image& image, bool brevane) {
    const std::vector<uint32_t> afcp = image.areas(AFCP);
    auto x = [&](uint32_t a) { return image.i32(a + 4); };
    auto y = [&](uint32_t a) { return image.i32(a + 8); };
    auto w = [&](uint32_t a) { return image.i32(a + 12); };
    auto h = [&](uint32_t a) { return image.i32(a + 16); };
    for (size_t i = 0; i < afcp.size(); ++i)
        for (size_t j = i + 1; j < afcp.size(); ++j) {
            const uint32_t a = afcp[i], b = afcp[j];
            const bool apart = x(a) + w(a) <= x(b) || x(b) + w(b) <= x(a) || y(a) + h(a) <= y(b) || y(b) + h(b) <= y(a);
            CHECK(apart);
        }
    if (brevane) return;
    // Each pressed-button or turned-knob image covers exactly the union of its control's areas (the V/S knob's
    // image stands 2 px left of them).
    const uint32_t nav_lamp = image.root(AFCP) ? image.only_child(image.root(AFCP)) : 0;
    const uint32_t stab_lamp = nav_lamp ? image.only_child(nav_lamp) : 0;
    if (stab_lamp == 0) return;
    for (const uint32_t item : image.children(stab_lamp)) {
        const bool knob = image.i32(item + offsets::element_bitmap) == 0x1030;
        const int32_t iw = knob ? 54 : 74, ih = knob ? 54 : 48;
        const int32_t ix = image.i32(item + offsets::element_x), iy = image.i32(item + offsets::element_y);
        const int32_t shift = ix == 607 ? 2 : 0;
        int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
        for (const uint32_t a : afcp) {
            const bool inside = x(a) >= ix && x(a) < ix + iw + shift && y(a) >= iy && y(a) < iy + ih;
            if (!inside) continue;
            left = std::min(left, x(a));
            top = std::min(top, y(a));
            right = std::max(right, x(a) + w(a));
            bottom = std::max(bottom, y(a) + h(a));
        }
        CHECK_EQ(left, ix + shift);
        CHECK_EQ(top, iy);
        CHECK_EQ(right, ix + iw + shift);
        CHECK_EQ(bottom, iy + ih);
    }
}

void check_records(const Image& image, bool brevane, const std::function<uint32_t(const char*)>& handler_of) {
    check_linkage_words(image);
    if (image.linkage == 0) return;
    check_gauge_headers(image);
    check_element_trees(image, brevane);
    check_mouse_areas(image, brevane, handler_of);
    check_images_over_areas(image, brevane);
}

// ---- Exports, imports, resources, version ----------------------------------------------------------------------

void check_exports(const std::vector<std::string>& names) {
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    CHECK_EQ(sorted.size(), 2);
    if (sorted.size() == 2) {
        CHECK_STR(sorted[0].c_str(), "ImportTable");
        CHECK_STR(sorted[1].c_str(), "Linkage");
    }
}

void check_imports(const std::vector<Import>& imports) {
    // Windows' own libraries and the engine; a module that needs the compiler's runtime DLLs fails to load on a
    // user's machine.
    const char* allowed[] = {"kernel32.dll", "msvcrt.dll", "user32.dll", "gdi32.dll", "zolm.dll"};
    std::vector<uint32_t> engine_ordinals;
    for (const Import& i : imports) {
        std::string dll = i.dll;
        for (char& ch : dll) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        const bool known = std::any_of(std::begin(allowed), std::end(allowed), [&](const char* a) { return dll == a; });
        if (!known) conformance::fail(__FILE__, __LINE__, ("unexpected import from " + i.dll).c_str());
        if (dll != "zolm.dll") continue;
        if (!i.by_ordinal) conformance::fail(__FILE__, __LINE__, ("zolm.dll imported by name: " + i.name).c_str());
        engine_ordinals.push_back(i.ordinal);
    }
    std::sort(engine_ordinals.begin(), engine_ordinals.end());
    CHECK(engine_ordinals == (std::vector<uint32_t>{1, 3, 5}));
}

Bitmap bitmap(const uint8_t* data, uint32_t bytes) {
    Bitmap b;
    b.info = data;
    b.bytes = bytes;
    if (data == nullptr || bytes < 40) return b;
    auto word = [&](uint32_t at) {
        uint32_t v;
        std::memcpy(&v, data + at, 4);
        return v;
    };
    b.width = static_cast<int32_t>(word(4));
    b.height = static_cast<int32_t>(word(8));
    b.bits = static_cast<int>(word(12) >> 16);
    b.palette_entries = word(32);
    if (b.bits == 8 && b.palette_entries == 0) b.palette_entries = 256;
    if (b.width <= 0 || b.height <= 0 || b.width > 4096 || b.height > 4096 || (b.bits != 8 && b.bits != 24) ||
        b.palette_entries > 256)
        return b;
    const uint64_t stride = ((uint64_t(b.width) * b.bits / 8) + 3) & ~uint64_t(3);
    const uint64_t needed = word(0) + 4ull * (b.bits == 8 ? b.palette_entries : 0) + stride * uint64_t(b.height);
    b.valid = word(0) >= 40 && needed <= bytes;
    return b;
}

namespace {

// The colour of pixel (x, y) counted from the top, as 0x00RRGGBB.
uint32_t pixel(const Bitmap& b, int x, int y) {
    uint32_t header;
    std::memcpy(&header, b.info, 4);
    const uint8_t* palette = b.info + header;
    const uint8_t* bits = palette + 4 * (b.bits == 8 ? b.palette_entries : 0);
    const int stride = ((b.width * b.bits / 8) + 3) & ~3;
    const uint8_t* row = bits + stride * (b.height - 1 - y);
    const uint8_t* bgr = b.bits == 8 ? palette + 4 * std::min<uint32_t>(row[x], b.palette_entries - 1) : row + 3 * x;
    return (uint32_t{bgr[2]} << 16) | (uint32_t{bgr[1]} << 8) | bgr[0];
}

}  // namespace

bool plain(const Bitmap& b, int x, int y, int w, int h, uint32_t colour) {
    if (!b.valid || x < 0 || y < 0 || x + w > b.width || y + h > b.height) return false;
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (pixel(b, i, j) != colour) return false;
    return true;
}

void check_resources(const std::vector<Resource>& resources, bool brevane) {
    constexpr uint32_t kBitmap = 2, kVersion = 16, kUsEnglish = 1033;
    const ExpectedBitmap* first = brevane ? std::begin(brevane_bitmaps) : std::begin(korst_bitmaps);
    const ExpectedBitmap* last = brevane ? std::end(brevane_bitmaps) : std::end(korst_bitmaps);
    std::vector<uint32_t> wanted;
    for (const ExpectedBitmap* e = first; e != last; ++e) wanted.push_back(e->id);
    int versions = 0;
    auto find = [&](uint32_t id) -> Bitmap {
        for (const Resource& r : resources)
            if (r.type == kBitmap && r.id == id) return bitmap(r.data, r.bytes);
        return {};
    };
    for (const Resource& r : resources) {
        if (r.language != kUsEnglish)
            conformance::fail(__FILE__, __LINE__, ("resource " + hex(r.id) + " is not in language 1033").c_str());
        if (r.type == kVersion) {
            ++versions;
            CHECK_EQ(r.id, 1);
            continue;
        }
        const auto w = std::find(wanted.begin(), wanted.end(), r.id);
        if (r.type != kBitmap || w == wanted.end()) {
            conformance::fail(__FILE__, __LINE__,
                              ("unexpected resource type " + std::to_string(r.type) + " id " + hex(r.id)).c_str());
            continue;
        }
        wanted.erase(w);
    }
    for (uint32_t id : wanted) conformance::fail(__FILE__, __LINE__, ("bitmap " + hex(id) + " is missing").c_str());
    CHECK_EQ(versions, 1);
    for (const ExpectedBitmap* e = first; e != last; ++e) {
        const Bitmap b = find(e->id);
        if (b.info == nullptr) continue;
        if (!b.valid) {
            conformance::fail(__FILE__, __LINE__, ("bitmap " + hex(e->id) + " is not a whole bitmap").c_str());
            continue;
        }
        CHECK_EQ(b.width, e->width);
        CHECK_EQ(b.height, e->height);
        CHECK_EQ(b.bits, e->bits);
        if (e->bits == 8) CHECK_EQ(b.palette_entries, 256);
    }
    // The plain pictures, the companions of the tapes and the ground-speed face's windows.
    const uint32_t black_annunciator = brevane ? 0x1060 : 0x1055, black_square = brevane ? 0x1100 : 0x1060;
    if (Bitmap b = find(black_annunciator); b.valid) CHECK(plain(b, 0, 0, 614, 132, 0));
    if (Bitmap b = find(black_square); b.valid) CHECK(plain(b, 0, 0, 32, 32, 0));
    if (Bitmap b = find(0x2111); b.valid) CHECK(plain(b, 0, 0, 58, 178, 0x010101));
    if (Bitmap b = find(0x2121); b.valid) CHECK(plain(b, 0, 0, 178, 57, 0x010101));
    if (Bitmap b = find(0x2100); b.valid) {
        CHECK(plain(b, 145, 40, 58, 178, 0x010101));
        CHECK(plain(b, 331, 101, 178, 58, 0x010101));
    }
}

void check_version(const Version& v, bool brevane) {
    CHECK_EQ(v.file[0], brevane ? 1 : 2);
    CHECK_EQ(v.file[1], brevane ? 0 : 3);
    CHECK_EQ(v.file[2], 0);
    CHECK_EQ(v.file[3], 0);
    CHECK_STR(v.table.c_str(), "040904b0");
    CHECK(v.translation == (std::vector<uint16_t>{0x0409, 0x04B0}));
    auto string = [&](const char* key) -> std::string {
        for (const auto& [k, value] : v.strings)
            if (k == key) return value;
        return "(missing)";
    };
    const std::string description = string("FileDescription");
    CHECK_STR(description.c_str(), brevane ? "Brevane Autopilot Control Panel" : "Korst Autopilot Control Panel");
    for (const char* name : {"CompanyName", "ProductName", "FileVersion", "ProductVersion"}) {
        const std::string blank = string(name);
        CHECK_STR(blank.c_str(), " ");
    }
    CHECK_EQ(v.strings.size(), 5);
}

}  // namespace dll
