#include "codecs/gif/gif_lzw_decoder.h"

#include <algorithm>
#include <array>
#include <vector>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_interlace.h"
#include "codecs/gif/gif_stream.h"

namespace pc::gif {

namespace {

constexpr int kMaxCodes = 4096;

// All data sub-blocks up to the terminator, joined. A count larger than what
// is left is cut (with a warning) so the codes that are there still decode.
std::vector<uint8_t> GatherSubBlocks(ByteReader& r, const DecodeWarning& warn)
{
    std::vector<uint8_t> data;
    for (;;) {
        auto n = ReadByte(r);
        if (!n) {
            warn(msg::kPrematureEnd);
            break;
        }
        if (*n == 0)
            break;
        size_t count = *n;
        if (count > r.remaining()) {
            warn(msg::kPrematureEnd);
            count = r.remaining();
        }
        auto s = r.take(count);
        data.insert(data.end(), s.begin(), s.end());
    }
    return data;
}

// Places decoded indices row by row, following the interlace order.
class PixelSink {
public:
    PixelSink(uint8_t* pixels, int width, int height, bool interlaced)
        : pixels_(pixels), width_(width), rows_(RowOrder(height, interlaced))
    {
        if (width_ > 0 && !rows_.empty())
            row_ = pixels_ + int64_t(rows_[0]) * width_;
        else
            done_ = true;
    }
    bool done() const { return done_; }

    // Writes the string held reversed in stack[0..n).
    void PutReversed(const uint8_t* stack, int n)
    {
        while (n > 0 && !done_) {
            int run = std::min(n, width_ - x_);
            uint8_t* out = row_ + x_;
            for (int i = 0; i < run; ++i)
                out[i] = stack[n - 1 - i];
            n -= run;
            x_ += run;
            if (x_ == width_)
                NextRow();
        }
    }
    void Put(uint8_t v)
    {
        if (done_)
            return;
        row_[x_++] = v;
        if (x_ == width_)
            NextRow();
    }

private:
    void NextRow()
    {
        x_ = 0;
        if (++rowIndex_ >= rows_.size())
            done_ = true;
        else
            row_ = pixels_ + int64_t(rows_[rowIndex_]) * width_;
    }

    uint8_t* pixels_;
    int width_;
    std::vector<int> rows_;
    size_t rowIndex_ = 0;
    uint8_t* row_ = nullptr;
    int x_ = 0;
    bool done_ = false;
};

} // namespace

void LzwDecode(ByteReader& r, uint8_t* pixels, int width, int height, bool interlaced, const DecodeWarning& warn)
{
    auto codeSize = ReadByte(r);
    if (!codeSize)
        return;
    if (*codeSize < 1 || *codeSize > 11) {
        // Codes of such a size cannot fit the 4096-entry table.
        warn(msg::kBadCodeSize);
        SkipSubBlocks(r);
        return;
    }
    const std::vector<uint8_t> data = GatherSubBlocks(r, warn);

    const int clear = 1 << *codeSize;
    const int end = clear + 1;
    int codeWidth = *codeSize + 1;
    int limit = clear * 2;
    int nextFree = clear + 2;

    std::array<uint16_t, kMaxCodes> prefix{};
    std::array<uint8_t, kMaxCodes> suffix{};
    std::array<uint8_t, kMaxCodes + 1> stack{};

    uint64_t bitBuf = 0;
    int bitCount = 0;
    size_t bytePos = 0;

    PixelSink sink(pixels, width, height, interlaced);
    int oldCode = -1;
    uint8_t firstByte = 0;

    while (!sink.done()) {
        if (bitCount < codeWidth) {
            // Top up to at least 56 bits, so most codes need no refill.
            while (bitCount <= 56 && bytePos < data.size()) {
                bitBuf |= uint64_t(data[bytePos++]) << bitCount;
                bitCount += 8;
            }
        }
        if (bitCount < codeWidth) {
            warn(msg::kBitBufferUnderrun);
            return;
        }
        const int code = int(bitBuf & ((1u << codeWidth) - 1));
        bitBuf >>= codeWidth;
        bitCount -= codeWidth;

        if (code == clear) {
            codeWidth = *codeSize + 1;
            limit = clear * 2;
            nextFree = clear + 2;
            oldCode = -1;
            continue;
        }
        if (code == end)
            return;
        if (oldCode < 0) {
            // The first code after a clear must be a literal: no string is defined yet.
            if (code > clear) {
                warn(msg::kCircularEntry);
                return;
            }
            sink.Put(uint8_t(code));
            oldCode = code;
            firstByte = uint8_t(code);
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= kMaxCodes)) {
            // A code the encoder cannot have defined yet.
            warn(msg::kCircularEntry);
            return;
        }
        int sp = 0;
        int c = code;
        if (code == nextFree) {
            stack[size_t(sp++)] = firstByte;
            c = oldCode;
        }
        // Every entry's prefix is an older code, so each step strictly shortens the chain.
        while (c > end) {
            stack[size_t(sp++)] = suffix[size_t(c)];
            c = prefix[size_t(c)];
        }
        firstByte = uint8_t(c);
        stack[size_t(sp++)] = firstByte;
        if (nextFree < kMaxCodes) {
            prefix[size_t(nextFree)] = uint16_t(oldCode);
            suffix[size_t(nextFree)] = firstByte;
            ++nextFree;
            if (nextFree >= limit && limit < kMaxCodes) {
                limit <<= 1;
                ++codeWidth;
            }
        }
        oldCode = code;
        sink.PutReversed(stack.data(), sp);
    }
}

} // namespace pc::gif
