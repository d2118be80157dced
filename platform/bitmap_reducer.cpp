#include "platform/bitmap_reducer.h"

#include <algorithm>
#include <cstring>

namespace pc {

RowReducer::RowReducer(int width, int height, PictureSize out, bool bottomUp)
    : width_(width), height_(height), out_(out), bottomUp_(bottomUp),
      identity_(out.width == width && out.height == height)
{
    if (width <= 0 || height <= 0 || out.width <= 0 || out.height <= 0 || out.width > width || out.height > height)
        throw BadInput("invalid picture size");
    if (identity_)
        return;
    column_.resize(size_t(width));
    columnCount_.assign(size_t(out.width), 0);
    for (int x = 0; x < width; ++x) {
        column_[size_t(x)] = int(int64_t(x) * out.width / width);
        ++columnCount_[size_t(column_[size_t(x)])];
    }
    sum_.assign(size_t(out.width) * 3, 0);
}

void RowReducer::StartRows(int outRow)
{
    // The output is taken when the first row arrives, not before.
    if (picture_.Empty())
        picture_ = Bitmap(out_.width, out_.height, PixelFormat::pf24bit);
    if (outRow != outRow_) {
        Flush();
        outRow_ = outRow;
    }
}

void RowReducer::Flush()
{
    if (outRow_ < 0 || rowsInSum_ == 0)
        return;
    uint8_t* dst = picture_.ScanLine(outRow_);
    for (int ox = 0; ox < out_.width; ++ox) {
        const uint32_t n = columnCount_[size_t(ox)] * rowsInSum_;
        for (int k = 0; k < 3; ++k) {
            uint32_t& s = sum_[size_t(ox) * 3 + size_t(k)];
            dst[ox * 3 + k] = uint8_t((s + n / 2) / n);
            s = 0;
        }
    }
    rowsInSum_ = 0;
}

void RowReducer::PutRow(const uint8_t* bgr)
{
    if (RowsLeft() <= 0)
        return;
    const int y = SourceRow(rowsDone_++);
    if (identity_) {
        StartRows(y);
        std::memcpy(picture_.ScanLine(y), bgr, size_t(width_) * 3);
        return;
    }
    StartRows(OutRow(y));
    for (int x = 0; x < width_; ++x) {
        uint32_t* s = &sum_[size_t(column_[size_t(x)]) * 3];
        s[0] += bgr[3 * x];
        s[1] += bgr[3 * x + 1];
        s[2] += bgr[3 * x + 2];
    }
    ++rowsInSum_;
}

int64_t RowReducer::RunInOutRow(int64_t n) const
{
    const int y = SourceRow(rowsDone_);
    const int64_t oy = OutRow(y);
    int64_t run;
    if (bottomUp_) {
        // Rows down to the first source row of output row oy.
        const int64_t first = (oy * height_ + out_.height - 1) / out_.height;
        run = y - first + 1;
    } else {
        const int64_t next = ((oy + 1) * height_ + out_.height - 1) / out_.height;
        run = next - y;
    }
    return std::min(n, run);
}

void RowReducer::PutRows(int64_t n, TColor c)
{
    n = std::min(n, RowsLeft());
    if (identity_) {
        std::vector<uint8_t> row(size_t(width_) * 3);
        for (int x = 0; x < width_; ++x) {
            row[size_t(x) * 3] = GetBValue(c);
            row[size_t(x) * 3 + 1] = GetGValue(c);
            row[size_t(x) * 3 + 2] = GetRValue(c);
        }
        while (n-- > 0)
            PutRow(row.data());
        return;
    }
    const uint8_t bgr[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
    while (n > 0) {
        const int64_t run = RunInOutRow(n);
        StartRows(OutRow(SourceRow(rowsDone_)));
        for (int ox = 0; ox < out_.width; ++ox)
            for (int k = 0; k < 3; ++k)
                sum_[size_t(ox) * 3 + size_t(k)] += uint32_t(bgr[k] * columnCount_[size_t(ox)] * run);
        rowsInSum_ += uint32_t(run);
        rowsDone_ += run;
        n -= run;
    }
}

Bitmap RowReducer::Take()
{
    if (picture_.Empty())
        picture_ = Bitmap(out_.width, out_.height, PixelFormat::pf24bit);
    Flush();
    return std::move(picture_);
}

} // namespace pc
