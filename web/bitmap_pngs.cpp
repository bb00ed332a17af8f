// Build tool: the module's bitmaps (BMP files by id) as PNG files of the same pixels, for the web page, which
// embeds them and decodes them where the Windows host loads the bitmap resources. Both files go through the
// imaging kit, as the artwork's own do.
//   bitmap_pngs OUT-FOLDER BMP...
// Each BMP.bmp ("1000.bmp") becomes OUT-FOLDER/BMP.png.
#include <cstdio>
#include <string>

#include "art/kit/bitmap_file.h"
#include "art/kit/png.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bitmap_pngs OUT-FOLDER BMP...\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (int i = 2; i < argc; ++i) {
        const std::string path = argv[i];
        const size_t slash = path.find_last_of('/');
        std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
        if (const size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
        const art::BitmapFile bmp = art::read_bmp(path);
        if (!bmp.error.empty()) {
            std::fprintf(stderr, "bitmap_pngs: %s: %s\n", path.c_str(), bmp.error.c_str());
            return 1;
        }
        if (const std::string error = art::write_png(folder + "/" + name + ".png", bmp.pixels); !error.empty()) {
            std::fprintf(stderr, "bitmap_pngs: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
