#include "scene/pictures/tga_reader.h"

#include <algorithm>
#include <vector>

#include "platform/bitmap_reducer.h"
#include "platform/byte_reader.h"

namespace pc {

Bitmap ReadTga(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    ByteReader r(data);
    static constexpr uint8_t kHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    auto head = r.take(12);
    if (!std::equal(head.begin(), head.end(), kHeader))
        throw BadInput("Only uncompressed true-colour TGA pictures can be read");
    const int width = r.u16le(), height = r.u16le();
    const int bits = r.u8();
    const uint8_t descriptor = r.u8();
    if (width == 0 || height == 0)
        throw BadInput("TGA picture of size zero");
    if (bits != 24 && bits != 32)
        throw BadInput("Only 24 and 32-bit TGA pictures can be read");
    CheckPictureSize(width, height, limits);
    const int bpp = bits / 8;
    const int64_t rowBytes = CheckedMul(width, bpp);
    // Checked against the file before the picture is allocated.
    auto pixels = r.take(size_t(CheckedMul(rowBytes, height)));

    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;
    const PictureSize fit = maxSide > 0 ? FitInside(width, height, maxSide) : PictureSize{width, height};
    if (fit.width == width && fit.height == height)
        CheckPictureMemory(width, height, 24);
    RowReducer rows(width, height, fit, !topDown);
    std::vector<uint8_t> bgr(size_t(width) * 3);
    for (int fy = 0; fy < height; ++fy) {
        const uint8_t* in = pixels.data() + rowBytes * fy;
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = in + int64_t(rightToLeft ? width - 1 - x : x) * bpp;
            std::copy(p, p + 3, &bgr[size_t(x) * 3]);
        }
        rows.PutRow(bgr.data());
    }
    return rows.Take();
}

int64_t TgaBytesNeeded(std::span<const uint8_t> head)
{
    if (head.size() < kTgaHeaderBytes)
        return int64_t(head.size());
    const int64_t width = head[12] | head[13] << 8, height = head[14] | head[15] << 8;
    return int64_t(kTgaHeaderBytes) + width * height * (head[16] / 8);
}

} // namespace pc
