#include "preview/player.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "art/kit/png.h"
#include "engine/zolm_test.h"
#include "modes/state_block.h"

namespace preview {

namespace {

// Every gauge on one picture: a title, then the gauges in table order on rows, each under its name.
art::Canvas contact_sheet(const PanelHost& host, const std::string& title) {
    constexpr int margin = 16, gap = 24, label = 22, title_height = 34, widest_row = 1600;
    constexpr COLORREF paper = RGB(214, 216, 220), ink = RGB(24, 26, 30), rim = RGB(96, 98, 104);
    HFONT label_font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Tahoma");
    HFONT title_font = CreateFontA(-22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                                   CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Tahoma");

    // Places: shelves of cells as wide as the gauge or its name.
    struct Place {
        int x, y, cell;
    };
    std::vector<Place> places;
    HDC measure = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(measure, label_font);
    int x = margin, y = margin + title_height, shelf = 0, width = 0;
    for (const GaugeShape& g : host.gauges()) {
        SIZE text{};
        GetTextExtentPoint32A(measure, g.name.c_str(), static_cast<int>(g.name.size()), &text);
        const int cell = std::max(g.width + 2, static_cast<int>(text.cx));
        if (x > margin && x + cell > widest_row) {
            x = margin;
            y += shelf + gap;
            shelf = 0;
        }
        places.push_back({x, y, cell});
        x += cell + gap;
        width = std::max(width, x - gap + margin);
        shelf = std::max(shelf, label + g.height + 2);
    }
    SelectObject(measure, previous);
    DeleteDC(measure);

    Surface sheet(width, y + shelf + margin);
    HDC dc = sheet.dc();
    fill(dc, 0, 0, sheet.width(), sheet.height(), paper);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ink);
    previous = SelectObject(dc, title_font);
    RECT title_box{margin, margin, sheet.width() - margin, margin + title_height};
    DrawTextA(dc, title.c_str(), -1, &title_box, DT_LEFT | DT_TOP | DT_SINGLELINE);
    SelectObject(dc, label_font);
    for (size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        const GaugeShape& g = host.gauges()[i];
        RECT name_box{p.x, p.y, p.x + p.cell, p.y + label};
        DrawTextA(dc, g.name.c_str(), -1, &name_box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
        fill(dc, p.x, p.y + label, g.width + 2, g.height + 2, rim);
        BitBlt(dc, p.x + 1, p.y + label + 1, g.width, g.height, host.picture(static_cast<int>(i)).dc(), 0, 0, SRCCOPY);
    }
    SelectObject(dc, previous);
    DeleteObject(label_font);
    DeleteObject(title_font);
    return sheet.canvas();
}

std::string mode_names(uint32_t word) {
    using namespace afcp::bits;
    const std::pair<uint32_t, const char*> names[] = {
        {ALT, "ALT"}, {GS, "GS"}, {LOC, "LOC"}, {VOR, "VOR"}, {TDN, "TDN"}};
    std::string text;
    for (auto [bit, name] : names)
        if ((word & bit) != 0) text += std::string(text.empty() ? "" : " ") + name;
    return text.empty() ? "nothing" : text;
}

}  // namespace

void Player::play(const Scenario& scenario) {
    for (const Step& s : scenario.steps) {
        const size_t events_before = host_.simulator().events().size();
        try {
            step(s);
        } catch (const ScenarioError&) {
            throw;
        } catch (const std::exception& e) {
            throw ScenarioError(step_message(scenario, s, e.what()));
        }
        if (s.instruction == Instruction::click)
            say(scenario, s,
                "click " + host_.gauges()[static_cast<size_t>(s.gauge)].name + " " + std::to_string(s.x) + " " +
                    std::to_string(s.y) + ": " + last_click_);
        if (s.instruction == Instruction::command) say(scenario, s, "command " + s.text);
        if (s.instruction == Instruction::capture) say(scenario, s, "captured " + last_capture_);
        const std::vector<SentEvent>& events = host_.simulator().events();
        for (size_t i = events_before; i < events.size(); ++i) say(scenario, s, "sent " + describe_event(events[i]));
    }
    host_.finish();
}

void Player::step(const Step& s) {
    switch (s.instruction) {
    case Instruction::set:
        host_.simulator().set(s.token, s.value);
        break;
    case Instruction::parameter:
        host_.set_parameter(s.gauge, s.text);
        break;
    case Instruction::update:
        for (int i = 0; i < s.count; ++i) host_.frame();
        break;
    case Instruction::click:
        last_click_ = host_.click(s.gauge, s.x, s.y);
        break;
    case Instruction::command:
        command(s.text);
        break;
    case Instruction::capture:
        capture();
        break;
    case Instruction::snapshot: {
        host_.start();
        Snapshot shot{s.text, {}, art::Canvas(0, 0)};
        for (size_t i = 0; i < host_.gauges().size(); ++i)
            shot.gauges.push_back(host_.picture(static_cast<int>(i)).canvas());
        shot.sheet = contact_sheet(host_, host_.module_name() + ": " + s.text);
        snapshots_.push_back(std::move(shot));
        break;
    }
    }
}

void Player::command(const std::string& name) {
    host_.start();
    if (zolm_test_table() == nullptr)
        throw std::runtime_error("the engine has no commands yet: the AFCP gauge registers them on its first update");
    ZolmCounts counts{};
    zolm_test_counts(&counts);
    const afcp::CommandEntry* table = zolm_test_table();
    for (int32_t i = 0; i < counts.last_register_count; ++i)
        if (name == std::string(table[i].name, strnlen(table[i].name, sizeof table[i].name))) {
            zolm_test_call(name.c_str(), 0, 0);
            return;
        }
    throw std::runtime_error("unknown command '" + name + "'");
}

void Player::capture() {
    host_.start();
    if (zolm_test_block() == nullptr)
        throw std::runtime_error("the engine has no state block yet: the AFCP gauge attaches on its first update");
    last_capture_ = mode_names(zolm_test_capture());
}

void Player::say(const Scenario& scenario, const Step& s, const std::string& what) const {
    if (log_ != nullptr) std::fprintf(log_, "%s\n", step_message(scenario, s, what).c_str());
}

const Snapshot& Player::snapshot(const std::string& name) const {
    for (const Snapshot& s : snapshots_)
        if (s.name == name) return s;
    throw std::out_of_range("no snapshot '" + name + "'");
}

const art::Canvas& Player::picture(const std::string& snapshot_name, const std::string& gauge) const {
    const Snapshot& s = snapshot(snapshot_name);
    for (size_t i = 0; i < host_.gauges().size(); ++i)
        if (host_.gauges()[i].name == gauge) return s.gauges[i];
    throw std::out_of_range("no gauge '" + gauge + "'");
}

std::string picture_file(const std::string& snapshot, const std::string& gauge) {
    std::string name = gauge;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '-';
    return snapshot + "-" + name + ".png";
}

namespace {

// Makes a folder and the folders above it; true if it stands afterwards.
bool make_folder(const std::string& path) {
    for (size_t at = path.find_first_of("/\\", 1); at != std::string::npos; at = path.find_first_of("/\\", at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

int write_snapshots(const std::vector<Snapshot>& snapshots, const PanelHost& host, const std::string& folder) {
    if (!make_folder(folder)) throw std::runtime_error("cannot make the folder " + folder);
    int written = 0;
    auto write = [&](const std::string& file, const art::Canvas& picture) {
        const std::string error = art::write_png(folder + "/" + file, picture);
        if (!error.empty()) throw std::runtime_error(error);
        ++written;
    };
    for (const Snapshot& s : snapshots) {
        for (size_t i = 0; i < s.gauges.size(); ++i) write(picture_file(s.name, host.gauges()[i].name), s.gauges[i]);
        write(s.name + "-" + host.module_name() + ".png", s.sheet);
    }
    return written;
}

}  // namespace preview
