// The module's records as the host reads them, and what they must hold, for any view of a 32-bit module: the
// module loaded by Windows (the conformance host under Wine) or its file mapped as the loader would map it (the
// native DLL check, on every machine). Both run these same checks, so a fact of the records is checked in one
// place, with expectations of its own (never taken from the module's sources).
//
// Failures are reported through the conformance runner's checks (tests/conformance/check.h), which need nothing
// of Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dll {

// Byte offsets of the host's records.
namespace offsets {
constexpr int header_name = 4, header_elements = 8, header_lifecycle = 12, header_size = 44, header_mouse = 80,
              header_service = 84, header_parameter = 92, header_bytes = 196;
constexpr int element_kind = 0, element_bitmap = 4, element_x = 8, element_y = 12, element_gauge = 32,
              element_children = 40, element_failures = 44, element_flags = 48;
constexpr int text_buffer = 184, text_background = 212, text_callback = 312, text_max_length = 292;
constexpr int selector_callback = 132, moving_x_callback = 244, moving_y_callback = 248;
constexpr int mouse_record_bytes = 44, mouse_handler = 36;
constexpr int linkage_gauges = 24;
}  // namespace offsets

// Gauge slots in catalogue order.
enum Slot {
    AFCP,
    IAS_SELECT,
    ALT_SELECT,
    ALT_VS_SELECT,
    AP_TRIM,
    HIGH_MODES,
    GO_AROUND,
    STAB,
    ANNUNCIATOR,
    ANNUNCIATOR_T,
    GS
};
constexpr int kGauges = 11;

// A 32-bit module as the host sees it: bytes at the module's own addresses.
class Image {
public:
    virtual ~Image() = default;
    // `bytes` bytes at `address`, or null when they are not all inside the module.
    virtual const uint8_t* at(uint32_t address, uint32_t bytes) const = 0;
    // Whether `address` lies in a section of code: where a callback or handler the host calls must point.
    virtual bool code(uint32_t address) const = 0;
    // Whether `address` lies in a section the host may write: every record the host reads.
    virtual bool writable(uint32_t address) const = 0;
    // A word that holds a pointer. A view that can tell also checks that the loader moves it with the module.
    virtual uint32_t pointer(uint32_t address) const { return u32(address); }

    // Reads that report a failure, and give 0, outside the module.
    uint32_t u32(uint32_t address) const;
    int32_t i32(uint32_t address) const { return static_cast<int32_t>(u32(address)); }
    double f64(uint32_t address) const;
    // The zero-terminated text at `address` (at most 255 characters).
    std::string text(uint32_t address) const;

    // The module's two records, where the view found them.
    uint32_t import_table = 0, linkage = 0;

    uint32_t gauge(int slot) const { return pointer(linkage + offsets::linkage_gauges + 4 * slot); }
    uint32_t root(int slot) const { return pointer(pointer(gauge(slot) + offsets::header_elements)); }
    // An element's children, in list order.
    std::vector<uint32_t> children(uint32_t element) const;
    // The single child of a chain level, or 0.
    uint32_t only_child(uint32_t element) const;
    // A gauge's mouse areas without the frame records (checked on the way).
    std::vector<uint32_t> areas(int slot) const;
};

// ---- The records behind ImportTable and Linkage --------------------------------------------------------------

// A mouse area as the lists must hold it.
struct Area {
    int32_t x, y, w, h, cursor;
    uint32_t flags;
    const char* command;  // null: a key event's area, or an inert one
    uint32_t key_event;
};
// The "AFCP" gauge's areas, in list order.
std::vector<Area> afcp_areas(bool brevane);

void check_linkage_words(const Image& image);
void check_gauge_headers(const Image& image);
void check_element_trees(const Image& image, bool brevane);
// `handler_of(name)`, where the view knows the engine's command table, gives the handler registered under a
// command's name, so that each area is checked to reach its command; without it, that a handler is present.
void check_mouse_areas(const Image& image, bool brevane, const std::function<uint32_t(const char*)>& handler_of);
// The AFCP areas do not overlap, and each pressed-button or turned-knob image covers its control's areas.
void check_images_over_areas(const Image& image, bool brevane);
// All of the above.
void check_records(const Image& image, bool brevane, const std::function<uint32_t(const char*)>& handler_of = {});

// ---- Exports, imports, resources, version ----------------------------------------------------------------------

void check_exports(const std::vector<std::string>& names);

struct Import {
    std::string dll;  // as the file names it
    bool by_ordinal;
    uint32_t ordinal;
    std::string name;
};
void check_imports(const std::vector<Import>& imports);

struct Resource {
    uint32_t type, id, language;
    const uint8_t* data;  // null where the view cannot reach it
    uint32_t bytes;
};
// Every resource: the bitmaps by id with their sizes, depths and plain areas, one version resource, nothing else,
// all in US English.
void check_resources(const std::vector<Resource>& resources, bool brevane);

struct Version {
    uint32_t file[4] = {};
    std::vector<std::pair<std::string, std::string>> strings;  // key, value of the one string table
    std::string table;                                         // its name ("040904b0")
    std::vector<uint16_t> translation;                          // language, code page pairs
};
void check_version(const Version& version, bool brevane);

// A bitmap resource (the file without its 14-byte header) taken apart, bounds checked.
struct Bitmap {
    int32_t width = 0, height = 0;
    int bits = 0;
    uint32_t palette_entries = 0;
    const uint8_t* info = nullptr;
    uint32_t bytes = 0;
    bool valid = false;  // the header, palette and pixel rows all lie within the resource
};
Bitmap bitmap(const uint8_t* data, uint32_t bytes);
// Whether every pixel of the rectangle is `colour` (0x00RRGGBB), rows counted from the top.
bool plain(const Bitmap& b, int x, int y, int w, int h, uint32_t colour);

}  // namespace dll
