// The PNG reader on arbitrary bytes: it may raise the codec's error, never
// crash; whatever it loads must save and load back to the same pixels.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_object.h"

// Mutations almost always break a CRC; mending them lets the fuzzer reach
// the chunk readers and the decoder. An odd last byte keeps the CRCs as they are.
static std::vector<uint8_t> WithGoodCrcs(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> f(data, data + size);
    if (size == 0 || (data[size - 1] & 1))
        return f;
    for (size_t pos = 8; pos + 12 <= f.size();) {
        uint32_t len = uint32_t(f[pos]) << 24 | uint32_t(f[pos + 1]) << 16 | uint32_t(f[pos + 2]) << 8 | f[pos + 3];
        if (len > f.size() - pos - 12)
            break;
        uint32_t crc = uint32_t(crc32(0, f.data() + pos + 4, uInt(len + 4)));
        for (int i = 0; i < 4; ++i)
            f[pos + 8 + len + size_t(i)] = uint8_t(crc >> (24 - 8 * i));
        pos += 12 + size_t(len);
    }
    return f;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto file = WithGoodCrcs(data, size);
    pc::png::TPNGObject png;
    // Smaller caps keep each run fast; the checks are the same.
    png.Limits.maxPixels = int64_t(1) << 20;
    png.MaxTextBytes = int64_t(1) << 20;
    try {
        png.LoadFromStream(file);
    } catch (const pc::png::PngException&) {
        return 0;
    }
    // Data taken in must go back out, in both layouts.
    for (uint8_t interlace : {0, 1}) {
        png.InterlaceMethod = interlace;
        png.Filters = pc::png::kAllFilters;
        auto bytes = png.SaveToBytes();
        pc::png::TPNGObject back;
        back.LoadFromStream(bytes);
        if (!(back.Header().Image == png.Header().Image) || back.Header().Alpha != png.Header().Alpha ||
            back.Alphas() != png.Alphas())
            std::abort();
    }
    pc::Bitmap canvas(png.Width(), png.Height());
    png.Draw(canvas, {0, 0, png.Width(), png.Height()});
    return 0;
}
