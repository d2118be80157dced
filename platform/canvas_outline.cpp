// Shapes whose outline is worked out outside the canvas and handed over as
// polygons: the canvas fills them into one mask like its own shapes.
#include <algorithm>
#include <cmath>

#include "platform/canvas.h"

namespace pc {

Canvas::Mask Canvas::ShapeMask(double left, double top, double right, double bottom)
{
    auto lo = [](double v) { return int(std::clamp(std::floor(v) - 1, -1e9, 1e9)); };
    auto hi = [](double v) { return int(std::clamp(std::ceil(v) + 1, -1e9, 1e9)); };
    return NewMask(Rect{lo(left), lo(top), hi(right), hi(bottom)});
}

void Canvas::AddInterior(Mask& m, const std::vector<std::vector<PointF>>& polygons)
{
    FillGiven(m, polygons, fillRule, brush.style == BrushStyle::Clear ? 0 : 1);
}

void Canvas::AddOutline(Mask& m, const std::vector<std::vector<PointF>>& polygons)
{
    FillGiven(m, polygons, FillRule::Winding, pen.style == PenStyle::Clear ? 0 : 2);
}

} // namespace pc
