// Every gauge's element tree and mouse-area list read the way the host reads them, the callbacks reached through
// their records, host-style hit tests, and the bitmaps and version resource of the module.
#include <algorithm>
#include <string>

#include "tests/conformance/check.h"
#include "tests/conformance/host.h"

using namespace host;

namespace {

constexpr int selector_bytes = 140;

// ---- reading the records ----------------------------------------------------------------------------------------

std::vector<uint8_t*> children(const uint8_t* element) {
    std::vector<uint8_t*> out;
    const uint8_t* list = ptr(element, offsets::element_children);
    if (list == nullptr) return out;
    for (int i = 0; u32(list, 4 * i) != 0; ++i) out.push_back(ptr(list, 4 * i));
    return out;
}

// The single child of a chain level, or null.
uint8_t* only_child(const uint8_t* element) {
    std::vector<uint8_t*> c = children(element);
    return c.size() == 1 ? c[0] : nullptr;
}

struct Area {
    int32_t x, y, w, h, cursor;
    uint32_t flags;
    const char* command;  // null: key event or inert
    uint32_t key_event;
};

// A gauge's areas, checked against the list's frame records on the way.
std::vector<const uint8_t*> areas(int slot) {
    std::vector<const uint8_t*> out;
    const uint8_t* r = ptr(module().gauge(slot), offsets::header_mouse);
    CHECK_EQ(i32(r, 0), 1);
    for (r += offsets::mouse_record_bytes; i32(r, 0) == 2; r += offsets::mouse_record_bytes) out.push_back(r);
    CHECK_EQ(i32(r, 0), 3);
    CHECK_EQ(i32(r + offsets::mouse_record_bytes, 0), 0);
    const uint8_t* first = ptr(module().gauge(slot), offsets::header_mouse);
    for (const uint8_t* frame : {first, r, r + offsets::mouse_record_bytes}) {
        CHECK_EQ(i32(frame, 20), -1);
        for (int word = 1; word < 11; ++word)
            if (word != 5) CHECK_EQ(u32(frame, 4 * word), 0);
    }
    return out;
}

// The handler the engine was given under `name`.
uint32_t handler_of(const char* name) {
    auto* table = reinterpret_cast<const uint8_t*>(zolm_test_table());
    for (int i = 0; table != nullptr && i < 41; ++i)
        if (std::strcmp(reinterpret_cast<const char*>(table + 44 * i), name) == 0) return u32(table, 44 * i + 40);
    return 0;
}

bool in_table(uint32_t handler) {
    auto* table = reinterpret_cast<const uint8_t*>(zolm_test_table());
    for (int i = 0; i < 41; ++i)
        if (u32(table, 44 * i + 40) == handler) return true;
    return false;
}

void attach_with_gate_open() {
    module().service(AFCP, update);
    module().update(28.0, 1.0, 80.0, 100.0);
}

// The first area containing the point, as the host picks it.
const uint8_t* hit(int slot, int32_t px, int32_t py) {
    for (const uint8_t* a : areas(slot)) {
        if (px >= i32(a, 4) && px < i32(a, 4) + i32(a, 12) && py >= i32(a, 8) && py < i32(a, 8) + i32(a, 16)) return a;
    }
    return nullptr;
}

uint32_t hit_handler(int slot, int32_t px, int32_t py) {
    const uint8_t* a = hit(slot, px, py);
    return a == nullptr ? 0 : u32(a, 36);
}

// ---- expected tables ---------------------------------------------------------------------------------------------

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

void check_areas(int slot, const Area* expected, size_t count) {
    std::vector<const uint8_t*> actual = areas(slot);
    CHECK_EQ(actual.size(), count);
    for (size_t i = 0; i < actual.size() && i < count; ++i) {
        const uint8_t* a = actual[i];
        const Area& e = expected[i];
        CHECK_EQ(i32(a, 4), e.x);
        CHECK_EQ(i32(a, 8), e.y);
        CHECK_EQ(i32(a, 12), e.w);
        CHECK_EQ(i32(a, 16), e.h);
        CHECK_EQ(i32(a, 20), e.cursor);
        CHECK_EQ(u32(a, 24), 0);
        CHECK_EQ(u32(a, 28), e.flags);
        CHECK_EQ(u32(a, 32), e.key_event);
        CHECK_EQ(u32(a, 40), 0);
        if (e.command != nullptr) {
            CHECK_EQ(u32(a, 36), handler_of(e.command));
        } else if (e.key_event != 0) {
            CHECK_EQ(u32(a, 36), 0);
        } else {
            CHECK(u32(a, 36) != 0 && !in_table(u32(a, 36)));
        }
    }
}

}  // namespace

