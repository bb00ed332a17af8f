// Every gauge's element tree and mouse-area list read the way the host reads them (the record checks that the
// native DLL check runs too, tests/dll/records.h), then the callbacks reached through their records, host-style
// hit tests, and the bitmaps and version resource of the module as Windows loads them.
#include <algorithm>
#include <string>

#include "tests/conformance/check.h"
#include "tests/conformance/host.h"

using namespace host;

namespace {

// ---- reading the records ----------------------------------------------------------------------------------------

uint8_t* as_pointer(uint32_t address) { return reinterpret_cast<uint8_t*>(address); }

std::vector<uint8_t*> children(const uint8_t* element) {
    std::vector<uint8_t*> out;
    for (uint32_t child : image().children(reinterpret_cast<uint32_t>(element))) out.push_back(as_pointer(child));
    return out;
}

uint8_t* only_child(const uint8_t* element) { return as_pointer(image().only_child(reinterpret_cast<uint32_t>(element))); }

std::vector<const uint8_t*> areas(int slot) {
    std::vector<const uint8_t*> out;
    for (uint32_t area : image().areas(slot)) out.push_back(as_pointer(area));
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

}  // namespace

// ---- the records, as the native DLL check reads them from the file ----------------------------------------------

CONFORMANCE_CASE(element_trees) { dll::check_element_trees(image(), brevane); }

CONFORMANCE_CASE(mouse_lists) {
    attach_with_gate_open();  // the engine has the command table: each area must reach its command's handler
    dll::check_mouse_areas(image(), brevane, handler_of);
}

CONFORMANCE_CASE(images_lie_over_their_areas_and_afcp_areas_do_not_overlap) {
    dll::check_images_over_areas(image(), brevane);
}

// ---- the callbacks through their records --------------------------------------------------------------------------

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

CONFORMANCE_CASE(gs_tapes_through_their_callbacks) {
    std::vector<uint8_t*> tapes = children(module().root(GS));
    CHECK_EQ(tapes.size(), 2);
    if (tapes.size() != 2) return;
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

// ---- mouse areas ---------------------------------------------------------------------------------------------------

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
    const std::vector<dll::Area> afcp = dll::afcp_areas(brevane);
    for (size_t i = 0; i < afcp.size(); ++i) {
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

// ---- resources ----------------------------------------------------------------------------------------------------

namespace {

// Every resource of every type, name and language, through the loader's own look-ups.
BOOL CALLBACK each_language(HMODULE m, LPCSTR type, LPCSTR name, WORD language, LONG_PTR list) {
    HRSRC r = FindResourceExA(m, type, name, language);
    const uint8_t* data = r ? static_cast<const uint8_t*>(LockResource(LoadResource(m, r))) : nullptr;
    // Numeric types and names are what a module of ours carries; a named one shows as an unknown id.
    auto id = [](LPCSTR s) { return IS_INTRESOURCE(s) ? static_cast<uint32_t>(reinterpret_cast<uintptr_t>(s)) : 0xFFFFFFFFu; };
    reinterpret_cast<std::vector<dll::Resource>*>(list)->push_back(
        {id(type), id(name), language, data, r ? static_cast<uint32_t>(SizeofResource(m, r)) : 0});
    return TRUE;
}
BOOL CALLBACK each_name(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR list) {
    EnumResourceLanguagesA(m, type, name, each_language, list);
    return TRUE;
}
BOOL CALLBACK each_type(HMODULE m, LPSTR type, LONG_PTR list) {
    EnumResourceNamesA(m, type, each_name, list);
    return TRUE;
}

}  // namespace

CONFORMANCE_CASE(resources_as_windows_finds_them) {
    std::vector<dll::Resource> list;
    EnumResourceTypesA(module().handle, each_type, reinterpret_cast<LONG_PTR>(&list));
    dll::check_resources(list, brevane);
}

CONFORMANCE_CASE(version_resource) {
    char path[MAX_PATH];
    GetModuleFileNameA(module().handle, path, sizeof path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    CHECK(size != 0);
    std::vector<uint8_t> data(size);
    CHECK(GetFileVersionInfoA(path, 0, size, data.data()));
    dll::Version v;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        v.file[0] = fixed->dwFileVersionMS >> 16;
        v.file[1] = fixed->dwFileVersionMS & 0xFFFF;
        v.file[2] = fixed->dwFileVersionLS >> 16;
        v.file[3] = fixed->dwFileVersionLS & 0xFFFF;
    }
    uint16_t* translation = nullptr;
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length))
        v.translation.assign(translation, translation + length / 2);
    // Windows finds a string by its key: the keys a module of ours carries, under its one table.
    v.table = "040904b0";
    for (const char* key : {"CompanyName", "FileDescription", "FileVersion", "ProductName", "ProductVersion"}) {
        char* value = nullptr;
        UINT n = 0;
        const std::string where = std::string("\\StringFileInfo\\") + v.table + "\\" + key;
        if (VerQueryValueA(data.data(), where.c_str(), reinterpret_cast<void**>(&value), &n) && value != nullptr)
            v.strings.emplace_back(key, value);
    }
    dll::check_version(v, brevane);
}
