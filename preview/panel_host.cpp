#include "preview/panel_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "engine/zolm_test.h"
#include "frame/services.h"

namespace preview {

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
// Entries 25 and 28, the element-list services of lifecycle routines 2 and 5, also take the host's word.
constexpr int kElementWordServices[] = {afcp::service::element_services[1], afcp::service::element_services[4]};

constexpr uint32_t kBlackIsClear = 0x2;  // image flag: pure black pixels are left undrawn
constexpr int kDeepestTree = 32;         // deeper than this, a tree is taken for a loop
constexpr int kMostMouseRecords = 1000;  // the same for a mouse-area list without its end record
constexpr size_t kTextGuard = 16;        // bytes after each text buffer that must stay as lent

std::string hex(int id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(id));
    return text;
}

int round_offset(double value) { return afcp::to_int32(std::floor(value + 0.5)); }

}  // namespace

PanelHost::PanelHost(const std::string& module_path, host_conventions::Convention services) {
    if (active_simulator != nullptr) throw std::runtime_error("one panel at a time");
    const size_t slash = module_path.find_last_of("/\\");
    module_name_ = module_path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (const size_t dot = module_name_.rfind('.'); dot != std::string::npos) module_name_.resize(dot);

    module_ = LoadLibraryA(module_path.c_str());
    if (module_ == nullptr)
        throw std::runtime_error("cannot load " + module_path + " (error " + std::to_string(GetLastError()) +
                                 "; zolm.dll must stand beside the preview program)");
    auto* import_table = reinterpret_cast<afcp::ImportTableRecord*>(GetProcAddress(module_, "ImportTable"));
    auto* linkage = reinterpret_cast<afcp::LinkageRecord*>(GetProcAddress(module_, "Linkage"));
    if (import_table == nullptr || linkage == nullptr) {
        FreeLibrary(module_);
        throw std::runtime_error(module_path + " exports no ImportTable and Linkage: not a gauge module");
    }
    active_simulator = &simulator_;
    using host_conventions::Lend;
    services_[afcp::service::read_variable] = Lend<&read_variable>::entry(services);
    services_[afcp::service::send_event] = Lend<&send_event>::entry(services);
    for (int entry : afcp::service::element_services) services_[entry] = Lend<&element_service>::entry(services);
    for (int entry : kElementWordServices) services_[entry] = Lend<&element_word_service>::entry(services);
    import_table->services = services_;

    try {
        for (afcp::GaugeHeader* header : linkage->gauges) {
            if (header == nullptr) break;
            ElementHead* root = header->element_list != nullptr ? header->element_list[0] : nullptr;
            const std::string name = header->name != nullptr ? header->name : "";
            if (root == nullptr || root->kind != afcp::kStaticImage)
                throw std::runtime_error("gauge '" + name + "' has no root image");
            const Bitmap& face = bitmap(root->bitmap_id);
            gauges_.push_back({header, root, std::make_unique<Surface>(face.width, face.height), "", false});
            shapes_.push_back({name, face.width, face.height});
        }
        if (gauges_.empty()) throw std::runtime_error(module_path + " has no gauges");
    } catch (...) {
        for (auto& [id, b] : bitmaps_) DeleteObject(b.handle);
        gauges_.clear();
        FreeLibrary(module_);
        active_simulator = nullptr;
        throw;
    }
}

PanelHost::~PanelHost() {
    if (started_ && !finished_) finish();
    zolm_test_reset();  // the engine forgets the block and the table of this module
    gauges_.clear();
    for (auto& [key, f] : fonts_) DeleteObject(f);
    for (auto& [id, b] : bitmaps_) DeleteObject(b.handle);
    FreeLibrary(module_);
    active_simulator = nullptr;
}

void PanelHost::set_parameter(int gauge, const std::string& text) {
    Gauge& g = gauges_.at(static_cast<size_t>(gauge));
    g.parameter = text;
    g.has_parameter = true;
}

void PanelHost::start() {
    if (started_) return;
    started_ = true;
    for (Gauge& g : gauges_) {
        g.header->parameter_string = g.has_parameter ? g.parameter.c_str() : nullptr;
        prepare_text_buffers(g.root, 0);
    }
    service(afcp::kParametersReady);
    for (Gauge& g : gauges_) draw(g);
}