// ---- element trees ------------------------------------------------------------------------------------------------

CONFORMANCE_CASE(root_elements) {
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
        const uint8_t* e = module().root(r.slot);
        CHECK_EQ(i32(e, offsets::element_kind), 0);
        CHECK_EQ(i32(e, offsets::element_bitmap), r.bitmap);
        CHECK_EQ(i32(e, offsets::element_x), 0);
        CHECK_EQ(i32(e, offsets::element_y), 0);
        CHECK_EQ(u32(e, offsets::element_flags), r.flags);
        CHECK(ptr(e, offsets::element_gauge) == module().gauge(r.slot));
        CHECK_EQ(u32(e, offsets::element_failures), 0);
        for (int byte = 60; byte < 96; byte += 4) CHECK_EQ(u32(e, byte), 0);
        const bool leaf = r.slot >= IAS_SELECT && r.slot <= STAB;
        CHECK_EQ(children(e).empty(), leaf || (r.slot == AFCP && brevane));
    }
}

CONFORMANCE_CASE(afcp_tree) {
    const uint8_t* root = module().root(AFCP);
    if (brevane) {
        CHECK(children(root).empty());
        return;
    }
    uint8_t* nav_lamp = only_child(root);
    uint8_t* stab_lamp = nav_lamp ? only_child(nav_lamp) : nullptr;
    CHECK(nav_lamp != nullptr && stab_lamp != nullptr);
    if (stab_lamp == nullptr) return;
    struct Selector {
        const uint8_t* e;
        int32_t bitmap, x, y;
        uint32_t flags, images;
        bool failures;
    };
    std::vector<uint8_t*> items = children(stab_lamp);
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
    const uint8_t* failure_list = ptr(nav_lamp, offsets::element_failures);
    CHECK(failure_list != nullptr);
    if (failure_list != nullptr) {
        CHECK_EQ(i32(failure_list, 0), 21);
        CHECK_EQ(i32(failure_list, 4), 3);
        CHECK_EQ(i32(failure_list, 8), 0);
        CHECK_EQ(i32(failure_list, 12), 0);
    }
    for (const Selector& s : expected) {
        CHECK_EQ(i32(s.e, offsets::element_kind), 4);
        CHECK_EQ(i32(s.e, offsets::element_bitmap), s.bitmap);
        CHECK_EQ(i32(s.e, offsets::element_x), s.x);
        CHECK_EQ(i32(s.e, offsets::element_y), s.y);
        CHECK_EQ(u32(s.e, offsets::element_flags), s.flags);
        CHECK(ptr(s.e, offsets::element_gauge) == module().gauge(AFCP));
        CHECK(ptr(s.e, offsets::element_failures) == (s.failures ? failure_list : nullptr));
        CHECK_EQ(i32(s.e, 60), 0);  // source variable token
        CHECK_EQ(u32(s.e, 92), 3);
        CHECK(f64(s.e, 96) == 0.0 && f64(s.e, 104) == 0.0);
        CHECK_EQ(u32(s.e, 112), s.images);
        CHECK(u32(s.e, offsets::selector_callback) != 0);
        CHECK_EQ(u32(s.e, 136), 0);
        if (s.e != nav_lamp && s.e != stab_lamp) CHECK(children(s.e).empty());
    }
}

