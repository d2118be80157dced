#pragma once
// Shared machinery of the two image-data encoders: the code size byte,
// LSB-first code packing, sub-blocks of at most 255 bytes, the terminator.
#include <array>
#include <cstdint>
#include <vector>

#include "codecs/gif/gif_stream.h"

namespace pc::gif {

// Collects bytes into sub-blocks; Flush writes a partly filled one.
class TGIFWriter {
public:
    explicit TGIFWriter(ByteWriter& out) : out_(out) {}
    void Put(uint8_t b)
    {
        buf_[pos_++] = b;
        if (pos_ == 256) {
            buf_[0] = 255;
            out_.write(std::span<const uint8_t>(buf_.data(), 256));
            pos_ = 1;
        }
    }
    void Flush()
    {
        if (pos_ > 1) {
            buf_[0] = uint8_t(pos_ - 1);
            out_.write(std::span<const uint8_t>(buf_.data(), pos_));
            pos_ = 1;
        }
    }

private:
    ByteWriter& out_;
    std::array<uint8_t, 256> buf_{};
    size_t pos_ = 1;
};

class TGIFEncoder {
public:
    virtual ~TGIFEncoder() = default;
    // Writes the code size byte (at least 2), the codes for the pixels
    // (row order from interlaced), the end code, the sub-blocks and the
    // terminator. Pixels at or above colorCount raise "Color not in color table".
    void Encode(ByteWriter& out, int bitsPerPixel, int colorCount, const uint8_t* pixels, bool interlaced,
                int height, int width);

protected:
    virtual void Compress() = 0;
    virtual void EmitCode(int code);
    virtual void EmitClear();

    // Pixels in file order: a plain run, or the rows of each interlace pass.
    int NextPixel();
    int64_t PixelsLeft() const { return pixelsLeft_; }
    // The same order a row at a time, for the encoders' inner loops.
    const std::vector<int>& RowsInFileOrder() const { return rows_; }
    const uint8_t* Row(int y) const { return pixels_ + int64_t(y) * width_; }
    int RowWidth() const { return width_; }

    void Pack(int code)
    {
        acc_ |= uint64_t(code) << accBits_;
        accBits_ += codeWidth_;
        while (accBits_ >= 8) {
            writer_->Put(uint8_t(acc_));
            acc_ >>= 8;
            accBits_ -= 8;
        }
    }

    int initCodeSize_ = 0;
    int colorCount_ = 0;
    int codeWidth_ = 0;
    int clearCode_ = 0;
    int endCode_ = 0;
    int firstFree_ = 0;

private:
    TGIFWriter* writer_ = nullptr;
    uint64_t acc_ = 0;
    int accBits_ = 0;

    const uint8_t* pixels_ = nullptr;
    int width_ = 0;
    std::vector<int> rows_;
    size_t rowIndex_ = 0;
    const uint8_t* cursor_ = nullptr;
    const uint8_t* rowEnd_ = nullptr;
    int64_t pixelsLeft_ = 0;
};

} // namespace pc::gif
