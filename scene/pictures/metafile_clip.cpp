// Clip regions: a path or rectangles combined with the clip by a region mode.
#include <algorithm>

#include "scene/pictures/metafile_device.h"
#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

void Device::SelectClipPath(int mode)
{
    std::vector<std::vector<Point>> figures;
    for (Figure& f : path_) {
        figures.push_back(ToPixels(f.pts));
        std::vector<DPoint>().swap(f.pts);
    }
    AbortPath();
    CombineClip(canvas_.PolygonRegion(figures, state_.polyFillMode == 2 ? FillRule::Winding : FillRule::Alternate), mode);
}

void Device::SelectClipRects(const std::vector<Rect>& rects, int mode)
{
    Spend(kDrawSetUpCost + kPointCost * 4 * int64_t(rects.size()));
    auto out = [&](int x, int y) {
        return Point{ToInt((x - origin_.x) * scale_.x), ToInt((y - origin_.y) * scale_.y)};
    };
    std::vector<std::vector<Point>> boxes;
    for (const Rect& r : rects) {
        const Point a = out(std::min(r.left, r.right), std::min(r.top, r.bottom));
        const Point b = out(std::max(r.left, r.right), std::max(r.top, r.bottom));
        boxes.push_back({a, {b.x, a.y}, b, {a.x, b.y}});
    }
    // All wound alike, so their union fills by the winding rule.
    CombineClip(canvas_.PolygonRegion(boxes, FillRule::Winding), mode);
}

void Device::CombineClip(ClipRegion r, int mode)
{
    if (mode < 1 || mode > 5)
        return;
    if (mode != 5) { // RGN_COPY takes the new region as it is
        const int w = canvas_.Width(), h = canvas_.Height();
        Rect box{0, 0, w, h};
        if (state_.clip)
            box = Rect{std::clamp(state_.clip->left, 0, w), std::clamp(state_.clip->top, 0, h),
                       std::clamp(state_.clip->right, 0, w), std::clamp(state_.clip->bottom, 0, h)};
        ClipRegion current(box);
        auto combine = [&](const ClipRegion& a, const ClipRegion& b, RegionOp op) {
            Spend(kRegionRowCost * h + kRegionRunCost * int64_t(a.RunCount() + b.RunCount()));
            return ClipRegion::Combine(a, b, op);
        };
        if (state_.region)
            current = combine(current, *state_.region, RegionOp::And);
        static constexpr RegionOp ops[] = {RegionOp::And, RegionOp::Or, RegionOp::Xor, RegionOp::Diff};
        r = combine(current, r, ops[mode - 1]);
    }
    state_.clip.reset();
    state_.region = std::make_shared<const ClipRegion>(std::move(r));
    // Saved states share their regions; each one held counts once.
    std::vector<const ClipRegion*> held{state_.region.get()};
    for (const State& s : saved_)
        if (s.region)
            held.push_back(s.region.get());
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    int64_t bytes = 0;
    for (const ClipRegion* c : held)
        bytes += c->Bytes();
    if (bytes > kMaxClipRegionBytes)
        throw BadInput("The metafile's clip regions take more than 64 MB");
}

} // namespace pc::metafile