CONFORMANCE_CASE(afcp_images_through_their_records) {
    if (brevane) return;
    const uint8_t* nav_lamp = only_child(module().root(AFCP));
    const uint8_t* stab_lamp = only_child(nav_lamp);
    std::vector<uint8_t*> items = children(stab_lamp);
    auto value = [](const uint8_t* e) {
        return fn<ValueCallback>(e, offsets::selector_callback)(const_cast<uint8_t*>(e));
    };
    // Before attach: the STAB lamp shows, the navigation lamp does not, nothing is pressed.
    CHECK(value(stab_lamp) == 0.0);
    CHECK(value(nav_lamp) == -1.0);
    for (const uint8_t* item : items) CHECK(value(item) == -1.0);
    attach_with_gate_open();
    put32(module().block(), 0, 0x00100000);  // STAB
    put32(module().block(), 4, 0x00000020);  // VOR armed
    CHECK(value(stab_lamp) == -1.0);
    CHECK(value(nav_lamp) == 0.0);
    // Each button's press shows for five updates of its own element; each knob shows the side it was turned to.
    const char* buttons[6] = {"ALT", "TDN", "NAV", "APP", "GS", "IAS"};
    for (int b = 0; b < 6; ++b) {
        command(buttons[b]);
        for (int n = 0; n < 5; ++n) CHECK(value(items[b]) == 0.0);
        CHECK(value(items[b]) == -1.0);
    }
    const char* knobs[5][2] = {{"CRHT_DOWN", "CRHT_UP"},
                               {"ALTA_DECREASE", "ALTA_INCREASE"},
                               {"HOV_DOWN", "HOV_UP"},
                               {"HDG_LEFT", "HDG_RIGHT"},
                               {"VS_DECREASE", "VS_INCREASE"}};
    for (int k = 0; k < 5; ++k) {
        command(knobs[k][0]);
        CHECK(value(items[6 + k]) == 0.0);
        command(knobs[k][1]);
        for (int n = 0; n < 5; ++n) CHECK(value(items[6 + k]) == 1.0);
        CHECK(value(items[6 + k]) == -1.0);
    }
}

CONFORMANCE_CASE(annunciator_texts) {
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
        const uint8_t* e = module().root(g.slot);
        for (int i = 0; i < 6; ++i) {
            e = only_child(e);
            CHECK(e != nullptr);
            if (e == nullptr) break;
            const Text& t = texts[i];
            CHECK_EQ(i32(e, offsets::element_kind), 2);
            CHECK_EQ(i32(e, offsets::element_bitmap), -1);
            CHECK_EQ(i32(e, offsets::element_x), g.columns[t.column]);
            CHECK_EQ(i32(e, offsets::element_y), g.rows[t.row]);
            CHECK_EQ(u32(e, offsets::element_flags), g.flags);
            CHECK(ptr(e, offsets::element_gauge) == module().gauge(g.slot));
            CHECK(ptr(e, offsets::element_failures) != nullptr);
            for (int s = 0; s < 3; ++s) CHECK_EQ(i32(e, 60 + 28 * s), t.tokens[s]);
            CHECK_EQ(u32(e, offsets::text_buffer), 0);
            CHECK_EQ(i32(e, 192), t.wide ? 198 : 126);
            CHECK_EQ(i32(e, 196), 64);
            CHECK_EQ(u32(e, 208), t.colour);
            CHECK_EQ(u32(e, offsets::text_background), g.background);
            CHECK_EQ(u32(e, 216), 0x0000FF00);
            CHECK(std::memcmp(e + 248, face, 32) == 0);
            CHECK_EQ(i32(e, 280), 400);
            CHECK_EQ(i32(e, 284), 1);
            CHECK_EQ(u32(e, 288), 0x25);
            CHECK_EQ(i32(e, offsets::text_max_length), t.wide ? 11 : 7);
            CHECK(u32(e, offsets::text_callback) != 0);
        }
        if (e != nullptr) CHECK(children(e).empty());
    }
}

