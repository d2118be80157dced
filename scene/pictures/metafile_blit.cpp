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

namespace {

StretchMode StretchModeOf(int mode)
{
    switch (mode) {
    case 2: return StretchMode::OrPixels;     // WHITEONBLACK
    case 3: return StretchMode::ColorOnColor; // COLORONCOLOR
    case 4: return StretchMode::Halftone;     // HALFTONE
    default: return StretchMode::AndPixels;   // BLACKONWHITE
    }
}

// Holds a pattern's pixels and gives their bytes back to the device's count
// when the last brush using them goes.
struct HeldPattern {
    HeldPattern(Bitmap b, std::shared_ptr<int64_t> c) : tile(std::move(b)), count(std::move(c)), bytes(tile.DataSize())
    {
        *count += bytes;
    }
    HeldPattern(const HeldPattern&) = delete;
    HeldPattern& operator=(const HeldPattern&) = delete;
    ~HeldPattern() { *count -= bytes; }
    const Bitmap tile;
    const std::shared_ptr<int64_t> count;
    const int64_t bytes;
};

} // namespace

void Device::StretchBlt(double x, double y, double w, double h, const Bitmap* picture, Rect srcRect, uint32_t rop,
                        bool ddb)
{
    Prepare();
    Bitmap coloured;
    if (picture && ddb && picture->Bits() == 1) {
        coloured = *picture;
        coloured.Palette() = {ToQuad(state_.textColor), ToQuad(state_.bkColor)};
        picture = &coloured;
    }
    const uint8_t code = uint8_t(rop >> 16);
    const DPoint o = ToOutput(x, y), right = ToOutput(x + w, y), down = ToOutput(x, y + h);
    // Under a rotation or shear the rectangle becomes a parallelogram.
    if (std::abs(right.y - o.y) > 1e-6 || std::abs(down.x - o.x) > 1e-6) {
        canvas_.RopBlt({PointF{o.x, o.y}, PointF{right.x, right.y}, PointF{down.x, down.y}}, picture, srcRect, code);
        return;
    }
    const Point a = ToPixel(x, y), c = ToPixel(x + w, y + h);
    canvas_.RopBlt(Rect{a.x, a.y, c.x, c.y}, picture, srcRect, code, StretchModeOf(state_.stretchMode));
}

void Device::SetPixelV(double x, double y, TColor c)
{
    Prepare();
    const Point p = ToPixel(x, y);
    canvas_.SetPixel(p.x, p.y, c);
}

LogBrush Device::PatternBrush(Bitmap pattern, bool mono)
{
    if (pattern.Empty())
        return LogBrush{BrushStyle::Clear, clBlack};
    if (*patternBytes_ + pattern.DataSize() > kMetafilePatternBytes)
        throw BadInput("The metafile's pattern brushes take too much memory");
    auto held = std::make_shared<HeldPattern>(std::move(pattern), patternBytes_);
    return LogBrush{BrushStyle::Solid, clBlack, std::shared_ptr<const Bitmap>(held, &held->tile),
                    mono && held->tile.Bits() == 1};
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

Bitmap Device::ReadBitmap16(std::span<const uint8_t> header, std::span<const uint8_t> bits)
{
    Spend(kPictureSetUpCost);
    ByteReader r(header);
    r.skip(2); // type
    const int w = r.i16le(), h = r.i16le(), rowBytes = r.i16le(), planes = r.u8(), depth = r.u8();
    if (w <= 0 || h <= 0 || planes != 1 || (depth != 1 && depth != 24))
        return Bitmap();
    const int64_t need = (int64_t(w) * depth + 15) / 16 * 2;
    // One whose rows the record does not hold is passed over, as GDI fails
    // only that record.
    if (rowBytes < need || int64_t(rowBytes) * h > int64_t(bits.size()))
        return Bitmap();
    Spend(int64_t(w) * h);
    if (CheckedMul(DibStride(w, depth), h) > kMetafilePictureBytes)
        throw BadInput("A picture inside the metafile is too large (" + std::to_string(w) + " x " + std::to_string(h) +
                       " pixels)");
    Bitmap out(w, h, depth == 1 ? PixelFormat::pf1bit : PixelFormat::pf24bit);
    if (depth == 1)
        out.Palette() = {ToQuad(clBlack), ToQuad(clWhite)};
    for (int y = 0; y < h; ++y)
        std::copy_n(bits.begin() + int64_t(y) * rowBytes, need, out.ScanLine(y));
    return out;
}

} // namespace pc::metafile
