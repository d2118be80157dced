#include "editor/tools/poly_bezier.h"

#include <cstdlib>

namespace pc::editor {

void CPolyBezier::MouseDown(Point p)
{
    dragged_ = -1;
    if (placed_ == 4) {
        for (int k = 0; k < 4; ++k)
            if (std::abs(p.x - points_[k].x) < 3 && std::abs(p.y - points_[k].y) < 3) {
                dragged_ = k;
                dragPos_ = points_[k];
                break;
            }
        return;
    }
    // Clicks place P0 (with P1 on it), P3 (with P2), then P1, then P2.
    static constexpr int kPlaced[4] = {0, 3, 1, 2};
    const int k = kPlaced[placed_];
    switch (placed_) {
    case 0: points_[0] = points_[1] = p; break;
    case 1: points_[2] = points_[3] = p; break;
    default: points_[k] = p; break;
    }
    ToggleCross(p);
    crosses_[k] = p;
    ++placed_;
}

void CPolyBezier::MoveCross(int index, Point to)
{
    if (crosses_[index])
        ToggleCross(*crosses_[index]);
    ToggleCross(to);
    crosses_[index] = to;
}

void CPolyBezier::MouseMove(Point p)
{
    if (dragged_ < 0)
        return;
    MoveCross(dragged_, p);
    dragPos_ = p;
}

void CPolyBezier::ToggleCurve(const std::array<Point, 4>& curve)
{
    NotXor([&] { canvas_.PolyBezier(curve); });
}

void CPolyBezier::MouseUp(Point)
{
    if (dragged_ >= 0) {
        points_[dragged_] = dragPos_;
        dragged_ = -1;
    }
    if (placed_ < 2)
        return;
    if (shownCurve_)
        ToggleCurve(*shownCurve_);
    ToggleCurve(points_);
    shownCurve_ = points_;
}

void CPolyBezier::Complete()
{
    for (auto& c : crosses_)
        if (c) {
            ToggleCross(*c);
            c.reset();
        }
    if (shownCurve_) {
        ToggleCurve(*shownCurve_);
        shownCurve_.reset();
    }
    if (placed_ >= 2)
        canvas_.PolyBezier(points_);
}

} // namespace pc::editor