CONFORMANCE_CASE(annunciator_texts_through_the_host_buffer) {
    attach_with_gate_open();
    put32(module().block(), 0, 0x00101200);  // STAB, IAS, ALT
    put32(module().block(), 4, 0x00000220);  // ALT and VOR armed
    const double altitude = 1500.0;
    std::memcpy(module().block() + 32, &altitude, 8);
    const char* expected[2][6] = {
        {" ", "VOR", "ALT.A  2000", "IAS  80", " ", "ALT  1500"},
        {" ", "VOR", "ALT.A  2000", "IAS  80", " ", "ALT  1500"},
    };
    int grid = 0;
    for (int slot : {ANNUNCIATOR, ANNUNCIATOR_T}) {
        uint8_t* e = module().root(slot);
        for (int i = 0; i < 6 && e != nullptr; ++i) {
            e = only_child(e);
            if (e == nullptr) break;
            char buffer[16];
            std::memset(buffer, '#', sizeof buffer);
            put32(e, offsets::text_buffer, reinterpret_cast<uint32_t>(buffer));
            // The host fills the source variables before it asks for the text.
            const double values[3] = {2000.0, -700.0, 5120.0};
            for (int s = 0; s < 3; ++s) std::memcpy(e + 72 + 28 * s, &values[s], 8);
            const double result = fn<double(__stdcall*)(void*)>(e, offsets::text_callback)(e);
            CHECK(result == 0.0);
            CHECK_STR(buffer, expected[grid][i]);
            CHECK(buffer[15] == '#');
            put32(e, offsets::text_buffer, 0);
        }
        ++grid;
    }
}

CONFORMANCE_CASE(gs_tapes) {
    const uint8_t* root = module().root(GS);
    std::vector<uint8_t*> tapes = children(root);
    CHECK_EQ(tapes.size(), 2);
    if (tapes.size() != 2) return;
    struct Tape {
        int32_t bitmap, x, y;
        double x_end, y_end;
        bool x_moves;
    } expected[2] = {{0x2110, 145, 40, 0.0, 604.0, false}, {0x2120, 331, 101, 445.0, 0.0, true}};
    for (int i = 0; i < 2; ++i) {
        const uint8_t* e = tapes[i];
        const Tape& t = expected[i];
        CHECK_EQ(i32(e, offsets::element_kind), 5);
        CHECK_EQ(i32(e, offsets::element_bitmap), t.bitmap);
        CHECK_EQ(i32(e, offsets::element_x), t.x);
        CHECK_EQ(i32(e, offsets::element_y), t.y);
        CHECK_EQ(u32(e, offsets::element_flags), 0);
        CHECK(ptr(e, offsets::element_gauge) == module().gauge(GS));
        CHECK(f64(e, 100) == t.x_end);
        CHECK(f64(e, 152) == t.y_end);
        CHECK_EQ(u32(e, offsets::moving_x_callback) != 0, t.x_moves);
        CHECK_EQ(u32(e, offsets::moving_y_callback) != 0, !t.x_moves);
        // Nothing else in the record is set.
        for (int byte = 60; byte < 268; byte += 4) {
            const bool named = byte == 100 || byte == 104 || byte == 152 || byte == 156 ||
                               byte == offsets::moving_x_callback || byte == offsets::moving_y_callback;
            if (!named) CHECK_EQ(u32(e, byte), 0);
        }
    }
    auto fore_aft = [&] { return fn<ValueCallback>(tapes[0], offsets::moving_y_callback)(tapes[0]); };
    auto lateral = [&] { return fn<ValueCallback>(tapes[1], offsets::moving_x_callback)(tapes[1]); };
    CHECK(fore_aft() == 135.0);
    CHECK(lateral() == 217.0);
    attach_with_gate_open();
    for (int i = 0; i < 60; ++i) command("GS_FORWARD");
    for (int i = 0; i < 25; ++i) command("GS_LEFT");
    CHECK(fore_aft() == 135.0 + 8.1 * 50);
    CHECK(lateral() == 217.0 + 8.1 * 20);
    CHECK(f64(module().block(), 56) == 50 * 1.68781);
    CHECK(f64(module().block(), 64) == -20 * 1.68781);
}

// ---- mouse areas --------------------------------------------------------------------------------------------------

CONFORMANCE_CASE(mouse_lists) {
    attach_with_gate_open();
    if (brevane) {
        check_areas(AFCP, brevane_afcp, std::size(brevane_afcp));
    } else {
        check_areas(AFCP, korst_afcp, std::size(korst_afcp));
    }
    for (const GaugeAreas& g : shared_lists) check_areas(g.slot, g.areas.data(), g.areas.size());
}

