// Draws every bitmap of the module this generator is built for, as Windows .bmp files for the resource
// compiler (8-bit pictures reduced to their palettes first), and a PNG preview of each:
//   artgen <folder>  ->  <folder>/<variant>/XXXX.bmp (XXXX the resource id in hex),
//                        <folder>/preview/<variant>-XXXX.png
#include <cstdio>
#include <filesystem>
#include <string>

#include "art/generator/pictures.h"
#include "art/kit/bitmap_file.h"
#include "art/kit/palette.h"
#include "art/kit/png.h"
#include "variants/variant.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    const std::string module = afcp::Variant::module_name;
    const std::string variant = module.substr(0, module.size() - std::string("panel").size());
    std::filesystem::create_directories(folder / variant);
    std::filesystem::create_directories(folder / "preview");
    for (art::Picture& p : art::pictures()) {
        char name[16];
        std::snprintf(name, sizeof name, "%04X", p.id);
        std::string error = p.depth == 8 ? art::quantize(p.canvas, p.plain) : std::string();
        if (error.empty())
            error = art::write_bmp((folder / variant / (std::string(name) + ".bmp")).string(), p.canvas, p.depth);
        if (error.empty())
            error = art::write_png((folder / "preview" / (variant + "-" + name + ".png")).string(), p.canvas);
        if (!error.empty()) {
            std::fprintf(stderr, "artgen: %04X: %s\n", p.id, error.c_str());
            return 1;
        }
    }
    return 0;
}
