// The resources of a built 32-bit Windows module, read from its file: every resource with its type, numeric id,
// language and bytes, and the version resource taken apart.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace art {

struct ModuleResource {
    uint32_t type, id, language;
    std::vector<uint8_t> data;
};

// Reads the resource tree of a PE32 file. Returns an empty string or what is wrong with the file.
std::string read_module_resources(const std::string& path, std::vector<ModuleResource>& out);

struct VersionInfo {
    uint32_t file_version[4] = {}, product_version[4] = {};
    std::map<std::string, std::map<std::string, std::string>> strings;  // string table -> key -> value
    std::vector<uint16_t> translation;                                  // language, code page pairs
    std::string error;
};

// Takes apart a VS_VERSIONINFO resource.
VersionInfo parse_version_info(const std::vector<uint8_t>& data);

}  // namespace art
