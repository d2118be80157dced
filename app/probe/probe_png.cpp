// png-copy: load a PNG (telling what loading left out) and save it again;
// png-encode: a BMP saved as PNG the way publishing does (a 32-bit BMP keeps
// its fourth byte as alpha).
#include <cstdio>
#include <exception>

#include "app/probe/probe_registry.h"
#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"

namespace {

int Fail(const std::exception& e)
{
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
}

int PngCopy(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: png-copy IN.png OUT.png\n");
        return 1;
    }
    try {
        pc::png::TPNGObject png;
        png.LoadFromFile(argv[1]);
        if (!png.LoadNote().empty())
            std::fprintf(stderr, "%s\n", png.LoadNote().c_str());
        png.SaveToFile(argv[2]);
    } catch (const std::exception& e) {
        return Fail(e);
    }
    return 0;
}

int PngEncode(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: png-encode IN.bmp OUT.png\n");
        return 1;
    }
    try {
        pc::Bitmap bmp = pc::LoadBmpFile(argv[1]);
        pc::png::TPNGObject png;
        png.AssignBitmap(bmp);
        if (bmp.Bits() == 32) {
            png.CreateAlpha();
            for (int y = 0; y < bmp.Height(); ++y) {
                const uint8_t* src = bmp.ScanLine(y);
                uint8_t* alpha = png.AlphaScanline(y);
                for (int x = 0; x < bmp.Width(); ++x)
                    alpha[x] = src[4 * x + 3];
            }
        }
        png.SaveToFile(argv[2]);
    } catch (const std::exception& e) {
        return Fail(e);
    }
    return 0;
}

pc::probe::ProbeRegistrar copyReg("png-copy", "IN.png OUT.png", PngCopy);
pc::probe::ProbeRegistrar encodeReg("png-encode", "IN.bmp OUT.png", PngEncode);

} // namespace
