#include "scene/pictures/metafile_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "platform/bmp_file.h"
#include "platform/byte_reader.h"

#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

void Device::StretchBlt(double x, double y, double w, double h, const Bitmap* picture, Rect srcRect, uint32_t rop)
{
    Prepare();
    const Point a = ToPixel(x, y), c = ToPixel(x + w, y + h);
    const Rect dst{a.x, a.y, c.x, c.y};
    if (picture) {
        canvas_.StretchDraw(dst, *picture, srcRect, StretchMode::ColorOnColor);
        return;
    }
    const Rect box{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)};
    const Brush saved = canvas_.brush;
    switch (rop) {
    case 0x00F00021: break; // PATCOPY
    case 0x00000042: canvas_.brush = Brush{clBlack, BrushStyle::Solid}; break; // BLACKNESS
    case 0x00FF0062: canvas_.brush = Brush{clWhite, BrushStyle::Solid}; break; // WHITENESS
    default: return;
    }
    canvas_.FillRect(box);
    canvas_.brush = saved;
}

TColor MeanColour(const Bitmap& b)
{
    // Sums by palette index or straight from the bytes: a pattern may be as
    // large as a picture.
    uint64_t sum[3] = {0, 0, 0};
    const int bits = b.Bits();
    if (bits >= 24) {
        const int bpp = bits / 8;
        for (int y = 0; y < b.Height(); ++y) {
            const uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < b.Width(); ++x)
                for (int k = 0; k < 3; ++k)
                    sum[k] += row[int64_t(x) * bpp + k];
        }
    } else {
        uint64_t count[256] = {};
        const int perByte = 8 / bits, mask = (1 << bits) - 1;
        for (int y = 0; y < b.Height(); ++y) {
            const uint8_t* row = b.ScanLine(y);
            for (int x = 0; x < b.Width(); ++x)
                ++count[(row[x / perByte] >> (8 - bits - (x % perByte) * bits)) & mask];
        }
        const auto& pal = b.Palette();
        for (size_t i = 0; i < 256; ++i) {
            const RGBQuad q = i < pal.size() ? pal[i] : RGBQuad{};
            sum[0] += count[i] * q.blue, sum[1] += count[i] * q.green, sum[2] += count[i] * q.red;
        }
    }
    const uint64_t n = uint64_t(b.Width()) * b.Height();
    return RGB(uint8_t(sum[2] / n), uint8_t(sum[1] / n), uint8_t(sum[0] / n));
}

Bitmap Device::ReadPicture(std::span<const uint8_t> header, std::span<const uint8_t> bits, const PictureLimits& limits)
{
    // The size as the header gives it (core or info header); a header too
    // short to tell is left to the BMP reader to refuse.
    Spend(kPictureSetUpCost);
    ByteReader r(header);
    const uint32_t size = header.size() >= 4 ? r.u32le() : 0;
    if (header.size() >= (size == 12 ? 12u : 16u)) {
        int64_t w, h;
        if (size == 12) {
            w = r.u16le();
            h = r.u16le();
        } else {
            w = std::abs(int64_t(r.i32le()));
            h = std::abs(int64_t(r.i32le()));
        }
        r.u16le();
        const int depth = r.u16le();
        canvas_.Spend(CheckedMul(w, h));
        if (CheckedMul(DibStride(w, depth > 8 ? 32 : std::max(depth, 1)), h) > kMetafilePictureBytes)
            throw BadInput("A picture inside the metafile is too large (" + std::to_string(w) + " x " +
                           std::to_string(h) + " pixels)");
    }
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t total = uint32_t(14 + header.size() + bits.size());
    const uint32_t offBits = uint32_t(14 + header.size());
    std::memcpy(&file[2], &total, 4);
    std::memcpy(&file[10], &offBits, 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), bits.begin(), bits.end());
    return ReadBmp(file, limits);
}

} // namespace pc::metafile
