// gif-encode, gif-copy, gif-decode: the GIF codec's load, save and bitmap
// conversion from the command line. Warnings go to stderr; errors reach
// the probe's main, which prints them and exits 1.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/probe/probe_registry.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_image.h"
#include "platform/bmp_file.h"

namespace {

using pc::gif::TGIFImage;

void PrintWarnings(TGIFImage& gif)
{
    gif.OnWarning = [](const void*, pc::gif::TGIFSeverity, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
}

// Pixels that are pure black, as a mask.
pc::Bitmap BlackMask(const pc::Bitmap& bmp)
{
    pc::Bitmap mask(bmp.Width(), bmp.Height(), pc::PixelFormat::pf8bit);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            mask.ScanLine(y)[x] = bmp.Pixel(x, y) == pc::clBlack ? 1 : 0;
    return mask;
}

int GifEncode(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: gif-encode IN.bmp OUT.gif [--transparent-black]\n");
        return 1;
    }
    bool transparentBlack = false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--transparent-black") == 0) {
            transparentBlack = true;
        } else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    pc::Bitmap bmp = pc::LoadBmpFile(argv[1]);
    TGIFImage gif;
    PrintWarnings(gif);
    if (transparentBlack) {
        pc::Bitmap mask = BlackMask(bmp);
        gif.Assign(bmp, &mask);
    } else {
        gif.Assign(bmp);
    }
    gif.SaveToFile(argv[2]);
    return 0;
}

int GifCopy(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif-copy IN.gif OUT.gif\n");
        return 1;
    }
    TGIFImage gif;
    PrintWarnings(gif);
    gif.LoadFromFile(argv[1]);
    gif.SaveToFile(argv[2]);
    return 0;
}

int GifDecode(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif-decode IN.gif OUT.bmp\n");
        return 1;
    }
    TGIFImage gif;
    PrintWarnings(gif);
    gif.LoadFromFile(argv[1]);
    const pc::Bitmap* bmp = gif.GetBitmap();
    if (!bmp || bmp->Empty()) {
        std::fprintf(stderr, "%s\n", pc::gif::msg::kImageEmpty);
        return 1;
    }
    pc::SaveBmpFile(argv[2], *bmp);
    return 0;
}

pc::probe::ProbeRegistrar encodeReg("gif-encode", "IN.bmp OUT.gif [--transparent-black]", GifEncode);
pc::probe::ProbeRegistrar copyReg("gif-copy", "IN.gif OUT.gif", GifCopy);
pc::probe::ProbeRegistrar decodeReg("gif-decode", "IN.gif OUT.bmp", GifDecode);

} // namespace
