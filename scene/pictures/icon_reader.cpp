#include "scene/pictures/icon_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/bitmap_reducer.h"
#include "platform/bmp_file.h"
#include "platform/byte_reader.h"
#include "scene/pictures/picture_png.h"

namespace pc {

namespace {

struct Entry {
    int width, height, bits;
    uint32_t size, offset;
};

std::vector<Entry> ReadDirectory(ByteReader& r)
{
    const uint16_t reserved = r.u16le(), type = r.u16le(), count = r.u16le();
    if (reserved != 0 || (type != 1 && type != 2))
        throw BadInput("not an icon or cursor file");
    if (count == 0)
        throw BadInput("icon file without images");
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        Entry e;
        e.width = r.u8();
        e.height = r.u8();
        r.skip(4); // colour count, reserved, planes or hot spot x
        e.bits = type == 1 ? r.u16le() : (r.u16le(), 0); // a cursor keeps its hot spot y here
        e.size = r.u32le();
        e.offset = r.u32le();
        e.width = e.width ? e.width : 256;
        e.height = e.height ? e.height : 256;
        if (e.size == 0 || e.offset > r.size() || e.size > r.size() - e.offset)
            throw BadInput("icon image outside the file");
        entries.push_back(e);
    }
    return entries;
}

// The header fields of an icon image that place its parts.
struct DibLayout {
    int width = 0, height = 0, bits = 0;
    int64_t pixelStart = 0; // colour rows, after header, colour table and masks
    int64_t maskStart = 0;  // AND mask rows
};

DibLayout ReadLayout(std::span<const uint8_t> dib, const PictureLimits& limits)
{
    ByteReader r(dib);
    DibLayout d;
    const uint32_t headerSize = r.u32le();
    if (headerSize < 40 || headerSize > 124)
        throw BadInput("unsupported icon image header");
    const int32_t width = r.i32le(), doubleHeight = r.i32le();
    r.u16le();
    d.bits = r.u16le();
    const uint32_t compression = r.u32le();
    r.skip(12);
    const uint32_t colorsUsed = r.u32le();
    if (width <= 0 || doubleHeight <= 1)
        throw BadInput("invalid icon image size");
    if (compression != 0 && compression != 3)
        throw BadInput("unsupported icon image compression");
    if (d.bits <= 8 && colorsUsed > 256)
        throw BadInput("invalid icon colour count");
    // The stored height counts the AND mask too.
    d.width = width;
    d.height = doubleHeight / 2;
    CheckPictureSize(d.width, d.height, limits);
    d.pixelStart = headerSize;
    if (d.bits <= 8)
        d.pixelStart += 4 * int64_t(colorsUsed ? colorsUsed : 1u << d.bits);
    if (compression == 3 && headerSize == 40)
        d.pixelStart += 12;
    d.maskStart = CheckedAdd(d.pixelStart, CheckedMul(DibStride(d.width, d.bits), d.height));
    if (CheckedAdd(d.maskStart, CheckedMul(DibStride(d.width, 1), d.height)) > int64_t(dib.size()))
        throw BadInput("icon image truncated");
    return d;
}

// The colour part, read as the BMP it is without its file header.
Bitmap ReadColorPart(std::span<const uint8_t> dib, const DibLayout& d, const PictureLimits& limits)
{
    std::vector<uint8_t> file(14);
    file[0] = 'B';
    file[1] = 'M';
    const uint32_t total = uint32_t(14 + dib.size());
    const uint32_t offBits = uint32_t(14 + d.pixelStart);
    const int32_t height = d.height;
    std::memcpy(&file[2], &total, 4);
    std::memcpy(&file[10], &offBits, 4);
    file.insert(file.end(), dib.begin(), dib.end());
    std::memcpy(&file[14 + 8], &height, 4);
    return ReadBmp(file, limits);
}

Bitmap DrawDibIcon(std::span<const uint8_t> dib, const PictureLimits& limits, int maxSide)
{
    const DibLayout d = ReadLayout(dib, limits);
    const Bitmap color = ReadColorPart(dib, d, limits);
    const int64_t maskStride = DibStride(d.width, 1);
    const uint8_t* mask = dib.data() + d.maskStart;

    bool useAlpha = false;
    if (color.Bits() == 32)
        for (int y = 0; y < d.height && !useAlpha; ++y)
            for (int x = 0; x < d.width && !useAlpha; ++x)
                useAlpha = color.ScanLine(y)[4 * x + 3] != 0;

    const PictureSize fit = maxSide > 0 ? FitInside(d.width, d.height, maxSide) : PictureSize{d.width, d.height};
    if (fit.width == d.width && fit.height == d.height)
        CheckPictureMemory(d.width, d.height, 24);
    RowReducer rows(d.width, d.height, fit, false);
    std::vector<uint8_t> o(size_t(d.width) * 3);
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* m = mask + maskStride * (d.height - 1 - y);
        for (int x = 0; x < d.width; ++x) {
            const TColor c = color.Pixel(x, y);
            const uint8_t bgr[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
            if (useAlpha) {
                const unsigned a = color.ScanLine(y)[4 * x + 3];
                for (int k = 0; k < 3; ++k)
                    o[3 * size_t(x) + k] = uint8_t((bgr[k] * a + 255 * (255 - a) + 127) / 255);
            } else {
                // On screen: (white AND mask) XOR colour.
                const bool masked = m[x >> 3] & (0x80 >> (x & 7));
                for (int k = 0; k < 3; ++k)
                    o[3 * size_t(x) + k] = masked ? uint8_t(~bgr[k]) : bgr[k];
            }
        }
        rows.PutRow(o.data());
    }
    return rows.Take();
}

bool IsPng(std::span<const uint8_t> image)
{
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return image.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, image.begin());
}

// The depth an image is drawn at. Many files leave the directory's depth 0
// (cursors always do), so the image's own header says it where it can.
int ImageDepth(const Entry& e, std::span<const uint8_t> data)
{
    const auto image = data.subspan(e.offset, e.size);
    if (IsPng(image))
        return 32;
    if (image.size() >= 16)
        return image[14] | image[15] << 8;
    return e.bits;
}

} // namespace

Bitmap ReadIcon(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    ByteReader r(data);
    auto entries = ReadDirectory(r);
    for (Entry& e : entries)
        e.bits = ImageDepth(e, data);
    // The largest image, the deepest among equals.
    const Entry& best = *std::max_element(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        int64_t sa = int64_t(a.width) * a.height, sb = int64_t(b.width) * b.height;
        return sa != sb ? sa < sb : a.bits < b.bits;
    });
    auto image = data.subspan(best.offset, best.size);
    if (IsPng(image))
        return ReadPngOnWhite(image, limits, maxSide);
    return DrawDibIcon(image, limits, maxSide);
}

} // namespace pc
