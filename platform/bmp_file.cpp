#include "platform/bmp_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>

#include "platform/bitmap_reducer.h"
#include "platform/byte_reader.h"
#include "platform/file_io.h"

namespace pc {

namespace {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

struct Header {
    int64_t width = 0, height = 0;
    bool topDown = false;
    int bits = 0;
    uint32_t compression = BI_RGB;
    uint32_t colorsUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0};
    bool core = false;
    uint32_t headerSize = 0;
};

// Value of one masked channel scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0, bits = 0;
    explicit Channel(uint32_t m = 0) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            bits = std::popcount(m >> shift);
            if (bits > 8) { // keep the top 8 bits
                shift += bits - 8;
                bits = 8;
            }
        }
    }
    uint8_t get(uint32_t v) const
    {
        if (!mask)
            return 0;
        uint32_t x = (v & mask) >> shift & ((1u << bits) - 1);
        // Replicate the bits so a full-scale value maps to 255.
        uint32_t r = 0;
        int filled = 0;
        while (filled < 8) {
            r = r << bits | x;
            filled += bits;
        }
        return uint8_t(r >> (filled - 8));
    }
};

Header ReadHeader(ByteReader& r)
{
    Header h;
    size_t infoStart = r.pos();
    h.headerSize = r.u32le();
    if (h.headerSize == 12) {
        h.core = true;
        h.width = r.u16le();
        h.height = r.u16le();
        r.u16le();
        h.bits = r.u16le();
    } else if (h.headerSize >= 16 && h.headerSize <= 124) {
        h.width = r.i32le();
        int32_t height = r.i32le();
        if (height == INT32_MIN)
            throw BadInput("invalid BMP height");
        h.topDown = height < 0;
        h.height = height < 0 ? -int64_t(height) : height;
        r.u16le();
        h.bits = r.u16le();
        if (h.headerSize >= 20)
            h.compression = r.u32le();
        if (h.headerSize >= 40) {
            r.skip(12); // image size, resolution
            h.colorsUsed = r.u32le();
            r.u32le();
        }
        if (h.headerSize == 64) // OS/2 2.x: its compression numbers differ
            if (h.compression != BI_RGB)
                throw BadInput("unsupported BMP compression");
        if (h.headerSize >= 52) {
            h.masks[0] = r.u32le();
            h.masks[1] = r.u32le();
            h.masks[2] = r.u32le();
        }
        if (h.headerSize >= 56)
            h.masks[3] = r.u32le();
        r.seek(infoStart + h.headerSize);
    } else {
        throw BadInput("unsupported BMP header size");
    }
    if (h.width <= 0 || h.height <= 0)
        throw BadInput("invalid BMP size");
    switch (h.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: throw BadInput("unsupported BMP bit depth");
    }
    switch (h.compression) {
    case BI_RGB: break;
    case BI_RLE8: if (h.bits != 8 || h.topDown) throw BadInput("invalid BMP compression"); break;
    case BI_RLE4: if (h.bits != 4 || h.topDown) throw BadInput("invalid BMP compression"); break;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS:
        if (h.bits != 16 && h.bits != 32) throw BadInput("invalid BMP compression");
        if (h.headerSize == 40) { // masks follow the 40-byte header
            h.masks[0] = r.u32le();
            h.masks[1] = r.u32le();
            h.masks[2] = r.u32le();
            if (h.compression == BI_ALPHABITFIELDS)
                h.masks[3] = r.u32le();
        }
        break;
    default: throw BadInput("unsupported BMP compression");
    }
    return h;
}

// B,G,R pixels of one row of a bitmap of the given depth.
void RowToBgr(const uint8_t* src, int bits, int width, const std::vector<RGBQuad>& palette, uint8_t* bgr)
{
    for (int x = 0; x < width; ++x, bgr += 3) {
        if (bits <= 8) {
            const int bit = x * bits;
            const unsigned index = unsigned(src[bit >> 3] >> (8 - bits - (bit & 7))) & ((1u << bits) - 1);
            const RGBQuad& q = palette[index];
            bgr[0] = q.blue;
            bgr[1] = q.green;
            bgr[2] = q.red;
        } else {
            const uint8_t* p = src + int64_t(x) * (bits / 8);
            bgr[0] = p[0];
            bgr[1] = p[1];
            bgr[2] = p[2];
        }
    }
}