CONFORMANCE_CASE(hit_tests_reach_their_commands) {
    attach_with_gate_open();
    // The ground-speed windows, at their boundaries.
    CHECK_EQ(hit_handler(GS, 150, 99), handler_of("GS_FORWARD"));
    CHECK_EQ(hit_handler(GS, 150, 100), handler_of("GS_RESET_FB"));
    CHECK_EQ(hit_handler(GS, 150, 157), handler_of("GS_RESET_FB"));
    CHECK_EQ(hit_handler(GS, 150, 158), handler_of("GS_BACK"));
    CHECK_EQ(hit_handler(GS, 150, 217), handler_of("GS_BACK"));
    CHECK_EQ(hit_handler(GS, 150, 218), 0);
    CHECK_EQ(hit_handler(GS, 390, 120), handler_of("GS_LEFT"));
    CHECK_EQ(hit_handler(GS, 391, 120), handler_of("GS_RESET_LR"));
    CHECK_EQ(hit_handler(GS, 449, 120), handler_of("GS_RIGHT"));
    CHECK_EQ(hit_handler(GS, 509, 120), 0);
    // The 32 mm selectors: upper half increases, lower half decreases.
    const std::pair<int, const char*> selects[] = {{IAS_SELECT, "IAS"}, {ALT_SELECT, "ALT"}, {ALT_VS_SELECT, "ALT_VS"}};
    for (auto [slot, name] : selects) {
        CHECK_EQ(hit_handler(slot, 0, 0), handler_of((std::string(name) + "_INCREASE").c_str()));
        CHECK_EQ(hit_handler(slot, 31, 15), handler_of((std::string(name) + "_INCREASE").c_str()));
        CHECK_EQ(hit_handler(slot, 0, 16), handler_of((std::string(name) + "_DECREASE").c_str()));
        CHECK_EQ(hit_handler(slot, 31, 31), handler_of((std::string(name) + "_DECREASE").c_str()));
    }
    CHECK_EQ(hit_handler(STAB, 16, 16), handler_of("STAB"));
    CHECK_EQ(hit_handler(GO_AROUND, 31, 31), handler_of("GO_AROUND"));
    CHECK_EQ(hit_handler(HIGH_MODES, 0, 0), handler_of("FD_DISENGAGE"));
    CHECK_EQ(hit_handler(AP_TRIM, 16, 16), handler_of("TRIM_CENTER"));
    CHECK_EQ(hit_handler(AP_TRIM, 16, 2), handler_of("TRIM_UP"));
    CHECK_EQ(hit_handler(AP_TRIM, 30, 16), handler_of("TRIM_RIGHT"));
    // Every control of the AFCP face answers at its centre.
    const Area* afcp = brevane ? brevane_afcp : korst_afcp;
    const size_t count = brevane ? std::size(brevane_afcp) : std::size(korst_afcp);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* a = hit(AFCP, afcp[i].x + afcp[i].w / 2, afcp[i].y + afcp[i].h / 2);
        CHECK(a != nullptr);
        if (a == nullptr) continue;
        if (afcp[i].command != nullptr) CHECK_EQ(u32(a, 36), handler_of(afcp[i].command));
        CHECK_EQ(u32(a, 32), afcp[i].key_event);
    }
}

CONFORMANCE_CASE(a_click_and_a_call_by_name_do_the_same) {
    attach_with_gate_open();
    services().set(74, 1449.9);
    fn<Handler>(hit(brevane ? AFCP : AFCP, brevane ? 370 : 120, brevane ? 50 : 100), 36)(0, 0);
    const uint32_t clicked = u32(module().block(), 0);
    const double clicked_reference = f64(module().block(), 32);
    command("ALT");  // ALT again: cancels
    CHECK_EQ(clicked & 0x200, 0x200);
    CHECK(clicked_reference == 1400.0);
    CHECK_EQ(u32(module().block(), 0) & 0x200, 0);
    fn<Handler>(hit(STAB, 5, 5), 36)(0, 0);
    // Brevane's ALT engage turned STAB on with it, so the press turns it off again.
    CHECK_EQ(u32(module().block(), 0) & 0x00100000, brevane ? 0 : 0x00100000);
}

