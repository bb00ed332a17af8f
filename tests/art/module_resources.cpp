#include "tests/art/module_resources.h"

#include <fstream>
#include <functional>
#include <iterator>

namespace art {

namespace {

using Bytes = std::vector<uint8_t>;

struct Reader {
    const Bytes& b;
    bool ok = true;
    uint32_t u16(size_t at) {
        if (at + 2 > b.size()) return ok = false, 0;
        return b[at] | uint32_t(b[at + 1]) << 8;
    }
    uint32_t u32(size_t at) { return u16(at) | u16(at + 2) << 16; }
};

constexpr uint32_t kSubdirectory = 0x80000000;

}  // namespace

std::string read_module_resources(const std::string& path, std::vector<ModuleResource>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot read " + path;
    const Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Reader r{b};
    const size_t pe = r.u32(0x3C);
    if (r.u16(0) != 0x5A4D || r.u32(pe) != 0x00004550) return path + ": not a PE file";
    const size_t coff = pe + 4, optional = coff + 20;
    const uint32_t sections = r.u16(coff + 2), optional_size = r.u16(coff + 16);
    if (r.u16(optional) != 0x10B) return path + ": not a 32-bit module";
    const uint32_t resource_rva = r.u32(optional + 96 + 2 * 8);
    if (resource_rva == 0) return path + ": no resources";

    auto file_offset = [&](uint32_t rva) -> size_t {
        for (uint32_t s = 0; s < sections; ++s) {
            size_t h = optional + optional_size + s * 40;
            uint32_t va = r.u32(h + 12), raw_size = r.u32(h + 16), raw = r.u32(h + 20);
            if (rva >= va && rva < va + raw_size) return raw + (rva - va);
        }
        r.ok = false;
        return 0;
    };
    const size_t root = file_offset(resource_rva);

    // Three levels: type, id, language; only numeric ids are expected.
    std::function<void(size_t, int, ModuleResource)> walk = [&](size_t dir, int level, ModuleResource res) {
        const uint32_t named = r.u16(dir + 12), ids = r.u16(dir + 14);
        for (uint32_t e = 0; e < named + ids && r.ok; ++e) {
            const size_t entry = dir + 16 + e * 8;
            const uint32_t name = r.u32(entry), target = r.u32(entry + 4);
            if (name & kSubdirectory) {
                r.ok = false;  // a named resource: not what our scripts make
                return;
            }
            (level == 0 ? res.type : level == 1 ? res.id : res.language) = name;
            if (target & kSubdirectory) {
                walk(root + (target & ~kSubdirectory), level + 1, res);
            } else if (level == 2) {
                const size_t data_entry = root + target;
                const size_t at = file_offset(r.u32(data_entry));
                const uint32_t size = r.u32(data_entry + 4);
                if (!r.ok || at + size > b.size()) return void(r.ok = false);
                res.data.assign(b.begin() + long(at), b.begin() + long(at + size));
                out.push_back(res);
            }
        }
    };
    walk(root, 0, ModuleResource{});
    return r.ok ? std::string() : path + ": malformed resource tree";
}

VersionInfo parse_version_info(const std::vector<uint8_t>& data) {
    VersionInfo v;
    Reader r{data};
    auto align = [](size_t at) { return (at + 3) & ~size_t(3); };
    auto text = [&](size_t at, size_t& end) {  // zero-terminated UTF-16, ASCII expected
        std::string s;
        for (; r.ok; at += 2) {
            uint32_t ch = r.u16(at);
            if (ch == 0) break;
            s.push_back(ch < 0x80 ? char(ch) : '?');
        }
        end = at + 2;
        return s;
    };
    // Each block: length, value length, type (1 text, 0 binary), key, value, children; all 4-byte aligned.
    // VS_VERSION_INFO (fixed part) > StringFileInfo > table > strings, and VS_VERSION_INFO > VarFileInfo > Translation.
    std::function<void(size_t, std::vector<std::string>)> block = [&](size_t at, std::vector<std::string> path) {
        const uint32_t length = r.u16(at), value_length = r.u16(at + 2), type = r.u16(at + 4);
        size_t end = 0;
        const std::string key = text(at + 6, end);
        const size_t value = align(end);
        const size_t value_bytes = type == 1 ? value_length * 2 : value_length;
        if (path.empty()) {
            if (key != "VS_VERSION_INFO" || value_length != 52 || r.u32(value) != 0xFEEF04BD)
                return void(v.error = "not a version resource");
            const uint32_t words[4] = {r.u32(value + 8), r.u32(value + 12), r.u32(value + 16), r.u32(value + 20)};
            for (int i = 0; i < 2; ++i) {
                v.file_version[2 * i] = words[i] >> 16;
                v.file_version[2 * i + 1] = words[i] & 0xFFFF;
                v.product_version[2 * i] = words[2 + i] >> 16;
                v.product_version[2 * i + 1] = words[2 + i] & 0xFFFF;
            }
        } else if (path.size() == 2 && path[1] == "VarFileInfo" && key == "Translation") {
            for (size_t i = 0; i + 2 <= value_bytes; i += 2) v.translation.push_back(uint16_t(r.u16(value + i)));
        } else if (path.size() == 3 && path[1] == "StringFileInfo") {
            size_t ignored = 0;
            v.strings[path[2]][key] = value_length ? text(value, ignored) : std::string();
        }
        path.push_back(key);
        for (size_t child = align(value + value_bytes); r.ok && child + 6 < at + length;) {
            const uint32_t child_length = r.u16(child);
            if (child_length == 0) break;
            block(child, path);
            child = align(child + child_length);
        }
    };
    block(0, {});
    if (!r.ok && v.error.empty()) v.error = "version resource runs past its end";
    return v;
}

}  // namespace art
