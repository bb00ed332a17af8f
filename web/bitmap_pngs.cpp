// Build tool: the module's bitmaps (BMP files by id) as PNG files of the same pixels, for the web page, which
// embeds them and decodes them where the Windows host loads the bitmap resources.
//   bitmap_pngs OUT-FOLDER BMP...
// Each BMP.bmp ("1000.bmp") becomes OUT-FOLDER/BMP.png. 8-bit bitmaps are expanded through their palette.
#include <cstdio>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

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
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 3);
        if (pixels == nullptr) {
            std::fprintf(stderr, "bitmap_pngs: cannot read %s: %s\n", path.c_str(), stbi_failure_reason());
            return 1;
        }
        const std::string out = folder + "/" + name + ".png";
        const int written = stbi_write_png(out.c_str(), w, h, 3, pixels, w * 3);
        stbi_image_free(pixels);
        if (written == 0) {
            std::fprintf(stderr, "bitmap_pngs: cannot write %s\n", out.c_str());
            return 1;
        }
    }
    return 0;
}
