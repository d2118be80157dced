// Pens: how the style words of CreatePen and ExtCreatePen make a pen, and
// the one routine every figure is drawn through, which outlines wide and
// geometric pens with their dashes, caps and joins.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

#include "scene/pictures/metafile_device.h"
#include "scene/pictures/metafile_limits.h"
#include "scene/pictures/metafile_records.h"
#include "scene/pictures/metafile_stroke.h"

namespace pc::metafile {

using namespace detail;

namespace {

PenStyle BasicStyle(uint32_t style)
{
    switch (style & 0xF) {
    case 1: return PenStyle::Dash;
    case 2:
    case 8: return PenStyle::Dot; // PS_DOT, PS_ALTERNATE
    case 3: return PenStyle::DashDot;
    case 4: return PenStyle::DashDotDot;
    case 5: return PenStyle::Clear;
    default: return PenStyle::Solid; // solid, inside frame, user styles
    }
}

PenCap CapOf(uint32_t style)
{
    switch (style & 0xF00) {
    case 0x100: return PenCap::Square; // PS_ENDCAP_SQUARE
    case 0x200: return PenCap::Flat;   // PS_ENDCAP_FLAT
    default: return PenCap::Round;
    }
}

PenJoin JoinOf(uint32_t style)
{
    switch (style & 0xF000) {
    case 0x1000: return PenJoin::Bevel; // PS_JOIN_BEVEL
    case 0x2000: return PenJoin::Miter; // PS_JOIN_MITER
    default: return PenJoin::Round;
    }
}

// A geometric pen's dash styles: the cosmetic patterns in thirds of the
// pen's width.
std::vector<double> GeometricPattern(PenStyle s)
{
    switch (s) {
    case PenStyle::Dash: return {6, 2};
    case PenStyle::Dot: return {1, 1};
    case PenStyle::DashDot: return {3, 2, 1, 2};
    case PenStyle::DashDotDot: return {3, 1, 1, 1, 1, 1};
    default: return {};
    }
}

// GDI keeps no more entries in a user style.
constexpr size_t kMaxStyleEntries = 16;

} // namespace

// CreatePen: a pen wider than a pixel draws solid, with the end cap and join
// its style word carries (round when it carries none); the WMF format keeps
// them in the same word.
LogPen OldStylePen(uint32_t style, double width, TColor color)
{
    return LogPen{BasicStyle(style), std::max(0.0, width), color, false, CapOf(style), JoinOf(style), {}};
}

LogPen ExtendedPen(uint32_t style, double width, uint32_t brushStyle, TColor color, std::vector<double> userStyle)
{
    const bool geometric = (style & 0xF0000) == 0x10000; // PS_GEOMETRIC
    // Cosmetic pens are one pixel whatever their width says.
    LogPen pen{BasicStyle(style), geometric ? width : 0.0, color, geometric, CapOf(style), JoinOf(style), {}};
    if (brushStyle == 1) // BS_NULL
        pen.style = PenStyle::Clear;
    if (geometric && (style & 0xF) == 8) // PS_ALTERNATE is for cosmetic pens
        pen.style = PenStyle::Solid;
    if ((style & 0xF) == 7 && userStyle.size() <= kMaxStyleEntries) // PS_USERSTYLE
        pen.userStyle = std::move(userStyle);
    return pen;
}

void Device::SetMiterLimit(double limit)
{
    // GDI refuses a limit below one; a huge one only costs time.
    if (limit >= 1)
        state_.miterLimit = std::min(limit, 1e6);
}

bool Device::OutlinedPen() const
{
    const LogPen& p = state_.pen;
    return p.style != PenStyle::Clear && (p.geometric || !p.userStyle.empty() || canvas_.pen.width > 1);
}

std::vector<PointF> Device::OutputPoints(std::span<const DPoint> pts)
{
    Spend(kDrawSetUpCost + kPointCost * int64_t(pts.size()));
    std::vector<PointF> out;
    out.reserve(pts.size());
    // Whole pixels, as the canvas' own lines and shapes take them, at their
    // centres.
    for (const DPoint& p : pts) {
        const Point o = ToPixel(p.x, p.y);
        out.push_back({o.x + 0.5, o.y + 0.5});
    }
    return out;
}

void Device::DrawFigures(std::vector<Figure>& figures, bool fill, bool stroke)
{
    Prepare();
    if (stroke && OutlinedPen()) {
        std::vector<std::vector<PointF>> out;
        std::vector<bool> closed;
        for (Figure& f : figures) {
            out.push_back(OutputPoints(f.pts));
            closed.push_back(f.closed || fill);
            std::vector<DPoint>().swap(f.pts);
        }
        DrawOutlined(out, closed, fill);
        return;
    }
    std::vector<std::vector<Point>> px;
    for (Figure& f : figures) {
        px.push_back(ToPixels(f.pts));
        std::vector<DPoint>().swap(f.pts);
    }
    if (fill) {
        if (!stroke)
            canvas_.pen.style = PenStyle::Clear;
        canvas_.PolyPolygon(px);
        return;
    }
    canvas_.brush.style = BrushStyle::Clear;
    for (size_t i = 0; i < px.size(); ++i) {
        if (figures[i].closed)
            canvas_.Polygon(px[i]);
        else
            canvas_.Polyline(px[i]);
    }
}

void Device::DrawOutlined(const std::vector<std::vector<PointF>>& figures, const std::vector<bool>& closed, bool fill)
{
    const LogPen& pen = state_.pen;
    StrokeStyle style;
    style.width = canvas_.pen.width;
    // A cosmetic pen is outlined only for its user style, one pixel wide.
    const bool wide = pen.geometric || canvas_.pen.width > 1;
    style.cap = wide ? pen.cap : PenCap::Flat;
    style.join = pen.join;
    style.miterLimit = state_.miterLimit;
    if (!pen.userStyle.empty()) {
        const double unit = pen.geometric ? Scale().x : 1;
        for (double d : pen.userStyle)
            style.dashes.push_back(d * unit);
    } else if (pen.geometric) {
        for (double d : GeometricPattern(pen.style))
            style.dashes.push_back(d * style.width);
    }
    // An odd pattern goes round twice, on and off changing places.
    if (style.dashes.size() % 2)
        style.dashes.insert(style.dashes.end(), style.dashes.begin(), style.dashes.end());
    // A pattern finer than a sixteenth of a pixel, the finest step GDI
    // draws in, comes out solid.
    if (!(std::accumulate(style.dashes.begin(), style.dashes.end(), 0.0) >= 1.0 / 16))
        style.dashes.clear();

    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const auto& f : figures)
        for (const PointF& p : f)
            x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    if (!(x0 <= x1))
        return;
    const double reach = PenStroker::Reach(style, figures, closed);
    Canvas::Mask m = canvas_.ShapeMask(x0 - reach, y0 - reach, x1 + reach, y1 + reach);
    if (m.cover.empty())
        return;
    if (fill)
        canvas_.AddInterior(m, figures);
    PenStroker stroker(style, m.box, reach, [this](int64_t units) { Spend(units); },
                       [&](const std::vector<std::vector<PointF>>& polygons) { canvas_.AddOutline(m, polygons); });
    for (size_t i = 0; i < figures.size(); ++i)
        stroker.Add(figures[i], closed[i]);
    stroker.Flush();
    canvas_.Apply(m);
}