CONFORMANCE_CASE(inert_area_changes_nothing) {
    if (!brevane) return;
    attach_with_gate_open();
    uint8_t before[72];
    std::memcpy(before, module().block(), sizeof before);
    const uint8_t* a = hit(AFCP, 290, 110);
    CHECK(a != nullptr && !in_table(u32(a, 36)));
    if (a == nullptr) return;
    CHECK_EQ(fn<Handler>(a, 36)(1, 2), 0);
    CHECK(std::memcmp(before, module().block(), sizeof before) == 0);
    CHECK(services().events.empty());
}

CONFORMANCE_CASE(images_lie_over_their_areas_and_afcp_areas_do_not_overlap) {
    attach_with_gate_open();
    std::vector<const uint8_t*> afcp = areas(AFCP);
    for (size_t i = 0; i < afcp.size(); ++i)
        for (size_t j = i + 1; j < afcp.size(); ++j) {
            const uint8_t *a = afcp[i], *b = afcp[j];
            const bool apart = i32(a, 4) + i32(a, 12) <= i32(b, 4) || i32(b, 4) + i32(b, 12) <= i32(a, 4) ||
                               i32(a, 8) + i32(a, 16) <= i32(b, 8) || i32(b, 8) + i32(b, 16) <= i32(a, 8);
            CHECK(apart);
        }
    if (brevane) return;
    // Each pressed-button or turned-knob image covers exactly the union of its control's areas (the V/S knob's
    // image stands 2 px left of them).
    const uint8_t* stab_lamp = only_child(only_child(module().root(AFCP)));
    for (const uint8_t* image : children(stab_lamp)) {
        const bool knob = i32(image, offsets::element_bitmap) == 0x1030;
        const int32_t w = knob ? 54 : 74, h = knob ? 54 : 48;
        const int32_t x = i32(image, offsets::element_x), y = i32(image, offsets::element_y);
        const int32_t shift = x == 607 ? 2 : 0;
        int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
        for (const uint8_t* a : afcp) {
            const bool inside = i32(a, 4) >= x && i32(a, 4) < x + w + shift && i32(a, 8) >= y && i32(a, 8) < y + h;
            if (!inside) continue;
            left = std::min(left, i32(a, 4));
            top = std::min(top, i32(a, 8));
            right = std::max(right, i32(a, 4) + i32(a, 12));
            bottom = std::max(bottom, i32(a, 8) + i32(a, 16));
        }
        CHECK_EQ(left, x + shift);
        CHECK_EQ(top, y);
        CHECK_EQ(right, x + w + shift);
        CHECK_EQ(bottom, y + h);
    }
}

// ---- resources ----------------------------------------------------------------------------------------------------

namespace {

struct Bitmap {
    int32_t width, height;
    int bits;
    uint32_t palette_entries;
    const uint8_t* info;
};

bool find_bitmap(int id, Bitmap& out) {
    HRSRC r = FindResourceExA(module().handle, reinterpret_cast<LPCSTR>(RT_BITMAP), MAKEINTRESOURCEA(id), 1033);
    if (r == nullptr) return false;
    auto* info = static_cast<const uint8_t*>(LockResource(LoadResource(module().handle, r)));
    out = {i32(info, 4), i32(info, 8), static_cast<int>(u32(info, 14) & 0xFFFF), u32(info, 32), info};
    if (out.bits == 8 && out.palette_entries == 0) out.palette_entries = 256;
    return true;
}

// The colour of pixel (x, y) counted from the top, as 0x00RRGGBB.
uint32_t pixel(const Bitmap& b, int x, int y) {
    const uint8_t* palette = b.info + u32(b.info, 0);
    const uint8_t* bits = palette + 4 * (b.bits == 8 ? b.palette_entries : 0);
    const int stride = ((b.width * b.bits / 8) + 3) & ~3;
    const uint8_t* row = bits + stride * (b.height - 1 - y);
    const uint8_t* bgr = b.bits == 8 ? palette + 4 * row[x] : row + 3 * x;
    return (uint32_t{bgr[2]} << 16) | (uint32_t{bgr[1]} << 8) | bgr[0];
}

bool plain(const Bitmap& b, int x, int y, int w, int h, uint32_t colour) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (pixel(b, i, j) != colour) return false;
    return true;
}

}  // namespace

