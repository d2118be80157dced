#include "platform/canvas_region.h"

#include <algorithm>

namespace pc {

ClipRegion::ClipRegion(Rect r)
{
    if (r.right <= r.left || r.bottom <= r.top)
        return;
    top_ = r.top;
    const Run run{r.left, r.right};
    for (int y = r.top; y < r.bottom; ++y)
        AddRow({&run, 1});
}

ClipRegion::ClipRegion(Rect box, std::span<const uint8_t> cover)
{
    top_ = box.top;
    const int w = box.Width();
    std::vector<Run> row;
    for (int y = box.top; y < box.bottom; ++y) {
        const uint8_t* c = cover.data() + size_t(y - box.top) * size_t(w);
        row.clear();
        for (int x = 0; x < w;) {
            if (!c[x]) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < w && c[x])
                ++x;
            row.push_back({box.left + x0, box.left + x});
        }
        AddRow(row);
    }
}

void ClipRegion::AddRow(std::span<const Run> runs)
{
    if (rowStart_.empty())
        rowStart_.push_back(0);
    runs_.insert(runs_.end(), runs.begin(), runs.end());
    rowStart_.push_back(uint32_t(runs_.size()));
}

bool ClipRegion::Contains(int x, int y) const
{
    for (const Run& r : Row(y))
        if (x >= r.x0 && x < r.x1)
            return true;
    return false;
}

ClipRegion ClipRegion::Combine(const ClipRegion& a, const ClipRegion& b, RegionOp op)
{
    auto in = [op](bool ia, bool ib) {
        switch (op) {
        case RegionOp::And: return ia && ib;
        case RegionOp::Or: return ia || ib;
        case RegionOp::Xor: return ia != ib;
        case RegionOp::Diff: return ia && !ib;
        }
        return false;
    };
    const bool emptyA = a.Bottom() <= a.Top(), emptyB = b.Bottom() <= b.Top();
    const int top = emptyA ? b.Top() : emptyB ? a.Top() : std::min(a.Top(), b.Top());
    const int bottom = std::max(a.Bottom(), b.Bottom());
    ClipRegion out;
    out.top_ = top;
    std::vector<int> edges;
    std::vector<Run> row;
    for (int y = top; y < bottom; ++y) {
        const auto ra = a.Row(y), rb = b.Row(y);
        edges.clear();
        for (auto runs : {ra, rb})
            for (const Run& r : runs) {
                edges.push_back(r.x0);
                edges.push_back(r.x1);
            }
        std::sort(edges.begin(), edges.end());
        edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
        // Between two neighbouring edges a pixel is in a run or not at all.
        row.clear();
        size_t ia = 0, ib = 0;
        for (size_t i = 0; i + 1 < edges.size(); ++i) {
            const int x = edges[i];
            while (ia < ra.size() && ra[ia].x1 <= x)
                ++ia;
            while (ib < rb.size() && rb[ib].x1 <= x)
                ++ib;
            if (!in(ia < ra.size() && ra[ia].x0 <= x, ib < rb.size() && rb[ib].x0 <= x))
                continue;
            if (!row.empty() && row.back().x1 == x)
                row.back().x1 = edges[i + 1];
            else
                row.push_back({x, edges[i + 1]});
        }
        out.AddRow(row);
    }
    return out;
}

} // namespace pc