// Where decoded rows go: the picture at its own size and depth, or a
// shrinking reducer that sees them as B,G,R.
class RowTarget {
public:
    RowTarget(const Header& h, PixelFormat pf, const std::vector<RGBQuad>& palette, int maxSide)
        : height_(int(h.height)), topDown_(h.topDown), palette_(palette)
    {
        const PictureSize fit = maxSide > 0 ? FitInside(int(h.width), int(h.height), maxSide)
                                            : PictureSize{int(h.width), int(h.height)};
        if (fit.width != h.width || fit.height != h.height) {
            reducer_.emplace(int(h.width), int(h.height), fit, !h.topDown);
            row_ = Bitmap(int(h.width), 1, pf);
            bgr_.resize(size_t(h.width) * 3);
        } else {
            CheckPictureMemory(h.width, h.height, BitsPerPixel(pf));
            picture_ = Bitmap(int(h.width), int(h.height), pf);
            if (BitsPerPixel(pf) <= 8)
                picture_.Palette() = palette;
        }
    }

    // The row to write file row fy (counted in file order) into; Done()
    // then hands it on.
    uint8_t* Row(int64_t fy) { return reducer_ ? row_.ScanLine(0) : picture_.ScanLine(PictureRow(fy)); }
    void Done()
    {
        if (!reducer_)
            return;
        RowToBgr(row_.ScanLine(0), row_.Bits(), row_.Width(), palette_, bgr_.data());
        reducer_->PutRow(bgr_.data());
    }
    // n rows of palette entry 0 (what RLE leaves where it draws nothing).
    void BlankRows(int64_t n)
    {
        if (reducer_)
            reducer_->PutRows(n, FromQuad(palette_[0]));
    }
    Bitmap Take() { return reducer_ ? reducer_->Take() : std::move(picture_); }

private:
    int PictureRow(int64_t fy) const { return int(topDown_ ? fy : height_ - 1 - fy); }

    int height_;
    bool topDown_;
    const std::vector<RGBQuad>& palette_;
    Bitmap picture_;
    std::optional<RowReducer> reducer_;
    Bitmap row_;
    std::vector<uint8_t> bgr_;
};

// RLE rows run bottom-up; x and y count in the file's order. Each row is
// handed on once the codes move past it; rows the codes skip, or leave after
// the end-of-picture code, are left at index 0. Codes that stop before the
// last row without that code are a cut-off file.
void DecodeRle(ByteReader& r, const Header& h, RowTarget& target)
{
    int64_t x = 0, y = 0;
    const int64_t w = h.width, ht = h.height;
    const bool four = h.compression == BI_RLE4;
    Bitmap row(int(w), 1, four ? PixelFormat::pf4bit : PixelFormat::pf8bit);
    int64_t rowsOut = 0; // file rows already handed on
    bool drawn = false;  // whether the codes drew in row y
    // Rows nothing was drawn in are handed on together, when a drawn row or
    // the end follows: a few bytes of codes may end thousands of rows.
    auto moveTo = [&](int64_t newY) {
        if (y < ht && drawn) {
            target.BlankRows(y - rowsOut);
            std::memcpy(target.Row(y), row.ScanLine(0), size_t(row.Stride()));
            target.Done();
            rowsOut = y + 1;
            std::memset(row.ScanLine(0), 0, size_t(row.Stride()));
            drawn = false;
        }
        y = newY;
        if (y >= ht && rowsOut < ht) {
            target.BlankRows(ht - rowsOut);
            rowsOut = ht;
        }
    };
    auto put = [&](uint32_t index) {
        if (x < w && y < ht) {
            row.SetRawPixel(int(x), 0, index);
            drawn = true;
        }
        ++x;
    };
    while (!r.atEnd() && y < ht) {
        uint8_t count = r.u8();
        uint8_t value = r.u8();
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            moveTo(y + 1);
        } else if (value == 1) {
            moveTo(ht);
            return;
        } else if (value == 2) {
            x += r.u8();
            if (const uint8_t dy = r.u8())
                moveTo(y + dy);
        } else {
            int n = value;
            size_t bytes = four ? size_t(n + 1) / 2 : size_t(n);
            auto run = r.take((bytes + 1) & ~size_t(1));
            for (int i = 0; i < n; ++i)
                put(four ? ((i & 1) ? run[i / 2] & 15 : run[i / 2] >> 4) : run[i]);
        }
    }
    if (y < ht)
        throw Truncated();
}

} // namespace