namespace {

// A shape's box through the centres of its first and last pixels: the
// right and bottom edges are left out as GDI does.
void LastPixelBox(Point a, Point c, double& x0, double& y0, double& x1, double& y1)
{
    x0 = std::min(a.x, c.x) + 0.5, y0 = std::min(a.y, c.y) + 0.5;
    x1 = std::max(x0, std::max(a.x, c.x) - 0.5), y1 = std::max(y0, std::max(a.y, c.y) - 0.5);
}

} // namespace

std::vector<PointF> Device::BoxOutline(double l, double t, double r, double b, double w, double h)
{
    double x0, y0, x1, y1;
    LastPixelBox(ToPixel(l, t), ToPixel(r, b), x0, y0, x1, y1);
    const DPoint s = Scale();
    const double rx = std::min(std::abs(w) * s.x / 2, (x1 - x0) / 2), ry = std::min(std::abs(h) * s.y / 2, (y1 - y0) / 2);
    if (!(rx > 0 && ry > 0))
        return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    std::vector<PointF> f;
    const int n = std::clamp(int(std::max(rx, ry) / 2), 4, 256);
    Spend(kPointCost * 4 * (n + 1));
    const double cx[4] = {x1 - rx, x0 + rx, x0 + rx, x1 - rx}, cy[4] = {y0 + ry, y0 + ry, y1 - ry, y1 - ry};
    for (int q = 0; q < 4; ++q)
        for (int i = 0; i <= n; ++i) {
            const double a = std::numbers::pi / 2 * (q + double(i) / n);
            f.push_back({cx[q] + rx * std::cos(a), cy[q] - ry * std::sin(a)});
        }
    return f;
}

std::vector<PointF> Device::EllipseOutline(double l, double t, double r, double b)
{
    double x0, y0, x1, y1;
    LastPixelBox(ToPixel(l, t), ToPixel(r, b), x0, y0, x1, y1);
    const double rx = (x1 - x0) / 2, ry = (y1 - y0) / 2;
    const int n = std::clamp(int(std::max(rx, ry) * 2), 16, 1024);
    Spend(kPointCost * n);
    std::vector<PointF> f;
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        f.push_back({x0 + rx + rx * std::cos(a), y0 + ry + ry * std::sin(a)});
    }
    return f;
}

} // namespace pc::metafile
