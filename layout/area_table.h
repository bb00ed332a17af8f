// A mouse area as the layout tables write it: the rectangle, the cursor, the mouse flags and what the area does
// (a named command of the command table, a simulator key event, or nothing at all).
#pragma once

#include <cstdint>

#include "frame/host.h"

namespace afcp::layout {

struct AreaRow {
    int32_t x, y, width, height;
    int32_t cursor;
    uint32_t mouse_flags;
    const char* command;  // a name of the command table, or null
    uint32_t key_event;   // with no command: the event the host triggers, or 0 for an area that does nothing
};

// The host's cursor kinds and mouse flags (frame/host.h), by the names the rows use.
namespace cursor = afcp::cursor;
namespace mouse_flags = afcp::mouse_flag;

constexpr AreaRow push_area(int32_t x, int32_t y, int32_t w, int32_t h, const char* command) {
    return {x, y, w, h, cursor::push, mouse_flags::push, command, 0};
}
constexpr AreaRow increase_area(int32_t x, int32_t y, int32_t w, int32_t h, const char* command) {
    return {x, y, w, h, cursor::increase, mouse_flags::step, command, 0};
}
constexpr AreaRow decrease_area(int32_t x, int32_t y, int32_t w, int32_t h, const char* command) {
    return {x, y, w, h, cursor::decrease, mouse_flags::step, command, 0};
}
constexpr AreaRow key_event_area(int32_t x, int32_t y, int32_t w, int32_t h, int32_t cursor, uint32_t event) {
    return {x, y, w, h, cursor, mouse_flags::step, nullptr, event};
}
// A push area whose handler does nothing: a control drawn on the face that has no function.
constexpr AreaRow inert_push_area(int32_t x, int32_t y, int32_t w, int32_t h) {
    return {x, y, w, h, cursor::push, mouse_flags::push, nullptr, 0};
}

}  // namespace afcp::layout
