#include "preview/player.h"
#include "host/runner.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "art/kit/png.h"
#include "host/json.h"
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

// What the panel holds at a snapshot, for comparing another host with this one: the mode words, the references,
// every key event sent so far, and each gauge's texts with their boxes and its picture's file.
std::string state_json(const PanelHost& host, const std::string& snapshot) {
    const host_core::Panel& panel = host.panel();
    const host_core::References r = panel.references();
    host_core::Json j;
    j.open('{').key("snapshot").str(snapshot);
    j.key("words").open('{').key("engaged").num(panel.engaged()).key("armed").num(panel.armed()).close('}');
    j.key("references").open('{').key("altitude").num(r.altitude).key("radar_height").num(r.radar_height);
    j.key("hover_height").num(r.hover_height).key("fore_aft").num(r.fore_aft).key("lateral").num(r.lateral);
    j.close('}').key("events").open('[');
    for (const host_core::SentEvent& e : panel.simulator().events())
        j.open('[').num(e.event).num(e.parameter).close(']');
    j.close(']').key("gauges").open('{');
    for (size_t slot = 0; slot < panel.gauges().size(); ++slot) {
        const host_core::GaugeState& g = panel.gauge(static_cast<int>(slot));
        const std::string& name = panel.gauges()[slot].name;
        j.key(name.c_str()).open('{').key("picture").str(picture_file(snapshot, name)).key("texts").open('[');
        for (const std::string& t : g.texts) j.str(t);
        j.close(']').key("text_boxes").open('[');
        for (const host_core::DrawStep& s : g.steps)
            if (s.kind == host_core::DrawStep::text_step)
                j.open('[').num(s.x).num(s.y).num(s.width).num(s.height).close(']');
        j.close(']').close('}');
    }
    j.close('}').close('}');
    return j.text() + "\n";
}

}  // namespace

void Player::play(const Scenario& scenario) {
    struct Hooks : host_core::PlayHooks {
        Player& player;
        explicit Hooks(Player& p) : player(p) {}
        void snapshot(const host_core::SnapshotStep& s) override {
            PanelHost& host = player.host_;
            host.draw();
            Snapshot shot{s.snapshot, {}, art::Canvas(0, 0), state_json(host, s.snapshot)};
            for (size_t i = 0; i < host.gauges().size(); ++i)
                shot.gauges.push_back(host.picture(static_cast<int>(i)).canvas());
            shot.sheet = contact_sheet(host, host.module_name() + ": " + s.snapshot);
            player.snapshots_.push_back(std::move(shot));
        }
        void log(const std::string& line) override {
            if (player.log_ != nullptr) std::fprintf(player.log_, "%s\n", line.c_str());
        }
    } hooks(*this);
    host_core::play(host_.panel(), scenario, hooks);
    host_.finish();
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
        const std::string state_file = folder + "/" + s.name + "-state.json";
        std::FILE* f = std::fopen(state_file.c_str(), "wb");
        const bool written_state = f != nullptr && std::fwrite(s.state.data(), 1, s.state.size(), f) == s.state.size();
        if (f != nullptr && std::fclose(f) != 0) throw std::runtime_error("cannot write " + state_file);
        if (!written_state) throw std::runtime_error("cannot write " + state_file);
    }
    return written;
}

}  // namespace preview
