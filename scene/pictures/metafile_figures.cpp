#include "scene/pictures/metafile_device.h"

#include <algorithm>
#include <cmath>

#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

void Device::BeginPath()
{
    inPath_ = true;
    path_.clear();
    pathPoints_ = 0;
}

void Device::AbortPath()
{
    inPath_ = false;
    path_.clear();
    pathPoints_ = 0;
}

void Device::CloseFigure()
{
    if (inPath_ && !path_.empty() && !path_.back().closed) {
        path_.back().closed = true;
        // A new figure starts where this one began.
        state_.pos = path_.back().pts.front();
    }
}

void Device::PathFigure(std::vector<DPoint> pts, bool closed)
{
    if (pts.empty())
        return;
    Spend(int64_t(pts.size()));
    pathPoints_ += pts.size();
    CheckFigurePoints(pathPoints_);
    path_.push_back(Figure{std::move(pts), closed});
}

void Device::PathLine(std::span<const DPoint> pts)
{
    if (pts.empty())
        return;
    // A line goes on from the current position: the open figure only when
    // it ends there (a polyline in a path leaves the position where it was).
    const bool goesOn = !path_.empty() && !path_.back().closed && path_.back().pts.back().x == state_.pos.x &&
                        path_.back().pts.back().y == state_.pos.y;
    if (!goesOn)
        PathFigure({state_.pos}, false);
    Spend(int64_t(pts.size()));
    pathPoints_ += pts.size();
    CheckFigurePoints(pathPoints_);
    path_.back().pts.insert(path_.back().pts.end(), pts.begin(), pts.end());
}

void Device::DrawPath(bool fill, bool stroke)
{
    DrawFigures(path_, fill, stroke);
    AbortPath();
}

void Device::MoveTo(double x, double y)
{
    state_.pos = {x, y};
    if (inPath_)
        PathFigure({state_.pos}, false);
}

void Device::LineTo(double x, double y)
{
    if (inPath_) {
        const DPoint p{x, y};
        PathLine({&p, 1});
        state_.pos = p;
        return;
    }
    std::vector<Figure> line{Figure{{state_.pos, {x, y}}, false}};
    DrawFigures(line, false, true);
    state_.pos = {x, y};
}

void Device::Polyline(std::span<const DPoint> pts)
{
    if (inPath_) {
        PathFigure({pts.begin(), pts.end()}, false);
        return;
    }
    std::vector<Figure> line{Figure{{pts.begin(), pts.end()}, false}};
    DrawFigures(line, false, true);
}

void Device::PolylineTo(std::span<const DPoint> pts)
{
    if (pts.empty())
        return;
    if (inPath_) {
        PathLine(pts);
    } else {
        std::vector<DPoint> all{state_.pos};
        all.insert(all.end(), pts.begin(), pts.end());
        Polyline(all);
    }
    state_.pos = pts.back();
}

void Device::PolyBezierTo(std::span<const DPoint> controls)
{
    const auto line = FlattenBeziers(state_.pos, controls);
    PolylineTo(std::span(line).subspan(1));
}

void Device::Polygon(std::vector<std::vector<DPoint>> polys)
{
    if (inPath_) {
        for (auto& p : polys)
            PathFigure(std::move(p), true);
        return;
    }
    std::vector<Figure> figures;
    for (auto& p : polys)
        figures.push_back(Figure{std::move(p), true});
    DrawFigures(figures, true, true);
}

void Device::Rectangle(double l, double t, double r, double b)
{
    if (inPath_) {
        PathFigure({{l, t}, {r, t}, {r, b}, {l, b}}, true);
        return;
    }
    Prepare();
    if (OutlinedPen()) {
        DrawOutlined({BoxOutline(l, t, r, b, 0, 0)}, {true}, true);
        return;
    }
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    canvas_.Rectangle(a.x, a.y, c.x, c.y);
}

void Device::RoundRect(double l, double t, double r, double b, double w, double h)
{
    Prepare();
    if (OutlinedPen()) {
        DrawOutlined({BoxOutline(l, t, r, b, w, h)}, {true}, true);
        return;
    }
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    const DPoint s = Scale();
    canvas_.RoundRect(a.x, a.y, c.x, c.y, ToInt(w * s.x), ToInt(h * s.y));
}

void Device::Ellipse(double l, double t, double r, double b)
{
    if (inPath_) {
        PathFigure(EllipsePath(l, t, r, b), true);
        return;
    }
    Prepare();
    if (OutlinedPen()) {
        DrawOutlined({EllipseOutline(l, t, r, b)}, {true}, true);
        return;
    }
    const Point a = ToPixel(l, t), c = ToPixel(r, b);
    canvas_.Ellipse(a.x, a.y, c.x, c.y);
}

std::vector<DPoint> Device::FlattenBeziers(DPoint start, std::span<const DPoint> controls)
{
    constexpr int steps = 16;
    const size_t count = 1 + controls.size() / 3 * steps;
    CheckFigurePoints(count);
    Spend(int64_t(count));
    std::vector<DPoint> out;
    out.reserve(count);
    out.push_back(start);
    for (size_t i = 0; i + 2 < controls.size(); i += 3) {
        const DPoint p0 = out.back(), p1 = controls[i], p2 = controls[i + 1], p3 = controls[i + 2];
        for (int k = 1; k <= steps; ++k) {
            const double t = double(k) / steps, u = 1 - t;
            out.push_back({u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                           u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
        }
    }
    return out;
}

} // namespace pc::metafile
