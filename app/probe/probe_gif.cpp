// gif-encode, gif-copy, gif-decode: the GIF codec's load, save and bitmap
// conversion from the command line. Warnings go to stderr; errors reach
// the probe's main, which prints them and exits 1.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "app/probe/probe_registry.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_image.h"
#include "platform/errors.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"

namespace {

using pc::gif::TGIFImage;

void PrintWarnings(TGIFImage& gif)
{
    gif.OnWarning = [](const void*, pc::gif::TGIFSeverity, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// An enumerator by its name, with or without its two-letter prefix ("rmQuantize" or "quantize").
template <class E, size_t N>
std::optional<E> ByName(const std::string& text, const char* const (&names)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (Lower(text) == Lower(names[i]) || Lower(text) == Lower(names[i] + 2))
            return E(i);
    return std::nullopt;
}

const char* const kReductions[] = {"rmNone", "rmWindows20", "rmWindows256", "rmWindowsGray", "rmMonochrome",
                                   "rmGrayScale", "rmNetscape", "rmQuantize", "rmQuantizeWindows", "rmPalette"};
const char* const kDithers[] = {"dmNearest", "dmFloydSteinberg", "dmStucki", "dmSierra",
                                "dmJaJuNI", "dmSteveArche", "dmBurkes"};

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
    const char* usage = "usage: gif-encode IN.bmp OUT.gif [--reduction METHOD] [--dither MODE] [--transparent-black]\n";
    if (argc < 3) {
        std::fprintf(stderr, "%s", usage);
        return 1;
    }
    TGIFImage gif;
    PrintWarnings(gif);
    bool transparentBlack = false;
    for (int i = 3; i < argc; ++i) {
        const std::string opt = argv[i];
        if (opt == "--transparent-black") {
            transparentBlack = true;
        } else if (opt == "--reduction" && i + 1 < argc) {
            auto r = ByName<pc::gif::TColorReduction>(argv[++i], kReductions);
            if (!r || *r == pc::gif::TColorReduction::rmPalette) {
                std::fprintf(stderr, "unknown reduction method: %s\n", argv[i]);
                return 1;
            }
            gif.SetColorReduction(*r);
        } else if (opt == "--dither" && i + 1 < argc) {
            auto d = ByName<pc::gif::TDitherMode>(argv[++i], kDithers);
            if (!d) {
                std::fprintf(stderr, "unknown dither mode: %s\n", argv[i]);
                return 1;
            }
            gif.SetDitherMode(*d);
        } else {
            std::fprintf(stderr, "%s", usage);
            return 1;
        }
    }
    pc::Bitmap bmp = pc::LoadBmpFile(argv[1]);
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

// The BMP file a row at a time, so that a large picture is not held twice.
void SaveBmpByRows(const std::string& path, const pc::Bitmap& bmp)
{
    const std::vector<uint8_t> head = pc::EncodeBmpHeader(bmp);
    pc::SaveThroughTemp(path, [&](const std::string& temp) {
        std::ofstream out(temp, std::ios::binary);
        out.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
        for (int y = bmp.Height() - 1; y >= 0; --y)
            out.write(reinterpret_cast<const char*>(bmp.ScanLine(y)), std::streamsize(bmp.Stride()));
        if (!out.flush())
            throw pc::FileError("Cannot write file \"" + path + "\"");
    });
}

int GifDecode(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif-decode IN.gif OUT.bmp\n");
        return 1;
    }
    TGIFImage gif;
    PrintWarnings(gif);
    // The first frame is all that is drawn: the others are not read.
    const std::vector<uint8_t> bytes = pc::ReadFileBytes(argv[1]);
    pc::ByteReader r(bytes);
    gif.LoadFromStream(r, 1);
    const pc::Bitmap* bmp = gif.GetBitmap();
    if (!bmp || bmp->Empty()) {
        std::fprintf(stderr, "%s\n", pc::gif::msg::kImageEmpty);
        return 1;
    }
    SaveBmpByRows(argv[2], *bmp);
    return 0;
}

pc::probe::ProbeRegistrar encodeReg("gif-encode", "IN.bmp OUT.gif [--reduction METHOD] [--dither MODE] [--transparent-black]",
                                   GifEncode);
pc::probe::ProbeRegistrar copyReg("gif-copy", "IN.gif OUT.gif", GifCopy);
pc::probe::ProbeRegistrar decodeReg("gif-decode", "IN.gif OUT.bmp", GifDecode);

} // namespace
