#include "scene/pictures/picture_png.h"

#include <array>
#include <cstring>
#include <vector>

#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_transparency_chunk.h"
#include "platform/bitmap_reducer.h"
#include "platform/byte_reader.h"

namespace pc {

namespace {

// Refuses, from the header alone, a picture whose pixels the codec could not
// hold within the budget: its DIB and, for the alpha types, an alpha plane.
// Anything that is not a plain header is left to the codec to report.
void CheckPngMemory(std::span<const uint8_t> data)
{
    static constexpr uint8_t kStart[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    if (data.size() < 26 || std::memcmp(data.data(), kStart, sizeof kStart) != 0)
        return;
    ByteReader r(data.subspan(16));
    const int64_t width = r.u32be(), height = r.u32be();
    const int depth = r.u8(), colorType = r.u8();
    const int bits = png::DibBitsFor(colorType, depth);
    if (width == 0 || height == 0 || bits == 0)
        return;
    int64_t bytes = CheckedMul(DibStride(width, bits), height);
    if (png::HasAlphaPlane(colorType))
        bytes = CheckedAdd(bytes, CheckedMul(width, height));
    CheckPictureBytes(bytes, width, height);
}

uint8_t OnWhite(unsigned sample, unsigned alpha)
{
    // The codec's own blend, over a white background.
    return uint8_t((sample * alpha + 255 + (255 - alpha) * 255) >> 8);
}

} // namespace

Bitmap ReadPngOnWhite(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    CheckPngMemory(data);
    png::TPNGObject picture;
    picture.Limits = limits;
    picture.LoadFromStream(data);
    const png::TChunkIHDR& h = picture.Header();
    const int width = int(h.Width), height = int(h.Height);
    const int bits = h.DibBits();
    // The codec keeps what the file stores: transparency comes from the
    // stored samples (palette index, exact key), gamma applies to what shows.
    // Alpha one row at a time, and only for a picture that has any.
    const png::TChunktRNS* trns = picture.Chunks().FindChunk<png::TChunktRNS>();
    std::vector<uint8_t> alpha(picture.Transparent() ? size_t(width) : 0);
    const std::array<uint8_t, 256>& gamma = picture.GammaTable;

    const PictureSize fit = maxSide > 0 ? FitInside(width, height, maxSide) : PictureSize{width, height};
    RowReducer rows(width, height, fit, false);
    std::vector<uint8_t> bgr(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = h.Scanline(y);
        if (!alpha.empty())
            picture.AlphaRow(trns, y, alpha.data());
        for (int x = 0; x < width; ++x) {
            uint8_t* o = &bgr[size_t(x) * 3];
            if (h.HasPalette) {
                const int bit = x * bits;
                const unsigned index = unsigned(src[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
                const RGBQuad& q = h.ColorTable[index];
                o[0] = q.blue, o[1] = q.green, o[2] = q.red;
            } else {
                std::memcpy(o, src + 3 * int64_t(x), 3);
            }
            for (int k = 0; k < 3; ++k)
                o[k] = gamma[o[k]];
            if (!alpha.empty() && alpha[x] != 255)
                for (int k = 0; k < 3; ++k)
                    o[k] = OnWhite(o[k], alpha[x]);
        }
        rows.PutRow(bgr.data());
    }
    return rows.Take();
}

} // namespace pc
