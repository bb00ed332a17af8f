// The DLL files checked as the loader and the host read them, without running any of their code, on every
// machine: tools/dll-image (pefile) maps the file at its preferred base with the base relocations applied, and
// 16 MiB higher, and lists its sections, exports, imports, resources and version; this program reads the records
// behind ImportTable and Linkage from that image with the checks the conformance host runs under Wine
// (tests/dll/records.h), and checks the rest of the file's facts.
//
//   dllcheck korst|brevane OUT [ART]      OUT.image, OUT.rebased and OUT.facts as tools/dll-image wrote them; with
//                                         ART, the generator's folder of the variant's bitmaps, each bitmap
//                                         resource must be its drawn file byte for byte
//   dllcheck --faults korst|brevane OUT   the same image spoiled in one place at a time: each copy must fail
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/conformance/check.h"
#include "tests/dll/records.h"

namespace {

struct Section {
    uint32_t address, bytes;
    bool code, writable;
};

struct Facts {
    uint32_t base = 0, rebased = 0, size = 0;
    std::vector<Section> sections;
    std::map<std::string, uint32_t> exports;
    std::vector<dll::Import> imports;
    struct Resource {
        uint32_t type, id, language, address, bytes;
    };
    std::vector<Resource> resources;
    dll::Version version;
    std::string error;
};

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) out.push_back(field);
    return out;
}

uint32_t number(const std::string& s) { return static_cast<uint32_t>(std::stoul(s, nullptr, 0)); }

