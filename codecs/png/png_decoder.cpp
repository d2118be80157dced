#include "codecs/png/png_decoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "codecs/png/png_chunk.h"
#include "codecs/png/png_crc.h"
#include "codecs/png/png_errors.h"
#include "codecs/png/png_filters.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_row_convert.h"

namespace pc::png {

namespace {

// The data of a run of IDAT chunks, one chunk at a time. Each chunk's CRC
// is checked before its data is used.
class IdatSource {
public:
    // The first chunk's size comes from the caller; it must fit in the file.
    IdatSource(ByteReader& in, uint32_t size) : in_(in)
    {
        if (uint64_t(size) + 4 > in_.remaining())
            throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
        Enter(size);
    }

    // The next chunk's data; EPNGMissingMultipleIDAT when the run ends.
    std::span<const uint8_t> Next()
    {
        if (!first_) {
            in_.seek(end_ + 4);
            ChunkHead head = ReadChunkHead(in_);
            if (head.name != "IDAT")
                throw EPNGMissingMultipleIDAT(kMsgMissingMultipleIdat);
            Enter(head.length);
        }
        first_ = false;
        return in_.rest().subspan(0, end_ - in_.pos());
    }

    // Steps over what is left of the run, checking each chunk's CRC.
    void SkipRest()
    {
        in_.seek(end_ + 4);
        while (in_.remaining() >= 8) {
            auto peek = in_.rest();
            if (std::memcmp(peek.data() + 4, "IDAT", 4) != 0)
                break;
            ChunkHead head = ReadChunkHead(in_);
            Enter(head.length);
            in_.seek(end_ + 4);
        }
    }

private:
    // The reader stands at the data of a chunk of `size` bytes that, with
    // its CRC, fits in the file (ReadChunkHead or the constructor saw to it).
    void Enter(uint32_t size)
    {
        auto data = in_.rest().subspan(0, size);
        auto crc = in_.rest().subspan(size, 4);
        uint32_t stored = uint32_t(crc[0]) << 24 | uint32_t(crc[1]) << 16 | uint32_t(crc[2]) << 8 | crc[3];
        if (stored != ChunkCrc("IDAT", data))
            throw EPngInvalidCRC(kMsgInvalidCrc);
        end_ = in_.pos() + size;
    }

    ByteReader& in_;
    size_t end_ = 0;
    bool first_ = true;
};

// Inflates exactly the bytes asked for, or throws.
class RowInflater {
public:
    explicit RowInflater(IdatSource& source) : source_(source)
    {
        int ret = inflateInit(&z_);
        if (ret != Z_OK)
            RaiseZlibError(ret);
    }
    ~RowInflater() { inflateEnd(&z_); }
    RowInflater(const RowInflater&) = delete;
    RowInflater& operator=(const RowInflater&) = delete;

