#include "host/panel.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "engine/zolm_test.h"
#include "host/mode_names.h"
#include "host/variables.h"
#include "frame/services.h"
#include "modes/state_block.h"

namespace host_core {

namespace {

using afcp::ElementHead;
using afcp::TextElement;

// The simulator of the panel the services below belong to; one panel at a time.
Simulator* active_simulator = nullptr;

void read_variable(afcp::ModuleVariable* variable) { active_simulator->read(*variable); }
void send_event(uint32_t event, uint32_t parameter) { active_simulator->send(event, parameter); }
// The element-list services: what they do is the host's business; this one has nothing to do for them.
int32_t element_service(ElementHead*) { return 0; }
int32_t element_word_service(ElementHead*, uint32_t) { return 0; }

constexpr int kDeepestTree = 32;         // deeper than this, a tree is taken for a loop
constexpr int kMostMouseRecords = 1000;  // the same for a mouse-area list without its end record
constexpr size_t kTextGuard = 16;        // bytes after each text buffer that must stay as lent
constexpr int kLongestText = 4096;       // a longer maximum length is taken for a broken record

int round_offset(double value) { return afcp::to_int32(std::floor(value + 0.5)); }

std::string gauge_name(const GaugeState& g) { return g.header->name != nullptr ? g.header->name : ""; }

std::string entry_name(const afcp::CommandEntry& e) { return std::string(e.name, strnlen(e.name, sizeof e.name)); }

// The first entry of the table the module registered with the engine that `matches`, or null.
template <typename Match>
const afcp::CommandEntry* registered(Match matches) {
    ZolmCounts counts{};
    zolm_test_counts(&counts);
    const afcp::CommandEntry* table = zolm_test_table();
    for (int32_t i = 0; table != nullptr && i < counts.last_register_count; ++i)
        if (matches(table[i])) return &table[i];
    return nullptr;
}

}  // namespace

Panel::Panel(afcp::ImportTableRecord& import_table, afcp::LinkageRecord& linkage, BitmapSource& bitmaps,
             host_conventions::Convention services)
    : bitmaps_(bitmaps) {
    if (active_simulator != nullptr) throw std::runtime_error("one panel at a time");
    for (afcp::GaugeHeader* header : linkage.gauges) {
        if (header == nullptr) break;
        ElementHead* root = header->element_list != nullptr ? header->element_list[0] : nullptr;
        const std::string name = header->name != nullptr ? header->name : "";
        if (root == nullptr || root->kind != afcp::kStaticImage)
            throw std::runtime_error("gauge '" + name + "' has no root image");
        const BitmapSource::Size face = bitmap(root->bitmap_id);
        gauges_.push_back({header, root, "", false, {}, {}});
        shapes_.push_back({name, face.width, face.height});
    }
    if (gauges_.empty()) throw std::runtime_error("the module has no gauges");
    using host_conventions::Lend;
    services_[afcp::service::read_variable] = Lend<&read_variable>::entry(services);
    services_[afcp::service::send_event] = Lend<&send_event>::entry(services);
    for (int entry : afcp::service::element_services)
        services_[entry] = afcp::service::takes_word(entry) ? Lend<&element_word_service>::entry(services)
                                                            : Lend<&element_service>::entry(services);
    import_table.services = services_;
    active_simulator = &simulator_;
}

Panel::~Panel() {
    if (started_ && !finished_) finish();
    zolm_test_reset();  // the engine forgets the block and the table of this module
    active_simulator = nullptr;
}

void Panel::set_parameter(int gauge, const std::string& text) {
    GaugeState& g = gauges_.at(static_cast<size_t>(gauge));
    g.parameter = text;
    g.has_parameter = true;
    if (!started_) return;
    g.header->parameter_string = g.parameter.c_str();
    service(g, afcp::kParametersReady);
}

void Panel::start() {
    if (started_) return;
    started_ = true;
    for (GaugeState& g : gauges_) {
        g.header->parameter_string = g.has_parameter ? g.parameter.c_str() : nullptr;
        prepare_text_buffers(g.root, 0);
    }
    service(afcp::kParametersReady);
    for (GaugeState& g : gauges_) draw(g);
}

void Panel::frame() {
    start();
    service(afcp::kUpdate);
    for (GaugeState& g : gauges_) draw(g);
}

void Panel::finish() {
    if (!started_ || finished_) return;
    finished_ = true;
    service(afcp::kDisconnect);
}

void Panel::service(int32_t code) {
    for (GaugeState& g : gauges_) service(g, code);
}

void Panel::service(GaugeState& g, int32_t code) {
    if (g.header->service_callback != nullptr) g.header->service_callback(g.header, code, 0);
}

const afcp::MouseArea* Panel::area_at(int gauge, int x, int y) const {
    const GaugeState& g = gauges_.at(static_cast<size_t>(gauge));
    const afcp::MouseArea* list = g.header->mouse_areas;
    for (int i = 0; list != nullptr && i < kMostMouseRecords && list[i].type != afcp::kListEnd; ++i) {
        const afcp::MouseArea& a = list[i];
        if (a.type == afcp::kArea && x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height) return &a;
    }
    return nullptr;
}

std::string Panel::click(int gauge, int x, int y) {
    start();
    const afcp::MouseArea* a = area_at(gauge, x, y);
    if (a == nullptr) throw std::runtime_error(no_area(shapes_.at(static_cast<size_t>(gauge)).name, x, y));
    if (a->handler != nullptr) {
        a->handler(0, static_cast<int32_t>(a->mouse_flags));
        const std::string name = command_name(a->handler);
        return name.empty() ? "a handler outside the command table" : name;
    }
    if (a->key_event != 0) {
        simulator_.send(a->key_event, 0);
        return "key event " + std::to_string(a->key_event);
    }
    return "an area with neither handler nor key event";
}

void Panel::command(const std::string& name) {
    start();
    if (zolm_test_table() == nullptr) throw std::runtime_error(kNoCommandsYet);
    const afcp::CommandEntry* e = registered([&](const afcp::CommandEntry& c) { return entry_name(c) == name; });
    if (e == nullptr) throw std::runtime_error("unknown command '" + name + "'");
    zolm_test_call(e->name, 0, 0);
}

std::string Panel::capture() {
    start();
    if (zolm_test_block() == nullptr) throw std::runtime_error(kNoBlockYet);
    return captured_modes(zolm_test_capture());
}

ZolmCaution Panel::caution() const {
    ZolmCaution c{0, 0};
    zolm_caution(&c);
    return c;
}

bool Panel::attached() const { return zolm_test_block() != nullptr; }
uint32_t Panel::engaged() const { return attached() ? zolm_test_block()->engaged : 0; }
uint32_t Panel::armed() const { return attached() ? zolm_test_block()->armed : 0; }

References Panel::references() const {
    const afcp::StateBlock* b = zolm_test_block();
    if (b == nullptr) return {0, 0, 0, 0, 0};
    return {b->altitude_reference, b->radar_height_reference, b->hover_height_reference, b->fore_aft_input,
            b->lateral_input};
}

void Panel::restart_references(double altitude, double radar_height, double hover_height) {
    afcp::StateBlock* b = zolm_test_block();
    if (b == nullptr) return;
    b->altitude_reference = altitude;
    b->radar_height_reference = radar_height;
    b->hover_height_reference = hover_height;
}

std::string Panel::command_name(afcp::CommandHandler handler) {
    const afcp::CommandEntry* e = registered([&](const afcp::CommandEntry& c) { return c.handler == handler; });
    return e != nullptr ? entry_name(*e) : "";
}

BitmapSource::Size Panel::bitmap(int id) {
    if (auto it = sizes_.find(id); it != sizes_.end()) return it->second;
    return sizes_[id] = bitmaps_.size(id);
}

void Panel::draw(GaugeState& g) {
    ++drawings_;
    g.steps.clear();
    g.texts.clear();
    draw_element(g, g.root, 0);
}

void Panel::draw_element(GaugeState& g, ElementHead* e, int depth) {
    if (depth > kDeepestTree)
        throw std::runtime_error("the element tree of " + gauge_name(g) + " runs deeper than " +
                                 std::to_string(kDeepestTree) + " levels");
    DrawStep step;
    step.black_is_clear = (e->image_flags & afcp::image_flag::black_is_clear) != 0;
    step.x = e->x;
    step.y = e->y;
    // A whole bitmap at the element's position.
    auto whole = [&](int id) {
        const BitmapSource::Size b = bitmap(id);
        step.bitmap_id = id;
        step.width = b.width;
        step.height = b.height;
        g.steps.push_back(std::move(step));
    };
    switch (e->kind) {
    case afcp::kStaticImage:
        whole(e->bitmap_id);
        break;
    case afcp::kImageSelector: {
        auto* s = reinterpret_cast<afcp::ImageSelectorElement*>(e);
        const double value = s->value_callback != nullptr ? s->value_callback(e) : -1.0;
        if (!(value >= 0.0)) break;  // -1 (or anything not a number) draws nothing
        const int n = round_offset(value);
        if (n >= static_cast<int>(s->image_count)) break;
        whole(e->bitmap_id + n);
        break;
    }
    case afcp::kMovingImage: {
        auto* m = reinterpret_cast<afcp::MovingImageElement*>(e);
        const BitmapSource::Size strip = bitmap(e->bitmap_id);
        const BitmapSource::Size window = bitmap(e->bitmap_id + 1);
        const int x = m->x_callback != nullptr ? round_offset(m->x_callback(e)) : 0;
        const int y = m->y_callback != nullptr ? round_offset(m->y_callback(e)) : 0;
        step.bitmap_id = e->bitmap_id;
        step.width = std::min(window.width, strip.width);
        step.height = std::min(window.height, strip.height);
        step.from_x = std::clamp(x, 0, strip.width - step.width);
        step.from_y = std::clamp(y, 0, strip.height - step.height);
        g.steps.push_back(std::move(step));
        break;
    }
    case afcp::kText:
        draw_text(g, reinterpret_cast<TextElement*>(e));
        break;
    default:
        throw std::runtime_error("an element of " + gauge_name(g) + " has the unknown kind " + std::to_string(e->kind));
    }
    if (e->child_list == nullptr) return;
    for (ElementHead** child = e->child_list; *child != nullptr; ++child) draw_element(g, *child, depth + 1);
}

void Panel::prepare_text_buffers(ElementHead* e, int depth) {
    if (depth > kDeepestTree) return;  // draw() reports the loop
    if (e->kind == afcp::kText) {
        auto* t = reinterpret_cast<TextElement*>(e);
        if (t->max_length < 0 || t->max_length > kLongestText)
            throw std::runtime_error("a text element holds the maximum length " + std::to_string(t->max_length));
        std::vector<char>& buffer = text_buffers_[t];
        buffer.assign(static_cast<size_t>(t->max_length) + 1 + kTextGuard, '\0');
        t->text_buffer = buffer.data();
    }
    if (e->child_list == nullptr) return;
    for (ElementHead** child = e->child_list; *child != nullptr; ++child) prepare_text_buffers(*child, depth + 1);
}

void Panel::draw_text(GaugeState& g, TextElement* t) {
    for (afcp::ModuleVariable& source : t->source)
        if (source.token != 0) simulator_.read(source);
    std::vector<char>& buffer = text_buffers_.at(t);
    t->text_buffer = buffer.data();
    if (t->text_callback != nullptr) t->text_callback(t);
    const size_t room = static_cast<size_t>(t->max_length) + 1;
    for (size_t i = room; i < buffer.size(); ++i)
        if (buffer[i] != '\0')
            throw std::runtime_error("a text callback of " + gauge_name(g) + " wrote past its " + std::to_string(room) +
                                     "-byte buffer");
    DrawStep step;
    step.kind = DrawStep::text_step;
    step.x = t->head.x;
    step.y = t->head.y;
    step.width = t->box_width;
    step.height = t->box_height;
    step.text_colour = t->text_colour;
    step.background_colour = t->background_colour;
    step.format_flags = t->format_flags;
    // A legible height for the box: 40 px in a 64 px box, and narrow enough that the longest text fits.
    step.font_height = t->box_height * 5 / 8;
    step.font_width = std::min(step.font_height / 2, t->box_width / (t->max_length + 1));
    step.font_weight = t->font_weight;
    step.character_set = t->character_set;
    step.font_face.assign(t->font_face, strnlen(t->font_face, sizeof t->font_face));
    step.text.assign(buffer.data(), strnlen(buffer.data(), room));
    g.texts.push_back(step.text);
    g.steps.push_back(std::move(step));
}

void Panel::step() {
    constexpr int32_t kStepMicroseconds = static_cast<int32_t>(kStepSeconds * 1e6 + 0.5);
    zolm_step(kStepMicroseconds);
    simulator_.step();
}

double Panel::fly(double seconds, const std::function<void()>& each_frame, const std::function<bool()>& done) {
    start();
    if (!simulator_.flying()) {
        simulator_.start_flight();
        to_next_frame_ = 0;
    }
    simulator_.begin_extents();
    const long steps = std::lround(seconds * kStepsPerSecond);
    for (long i = 0; i < steps; ++i) {
        if (to_next_frame_ <= 1e-9) {
            frame();
            if (each_frame) each_frame();
            to_next_frame_ += kFrameSeconds;
        }
        step();
        to_next_frame_ -= kStepSeconds;
        if (done && done()) return static_cast<double>(i + 1) * kStepSeconds;
    }
    return static_cast<double>(steps) * kStepSeconds;
}

std::string captured_modes(uint32_t word) {
    using namespace afcp::bits;
    const std::pair<uint32_t, const char*> names[] = {
        {ALT, "ALT"}, {GS, "GS"}, {LOC, "LOC"}, {VOR, "VOR"}, {TDN, "TDN"}};
    std::string text;
    for (auto [bit, name] : names)
        if ((word & bit) != 0) text += std::string(text.empty() ? "" : " ") + name;
    return text.empty() ? "nothing" : text;
}

std::string no_area(const std::string& gauge, int x, int y) {
    return "no mouse area of " + gauge + " holds (" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

bool command_known(const std::string& name, const std::vector<std::string>& commands) {
    if (zolm_test_table() == nullptr) return std::find(commands.begin(), commands.end(), name) != commands.end();
    return registered([&](const afcp::CommandEntry& c) { return entry_name(c) == name; }) != nullptr;
}

}  // namespace host_core
