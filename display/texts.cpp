// The six annunciator texts. Each callback picks one text from the mode words, the element's source variables
// and the radar height sample, and writes it straight into the host's buffer.
//
// A text is never longer than its element's maximum length (11, or 7 in the centre column): the host lends
// buffers of that size, so a longer text (a track far outside a half turn, a huge or infinite value) is cut.
#include <cstddef>
#include <cstdio>

#include "display/display.h"
#include "frame/units.h"

namespace afcp::display {

namespace {

using namespace bits;

// The widest text any element holds; no buffer is written past this many characters and the zero.
constexpr int32_t longest_text = 11;

// Characters of the element's text, zero excluded: its maximum length, kept within 0..longest_text.
size_t text_room(const TextElement& element) {
    const int32_t length = element.max_length;
    if (length < 0) return 0;
    if (length > longest_text) return longest_text;
    return static_cast<size_t>(length);
}

// A fixed word, cut to the element's room.
double word(TextElement& element, const char* text) {
    char* out = element.text_buffer;
    const size_t room = text_room(element);
    size_t n = 0;
    for (; n < room && text[n] != '\0'; ++n) out[n] = text[n];
    out[n] = '\0';
    return 0.0;
}

double blank(TextElement& element) { return word(element, " "); }

// A word with a number: one bounded formatted write into the host's buffer.
double number(TextElement& element, const char* format, double value) {
    std::snprintf(element.text_buffer, text_room(element) + 1, format, value);
    return 0.0;
}

// The element's text buffer, or null when there is nothing to write into.
TextElement* writable(TextElement* element) {
    if (element == nullptr || element->text_buffer == nullptr) return nullptr;
    return element;
}

double source(const TextElement& element, int index) { return element.source[index].value; }

// The armed vertical mode, shown in one of the two lower corners.
double armed_vertical(TextElement& element, uint32_t armed) {
    switch (armed & masks::vertical_group) {
    case ALT:
        return number(element, "ALT.A %5.f", source(element, 0));
    case GS:
        return word(element, "G/S");
    default:
        return blank(element);
    }
}

}  // namespace

// Engaged vertical mode beside IAS, HOV, CRHT or GA.
double AFCP_STDCALL upper_left_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr) return blank(*e);
    const uint32_t engaged = block->engaged;
    if ((engaged & masks::vertical_window) == 0) return blank(*e);
    switch (engaged & masks::vertical_group) {
    case VS:
        return number(*e, "V/S %4.f", source(*e, 1));
    case ALT:
        return number(*e, "ALT %5.f", block->altitude_reference);
    case GS:
        return word(*e, module.radar_height_sample.value < units::level_height_below ? "LVLHT" : "G/S");
    case CRHT:
        return number(*e, "RHT %4.f", block->radar_height_reference);
    case HHT:
        return number(*e, "HHT %3.f", block->hover_height_reference);
    case GA:
        return number(*e, "G/A %4.f", source(*e, 1));
    default:
        return blank(*e);
    }
}

// Engaged lateral mode.
double AFCP_STDCALL upper_centre_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr) return blank(*e);
    switch (block->engaged & masks::lateral_group) {
    case HDG:
        return number(*e, "HDG %3.f", source(*e, 0));
    case LOC:
        return number(*e, "LOC %3.f", source(*e, 1));
    case VOR:
        return number(*e, "VOR %3.f", source(*e, 1));
    case NAV:
        return number(*e, "NAV %3.f", source(*e, 2) * units::radians_to_degrees);
    case HOV:
    case masks::hover_with_sub_a:
        return number(*e, "HOV %3.f", source(*e, 0));
    case TUP:
        return number(*e, "TUP %3.f", source(*e, 0));
    case TDN:
    case TDN | HDG:
    case TDN | LOC:
    case TDN | VOR:
    case TDN | NAV:
        return number(*e, "TDN %3.f", source(*e, 0));
    default:
        return blank(*e);
    }
}

// Airspeed while IAS or GA is engaged, otherwise the engaged vertical mode.
double AFCP_STDCALL upper_right_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr) return blank(*e);
    const uint32_t engaged = block->engaged;
    if ((engaged & masks::ias_window) != 0)
        return number(*e, "IAS %3.f", source(*e, 2) * units::knots_per_airspeed_read);
    switch (engaged & masks::vertical_group) {
    case VS:
        return number(*e, "V/S %5.f", source(*e, 1));
    case ALT:
        return number(*e, "ALT %5.f", block->altitude_reference);
    case GS:
        return word(*e, "G/S");
    default:
        return blank(*e);
    }
}

// Armed vertical mode while IAS is engaged.
double AFCP_STDCALL lower_left_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr || (block->engaged & IAS) == 0) return blank(*e);
    return armed_vertical(*e, block->armed);
}

// Armed lateral mode.
double AFCP_STDCALL lower_centre_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr) return blank(*e);
    switch (block->armed & masks::lateral_group) {
    case LOC:
        return word(*e, "LOC");
    case VOR:
        return word(*e, "VOR");
    case TDN:
        return word(*e, "TDN");
    default:
        return blank(*e);
    }
}

// Armed vertical mode while IAS is not engaged.
double AFCP_STDCALL lower_right_text(TextElement* element) {
    TextElement* e = writable(element);
    if (e == nullptr) return 0.0;
    const StateBlock* block = module.block;
    if (block == nullptr || (block->engaged & IAS) != 0) return blank(*e);
    return armed_vertical(*e, block->armed);
}

}  // namespace afcp::display
