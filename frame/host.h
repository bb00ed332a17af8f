// The host's records, word for word as the host reads them: module variables, gauge headers, elements, mouse
// areas, the failure list, the import table and the linkage. Offsets are pinned for the 32-bit host.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "frame/abi.h"

namespace afcp {

struct GaugeHeader;
struct ElementHead;
struct MouseArea;

// Service codes the host passes to a gauge's service callback.
enum ServiceCode : int32_t {
    kParametersReady = 2,
    kUpdate = 6,
    kDisconnect = 15,
};

// ---- Values the host gives meaning to ---------------------------------------------------------------------------
// The module's records hold them as the gauges were laid out; what they ask of the host is the host's business,
// except where a comment says what our own host core makes of them.

// Image flags (element byte 48), combined per element: 0, 1, 2, 3, 6 or 7.
namespace image_flag {
constexpr uint32_t bit_1 = 0x1;
constexpr uint32_t black_is_clear = 0x2;  // pure black pixels of the bitmap are left undrawn
constexpr uint32_t bit_4 = 0x4;
}  // namespace image_flag

// Text format flags (text element byte 288): the Windows text-drawing bits.
namespace text_format {
constexpr uint32_t centred = 0x1;
constexpr uint32_t vertically_centred = 0x4;
constexpr uint32_t single_line = 0x20;
}  // namespace text_format

// The selection mode of every image selector (byte 92).
constexpr uint32_t kSelectionMode = 3;

// The failure list's one entry (failure key, action), which every element with a failure list points to; a pair
// with key 0 ends the list.
namespace failure {
constexpr int32_t key = 21;
constexpr int32_t action = 3;
}  // namespace failure

// Cursor kinds of mouse areas (byte 20).
namespace cursor {
constexpr int32_t none = -1;     // parent, parent end and list end records
constexpr int32_t increase = 1;  // increase, up or right
constexpr int32_t decrease = 2;  // decrease, down or left
constexpr int32_t push = 5;
}  // namespace cursor

// Mouse flags of areas (byte 28); 0 in parent, parent end and list end records.
namespace mouse_flag {
constexpr uint32_t push = 0x20000000;  // push areas
constexpr uint32_t step = 0x20200000;  // increase and decrease areas, and the trim centre
}  // namespace mouse_flag

// The seven lifecycle routines of a gauge header, in order, each pass the root element to one element-list
// service; the second and the fifth also pass a word of their own.
constexpr bool lifecycle_passes_word[7] = {false, true, false, false, true, false, false};

AFCP_HOST_PACK_BEGIN

// A simulator variable, named by token, whose value the host fills in.
struct ModuleVariable {
    int32_t token;
    uint32_t host_word1;
    uint32_t host_word2;
    double value;
    uint32_t host_word3;
    uint32_t host_word4;
};

using CommandHandler = int32_t(AFCP_STDCALL*)(int32_t, int32_t);
using ValueCallback = double(AFCP_STDCALL*)(ElementHead*);
using GaugeServiceCallback = void(AFCP_STDCALL*)(GaugeHeader*, int32_t service, uint32_t ignored);
// The seven lifecycle routines: 2 and 5 take a word, the others nothing; each returns the service's result.
using LifecycleRoutine = int32_t(AFCP_STDCALL*)();
using LifecycleWordRoutine = int32_t(AFCP_STDCALL*)(uint32_t);
using ModuleRoutine = void(AFCP_STDCALL*)();

// Gauge header: 49 words. Words not named belong to the host.
struct GaugeHeader {
    uint32_t header_version;
    const char* name;
    ElementHead** element_list;
    LifecycleRoutine lifecycle_1;
    LifecycleWordRoutine lifecycle_2;
    LifecycleRoutine lifecycle_3;
    LifecycleRoutine lifecycle_4;
    LifecycleWordRoutine lifecycle_5;
    LifecycleRoutine lifecycle_6;
    LifecycleRoutine lifecycle_7;
    uint32_t host_word10;
    uint32_t size_mm;
    uint32_t host_words12_19[8];
    MouseArea* mouse_areas;
    GaugeServiceCallback service_callback;
    uint32_t host_word22;
    const char* parameter_string;
    uint32_t host_words24_48[25];
};

enum ElementKind : int32_t {
    kStaticImage = 0,
    kText = 2,
    kImageSelector = 4,
    kMovingImage = 5,
};

// Bytes 0..59, common to every element kind.
struct ElementHead {
    int32_t kind;
    int32_t bitmap_id;
    int32_t x;
    int32_t y;
    uint32_t host_words4_7[4];
    GaugeHeader* gauge;
    uint32_t host_word9;
    ElementHead** child_list;
    int32_t* failure_list;
    uint32_t image_flags;
    uint32_t host_words13_14[2];
};

struct StaticImageElement {
    ElementHead head;
    uint32_t zero_words[9];
};

struct ImageSelectorElement {
    ElementHead head;
    ModuleVariable source;
    uint32_t host_word22;
    uint32_t selection_mode;
    double first_double;
    double second_double;
    uint32_t image_count;
    uint32_t host_words29_32[4];
    ValueCallback value_callback;
    uint32_t host_word34;
};

struct TextElement;
using TextCallback = double(AFCP_STDCALL*)(TextElement*);

struct TextElement {
    ElementHead head;
    ModuleVariable source[3];
    uint32_t host_words36_45[10];
    char* text_buffer;
    uint32_t host_word47;
    int32_t box_width;
    int32_t box_height;
    uint32_t host_words50_51[2];
    uint32_t text_colour;
    uint32_t background_colour;
    uint32_t third_colour;
    uint32_t host_words55_61[7];
    char font_face[32];
    int32_t font_weight;
    int32_t character_set;
    uint32_t format_flags;
    int32_t max_length;
    uint32_t host_words74_77[4];
    TextCallback text_callback;
    uint32_t host_words79_80[2];
};

struct MovingImageElement {
    ElementHead head;
    uint32_t host_words15_24[10];
    double x_range_end;
    uint32_t host_words27_37[11];
    double y_range_end;
    uint32_t host_words40_60[21];
    ValueCallback x_callback;
    ValueCallback y_callback;
    uint32_t host_words63_66[4];
};

enum MouseRecordType : int32_t {
    kListEnd = 0,
    kParent = 1,
    kArea = 2,
    kParentEnd = 3,
};

struct MouseArea {
    int32_t type;
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
    int32_t cursor;
    int32_t help_id;
    uint32_t mouse_flags;
    uint32_t key_event;
    CommandHandler handler;
    uint32_t zero_word;
};

struct ImportTableRecord {
    uint32_t identifier;
    void* const* services;  // the host's panel services table, written at load
    uint32_t end_words[2];
};

struct LinkageRecord {
    uint32_t leading_word;
    ModuleRoutine init;
    ModuleRoutine deinit;
    uint32_t zero_words[2];
    uint32_t word5;
    GaugeHeader* gauges[12];  // eleven headers and the null end word
};

AFCP_HOST_PACK_END

// The routines' types say the same as lifecycle_passes_word.
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_1), LifecycleRoutine> && !lifecycle_passes_word[0]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_2), LifecycleWordRoutine> && lifecycle_passes_word[1]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_3), LifecycleRoutine> && !lifecycle_passes_word[2]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_4), LifecycleRoutine> && !lifecycle_passes_word[3]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_5), LifecycleWordRoutine> && lifecycle_passes_word[4]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_6), LifecycleRoutine> && !lifecycle_passes_word[5]);
static_assert(std::is_same_v<decltype(GaugeHeader::lifecycle_7), LifecycleRoutine> && !lifecycle_passes_word[6]);