CONFORMANCE_CASE(bitmaps_by_id) {
    struct Expected {
        int id, width, height, bits;
    };
    const std::vector<Expected> korst = {{0x1000, 746, 328, 8},  {0x1010, 21, 19, 8},    {0x1020, 21, 19, 8},
                                         {0x1030, 54, 54, 8},    {0x1031, 54, 54, 8},    {0x1040, 74, 48, 8},
                                         {0x1050, 754, 278, 24}, {0x1055, 614, 132, 24}, {0x1060, 32, 32, 8},
                                         {0x2100, 754, 254, 24}, {0x2110, 58, 782, 24},  {0x2111, 58, 178, 8},
                                         {0x2120, 623, 57, 24},  {0x2121, 178, 57, 8}};
    const std::vector<Expected> brevane_set = {{0x1000, 640, 143, 8}, {0x1050, 754, 278, 24}, {0x1060, 614, 132, 24},
                                               {0x1100, 32, 32, 8},   {0x2100, 754, 254, 24}, {0x2110, 58, 782, 24},
                                               {0x2111, 58, 178, 8},  {0x2120, 623, 57, 24},  {0x2121, 178, 57, 8}};
    const std::vector<Expected>& expected = brevane ? brevane_set : korst;
    for (const Expected& e : expected) {
        Bitmap b{};
        CHECK(find_bitmap(e.id, b));
        CHECK_EQ(b.width, e.width);
        CHECK_EQ(b.height, e.height);
        CHECK_EQ(b.bits, e.bits);
        if (e.bits == 8) CHECK_EQ(b.palette_entries, 256);
    }
    // Nothing beyond the set.
    for (int id : {0x1010, 0x1020, 0x1030, 0x1031, 0x1040, 0x1055, 0x1060, 0x1100}) {
        const bool listed =
            std::any_of(expected.begin(), expected.end(), [&](const Expected& e) { return e.id == id; });
        Bitmap b{};
        CHECK_EQ(find_bitmap(id, b), listed);
    }
    // The plain pictures and windows.
    Bitmap b{};
    const int black_annunciator = brevane ? 0x1060 : 0x1055, black_square = brevane ? 0x1100 : 0x1060;
    if (find_bitmap(black_annunciator, b)) CHECK(plain(b, 0, 0, 614, 132, 0));
    if (find_bitmap(black_square, b)) CHECK(plain(b, 0, 0, 32, 32, 0));
    if (find_bitmap(0x2111, b)) CHECK(plain(b, 0, 0, 58, 178, 0x010101));
    if (find_bitmap(0x2121, b)) CHECK(plain(b, 0, 0, 178, 57, 0x010101));
    if (find_bitmap(0x2100, b)) {
        CHECK(plain(b, 145, 40, 58, 178, 0x010101));
        CHECK(plain(b, 331, 101, 178, 58, 0x010101));
    }
}

CONFORMANCE_CASE(version_resource) {
    char path[MAX_PATH];
    GetModuleFileNameA(module().handle, path, sizeof path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    CHECK(size != 0);
    std::vector<uint8_t> data(size);
    CHECK(GetFileVersionInfoA(path, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    CHECK(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr);
    if (fixed != nullptr) {
        CHECK_EQ(fixed->dwFileVersionMS, brevane ? 0x00010000 : 0x00020003);
        CHECK_EQ(fixed->dwFileVersionLS, 0);
    }
    uint16_t* translation = nullptr;
    CHECK(VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    if (translation != nullptr && length >= 4) {
        CHECK_EQ(translation[0], 0x0409);
        CHECK_EQ(translation[1], 0x04B0);
    }
    auto string = [&](const char* name) -> std::string {
        char* value = nullptr;
        UINT n = 0;
        const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
        if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &n) || value == nullptr)
            return "(missing)";
        return value;
    };
    const std::string description = string("FileDescription");
    CHECK_STR(description.c_str(), brevane ? "Brevane Autopilot Control Panel" : "Korst Autopilot Control Panel");
    for (const char* name : {"CompanyName", "ProductName", "FileVersion", "ProductVersion"}) {
        const std::string blank = string(name);
        CHECK_STR(blank.c_str(), " ");
    }
}
