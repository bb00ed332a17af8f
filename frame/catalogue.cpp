#include "frame/catalogue.h"

#include <type_traits>

#include "frame/afcp_service.h"
#include "frame/services.h"
#include "layout/layout.h"
#include "variants/variant.h"

namespace afcp {
namespace {
// The words the host expects in the two exported records; what they mean is the host's business.
constexpr uint32_t kImportIdentifier = 0xF;  // ImportTable: the identifier of the only import
constexpr uint32_t kLinkageLeadingWord = 0x13;
constexpr uint32_t kLinkageWord5 = 0x800;
}  // namespace
}  // namespace afcp

extern "C" {
afcp::ImportTableRecord ImportTable = {afcp::kImportIdentifier, nullptr, {0, 0}};
}

namespace afcp {

namespace {

void AFCP_STDCALL module_init_deinit() {}

ElementHead* afcp_root() { return Linkage.gauges[kGaugeAFCP]->element_list[0]; }

int32_t call_element_service(int routine) {
    return call_out(service_entry<ElementService>(service::element_services[routine]), afcp_root());
}

int32_t call_element_service(int routine, uint32_t word) {
    return call_out(service_entry<ElementWordService>(service::element_services[routine]), afcp_root(), word);
}

}  // namespace

int32_t AFCP_STDCALL lifecycle_1() { return call_element_service(0); }
int32_t AFCP_STDCALL lifecycle_2(uint32_t word) { return call_element_service(1, word); }
int32_t AFCP_STDCALL lifecycle_3() { return call_element_service(2); }
int32_t AFCP_STDCALL lifecycle_4() { return call_element_service(3); }
int32_t AFCP_STDCALL lifecycle_5(uint32_t word) { return call_element_service(4, word); }
int32_t AFCP_STDCALL lifecycle_6() { return call_element_service(5); }
int32_t AFCP_STDCALL lifecycle_7() { return call_element_service(6); }

namespace {

constexpr uint32_t kHeaderVersion = 0x320;

constexpr GaugeHeader header(const char* name, uint32_t size_mm, ElementHead** elements, MouseArea* mouse_areas,
                             GaugeServiceCallback callback = nullptr) {
    GaugeHeader h{};
    h.header_version = kHeaderVersion;
    h.name = name;
    h.element_list = elements;
    h.lifecycle_1 = lifecycle_1;
    h.lifecycle_2 = lifecycle_2;
    h.lifecycle_3 = lifecycle_3;
    h.lifecycle_4 = lifecycle_4;
    h.lifecycle_5 = lifecycle_5;
    h.lifecycle_6 = lifecycle_6;
    h.lifecycle_7 = lifecycle_7;
    h.size_mm = size_mm;
    h.mouse_areas = mouse_areas;
    h.service_callback = callback;
    return h;
}

// One header per catalogue slot, in slot order, counted by the compiler.
constexpr auto catalogue = std::to_array<GaugeHeader>({
    header("AFCP", 300, layout::afcp_elements, layout::afcp_mouse.data(), afcp_service),
    header("IAS Select", 32, layout::ias_select_elements, layout::ias_select_mouse.data()),
    header("ALT Select", 32, layout::alt_select_elements, layout::alt_select_mouse.data()),
    header("ALT/VS Select", 32, layout::alt_vs_select_elements, layout::alt_vs_select_mouse.data()),
    header("AP Trim", 32, layout::ap_trim_elements, layout::ap_trim_mouse.data()),
    header("High Modes Disengage", 32, layout::high_modes_elements, layout::high_modes_mouse.data()),
    header("Go-Around", 32, layout::go_around_elements, layout::go_around_mouse.data()),
    header("Stab", 32, layout::stab_elements, layout::stab_mouse.data()),
    header("Annunciator", 100, layout::annunciator_elements, layout::annunciator_mouse.data()),
    header("Annunciator-T", 100, layout::annunciator_t_elements, layout::annunciator_t_mouse.data(),
           annunciator_t_service),
    header("GS", 300, layout::gs_elements, layout::gs_mouse.data()),
});
static_assert(catalogue.size() == kGaugeCount, "the gauge table holds the eleven gauges of the catalogue");

}  // namespace

constinit std::array<GaugeHeader, kGaugeCount> gauge_headers = catalogue;

int32_t parse_decimal(const char* text) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t magnitude = 0;
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
    for (; *p >= '0' && *p <= '9'; ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

void AFCP_STDCALL annunciator_t_service(GaugeHeader* gauge, int32_t service, uint32_t) {
    if (service != kParametersReady || gauge == nullptr || gauge->element_list == nullptr) return;
    uint32_t colour = layout::annunciator_t_background;
    if constexpr (Variant::annunciator_t_colour_from_parameter) {
        if (gauge->parameter_string == nullptr) return;
        colour = static_cast<uint32_t>(parse_decimal(gauge->parameter_string));
    }
    // Down the chain of first children; the root itself is never written.
    ElementHead* element = gauge->element_list[0];
    while (element != nullptr && element->child_list != nullptr && element->child_list[0] != nullptr) {
        element = element->child_list[0];
        if (element->kind == kText) reinterpret_cast<TextElement*>(element)->background_colour = colour;
    }
}

namespace {

// The preamble, then every gauge header in slot order and the null end word.
consteval LinkageRecord linkage() {
    static_assert(std::extent_v<decltype(LinkageRecord::gauges)> == kGaugeCount + 1,
                  "the gauge table holds the eleven headers and the end word");
    LinkageRecord l{};
    l.leading_word = kLinkageLeadingWord;
    l.init = module_init_deinit;
    l.deinit = module_init_deinit;
    l.word5 = kLinkageWord5;
    for (int slot = 0; slot < kGaugeCount; ++slot) l.gauges[slot] = &gauge_headers[slot];
    return l;
}

}  // namespace

}  // namespace afcp

extern "C" {
constinit afcp::LinkageRecord Linkage = afcp::linkage();
}
