#pragma once
// Builds a 24-bit picture from rows that arrive one at a time in file order,
// shrinking it on the way when it is larger than wanted: each output pixel is
// the mean of the source pixels it covers. Only the output is ever held, so a
// huge picture never exists at its full size.
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"

namespace pc {

class RowReducer {
public:
    // A source of width x height pixels whose rows come top row first, or
    // bottom row first when bottomUp, made into a picture of size out.
    RowReducer(int width, int height, PictureSize out, bool bottomUp);

    int64_t RowsLeft() const { return height_ - rowsDone_; }
    // The next row: width pixels of B,G,R.
    void PutRow(const uint8_t* bgr);
    // The next n rows (at most RowsLeft()), every pixel of colour c.
    void PutRows(int64_t n, TColor c);
    // The picture; rows that never came are black.
    Bitmap Take();

private:
    int SourceRow(int64_t done) const { return int(bottomUp_ ? height_ - 1 - done : done); }
    int OutRow(int y) const { return int(int64_t(y) * out_.height / height_); }
    // Rows from the next one on that share its output row, at most n.
    int64_t RunInOutRow(int64_t n) const;
    void StartRows(int outRow);
    void Flush();

    int width_, height_;
    PictureSize out_;
    bool bottomUp_;
    bool identity_;
    int64_t rowsDone_ = 0;
    Bitmap picture_;
    std::vector<int> column_;          // output column of each source column
    std::vector<uint32_t> columnCount_; // source columns of each output column
    std::vector<uint32_t> sum_;        // B,G,R sums of the output row being built
    int outRow_ = -1;
    uint32_t rowsInSum_ = 0;
};

} // namespace pc