Facts read_facts(const std::string& path) {
    Facts f;
    std::ifstream in(path);
    if (!in) {
        f.error = "cannot read " + path;
        return f;
    }
    std::string line;
    try {
        while (std::getline(in, line)) {
            const std::vector<std::string> w = fields(line);
            if (w.empty()) continue;
            const std::string& what = w[0];
            if (what == "base" && w.size() == 2) f.base = number(w[1]);
            else if (what == "rebased" && w.size() == 2) f.rebased = number(w[1]);
            else if (what == "size" && w.size() == 2) f.size = number(w[1]);
            else if (what == "section" && w.size() == 6)
                f.sections.push_back({number(w[2]), number(w[3]), w[4] == "code", w[5] == "writable"});
            else if (what == "export" && w.size() == 3) f.exports[w[1]] = number(w[2]);
            else if (what == "import" && w.size() == 4)
                f.imports.push_back(
                    {w[1], w[2] == "ordinal", w[2] == "ordinal" ? number(w[3]) : 0, w[2] == "ordinal" ? "" : w[3]});
            else if (what == "resource" && w.size() == 6)
                f.resources.push_back({number(w[1]), number(w[2]), number(w[3]), number(w[4]), number(w[5])});
            else if (what == "version" && w.size() == 6 && w[1] == "file")
                for (int i = 0; i < 4; ++i) f.version.file[i] = number(w[2 + i]);
            else if (what == "version-string" && w.size() == 4) {
                f.version.table = w[1];
                f.version.strings.emplace_back(w[2], w[3]);
            } else if (what == "version-translation" && w.size() == 3) {
                f.version.translation.push_back(static_cast<uint16_t>(number(w[1])));
                f.version.translation.push_back(static_cast<uint16_t>(number(w[2])));
            } else if (what != "version") {
                f.error = path + ": a line not understood: " + line;
                return f;
            }
        }
    } catch (const std::exception&) {
        f.error = path + ": a number not understood: " + line;
    }
    if (f.error.empty() && (f.base == 0 || f.size == 0)) f.error = path + ": no base or size";
    return f;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The file as the loader maps it. A pointer word must move with the module: mapped 16 MiB higher, it reads 16 MiB
// more, or the host finds garbage wherever Windows loads the module elsewhere than its preferred base.
class MappedImage : public dll::Image {
public:
    MappedImage(const Facts& facts, std::vector<uint8_t> image, std::vector<uint8_t> rebased)
        : facts_(facts), image_(std::move(image)), rebased_(std::move(rebased)) {
        auto found = [&](const char* name) {
            auto it = facts_.exports.find(name);
            return it == facts_.exports.end() ? 0u : it->second;
        };
        import_table = found("ImportTable");
        linkage = found("Linkage");
    }
    const uint8_t* at(uint32_t address, uint32_t bytes) const override {
        const uint64_t offset = uint64_t(address) - facts_.base;
        if (address < facts_.base || offset + bytes > image_.size()) return nullptr;
        return image_.data() + offset;
    }
    bool code(uint32_t address) const override {
        const Section* s = section(address);
        return s != nullptr && s->code;
    }
    bool writable(uint32_t address) const override {
        const Section* s = section(address);
        return s != nullptr && s->writable;
    }
    uint32_t pointer(uint32_t address) const override {
        const uint32_t word = u32(address);
        const uint8_t* moved = at(address, 4);
        if (moved == nullptr) return word;
        uint32_t there;
        std::memcpy(&there, rebased_.data() + (moved - image_.data()), 4);
        const uint32_t expected = word == 0 ? 0 : word + (facts_.rebased - facts_.base);
        if (there != expected) {
            char what[128];
            std::snprintf(what, sizeof what, "the pointer word at 0x%X (0x%X) does not move with the module", address,
                          word);
            conformance::fail(__FILE__, __LINE__, what);
        }
        return word;
    }

    // Spoils the byte at `address` in both mappings (a byte of the file's data, the same wherever it is loaded).
    void poke(uint32_t address, uint8_t value) {
        if (const uint8_t* p = at(address, 1)) {
            image_[size_t(p - image_.data())] = value;
            rebased_[size_t(p - image_.data())] = value;
        }
    }
    // Spoils the relocation of the word at `address`: mapped elsewhere, it stays as it was.
    void unrelocate(uint32_t address) {
        if (const uint8_t* p = at(address, 4)) std::memcpy(rebased_.data() + (p - image_.data()), p, 4);
    }
    const uint8_t* resource(uint32_t address, uint32_t bytes) const { return at(address, bytes); }

private:
    const Section* section(uint32_t address) const {
        for (const Section& s : facts_.sections)
            if (address >= s.address && address - s.address < s.bytes) return &s;
        return nullptr;
    }
    const Facts& facts_;
    std::vector<uint8_t> image_, rebased_;
};

// Each bitmap resource is the file the generator drew, without its 14-byte file header.
void check_drawn(const Facts& facts, const MappedImage& image, const std::string& art) {
    for (const Facts::Resource& r : facts.resources) {
        if (r.type != 2) continue;
        char name[16];
        std::snprintf(name, sizeof name, "/%04X.bmp", r.id);
        const std::vector<uint8_t> drawn = file_bytes(art + name);
        const uint8_t* data = image.resource(r.address, r.bytes);
        const bool same = data != nullptr && drawn.size() > 14 && r.bytes == drawn.size() - 14 &&
                          std::equal(drawn.begin() + 14, drawn.end(), data);
        if (!same)
            conformance::fail(__FILE__, __LINE__,
                              ("bitmap " + std::string(name + 1, 4) + " is not the drawn " + art + name).c_str());
    }
}

void check_file(const Facts& facts, const MappedImage& image, bool brevane) {
    conformance::Case exports{"exports", nullptr, nullptr}, imports{"imports", nullptr, nullptr},
        records{"records", nullptr, nullptr}, resources{"resources", nullptr, nullptr},
        version{"version", nullptr, nullptr};
    conformance::begin(exports);
    std::vector<std::string> names;
    for (const auto& [name, address] : facts.exports) {
        names.push_back(name);
        // Both are records the host reads and writes, not code.
        CHECK(!image.code(address) && image.writable(address));
    }
    dll::check_exports(names);
    conformance::begin(imports);
    dll::check_imports(facts.imports);
    conformance::begin(records);
    dll::check_records(image, brevane);
    conformance::begin(resources);
    std::vector<dll::Resource> list;
    for (const Facts::Resource& r : facts.resources)
        list.push_back({r.type, r.id, r.language, image.resource(r.address, r.bytes), r.bytes});
    dll::check_resources(list, brevane);
    conformance::begin(version);
    dll::check_version(facts.version, brevane);
}

// Where a bitmap resource's pixel (x, y from the top) lies in the image, for a 24-bit bitmap; 0 where it is not.
uint32_t pixel_address(const Facts& facts, const MappedImage& image, uint32_t id, int x, int y) {
    for (const Facts::Resource& r : facts.resources) {
        if (r.type != 2 || r.id != id) continue;
        const dll::Bitmap b = dll::bitmap(image.resource(r.address, r.bytes), r.bytes);
        if (!b.valid || b.bits != 24) return 0;
        uint32_t header;
        std::memcpy(&header, b.info, 4);
        const uint32_t stride = (uint32_t(b.width) * 3 + 3) & ~3u;
        return r.address + header + stride * uint32_t(b.height - 1 - y) + 3 * uint32_t(x);
    }
    return 0;
}

// Each spoiled copy must fail the check; the genuine image must pass it.
int check_faults(const Facts& facts, const std::vector<uint8_t>& image, const std::vector<uint8_t>& rebased,
                 bool brevane) {
    int caught = 0, missed = 0;
    auto run = [&](const char* what, const std::function<void(MappedImage&)>& spoil, bool should_fail) {
        MappedImage copy(facts, image, rebased);
        spoil(copy);
        const int before = conformance::failures();
        conformance::quiet(true);
        check_file(facts, copy, brevane);
        conformance::quiet(false);
        const bool failed = conformance::failures() > before;
        if (failed == should_fail) {
            ++caught;
        } else {
            ++missed;
            std::printf("FAILED: %s: the check %s\n", what, should_fail ? "passes" : "fails");
        }
    };
    MappedImage genuine(facts, image, rebased);
    const uint32_t gs = genuine.gauge(dll::GS);
    const uint32_t tape = genuine.children(genuine.root(dll::GS)).empty() ? 0 : genuine.children(genuine.root(dll::GS))[0];
    const uint32_t gs_areas = genuine.pointer(gs + dll::offsets::header_mouse);
    run("the genuine image", [](MappedImage&) {}, false);
    // The ground-speed face with its lateral window one row short (57 rows, the row below painted as the lip).
    run("a 57-row lateral window on the ground-speed face", [&](MappedImage& m) {
        for (int x = 331; x < 331 + 178; ++x)
            for (int c = 0; c < 3; ++c) {
                const uint32_t at = pixel_address(facts, m, 0x2100, x, 158);
                if (at != 0) m.poke(at + uint32_t(c), 0x60);
            }
    }, true);
    run("a gauge header's size one byte off", [&](MappedImage& m) {
        m.poke(gs + dll::offsets::header_size, uint8_t(m.u32(gs + dll::offsets::header_size) + 1));
    }, true);
    run("an element's position one byte off", [&](MappedImage& m) {
        m.poke(tape + dll::offsets::element_x, uint8_t(m.u32(tape + dll::offsets::element_x) + 1));
    }, true);
    run("a mouse area's rectangle one byte off", [&](MappedImage& m) {
        const uint32_t first_area = gs_areas + dll::offsets::mouse_record_bytes;
        m.poke(first_area + 12, uint8_t(m.u32(first_area + 12) + 1));
    }, true);
    run("a gauge pointer without its base relocation", [&](MappedImage& m) {
        m.unrelocate(m.linkage + dll::offsets::linkage_gauges + 4 * dll::GS);
    }, true);
    std::printf("dll file faults (%s): %d passed, %d failed\n", brevane ? "brevane" : "korst", caught, missed);
    return missed == 0 ? 0 : 1;
}

int usage() {
    std::fprintf(stderr, "usage: dllcheck korst|brevane OUT [ART] | dllcheck --faults korst|brevane OUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool faults = !args.empty() && args[0] == "--faults";
    if (faults) args.erase(args.begin());
    if (args.size() < 2 || args.size() > (faults ? 2u : 3u) || (args[0] != "korst" && args[0] != "brevane"))
        return usage();
    const bool brevane = args[0] == "brevane";
    const Facts facts = read_facts(args[1] + ".facts");
    if (!facts.error.empty()) {
        std::fprintf(stderr, "dllcheck: %s\n", facts.error.c_str());
        return 1;
    }
    std::vector<uint8_t> image = file_bytes(args[1] + ".image"), rebased = file_bytes(args[1] + ".rebased");
    if (image.size() != facts.size || rebased.size() != facts.size) {
        std::fprintf(stderr, "dllcheck: %s.image or .rebased is not the module's %u bytes\n", args[1].c_str(),
                     facts.size);
        return 1;
    }
    if (faults) return check_faults(facts, image, rebased, brevane);
    const MappedImage mapped(facts, std::move(image), std::move(rebased));
    check_file(facts, mapped, brevane);
    if (args.size() == 3) {
        conformance::Case drawn{"drawn bitmaps", nullptr, nullptr};
        conformance::begin(drawn);
        check_drawn(facts, mapped, args[2]);
    }
    return conformance::report(brevane ? "dll file brevanepanel.dll" : "dll file korstpanel.dll");
}
