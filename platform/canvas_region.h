#pragma once
// A set of pixels kept as sorted runs of columns per row: the clip region a
// canvas may draw through besides its clip rectangle.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/canvas_stretch.h"

namespace pc {

enum class RegionOp { And, Or, Xor, Diff };

class ClipRegion {
public:
    struct Run {
        int x0, x1; // columns x0 .. x1 - 1
    };

    ClipRegion() = default; // no pixels
    explicit ClipRegion(Rect r);
    // The cells of a box's coverage that are not 0, box.Width() to a row.
    ClipRegion(Rect box, std::span<const uint8_t> cover);

    // a op b, row by row.
    static ClipRegion Combine(const ClipRegion& a, const ClipRegion& b, RegionOp op);

    std::span<const Run> Row(int y) const
    {
        if (y < top_ || int64_t(y) - top_ + 1 >= int64_t(rowStart_.size()))
            return {};
        const size_t i = size_t(y - top_);
        return std::span(runs_).subspan(rowStart_[i], rowStart_[i + 1] - rowStart_[i]);
    }
    bool Contains(int x, int y) const;
    int Top() const { return top_; }
    int Bottom() const { return top_ + int(rowStart_.empty() ? 0 : rowStart_.size() - 1); }
    size_t RunCount() const { return runs_.size(); }
    int64_t Bytes() const { return int64_t(runs_.size() * sizeof(Run) + rowStart_.size() * sizeof(uint32_t)); }

private:
    void AddRow(std::span<const Run> runs);

    int top_ = 0;
    std::vector<uint32_t> rowStart_; // one more than the rows
    std::vector<Run> runs_;
};

} // namespace pc