Bitmap ReadBmp(std::span<const uint8_t> data, const PictureLimits& limits, int maxSide)
{
    ByteReader r(data);
    if (r.u8() != 'B' || r.u8() != 'M')
        throw BadInput("not a BMP file");
    r.skip(8);
    uint32_t offBits = r.u32le();
    Header h = ReadHeader(r);
    CheckPictureSize(h.width, h.height, limits);

    // Colour table.
    std::vector<RGBQuad> palette;
    if (h.bits <= 8) {
        uint32_t n = h.colorsUsed ? h.colorsUsed : (1u << h.bits);
        if (n > 256)
            throw BadInput("invalid BMP colour count");
        size_t entry = h.core ? 3 : 4;
        if (n * entry > r.remaining())
            throw Truncated();
        for (uint32_t i = 0; i < n; ++i) {
            auto e = r.take(entry);
            palette.push_back(RGBQuad{e[0], e[1], e[2], 0});
        }
        palette.resize(size_t(1) << h.bits); // indices past the table read black
    }
    if (offBits >= r.pos() && offBits < data.size())
        r.seek(offBits);

    const bool rle = h.compression == BI_RLE8 || h.compression == BI_RLE4;
    const int64_t stride = DibStride(h.width, h.bits);
    // The rows must be in the file before the picture is allocated.
    if (!rle && CheckedMul(stride, h.height - 1) + (CheckedMul(h.width, h.bits) + 7) / 8 > int64_t(r.remaining()))
        throw Truncated();

    const bool alphaMasks = h.bits == 32 && (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS);
    PixelFormat pf = h.bits <= 8 ? FormatForBits(h.bits) : (h.bits == 32 ? PixelFormat::pf32bit : PixelFormat::pf24bit);
    RowTarget target(h, pf, palette, maxSide);

    if (rle) {
        DecodeRle(r, h, target);
        return target.Take();
    }

    auto pixels = r.rest();

    uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], alphaMasks ? h.masks[3] : 0};
    if (h.bits == 16 && h.compression == BI_RGB) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    Channel cr(masks[0]), cg(masks[1]), cb(masks[2]), ca(masks[3]);

    for (int64_t fy = 0; fy < h.height; ++fy) {
        const uint8_t* src = pixels.data() + fy * stride;
        uint8_t* dst = target.Row(fy);
        if (h.bits <= 8 || h.bits == 24 || (h.bits == 32 && h.compression == BI_RGB)) {
            std::copy(src, src + (h.width * h.bits + 7) / 8, dst);
        } else {
            for (int64_t x = 0; x < h.width; ++x) {
                uint32_t v = h.bits == 16 ? uint32_t(src[x * 2] | src[x * 2 + 1] << 8)
                                          : uint32_t(src[x * 4] | src[x * 4 + 1] << 8 | src[x * 4 + 2] << 16 | uint32_t(src[x * 4 + 3]) << 24);
                uint8_t* d = dst + x * (h.bits == 32 ? 4 : 3);
                d[0] = cb.get(v);
                d[1] = cg.get(v);
                d[2] = cr.get(v);
                if (h.bits == 32)
                    d[3] = ca.mask ? ca.get(v) : 0;
            }
        }
        target.Done();
    }
    return target.Take();
}

BmpInfo ReadBmpInfo(std::span<const uint8_t> data)
{
    ByteReader r(data);
    if (r.u8() != 'B' || r.u8() != 'M')
        throw BadInput("not a BMP file");
    r.skip(12);
    Header h = ReadHeader(r);
    return {h.width, h.height, h.bits};
}

bool BmpLayoutMatches(std::span<const uint8_t> data)
{
    try {
        ByteReader r(data);
        if (r.u8() != 'B' || r.u8() != 'M')
            return false;
        r.skip(8);
        const int64_t offBits = r.u32le();
        const Header h = ReadHeader(r);
        const int64_t colours = h.bits > 8 ? 0 : h.colorsUsed ? h.colorsUsed : int64_t(1) << h.bits;
        const int64_t rowsAt = int64_t(r.pos()) + colours * (h.core ? 3 : 4);
        if (h.compression == BI_RLE8 || h.compression == BI_RLE4)
            return offBits >= rowsAt && offBits < int64_t(data.size());
        return offBits >= rowsAt && int64_t(data.size()) - offBits == CheckedMul(DibStride(h.width, h.bits), h.height);
    } catch (const Error&) {
        return false;
    }
}