    void Read(uint8_t* dst, size_t n)
    {
        z_.next_out = dst;
        z_.avail_out = uInt(n);
        while (z_.avail_out > 0) {
            if (ended_)
                throw EPNGMissingMultipleIDAT(kMsgMissingMultipleIdat);
            if (z_.avail_in == 0) {
                auto block = source_.Next();
                z_.next_in = const_cast<Bytef*>(block.data());
                z_.avail_in = uInt(block.size());
                continue; // an empty chunk just moves on to the next
            }
            uInt inBefore = z_.avail_in, outBefore = z_.avail_out;
            int ret = inflate(&z_, Z_NO_FLUSH);
            if (ret == Z_STREAM_END) {
                ended_ = true;
                continue;
            }
            if (ret != Z_OK)
                RaiseZlibError(ret);
            if (z_.avail_in == inBefore && z_.avail_out == outBefore)
                RaiseZlibError(Z_BUF_ERROR);
        }
    }

private:
    IdatSource& source_;
    z_stream z_{};
    bool ended_ = false;
};

struct RowBuffers {
    explicit RowBuffers(size_t rowBytes) : a(rowBytes + 1, 0), b(rowBytes + 1, 0) {}
    uint8_t* current() { return (used ? b : a).data(); }
    uint8_t* previous() { return (used ? a : b).data(); }
    void swap() { used = !used; }
    void clearPrevious(size_t n) { std::memset(previous(), 0, n + 1); }
    std::vector<uint8_t> a, b;
    bool used = false;
};

// Each row starts with one of the five filter types; anything else is
// broken data, not a row to take as it stands.
void CheckFilterType(uint8_t filter, int64_t row)
{
    if (filter > kFilterPaeth)
        throw EPNGZLIBError(kMsgZlibError, std::string(MessageText(kMsgZlibError)) + "unknown filter type " +
                                               std::to_string(filter) + " in row " + std::to_string(row));
}

void DecodePlain(RowInflater& z, TChunkIHDR& h, DecodeRowFn copy, const SampleKey* key)
{
    int64_t rowBytes = BytesForPixels(h.Width, h.ColorType, h.BitDepth);
    int bpp = FilterOffset(h.ColorType, h.BitDepth);
    RowBuffers rows{size_t(rowBytes)};
    for (uint32_t y = 0; y < h.Height; ++y) {
        uint8_t* cur = rows.current();
        z.Read(cur, size_t(rowBytes) + 1);
        CheckFilterType(cur[0], y);
        UnfilterRow(cur[0], cur + 1, rows.previous() + 1, size_t(rowBytes), bpp);
        copy(cur + 1, h.Scanline(int(y)), h.SideScanline(int(y)), h.Width, rowBytes, key);
        rows.swap();
    }
}

void DecodeAdam7(RowInflater& z, TChunkIHDR& h, DecodeRowFn copy, const SampleKey* key)
{
    int bpp = FilterOffset(h.ColorType, h.BitDepth);
    int bits = h.DibBits();
    int64_t widest = PassColumns(h.Width, 0);
    for (int p = 1; p < 7; ++p)
        widest = std::max(widest, PassColumns(h.Width, p));
    RowBuffers rows(size_t(BytesForPixels(widest, h.ColorType, h.BitDepth)));
    // One pass row in DIB layout before its pixels are spread over the picture;
    // spare bytes for the 2-bit rows, which expand a whole byte at a time.
    std::vector<uint8_t> dibRow(size_t(DibStride(widest, bits)) + 4);
    std::vector<uint8_t> sideRow(static_cast<size_t>(widest));
    for (int p = 0; p < 7; ++p) {
        const Adam7Pass& pass = kAdam7[p];
        int64_t cols = PassColumns(h.Width, p);
        int64_t rowBytes = BytesForPixels(cols, h.ColorType, h.BitDepth);
        if (rowBytes == 0)
            continue;
        rows.clearPrevious(size_t(rowBytes));
        for (int64_t y = pass.rowStart; y < h.Height; y += pass.rowIncrement) {
            uint8_t* cur = rows.current();
            z.Read(cur, size_t(rowBytes) + 1);
            CheckFilterType(cur[0], y);
            UnfilterRow(cur[0], cur + 1, rows.previous() + 1, size_t(rowBytes), bpp);
            copy(cur + 1, dibRow.data(), sideRow.data(), cols, rowBytes, key);
            uint8_t* dib = h.Scanline(int(y));
            uint8_t* side = h.SideScanline(int(y));
            for (int64_t k = 0; k < cols; ++k) {
                int64_t column = pass.columnStart + k * pass.columnIncrement;
                MovePixel(dibRow.data(), k, dib, column, bits);
                if (side)
                    side[column] = sideRow[size_t(k)];
            }
            rows.swap();
        }
    }
}

// Bytes of the filtered rows, filter bytes included, plain or Adam7.
int64_t FilteredBytes(const TChunkIHDR& h, int interlaceMethod)
{
    if (interlaceMethod != 1)
        return CheckedMul(BytesForPixels(h.Width, h.ColorType, h.BitDepth) + 1, h.Height);
    int64_t total = 0;
    for (int p = 0; p < 7; ++p) {
        const Adam7Pass& pass = kAdam7[p];
        int64_t rowBytes = BytesForPixels(PassColumns(h.Width, p), h.ColorType, h.BitDepth);
        if (rowBytes == 0 || h.Height <= uint32_t(pass.rowStart))
            continue;
        int64_t rows = (int64_t(h.Height) - pass.rowStart + pass.rowIncrement - 1) / pass.rowIncrement;
        total = CheckedAdd(total, CheckedMul(rowBytes + 1, rows));
    }
    return total;
}

// Data bytes of the run of IDAT chunks whose first one starts at `data`
// with `firstSize` bytes; a broken chunk ends the count (decoding reports it).
uint64_t IdatRunBytes(std::span<const uint8_t> data, uint32_t firstSize)
{
    uint64_t total = firstSize;
    uint64_t pos = uint64_t(firstSize) + 4;
    while (pos + 8 <= data.size() && std::memcmp(data.data() + pos + 4, "IDAT", 4) == 0) {
        const uint8_t* p = data.data() + pos;
        uint32_t length = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        total += length;
        pos += uint64_t(length) + 12;
    }
    return total;
}

// deflate never expands data more than 1032 times (258-byte matches at
// 2 bits each).
constexpr uint64_t kMaxInflateRatio = 1032;

} // namespace

void PrepareGreyPalette(TChunkIHDR& h)
{
    int n = 1 << h.DibBits();
    for (int i = 0; i < n; ++i) {
        auto v = uint8_t((i * 255 + (n - 1) / 2) / (n - 1));
        h.ColorTable[size_t(i)] = RGBQuad{v, v, v, 0};
    }
}

void DecodeImageData(ByteReader& in, uint32_t firstSize, TChunkIHDR& h, int interlaceMethod,
                     const std::optional<SampleKey>& key)
{
    DecodeRowFn copy = PickDecodeRow(h.ColorType, h.BitDepth);
    if (!copy)
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    IdatSource source(in, firstSize);
    // Rows are allocated only when the file holds the data for them: a
    // tiny file declaring a huge picture fails before any memory is taken.
    if (uint64_t(FilteredBytes(h, interlaceMethod)) > kMaxInflateRatio * (IdatRunBytes(in.rest(), firstSize) + 1))
        throw EPNGMissingMultipleIDAT(kMsgMissingMultipleIdat);
    h.PrepareImageData();
    if (h.ColorType == kGrey || h.ColorType == kGreyAlpha)
        PrepareGreyPalette(h);
    const SampleKey* marking = nullptr;
    if (key && h.BitDepth == 16 && (h.ColorType == kGrey || h.ColorType == kRgb)) {
        h.KeyMarks.assign(size_t(h.Width) * h.Height, 0);
        marking = &*key;
    }
    RowInflater z(source);
    if (interlaceMethod == 1)
        DecodeAdam7(z, h, copy, marking);
    else
        DecodePlain(z, h, copy, marking);
    source.SkipRest();
}

} // namespace pc::png
