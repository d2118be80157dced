#include "codecs/png/png_encoder.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "codecs/png/png_chunk.h"
#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_row_convert.h"

namespace pc::png {

namespace {

// Deflates into a chunk-sized buffer and writes each full buffer as an IDAT.
class IdatWriter {
public:
    IdatWriter(std::vector<uint8_t>& out, int level, int chunkSize) : out_(out), buffer_(size_t(chunkSize))
    {
        int ret = deflateInit(&z_, level);
        if (ret != Z_OK)
            RaiseZlibError(ret);
        Reset();
    }
    ~IdatWriter() { deflateEnd(&z_); }
    IdatWriter(const IdatWriter&) = delete;
    IdatWriter& operator=(const IdatWriter&) = delete;

    void Write(const uint8_t* data, size_t size)
    {
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = uInt(size);
        while (z_.avail_in > 0) {
            if (z_.avail_out == 0)
                Flush();
            int ret = deflate(&z_, Z_NO_FLUSH);
            if (ret != Z_OK)
                RaiseZlibError(ret);
        }
    }

    void Finish()
    {
        for (;;) {
            if (z_.avail_out == 0)
                Flush();
            int ret = deflate(&z_, Z_FINISH);
            if (ret == Z_STREAM_END)
                break;
            if (ret != Z_OK)
                RaiseZlibError(ret);
        }
        if (z_.avail_out < buffer_.size())
            Flush();
    }

private:
    void Flush()
    {
        WriteChunk(out_, "IDAT", std::span(buffer_.data(), buffer_.size() - z_.avail_out));
        Reset();
    }
    void Reset()
    {
        z_.next_out = buffer_.data();
        z_.avail_out = uInt(buffer_.size());
    }

    std::vector<uint8_t>& out_;
    std::vector<uint8_t> buffer_;
    z_stream z_{};
};

// The raw, previous and per-filter rows of one encode.
class RowFilterer {
public:
    RowFilterer(size_t rowBytes, FilterSet set, int bpp) : set_(set), bpp_(bpp), raw_(rowBytes), prev_(rowBytes, 0)
    {
        for (int f = 1; f < 5; ++f)
            if (set & (1 << f)) {
                store_[size_t(f)].resize(rowBytes);
                outputs_[f] = store_[size_t(f)].data();
            }
        line_.resize(rowBytes + 1);
    }
    uint8_t* Raw() { return raw_.data(); }
    void ClearPrevious() { std::fill(prev_.begin(), prev_.end(), 0); }

    // The filter byte and the filtered row of the raw row; the raw row then
    // becomes the previous one.
    void Emit(IdatWriter& w, size_t rowBytes)
    {
        uint8_t f = ChooseFilter(set_, raw_.data(), prev_.data(), outputs_, rowBytes, bpp_);
        line_[0] = f;
        std::memcpy(line_.data() + 1, f == 0 ? raw_.data() : outputs_[f], rowBytes);
        w.Write(line_.data(), rowBytes + 1);
        raw_.swap(prev_);
    }

private:
    FilterSet set_;
    int bpp_;
    std::vector<uint8_t> raw_, prev_, line_;
    std::vector<uint8_t> store_[5];
    uint8_t* outputs_[5] = {};
};

} // namespace

void EncodeImageData(std::vector<uint8_t>& out, const TChunkIHDR& h, const EncodeSettings& settings,
                     const std::optional<SampleKey>& key)
{
    EncodeRowFn copy = PickEncodeRow(h.ColorType, h.BitDepth);
    if (!copy || h.Image.Empty() || h.Image.Width() != int(h.Width) || h.Image.Height() != int(h.Height) ||
        h.DibBits() != DibBitsFor(h.ColorType, h.BitDepth))
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    const SampleKey* marked = key && !h.KeyMarks.empty() ? &*key : nullptr;
    int bpp = FilterOffset(h.ColorType, h.BitDepth);
    IdatWriter writer(out, std::clamp(settings.compressionLevel, 0, 9), settings.maxIdatSize);

    if (settings.interlaceMethod != 1) {
        int64_t rowBytes = BytesForPixels(h.Width, h.ColorType, h.BitDepth);
        RowFilterer rows(size_t(rowBytes), settings.filters, bpp);
        for (uint32_t y = 0; y < h.Height; ++y) {
            copy(h.Scanline(int(y)), h.SideScanline(int(y)), rows.Raw(), h.Width, rowBytes, marked);
            rows.Emit(writer, size_t(rowBytes));
        }
    } else {
        int bits = h.DibBits();
        int64_t widest = 0;
        for (int p = 0; p < 7; ++p)
            widest = std::max(widest, PassColumns(h.Width, p));
        RowFilterer rows(size_t(BytesForPixels(widest, h.ColorType, h.BitDepth)), settings.filters, bpp);
        std::vector<uint8_t> dibRow(size_t(DibStride(widest, bits)));
        std::vector<uint8_t> sideRow(static_cast<size_t>(widest));
        for (int p = 0; p < 7; ++p) {
            const Adam7Pass& pass = kAdam7[p];
            int64_t cols = PassColumns(h.Width, p);
            int64_t rowBytes = BytesForPixels(cols, h.ColorType, h.BitDepth);
            if (rowBytes == 0)
                continue;
            rows.ClearPrevious();
            for (int64_t y = pass.rowStart; y < h.Height; y += pass.rowIncrement) {
                const uint8_t* dib = h.Scanline(int(y));
                const uint8_t* side = h.SideScanline(int(y));
                // Packed rows start clean so bits past the last pass column stay 0.
                std::fill(dibRow.begin(), dibRow.end(), 0);
                for (int64_t k = 0; k < cols; ++k) {
                    int64_t column = pass.columnStart + k * pass.columnIncrement;
                    MovePixel(dib, column, dibRow.data(), k, bits);
                    if (side)
                        sideRow[size_t(k)] = side[column];
                }
                copy(dibRow.data(), sideRow.data(), rows.Raw(), cols, rowBytes, marked);
                rows.Emit(writer, size_t(rowBytes));
            }
        }
    }
    writer.Finish();
}

} // namespace pc::png