void PanelHost::frame() {
    start();
    service(afcp::kUpdate);
    for (Gauge& g : gauges_) draw(g);
}

void PanelHost::finish() {
    if (!started_ || finished_) return;
    finished_ = true;
    service(afcp::kDisconnect);
}

void PanelHost::service(int32_t code) {
    for (Gauge& g : gauges_)
        if (g.header->service_callback != nullptr) g.header->service_callback(g.header, code, 0);
}

std::string PanelHost::click(int gauge, int x, int y) {
    start();
    Gauge& g = gauges_.at(static_cast<size_t>(gauge));
    const afcp::MouseArea* list = g.header->mouse_areas;
    for (int i = 0; list != nullptr && i < kMostMouseRecords && list[i].type != afcp::kListEnd; ++i) {
        const afcp::MouseArea& a = list[i];
        if (a.type != afcp::kArea || x < a.x || x >= a.x + a.width || y < a.y || y >= a.y + a.height) continue;
        if (a.handler != nullptr) {
            a.handler(0, static_cast<int32_t>(a.mouse_flags));
            const std::string name = command_name(a.handler);
            return name.empty() ? "a handler outside the command table" : name;
        }
        if (a.key_event != 0) {
            simulator_.send(a.key_event, 0);
            return "key event " + std::to_string(a.key_event);
        }
        return "an area with neither handler nor key event";
    }
    throw std::runtime_error("no mouse area of " + shapes_[static_cast<size_t>(gauge)].name + " holds (" +
                             std::to_string(x) + ", " + std::to_string(y) + ")");
}

std::string PanelHost::command_name(afcp::CommandHandler handler) {
    ZolmCounts counts{};
    zolm_test_counts(&counts);
    const afcp::CommandEntry* table = zolm_test_table();
    for (int32_t i = 0; table != nullptr && i < counts.last_register_count; ++i)
        if (table[i].handler == handler)
            return std::string(table[i].name, strnlen(table[i].name, sizeof table[i].name));
    return "";
}

art::Canvas PanelHost::bitmap_pixels(int id) {
    const Bitmap& b = bitmap(id);
    Surface s(b.width, b.height);
    blit(s.dc(), id, 0, 0, 0, 0, b.width, b.height, false);
    return s.canvas();
}

const PanelHost::Bitmap& PanelHost::bitmap(int id) {
    if (auto it = bitmaps_.find(id); it != bitmaps_.end()) return it->second;
    HANDLE image = LoadImageA(module_, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image == nullptr) throw std::runtime_error(module_name_ + " has no bitmap " + hex(id));
    BITMAP info{};
    GetObjectA(image, sizeof info, &info);
    return bitmaps_[id] = {static_cast<HBITMAP>(image), static_cast<int>(info.bmWidth),
                           static_cast<int>(info.bmHeight)};
}

void PanelHost::blit(HDC dc, int id, int x, int y, int from_x, int from_y, int width, int height, bool black_is_clear) {
    const Bitmap& b = bitmap(id);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, b.handle);
    if (black_is_clear)
        TransparentBlt(dc, x, y, width, height, source, from_x, from_y, width, height, RGB(0, 0, 0));
    else
        BitBlt(dc, x, y, width, height, source, from_x, from_y, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}

void PanelHost::draw(Gauge& g) { draw_element(g, g.root, 0); }

