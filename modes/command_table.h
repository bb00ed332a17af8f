// The named command table: the one source of command names and handlers, registered with the engine on
// every attach and used by the mouse areas.
#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

#include "frame/engine.h"
#include "modes/commands.h"

namespace afcp {

constexpr int32_t command_count = 41;

constexpr CommandEntry entry(const char* name, CommandHandler handler) {
    CommandEntry e{};
    for (int i = 0; name[i] != '\0' && i < 39; ++i) e.name[i] = name[i];
    e.handler = handler;
    return e;
}

// The rows are counted by the compiler: a missing or an extra row stops the build.
inline constexpr CommandEntry command_table[] = {
    entry("STAB", commands::STAB),
    entry("ALT", commands::ALT),
    entry("ALTA", commands::ALTA),
    entry("ALTA_DECREASE", commands::ALTA_DECREASE),
    entry("ALTA_INCREASE", commands::ALTA_INCREASE),
    entry("HDG", commands::HDG),
    entry("HDG_LEFT", commands::HDG_LEFT),
    entry("HDG_RIGHT", commands::HDG_RIGHT),
    entry("IAS", commands::IAS),
    entry("VS", commands::VS),
    entry("VS_DECREASE", commands::VS_DECREASE),
    entry("VS_INCREASE", commands::VS_INCREASE),
    entry("CRHT", commands::CRHT),
    entry("CRHT_DOWN", commands::CRHT_DOWN),
    entry("CRHT_UP", commands::CRHT_UP),
    entry("TDN", commands::TDN),
    entry("HOV", commands::HOV),
    entry("HOV_DOWN", commands::HOV_DOWN),
    entry("HOV_UP", commands::HOV_UP),
    entry("NAV", commands::NAV),
    entry("APP", commands::APP),
    entry("GS", commands::GS),
    entry("TRIM_UP", commands::TRIM_UP),
    entry("TRIM_RIGHT", commands::TRIM_RIGHT),
    entry("TRIM_DOWN", commands::TRIM_DOWN),
    entry("TRIM_LEFT", commands::TRIM_LEFT),
    entry("IAS_INCREASE", commands::IAS_INCREASE),
    entry("IAS_DECREASE", commands::IAS_DECREASE),
    entry("ALT_INCREASE", commands::ALT_INCREASE),
    entry("ALT_DECREASE", commands::ALT_DECREASE),
    entry("ALT_VS_INCREASE", commands::ALT_VS_INCREASE),
    entry("ALT_VS_DECREASE", commands::ALT_VS_DECREASE),
    entry("GO_AROUND", commands::GO_AROUND),
    entry("FD_DISENGAGE", commands::FD_DISENGAGE),
    entry("TRIM_CENTER", commands::TRIM_CENTER),
    entry("GS_FORWARD", commands::GS_FORWARD),
    entry("GS_RESET_FB", commands::GS_RESET_FB),
    entry("GS_BACK", commands::GS_BACK),
    entry("GS_RIGHT", commands::GS_RIGHT),
    entry("GS_RESET_LR", commands::GS_RESET_LR),
    entry("GS_LEFT", commands::GS_LEFT),
};
static_assert(std::size(command_table) == command_count, "the command table holds the 41 named commands");

CommandHandler no_such_command();  // never defined: naming a command the table lacks stops the build

// The handler registered under `name`, looked up while compiling.
consteval CommandHandler command(std::string_view name) {
    for (const CommandEntry& e : command_table)
        if (name == std::string_view(e.name)) return e.handler;
    return no_such_command();
}

}  // namespace afcp