#if AFCP_HOST_LAYOUT
static_assert(sizeof(ModuleVariable) == 28);
static_assert(offsetof(ModuleVariable, value) == 12);

static_assert(sizeof(GaugeHeader) == 196);
static_assert(offsetof(GaugeHeader, name) == 4);
static_assert(offsetof(GaugeHeader, element_list) == 8);
static_assert(offsetof(GaugeHeader, lifecycle_1) == 12);
static_assert(offsetof(GaugeHeader, lifecycle_7) == 36);
static_assert(offsetof(GaugeHeader, size_mm) == 44);
static_assert(offsetof(GaugeHeader, mouse_areas) == 80);
static_assert(offsetof(GaugeHeader, service_callback) == 84);
static_assert(offsetof(GaugeHeader, parameter_string) == 92);

static_assert(sizeof(ElementHead) == 60);
static_assert(offsetof(ElementHead, gauge) == 32);
static_assert(offsetof(ElementHead, child_list) == 40);
static_assert(offsetof(ElementHead, failure_list) == 44);
static_assert(offsetof(ElementHead, image_flags) == 48);

static_assert(sizeof(StaticImageElement) == 96);

static_assert(sizeof(ImageSelectorElement) == 140);
static_assert(offsetof(ImageSelectorElement, source) == 60);
static_assert(offsetof(ImageSelectorElement, selection_mode) == 92);
static_assert(offsetof(ImageSelectorElement, first_double) == 96);
static_assert(offsetof(ImageSelectorElement, second_double) == 104);
static_assert(offsetof(ImageSelectorElement, image_count) == 112);
static_assert(offsetof(ImageSelectorElement, value_callback) == 132);

static_assert(sizeof(TextElement) == 324);
static_assert(offsetof(TextElement, source) == 60);
static_assert(offsetof(TextElement, source[1]) == 88);
static_assert(offsetof(TextElement, source[2]) == 116);
static_assert(offsetof(TextElement, source[0].value) == 72);
static_assert(offsetof(TextElement, text_buffer) == 184);
static_assert(offsetof(TextElement, box_width) == 192);
static_assert(offsetof(TextElement, box_height) == 196);
static_assert(offsetof(TextElement, text_colour) == 208);
static_assert(offsetof(TextElement, background_colour) == 212);
static_assert(offsetof(TextElement, third_colour) == 216);
static_assert(offsetof(TextElement, font_face) == 248);
static_assert(offsetof(TextElement, font_weight) == 280);
static_assert(offsetof(TextElement, character_set) == 284);
static_assert(offsetof(TextElement, format_flags) == 288);
static_assert(offsetof(TextElement, max_length) == 292);
static_assert(offsetof(TextElement, text_callback) == 312);

static_assert(sizeof(MovingImageElement) == 268);
static_assert(offsetof(MovingImageElement, x_range_end) == 100);
static_assert(offsetof(MovingImageElement, y_range_end) == 152);
static_assert(offsetof(MovingImageElement, x_callback) == 244);
static_assert(offsetof(MovingImageElement, y_callback) == 248);

static_assert(sizeof(MouseArea) == 44);
static_assert(offsetof(MouseArea, cursor) == 20);
static_assert(offsetof(MouseArea, mouse_flags) == 28);
static_assert(offsetof(MouseArea, key_event) == 32);
static_assert(offsetof(MouseArea, handler) == 36);

static_assert(sizeof(ImportTableRecord) == 16);
static_assert(sizeof(LinkageRecord) == 18 * 4);
static_assert(offsetof(LinkageRecord, gauges) == 24);
#endif

}  // namespace afcp