void PanelHost::draw_element(Gauge& g, ElementHead* e, int depth) {
    if (depth > kDeepestTree)
        throw std::runtime_error("the element tree of " + std::string(g.header->name) + " runs deeper than " +
                                 std::to_string(kDeepestTree) + " levels");
    HDC dc = g.surface->dc();
    const bool clear = (e->image_flags & kBlackIsClear) != 0;
    switch (e->kind) {
    case afcp::kStaticImage: {
        const Bitmap& b = bitmap(e->bitmap_id);
        blit(dc, e->bitmap_id, e->x, e->y, 0, 0, b.width, b.height, clear);
        break;
    }
    case afcp::kImageSelector: {
        auto* s = reinterpret_cast<afcp::ImageSelectorElement*>(e);
        const double value = s->value_callback != nullptr ? s->value_callback(e) : -1.0;
        if (!(value >= 0.0)) break;  // -1 (or anything not a number) draws nothing
        const int n = round_offset(value);
        if (n >= static_cast<int>(s->image_count)) break;
        const Bitmap& b = bitmap(e->bitmap_id + n);
        blit(dc, e->bitmap_id + n, e->x, e->y, 0, 0, b.width, b.height, clear);
        break;
    }
    case afcp::kMovingImage: {
        auto* m = reinterpret_cast<afcp::MovingImageElement*>(e);
        const Bitmap& strip = bitmap(e->bitmap_id);
        const Bitmap& window = bitmap(e->bitmap_id + 1);
        const int x = m->x_callback != nullptr ? round_offset(m->x_callback(e)) : 0;
        const int y = m->y_callback != nullptr ? round_offset(m->y_callback(e)) : 0;
        const int width = std::min(window.width, strip.width), height = std::min(window.height, strip.height);
        blit(dc, e->bitmap_id, e->x, e->y, std::clamp(x, 0, strip.width - width),
             std::clamp(y, 0, strip.height - height), width, height, clear);
        break;
    }
    case afcp::kText:
        draw_text(g, reinterpret_cast<TextElement*>(e));
        break;
    default:
        throw std::runtime_error("an element of " + std::string(g.header->name) + " has the unknown kind " +
                                 std::to_string(e->kind));
    }
    if (e->child_list == nullptr) return;
    for (ElementHead** child = e->child_list; *child != nullptr; ++child) draw_element(g, *child, depth + 1);
}

void PanelHost::prepare_text_buffers(ElementHead* e, int depth) {
    if (depth > kDeepestTree) return;  // draw() reports the loop
    if (e->kind == afcp::kText) {
        auto* t = reinterpret_cast<TextElement*>(e);
        if (t->max_length < 0 || t->max_length > 4096)
            throw std::runtime_error("a text element holds the maximum length " + std::to_string(t->max_length));
        std::vector<char>& buffer = text_buffers_[t];
        buffer.assign(static_cast<size_t>(t->max_length) + 1 + kTextGuard, '\0');
        t->text_buffer = buffer.data();
    }
    if (e->child_list == nullptr) return;
    for (ElementHead** child = e->child_list; *child != nullptr; ++child) prepare_text_buffers(*child, depth + 1);
}

HFONT PanelHost::font(const TextElement& t) {
    // A legible height for the box: 40 px in a 64 px box, and narrow enough that the longest text fits.
    const int height = t.box_height * 5 / 8;
    const int width = std::min(height / 2, t.box_width / (t.max_length + 1));
    char face[sizeof t.font_face + 1] = {};
    std::memcpy(face, t.font_face, sizeof t.font_face);
    const std::string key = std::string(face) + "/" + std::to_string(t.font_weight) + "/" +
                            std::to_string(t.character_set) + "/" + std::to_string(height) + "/" +
                            std::to_string(width);
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    HFONT f = CreateFontA(height, width, 0, 0, t.font_weight, FALSE, FALSE, FALSE, static_cast<DWORD>(t.character_set),
                          OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, face);
    if (f == nullptr) throw std::runtime_error(std::string("cannot make a font for the face '") + face + "'");
    return fonts_[key] = f;
}

void PanelHost::draw_text(Gauge& g, TextElement* t) {
    for (afcp::ModuleVariable& source : t->source)
        if (source.token != 0) simulator_.read(source);
    std::vector<char>& buffer = text_buffers_.at(t);
    t->text_buffer = buffer.data();
    if (t->text_callback != nullptr) t->text_callback(t);
    const size_t room = static_cast<size_t>(t->max_length) + 1;
    for (size_t i = room; i < buffer.size(); ++i)
        if (buffer[i] != '\0')
            throw std::runtime_error("a text callback of " + std::string(g.header->name) + " wrote past its " +
                                     std::to_string(room) + "-byte buffer");

    HDC dc = g.surface->dc();
    fill(dc, t->head.x, t->head.y, t->box_width, t->box_height, colour(t->background_colour));
    RECT box{t->head.x, t->head.y, t->head.x + t->box_width, t->head.y + t->box_height};
    HGDIOBJ previous = SelectObject(dc, font(*t));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour(t->text_colour));
    DrawTextA(dc, buffer.data(), static_cast<int>(strnlen(buffer.data(), room)), &box, t->format_flags);
    SelectObject(dc, previous);
}

}  // namespace preview
