#include "codecs/gif/gif_encoder.h"

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_interlace.h"

namespace pc::gif {

void TGIFEncoder::Encode(ByteWriter& out, int bitsPerPixel, int colorCount, const uint8_t* pixels, bool interlaced,
                         int height, int width)
{
    initCodeSize_ = bitsPerPixel < 2 ? 2 : bitsPerPixel;
    out.u8(uint8_t(initCodeSize_));
    colorCount_ = colorCount;
    codeWidth_ = initCodeSize_ + 1;
    clearCode_ = 1 << initCodeSize_;
    endCode_ = clearCode_ + 1;
    firstFree_ = clearCode_ + 2;
    acc_ = 0;
    accBits_ = 0;

    TGIFWriter writer(out);
    writer_ = &writer;
    if (pixels && width >= 1 && height >= 1) {
        pixels_ = pixels;
        width_ = width;
        rows_ = RowOrder(height, interlaced);
        rowIndex_ = 0;
        cursor_ = pixels_ + int64_t(rows_[0]) * width_;
        rowEnd_ = cursor_ + width_;
        pixelsLeft_ = int64_t(width) * height;
        Compress();
    }
    EmitCode(endCode_);
    writer.Flush();
    writer_ = nullptr;
    out.u8(0);
}

int TGIFEncoder::NextPixel()
{
    if (cursor_ == rowEnd_) {
        ++rowIndex_;
        cursor_ = pixels_ + int64_t(rows_[rowIndex_]) * width_;
        rowEnd_ = cursor_ + width_;
    }
    --pixelsLeft_;
    int p = *cursor_++;
    if (p >= colorCount_)
        RaiseGIFError(msg::kColorNotInTable);
    return p;
}

void TGIFEncoder::EmitCode(int code)
{
    Pack(code);
    if (code == endCode_ && accBits_ > 0) {
        writer_->Put(uint8_t(acc_));
        acc_ = 0;
        accBits_ = 0;
    }
}

void TGIFEncoder::EmitClear()
{
    EmitCode(clearCode_);
}

} // namespace pc::gif
