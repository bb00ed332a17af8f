// The bitmap manifest (layout/bitmaps.inc) as a table the compiler reads, with lookups by name that fail the
// build for a name the module does not carry. Nothing here depends on the variant: code names its module.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

namespace afcp::bitmap {

enum class Module { korst, brevane };
enum class Modules { KORST, BREVANE, BOTH };

// What draws a picture (art/generator).
enum class Drawer {
    afcp_face,          // the AFCP face
    lamp,               // a lit lamp triangle on black
    turned_knob,        // a turned knob on the face's pixels, black where it does not reach
    pressed_button,     // a pressed keycap
    annunciator_bezel,  // the bezel around the annunciator's screen
    gs_face,            // the ground-speed face with its two windows
    fore_aft_tape,      // the fore-aft strip
    lateral_tape,       // the lateral strip
    window,             // the plain (1,1,1) window of a strip
    black,              // pure black
};

struct Entry {
    int32_t id;
    std::string_view name;
    int32_t width, height, depth;
    Modules modules;
    Drawer drawer;
};

inline constexpr Entry manifest[] = {
#define AFCP_BITMAP(id, name, width, height, depth, modules, drawer) \
    {id, #name, width, height, depth, Modules::modules, Drawer::drawer},
#include "layout/bitmaps.inc"
#undef AFCP_BITMAP
};

constexpr bool carried_by(const Entry& e, Module m) {
    return e.modules == Modules::BOTH || (e.modules == Modules::KORST) == (m == Module::korst);
}

// Fails the build where it is reached while compiling.
const Entry& not_in_the_manifest();

// The row of `name` in module `m`.
consteval const Entry& in(Module m, std::string_view name) {
    for (const Entry& e : manifest)
        if (e.name == name && carried_by(e, m)) return e;
    return not_in_the_manifest();
}

// The index in the manifest of the row with id `id` in module `m`, or -1. (Indices, not pointers, so that
// the compiler can evaluate it in every build: pointer tests against null are not constant under UBSan.)
constexpr int index_of(Module m, int32_t id) {
    for (int i = 0; i < static_cast<int>(std::size(manifest)); ++i)
        if (manifest[i].id == id && carried_by(manifest[i], m)) return i;
    return -1;
}

constexpr bool carries(Module m, int32_t id) { return index_of(m, id) >= 0; }

// The row with id `id` in module `m`, or null.
constexpr const Entry* by_id(Module m, int32_t id) {
    const int i = index_of(m, id);
    return i < 0 ? nullptr : &manifest[i];
}

// The row with id `id` in module `m`.
consteval const Entry& at(Module m, int32_t id) {
    const int i = index_of(m, id);
    return i < 0 ? not_in_the_manifest() : manifest[i];
}

// The id of `name`, for a name that has one id wherever it is carried.
consteval int32_t id(std::string_view name) {
    int32_t found = -1;
    for (const Entry& e : manifest)
        if (e.name == name) {
            if (found != -1 && found != e.id) return not_in_the_manifest().id;
            found = e.id;
        }
    return found != -1 ? found : not_in_the_manifest().id;
}

// Every row is carried by a module that has no other row of its id or of its name.
consteval bool one_row_per_id_and_name() {
    for (Module m : {Module::korst, Module::brevane})
        for (const Entry& a : manifest)
            for (const Entry& b : manifest)
                if (&a != &b && carried_by(a, m) && carried_by(b, m) && (a.id == b.id || a.name == b.name))
                    return false;
    return true;
}
static_assert(one_row_per_id_and_name(), "a module has one bitmap per id and per name");

consteval int count(Module m) {
    int n = 0;
    for (const Entry& e : manifest) n += carried_by(e, m) ? 1 : 0;
    return n;
}
static_assert(count(Module::korst) == 14 && count(Module::brevane) == 9);

// The ids the element trees, the variants and the artwork name.
constexpr int32_t afcp_face = id("afcp_face");
constexpr int32_t annunciator_bezel = id("annunciator_bezel");
constexpr int32_t gs_face = id("gs_face");
constexpr int32_t fore_aft_tape = id("fore_aft_tape");
constexpr int32_t lateral_tape = id("lateral_tape");
constexpr int32_t stab_lamp = id("stab_lamp");
constexpr int32_t navigation_lamp = id("navigation_lamp");
constexpr int32_t turned_knob = id("turned_knob");  // image 0, turned counter-clockwise; image 1 clockwise
constexpr int32_t pressed_button = id("pressed_button");

}  // namespace afcp::bitmap
