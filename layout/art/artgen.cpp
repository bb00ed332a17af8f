// Writes every bitmap of both modules as Windows .bmp files for the resource compiler, and a PNG preview of each:
//   artgen <folder>  ->  <folder>/korst/XXXX.bmp, <folder>/brevane/XXXX.bmp (XXXX the resource id in hex),
//                        <folder>/preview/<module>-XXXX.png
#include <cstdio>
#include <filesystem>
#include <string>

#include "layout/art/bitmap_file.h"
#include "layout/art/pictures.h"

namespace {

bool write_all(const std::filesystem::path& folder, const char* module, const std::vector<art::Picture>& pictures) {
    std::filesystem::create_directories(folder / module);
    std::filesystem::create_directories(folder / "preview");
    for (const art::Picture& p : pictures) {
        char name[16];
        std::snprintf(name, sizeof name, "%04X", p.id);
        std::string error =
            art::write_bmp((folder / module / (std::string(name) + ".bmp")).string(), p.canvas, p.depth);
        if (error.empty())
            error =
                art::write_png((folder / "preview" / (std::string(module) + "-" + name + ".png")).string(), p.canvas);
        if (!error.empty()) {
            std::fprintf(stderr, "artgen: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    return write_all(folder, "korst", art::korst_pictures()) && write_all(folder, "brevane", art::brevane_pictures())
               ? 0
               : 1;
}