std::vector<uint8_t> ReadBmpFileBytes(const std::string& path, const PictureLimits& limits)
{
    // File header, the largest info header and the masks after a 40-byte one.
    constexpr size_t kHeadBytes = 14 + 124 + 16;
    return ReadFileStart(path, kHeadBytes, [&](std::span<const uint8_t> head, int64_t fileSize) {
        ByteReader r(head);
        if (r.u8() != 'B' || r.u8() != 'M')
            throw BadInput("not a BMP file");
        r.skip(8);
        const int64_t offBits = r.u32le();
        const Header h = ReadHeader(r);
        CheckPictureSize(h.width, h.height, limits);
        // Where ReadBmp takes the rows from.
        const int64_t colours = h.bits > 8 ? 0 : h.colorsUsed ? h.colorsUsed : int64_t(1) << h.bits;
        const int64_t tableEnd = int64_t(r.pos()) + colours * (h.core ? 3 : 4);
        const int64_t rowsAt = offBits >= tableEnd && offBits < fileSize ? offBits : tableEnd;
        if (h.compression != BI_RLE8 && h.compression != BI_RLE4)
            return CheckedAdd(rowsAt, CheckedMul(DibStride(h.width, h.bits), h.height));
        // A code of two bytes draws a pixel or more, a delta of four moves
        // one or more; every row ends in a code and the picture in another.
        const int64_t codes = CheckedAdd(CheckedMul(CheckedMul(h.width, h.height), 4), CheckedMul(h.height + 1, 2));
        return CheckedAdd(rowsAt, std::min(codes, kPictureFileBytes));
    });
}

Bitmap LoadBmpFile(const std::string& path, const PictureLimits& limits, int maxSide)
{
    return ReadBmp(ReadBmpFileBytes(path, limits), limits, maxSide);
}

std::vector<uint8_t> EncodeBmpHeader(const Bitmap& bmp)
{
    if (bmp.Empty())
        throw Error("Cannot save an empty picture");
    const int bits = bmp.Bits();
    const uint32_t colors = bits <= 8 ? (1u << bits) : 0;
    const uint32_t offBits = 14 + 40 + colors * 4;
    const int64_t imageSize = CheckedMul(bmp.Stride(), bmp.Height());
    const int64_t fileSize = offBits + imageSize;
    if (fileSize > INT32_MAX)
        throw Error("Picture too large for a BMP file");
    std::vector<uint8_t> out;
    out.reserve(offBits);
    auto u16 = [&](uint32_t v) { out.push_back(uint8_t(v)); out.push_back(uint8_t(v >> 8)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
    out.push_back('B');
    out.push_back('M');
    u32(uint32_t(fileSize));
    u32(0);
    u32(offBits);
    u32(40);
    u32(uint32_t(bmp.Width()));
    u32(uint32_t(bmp.Height()));
    u16(1);
    u16(uint32_t(bits));
    u32(BI_RGB);
    u32(uint32_t(imageSize));
    u32(0);
    u32(0);
    u32(colors);
    u32(0);
    for (uint32_t i = 0; i < colors; ++i) {
        RGBQuad q = i < bmp.Palette().size() ? bmp.Palette()[i] : RGBQuad{};
        out.push_back(q.blue);
        out.push_back(q.green);
        out.push_back(q.red);
        out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> EncodeBmp(const Bitmap& bmp)
{
    std::vector<uint8_t> out = EncodeBmpHeader(bmp);
    out.reserve(out.size() + size_t(bmp.Stride()) * size_t(bmp.Height()));
    for (int y = bmp.Height() - 1; y >= 0; --y) {
        const uint8_t* row = bmp.ScanLine(y);
        out.insert(out.end(), row, row + bmp.Stride());
    }
    return out;
}

void SaveBmpFile(const std::string& path, const Bitmap& bmp)
{
    WriteFileAtomic(path, EncodeBmp(bmp));
}

} // namespace pc
