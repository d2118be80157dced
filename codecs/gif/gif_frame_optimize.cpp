// Frame operations of the optimiser: making pixels that repeat the previous
// frame transparent, and cropping transparent borders.
#include <algorithm>
#include <array>

#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"
#include "codecs/gif/gif_painter.h"

namespace pc::gif {

namespace {

std::array<bool, 256> UsedIndices(const std::vector<uint8_t>& data)
{
    std::array<bool, 256> used{};
    for (uint8_t v : data)
        used[v] = true;
    return used;
}

} // namespace

void TGIFSubImage::SharedTransparency::Collect(const TGIFImage& image)
{
    std::array<bool, 256> seen{};
    indices.clear();
    for (const auto& f : image.Images().Items()) {
        const int t = f->TransparentIndex();
        if (t >= 0 && t < 256 && f->ColorMap().Count() == 0 && !seen[size_t(t)]) {
            seen[size_t(t)] = true;
            indices.push_back(t);
        }
    }
}

void TGIFSubImage::Merge(TGIFSubImage* previous, SharedTransparency& shared)
{
    if (Empty() || !previous || previous->Empty())
        return;
    const TDisposalMethod prevDisposal = PaintedDisposal(*previous);
    if (prevDisposal == TDisposalMethod::dmBackground || prevDisposal == TDisposalMethod::dmPrevious)
        return;
    const int x0 = std::max(left_, previous->left_), x1 = std::min(left_ + width_, previous->left_ + previous->width_);
    const int y0 = std::max(top_, previous->top_), y1 = std::min(top_ + height_, previous->top_ + previous->height_);
    if (x0 >= x1 || y0 >= y1)
        return;

    TGIFColorMap& map = ActiveColorMap();
    int t = TransparentIndex();
    const bool hadIndex = t >= 0;
    if (!hadIndex && (map.Count() < 1 || map.Count() > 255))
        return;
    const TGIFColorMap& prevMap = previous->ActiveColorMap();
    const bool sameMap = &map == &prevMap;
    const int prevT = previous->TransparentIndex();

    // The first pixel that needs it makes the transparent index.
    auto makeIndex = [&] {
        if (&map == &colorMap_ || !Image())
            return map.Add(TGIFColor{});
        const std::array<bool, 256> used = UsedIndices(data_);
        for (int other : shared.indices)
            if (other < map.Count() && !used[size_t(other)])
                return other;
        const int made = map.Add(TGIFColor{});
        shared.indices.push_back(made);
        return made;
    };

    for (int y = y0; y < y1; ++y) {
        uint8_t* row = data_.data() + size_t(y - top_) * size_t(width_);
        const uint8_t* prow = previous->data_.data() + size_t(y - previous->top_) * size_t(previous->width_);
        for (int x = x0; x < x1; ++x) {
            uint8_t& p = row[x - left_];
            const uint8_t q = prow[x - previous->left_];
            if (p == t || q == prevT)
                continue;
            const bool same = sameMap ? p == q
                                      : p < map.Count() && q < prevMap.Count() && map.Color(p) == prevMap.Color(q);
            if (!same)
                continue;
            if (t < 0)
                t = makeIndex();
            p = uint8_t(t);
        }
    }
    if (!hadIndex && t >= 0) {
        TGIFGraphicControlExtension* gce = GraphicControlExtension();
        if (!gce) {
            auto made = std::make_unique<TGIFGraphicControlExtension>(this);
            gce = made.get();
            extensions_.Add(std::move(made));
        }
        gce->SetTransparentColorIndex(t);
        gce->SetTransparent(true);
    }
    FreeBitmap();
}

bool TGIFSubImage::AllTransparent() const
{
    const int t = TransparentIndex();
    return t >= 0 && std::all_of(data_.begin(), data_.end(), [t](uint8_t v) { return v == t; });
}

void TGIFSubImage::Crop()
{
    if (Empty() || !Transparent())
        return;
    const uint8_t t = uint8_t(TransparentIndex());
    auto at = [&](int x, int y) { return data_[size_t(y) * size_t(width_) + size_t(x)]; };
    auto columnClear = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (at(x, y) != t)
                return false;
        return true;
    };
    auto rowClear = [&](int y, int left, int right) {
        for (int x = left; x < right; ++x)
            if (at(x, y) != t)
                return false;
        return true;
    };
    int left = 0, right = width_, top = 0, bottom = height_;
    while (left < right && columnClear(left, 0, height_))
        ++left;
    while (right > left && columnClear(right - 1, 0, height_))
        --right;
    while (top < bottom && rowClear(top, left, right))
        ++top;
    while (bottom > top && rowClear(bottom - 1, left, right))
        --bottom;
    if (left == right || top == bottom) {
        data_.clear();
        width_ = height_ = 0;
        FreeBitmap();
        return;
    }
    if (left == 0 && top == 0 && right == width_ && bottom == height_)
        return;
    std::vector<uint8_t> block;
    block.reserve(size_t(right - left) * size_t(bottom - top));
    for (int y = top; y < bottom; ++y) {
        const uint8_t* row = data_.data() + size_t(y) * size_t(width_);
        block.insert(block.end(), row + left, row + right);
    }
    data_ = std::move(block);
    left_ += left;
    top_ += top;
    width_ = right - left;
    height_ = bottom - top;
    FreeBitmap();
}

} // namespace pc::gif
