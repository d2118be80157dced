#include "platform/canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/canvas_fonts.h"
#include "platform/errors.h"

namespace pc {

namespace {

// An edge from (x0, y0) to (x1, y1) as drawn; its direction counts for the
// winding rule. Kept small: a crafted polygon may have millions, so those
// of whole pixels are kept in int.
template <typename T>
struct Edge {
    T x0, y0, x1, y1;
    double Top() const { return std::min<double>(y0, y1); }
    double Bottom() const { return std::max<double>(y0, y1); }
    int Dir() const { return y0 < y1 ? 1 : -1; }
    double XAt(double y) const { return x0 + (y - y0) * (double(x1) - x0) / (double(y1) - y0); }
};

} // namespace

namespace {

constexpr uint8_t kInterior = 1, kOutline = 2, kGap = 3;
// Working out one point of an outline (a sine and cosine, an edge to sort)
// takes about as long as writing 16 pixels.
constexpr int64_t kOutlinePointCost = 16;
// A step of a thin line is worked out on its own (a wide division), about
// four pixels' time.
constexpr int64_t kLineStepCost = 4;
// A pattern brush's pixel is looked up in its tile, about nine pixels' time.
constexpr int64_t kPatternPixelCost = 9;
// Shaping and drawing one character of a text placed character by
// character: about two microseconds.
constexpr int64_t kGlyphCost = 800;

// Cosmetic dash patterns in pixels, on and off alternately.
std::span<const int> DashPattern(PenStyle s)
{
    static constexpr int dash[] = {18, 6}, dot[] = {3, 3}, dashDot[] = {9, 6, 3, 6}, dashDotDot[] = {9, 3, 3, 3, 3, 3};
    switch (s) {
    case PenStyle::Dash: return dash;
    case PenStyle::Dot: return dot;
    case PenStyle::DashDot: return dashDot;
    case PenStyle::DashDotDot: return dashDotDot;
    default: return {};
    }
}

bool OnDash(std::span<const int> pattern, int64_t pos)
{
    int period = 0;
    for (int p : pattern)
        period += p;
    int64_t t = pos % period;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (t < pattern[i])
            return i % 2 == 0;
        t -= pattern[i];
    }
    return false;
}

bool HatchOn(BrushStyle s, int x, int y)
{
    switch (s) {
    case BrushStyle::Horizontal: return (y & 7) == 0;
    case BrushStyle::Vertical: return (x & 7) == 0;
    case BrushStyle::FDiagonal: return ((x - y) & 7) == 0;
    case BrushStyle::BDiagonal: return ((x + y) & 7) == 0;
    case BrushStyle::Cross: return (x & 7) == 0 || (y & 7) == 0;
    case BrushStyle::DiagCross: return ((x - y) & 7) == 0 || ((x + y) & 7) == 0;
    default: return true;
    }
}

Rect Intersect(Rect a, Rect b)
{
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top)
        return Rect{};
    return r;
}

// Bounds of floating-point geometry, grown to whole pixels and kept in int range.
Rect BoundsOf(double x0, double y0, double x1, double y1)
{
    auto lo = [](double v) { return int(std::clamp(std::floor(v) - 1, -1e9, 1e9)); };
    auto hi = [](double v) { return int(std::clamp(std::ceil(v) + 1, -1e9, 1e9)); };
    return Rect{lo(x0), lo(y0), hi(x1), hi(y1)};
}

int EllipsePointCount(double rx, double ry)
{
    return rx <= 0 || ry <= 0 ? 0 : std::clamp(int(std::max(rx, ry) * 2), 16, 1024);
}

std::vector<std::pair<double, double>> EllipsePoints(double cx, double cy, double rx, double ry)
{
    std::vector<std::pair<double, double>> pts;
    const int n = EllipsePointCount(rx, ry);
    for (int i = 0; i < n; ++i) {
        double a = 2 * std::numbers::pi * i / n;
        pts.emplace_back(cx + rx * std::cos(a), cy + ry * std::sin(a));
    }
    return pts;
}

// A box with quarter-ellipse corners of radii rx, ry (0 for square corners).
std::vector<std::pair<double, double>> RoundBoxPoints(double l, double t, double r, double b, double rx, double ry)
{
    std::vector<std::pair<double, double>> pts;
    if (r <= l || b <= t)
        return pts;
    rx = std::min(rx, (r - l) / 2);
    ry = std::min(ry, (b - t) / 2);
    if (rx <= 0 || ry <= 0)
        return {{l, t}, {r, t}, {r, b}, {l, b}};
    const int n = std::clamp(int(std::max(rx, ry) / 2), 4, 256);
    const double cx[4] = {r - rx, l + rx, l + rx, r - rx}, cy[4] = {t + ry, t + ry, b - ry, b - ry};
    for (int q = 0; q < 4; ++q)
        for (int i = 0; i <= n; ++i) {
            double a = std::numbers::pi / 2 * (q + double(i) / n);
            pts.emplace_back(cx[q] + rx * std::cos(a), cy[q] - ry * std::sin(a));
        }
    return pts;
}

} // namespace

Canvas::Canvas(Bitmap& target) : target_(target), fonts_(std::make_shared<CanvasFontCache>())
{
    if (target.Bits() < 24)
        throw Error("A canvas needs a 24 or 32-bit bitmap");
    ResetClipRect();
}

void Canvas::SetClipRect(Rect r)
{
    clip_ = Intersect(r, Rect{0, 0, target_.Width(), target_.Height()});
}

void Canvas::ResetClipRect()
{
    clip_ = Rect{0, 0, target_.Width(), target_.Height()};
}

void Canvas::Resize(int width, int height)
{
    Bitmap old(0, 0, target_.Format());
    std::swap(old, target_);
    target_.SetSize(width, height);
    ResetClipRect();
    region_.reset();
    Draw(0, 0, old);
}

void Canvas::Spend(int64_t units)
{
    if (units > workLeft_)
        throw BadInput("picture too complex");
    workLeft_ -= units;
}

Canvas::Mask Canvas::NewMask(Rect bounds)
{
    Mask m;
    m.box = Intersect(bounds, clip_);
    const int64_t area = int64_t(m.box.Width()) * m.box.Height();
    // Setting up the mask and scanning it again in Apply.
    Spend(area / 16 + 1);
    m.cover.assign(size_t(area), 0);
    return m;
}

void Canvas::FillPolygons(Mask& m, const std::vector<PolyF>& polys, FillRule rule, uint8_t value)
{
    if (m.cover.empty())
        return;
    std::vector<Edge<double>> edges;
    for (const auto& p : polys) {
        const size_t n = p.pts.size();
        for (size_t i = 0; i < n; ++i) {
            auto [x0, y0] = p.pts[i];
            auto [x1, y1] = p.pts[(i + 1) % n];
            if (y0 != y1 && std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))
                edges.push_back({x0, y0, x1, y1});
        }
    }
    FillEdges(m, edges, rule, value);
}

void Canvas::FillGiven(Mask& m, const std::vector<std::vector<PointF>>& polygons, FillRule rule, uint8_t value)
{
    std::vector<Edge<double>> edges;
    for (const auto& poly : polygons) {
        Spend(kOutlinePointCost * int64_t(poly.size()));
        for (size_t i = 0, n = poly.size(); i < n; ++i) {
            const PointF a = poly[i], b = poly[(i + 1) % n];
            if (a.y != b.y && std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y))
                edges.push_back({a.x, a.y, b.x, b.y});
        }
    }
    FillEdges(m, edges, rule, value);
}

template <typename Edge>
void Canvas::FillEdges(Mask& m, std::vector<Edge>& edges, FillRule rule, uint8_t value)
{
    if (m.cover.empty() || edges.empty())
        return;
    // Sorting n edges, or a row's n crossings below, costs 3 n log n units
    // (measured on polygons of 4M random edges, where a row crosses 700,000
    // of them); working a crossing out, a few more.
    const auto sortCost = [](int64_t n) { return 3 * n * std::bit_width(uint64_t(n)); };
    Spend(sortCost(int64_t(edges.size())));
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.Top() < b.Top(); });
    // Only the rows the edges span are scanned.
    double bottom = edges.front().Bottom();
    for (const Edge& e : edges)
        bottom = std::max(bottom, e.Bottom());
    const Rect rows = BoundsOf(0, edges.front().Top(), 0, bottom);
    std::vector<uint32_t> active;
    std::vector<std::pair<double, int>> xs;
    size_t next = 0;
    for (int y = std::max(m.box.top, rows.top); y < std::min(m.box.bottom, rows.bottom); ++y) {
        const double yc = y + 0.5;
        while (next < edges.size() && edges[next].Top() <= yc)
            active.push_back(uint32_t(next++));
        std::erase_if(active, [&](uint32_t i) { return edges[i].Bottom() <= yc; });
        Spend(4 * int64_t(active.size()) + sortCost(int64_t(active.size())) + 1);
        xs.clear();
        for (uint32_t i : active)
            xs.emplace_back(edges[i].XAt(yc), edges[i].Dir());
        std::sort(xs.begin(), xs.end());
        int winding = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            winding += rule == FillRule::Alternate ? 1 : xs[i].second;
            const bool inside = rule == FillRule::Alternate ? (winding & 1) : winding != 0;
            if (!inside)
                continue;
            // Pixel x is in when its centre x + 0.5 lies in [xa, xb).
            const double a = std::ceil(xs[i].first - 0.5), b = std::ceil(xs[i + 1].first - 0.5);
            const int x0 = int(std::max<double>(a, m.box.left)), x1 = int(std::min<double>(b, m.box.right));
            if (x1 > x0)
                Spend(x1 - x0);
            for (int x = x0; x < x1; ++x)
                m.At(x, y) = value;
        }
    }
}

void Canvas::ThinLine(Mask& m, Point a, Point b, int& dashPos)
{
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    const int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0)
        return;
    auto pattern = DashPattern(pen.style);
    // Steps are worked out directly, so only those near the mask are visited.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t major0 = xMajor ? a.x : a.y, dMajor = xMajor ? dx : dy;
    const Rect& box = m.box;
    const int64_t lo = xMajor ? box.left : box.top, hi = xMajor ? box.right : box.bottom;
    int64_t i0 = 0, i1 = n;
    if (dMajor > 0) {
        i0 = std::max<int64_t>(i0, lo - major0);
        i1 = std::min<int64_t>(i1, hi - major0);
    } else {
        i0 = std::max<int64_t>(i0, major0 - hi + 1);
        i1 = std::min<int64_t>(i1, major0 - lo + 1);
    }
    Spend(kLineStepCost * std::max<int64_t>(0, i1 - i0) + 1);
    const int64_t minorD = xMajor ? dy : dx, sMinor = minorD < 0 ? -1 : 1, aMinor = std::llabs(minorD);
    const int64_t sMajor = dMajor < 0 ? -1 : 1;
    for (int64_t i = i0; i < i1; ++i) {
        const int64_t maj = major0 + i * sMajor;
        // 128 bits: far-off end points make the product exceed 64 bits.
        const int64_t mnr = (xMajor ? a.y : a.x) + sMinor * int64_t((__int128(2) * i * aMinor + n) / (2 * __int128(n)));
        const int64_t x = xMajor ? maj : mnr, y = xMajor ? mnr : maj;
        if (x < box.left || x >= box.right || y < box.top || y >= box.bottom)
            continue;
        const bool on = pattern.empty() || OnDash(pattern, dashPos + i);
        m.At(int(x), int(y)) = on ? kOutline : kGap;
    }
    dashPos += int(n % 24); // every pattern period divides 24
}

void Canvas::WideStroke(Mask& m, std::span<const Point> points, bool closed)
{
    // Round joins and caps: the union of a disc at every vertex and a band
    // along every segment, all wound the same way. Each part is charged
    // before it is built, and the parts are filled a batch at a time: a
    // wide pen along many points would otherwise hold an outline out of all
    // proportion to the picture. Integer coordinates name pixel centres here.
    constexpr size_t kBatchPoints = size_t(1) << 16;
    const double half = pen.width / 2.0;
    std::vector<PolyF> parts;
    size_t batched = 0;
    auto add = [&](std::vector<std::pair<double, double>> pts) {
        double area = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            auto [x0, y0] = pts[i];
            auto [x1, y1] = pts[(i + 1) % pts.size()];
            area += x0 * y1 - x1 * y0;
        }
        if (area < 0)
            std::reverse(pts.begin(), pts.end());
        batched += pts.size();
        parts.push_back(PolyF{std::move(pts)});
        if (batched >= kBatchPoints) {
            FillPolygons(m, parts, FillRule::Winding, kOutline);
            parts.clear();
            batched = 0;
        }
    };
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const double ax = points[i].x + 0.5, ay = points[i].y + 0.5;
        Spend(kOutlinePointCost * EllipsePointCount(half, half));
        add(EllipsePoints(ax, ay, half, half));
        if (i + 1 == n && !closed)
            break;
        const Point q = points[(i + 1) % n];
        const double bx = q.x + 0.5, by = q.y + 0.5;
        const double len = std::hypot(bx - ax, by - ay);
        if (len == 0)
            continue;
        const double nx = -(by - ay) / len * half, ny = (bx - ax) / len * half;
        Spend(kOutlinePointCost * 4);
        add({{ax + nx, ay + ny}, {bx + nx, by + ny}, {bx - nx, by - ny}, {ax - nx, ay - ny}});
    }
    FillPolygons(m, parts, FillRule::Winding, kOutline);
}

void Canvas::StrokePolyline(Mask& m, std::span<const Point> points, bool closed)
{
    if (pen.style == PenStyle::Clear || points.empty())
        return;
    if (pen.width > 1) {
        WideStroke(m, points, closed);
        return;
    }
    int dashPos = 0;
    for (size_t i = 0; i + 1 < points.size(); ++i)
        ThinLine(m, points[i], points[i + 1], dashPos);
    if (closed && points.size() > 1)
        ThinLine(m, points.back(), points.front(), dashPos);
}

namespace {

Rect PointBounds(std::span<const Point> pts, int grow)
{
    int64_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const Point& p : pts) {
        x0 = std::min<int64_t>(x0, p.x), y0 = std::min<int64_t>(y0, p.y);
        x1 = std::max<int64_t>(x1, p.x), y1 = std::max<int64_t>(y1, p.y);
    }
    return BoundsOf(double(x0) - grow, double(y0) - grow, double(x1) + grow + 1, double(y1) + grow + 1);
}

} // namespace

void Canvas::LineTo(int x, int y)
{
    const Point pts[2] = {penPos_, {x, y}};
    Mask m = NewMask(PointBounds(pts, pen.width));
    if (!m.cover.empty())
        StrokePolyline(m, pts, false);
    Apply(m);
    penPos_ = {x, y};
}

void Canvas::Polyline(std::span<const Point> points)
{
    if (points.size() < 2)
        return;
    Mask m = NewMask(PointBounds(points, pen.width));
    if (!m.cover.empty())
        StrokePolyline(m, points, false);
    Apply(m);
}

void Canvas::PolyPolyline(const std::vector<std::vector<Point>>& lines)
{
    std::vector<Point> all;
    for (const auto& l : lines)
        all.insert(all.end(), l.begin(), l.end());
    if (all.empty())
        return;
    Mask m = NewMask(PointBounds(all, pen.width));
    if (m.cover.empty())
        return;
    for (const auto& l : lines)
        if (l.size() >= 2)
            StrokePolyline(m, l, false);
    Apply(m);
}

void Canvas::Polygon(std::span<const Point> points)
{
    PolyPolygon({std::vector<Point>(points.begin(), points.end())});
}

namespace {

std::vector<Edge<int>> EdgesOf(const std::vector<std::vector<Point>>& polygons)
{
    size_t points = 0;
    for (const auto& p : polygons)
        points += p.size();
    std::vector<Edge<int>> edges;
    edges.reserve(points);
    for (const auto& p : polygons)
        for (size_t i = 0; i < p.size(); ++i) {
            const Point a = p[i], b = p[(i + 1) % p.size()];
            if (a.y != b.y)
                edges.push_back({a.x, a.y, b.x, b.y});
        }
    return edges;
}

Rect PolygonBounds(const std::vector<std::vector<Point>>& polygons, int grow)
{
    Rect bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const auto& p : polygons) {
        if (p.empty())
            continue;
        const Rect b = PointBounds(p, grow);
        bounds = Rect{std::min(bounds.left, b.left), std::min(bounds.top, b.top), std::max(bounds.right, b.right),
                      std::max(bounds.bottom, b.bottom)};
    }
    return bounds;
}

} // namespace

ClipRegion Canvas::PolygonRegion(const std::vector<std::vector<Point>>& polygons, FillRule rule)
{
    const Rect bounds = PolygonBounds(polygons, 0);
    if (bounds.left > bounds.right)
        return {};
    Mask m;
    m.box = Intersect(bounds, Rect{0, 0, target_.Width(), target_.Height()});
    const int64_t area = int64_t(m.box.Width()) * m.box.Height();
    // Setting the mask up, then scanning it into runs.
    Spend(area / 8 + 1);
    m.cover.assign(size_t(area), 0);
    auto edges = EdgesOf(polygons);
    FillEdges(m, edges, rule, kInterior);
    return ClipRegion(m.box, m.cover);
}

void Canvas::PolyPolygon(const std::vector<std::vector<Point>>& polygons)
{
    const Rect bounds = PolygonBounds(polygons, pen.width);
    if (bounds.left > bounds.right)
        return;
    Mask m = NewMask(bounds);
    if (m.cover.empty())
        return;
    if (brush.style != BrushStyle::Clear) {
        auto edges = EdgesOf(polygons);
        FillEdges(m, edges, fillRule, kInterior);
    }
    for (const auto& p : polygons)
        StrokePolyline(m, p, true);
    Apply(m);
}

void Canvas::BoxShape(Rect box, const std::vector<PolyF>& outer, const std::vector<PolyF>& inner,
                      const std::vector<PolyF>& fillOnly)
{
    int64_t points = 0;
    for (const auto* shapes : {&outer, &inner, &fillOnly})
        for (const PolyF& p : *shapes)
            points += int64_t(p.pts.size());
    Spend(kOutlinePointCost * points);
    const int g = pen.style == PenStyle::Clear ? 0 : std::max(1, pen.width);
    Mask m = NewMask(BoundsOf(double(box.left) - g, double(box.top) - g, double(box.right) + g, double(box.bottom) + g));
    if (m.cover.empty())
        return;
    const uint8_t inside = brush.style == BrushStyle::Clear ? 0 : kInterior;
    if (pen.style == PenStyle::Clear) {
        FillPolygons(m, fillOnly, FillRule::Winding, inside);
    } else {
        FillPolygons(m, outer, FillRule::Winding, kOutline);
        FillPolygons(m, inner, FillRule::Winding, inside);
    }
    Apply(m);
}

void Canvas::Rectangle(int left, int top, int right, int bottom)
{
    RoundRect(left, top, right, bottom, 0, 0);
}

void Canvas::RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight)
{
    const double l = std::min(left, right), r = std::max(left, right);
    const double t = std::min(top, bottom), b = std::max(top, bottom);
    const double rx = std::abs(ellipseWidth) / 2.0, ry = std::abs(ellipseHeight) / 2.0;
    const int w = std::max(1, pen.width);
    const double g = (w - 1) / 2;
    BoxShape(Rect{int(l), int(t), int(r), int(b)},
             {PolyF{RoundBoxPoints(l - g, t - g, r + g, b + g, rx + g, ry + g)}},
             {PolyF{RoundBoxPoints(l - g + w, t - g + w, r + g - w, b + g - w, rx + g - w, ry + g - w)}},
             {PolyF{RoundBoxPoints(l, t, r - 1, b - 1, rx, ry)}});
}

void Canvas::Ellipse(int left, int top, int right, int bottom)
{
    const double l = std::min(left, right), r = std::max(left, right);
    const double t = std::min(top, bottom), b = std::max(top, bottom);
    const int w = std::max(1, pen.width);
    const double g = (w - 1) / 2;
    auto ellipse = [](double l, double t, double r, double b) {
        return PolyF{EllipsePoints((l + r) / 2, (t + b) / 2, (r - l) / 2, (b - t) / 2)};
    };
    BoxShape(Rect{int(l), int(t), int(r), int(b)}, {ellipse(l - g, t - g, r + g, b + g)},
             {ellipse(l - g + w, t - g + w, r + g - w, b + g - w)}, {ellipse(l, t, r - 1, b - 1)});
}

void Canvas::FillRect(Rect r)
{
    Mask m = NewMask(r);
    std::fill(m.cover.begin(), m.cover.end(), brush.style == BrushStyle::Clear ? 0 : kInterior);
    const PenMode mode = pen.mode;
    pen.mode = PenMode::Copy;
    Apply(m);
    pen.mode = mode;
}

void Canvas::Apply(const Mask& m)
{
    const int bpp = target_.Bits() / 8;
    const bool opaque = backgroundMode == BackgroundMode::Opaque;
    const int w = m.box.Width();
    for (int y = m.box.top; y < m.box.bottom; ++y) {
        const uint8_t* cover = m.cover.data() + size_t(y - m.box.top) * w;
        uint8_t* row = target_.ScanLine(y);
        int64_t written = 0;
        ForClipRuns(y, m.box.left, m.box.right, [&](int x0, int x1) {
            for (int x = x0; x < x1; ++x) {
                // Long empty stretches of the mask are passed over a word at a time.
                if (const int i = x - m.box.left; (i & 7) == 0 && i + 8 <= w) {
                    uint64_t word;
                    std::memcpy(&word, cover + i, 8);
                    if (word == 0) {
                        x += 7;
                        continue;
                    }
                }
                TColor c;
                switch (cover[x - m.box.left]) {
                case kOutline: c = pen.color; break;
                case kInterior:
                    c = BrushAt(x, y, opaque);
                    if (c == clInvalid)
                        continue;
                    break;
                case kGap:
                    if (!opaque)
                        continue;
                    c = backgroundColor;
                    break;
                default: continue;
                }
                uint8_t* p = row + int64_t(x) * bpp;
                const uint8_t bgr[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
                for (int k = 0; k < 3; ++k)
                    p[k] = pen.mode == PenMode::Copy ? bgr[k] : uint8_t(~(p[k] ^ bgr[k]));
                ++written;
            }
        });
        Spend(brush.pattern ? kPatternPixelCost * written : written);
    }
}

TColor Canvas::BrushAt(int x, int y, bool opaque) const
{
    if (const Bitmap* tile = brush.pattern; tile && !tile->Empty()) {
        const int tx = (x % tile->Width() + tile->Width()) % tile->Width();
        const int ty = (y % tile->Height() + tile->Height()) % tile->Height();
        if (brush.monoPattern)
            return tile->RawPixel(tx, ty) == 0 ? font.color : backgroundColor;
        return tile->Pixel(tx, ty);
    }
    return HatchOn(brush.style, x, y) ? brush.color : opaque ? backgroundColor : clInvalid;
}

TColor Canvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= target_.Width() || y >= target_.Height())
        return clInvalid;
    return target_.Pixel(x, y);
}

void Canvas::SetPixel(int x, int y, TColor c)
{
    if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom)
        ForClipRuns(y, x, x + 1, [&](int, int) { target_.SetPixel(x, y, c); });
}

void Canvas::StretchDraw(Rect dst, const Bitmap& src, Rect srcRect, StretchMode mode)
{
    const Rect dn{std::min(dst.left, dst.right), std::min(dst.top, dst.bottom), std::max(dst.left, dst.right),
                  std::max(dst.top, dst.bottom)};
    const Rect area = Intersect(dn, clip_);
    if (area.Width() == 0)
        return;
    // Stretch into a copy of the clipped area, which also makes a copy from
    // the target itself safe.
    Bitmap part(area.Width(), area.Height(), PixelFormat::pf24bit);
    const int bpp = target_.Bits() / 8;
    for (int y = 0; y < area.Height(); ++y)
        for (int x = 0; x < area.Width(); ++x)
            std::copy_n(target_.ScanLine(area.top + y) + int64_t(area.left + x) * bpp, 3, part.ScanLine(y) + 3 * x);
    // Copied out, stretched and copied back: three passes over the area.
    Spend(3 * int64_t(area.Width()) * area.Height() + 1);
    StretchBlt(part, Rect{dst.left - area.left, dst.top - area.top, dst.right - area.left, dst.bottom - area.top}, src,
               srcRect, mode);
    for (int y = 0; y < area.Height(); ++y)
        ForClipRuns(area.top + y, area.left, area.right, [&](int x0, int x1) {
            for (int x = x0 - area.left; x < x1 - area.left; ++x)
                std::copy_n(part.ScanLine(y) + 3 * x, 3, target_.ScanLine(area.top + y) + int64_t(area.left + x) * bpp);
        });
}

void Canvas::CopyRect(Rect dst, Rect src)
{
    StretchDraw(dst, target_, src, StretchMode::ColorOnColor);
}

void Canvas::Draw(int x, int y, const Bitmap& src)
{
    const Rect area = Intersect(Rect{x, y, x + src.Width(), y + src.Height()}, clip_);
    if (area.Width() == 0)
        return;
    const int bpp = target_.Bits() / 8;
    if (src.Format() == target_.Format() && &src != &target_) {
        for (int row = area.top; row < area.bottom; ++row)
            ForClipRuns(row, area.left, area.right, [&](int x0, int x1) {
                std::copy_n(src.ScanLine(row - y) + int64_t(x0 - x) * bpp, size_t(x1 - x0) * bpp,
                            target_.ScanLine(row) + int64_t(x0) * bpp);
            });
        return;
    }
    StretchDraw(Rect{x, y, x + src.Width(), y + src.Height()}, src, Rect{0, 0, src.Width(), src.Height()});
}

Point Canvas::TextExtent(const std::u16string& text) const
{
    int64_t cost; // charged when the text is drawn
    const CanvasFont& f = fonts_->Get(font, cost);
    QString s = QString::fromUtf16(text.data(), qsizetype(text.size()));
    return Point{int(std::lround(f.metrics.horizontalAdvance(s) * StretchOf(f, font.width))),
                 int(std::lround(f.metrics.height()))};
}

void Canvas::TextOut(int x, int y, const std::string& utf8)
{
    const QString s = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    TextOut(x, y, std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size())));
}

void Canvas::TextOut(int x, int y, const std::u16string& text)
{
    if (text.empty())
        return;
    MixText(text, x, y, {});
}

void Canvas::TextOut(int x, int y, const std::u16string& text, std::span<const double> advances)
{
    if (text.empty())
        return;
    MixText(text, x, y, advances.size() == text.size() ? advances : std::span<const double>{});
}

void Canvas::MixText(const std::u16string& text, int x, int y, std::span<const double> advances)
{
    int64_t cost;
    const CanvasFont& cf = fonts_->Get(font, cost);
    Spend(cost);
    const QFont& qf = cf.qfont;
    const double stretch = StretchOf(cf, font.width);
    const QFontMetricsF& fm = cf.metrics;
    const QString s = QString::fromUtf16(text.data(), qsizetype(text.size()));
    double w = 0;
    if (advances.empty())
        w = fm.horizontalAdvance(s) * stretch;
    for (double a : advances)
        w += a;
    const double ascent = fm.ascent(), descent = fm.descent();
    const double ox = textHAlign == TextHAlign::Left ? 0 : textHAlign == TextHAlign::Center ? -w / 2 : -w;
    const double oy = textVAlign == TextVAlign::Top ? ascent : textVAlign == TextVAlign::Baseline ? 0 : -descent;
    const double angle = font.escapement / 10.0 * std::numbers::pi / 180;
    const double ca = std::cos(angle), sa = std::sin(angle);
    // Text space to the picture: counter-clockwise on screen, y pointing down.
    auto place = [&](double tx, double ty) { return std::pair{x + tx * ca + ty * sa, y - tx * sa + ty * ca}; };
    PolyF cell;
    const double x0w = std::min(ox, ox + w), x1w = std::max(ox, ox + w); // advances may run backwards
    for (auto [tx, ty] : {std::pair{x0w, oy - ascent}, {x1w, oy - ascent}, {x1w, oy + descent}, {x0w, oy + descent}})
        cell.pts.push_back(place(tx, ty));
    double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
    for (auto [px, py] : cell.pts)
        x0 = std::min(x0, px), y0 = std::min(y0, py), x1 = std::max(x1, px), y1 = std::max(y1, py);

    if (backgroundMode == BackgroundMode::Opaque) {
        Mask bg = NewMask(BoundsOf(x0, y0, x1, y1));
        FillPolygons(bg, {cell}, FillRule::Winding, kInterior);
        const Brush saved = brush;
        brush = Brush{backgroundColor, BrushStyle::Solid};
        Apply(bg);
        brush = saved;
    }
    // Underline and overhangs reach a little past the cell.
    const double margin = fm.height() / 4 + 2;
    const Rect box = Intersect(BoundsOf(x0 - margin, y0 - margin, x1 + margin, y1 + margin), clip_);
    if (box.Width() == 0)
        return;
    Spend(int64_t(box.Width()) * box.Height() + 1);
    QImage img(box.Width(), box.Height(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(qf);
        p.setPen(Qt::white);
        auto [bx, by] = place(ox, oy);
        p.translate(bx - box.left, by - box.top);
        p.rotate(-font.escapement / 10.0);
        if (advances.empty()) {
            p.scale(stretch, 1);
            p.drawText(QPointF(0, 0), s);
        } else {
            // Characters placed on their own: each is shaped and drawn
            // alone, unless it lands too far off the picture to show.
            const double reach = (fm.height() + fm.maxWidth()) * stretch + margin;
            const QRectF near(box.left - bx - reach, box.top - by - reach, box.Width() + 2 * reach,
                              box.Height() + 2 * reach);
            double at = 0;
            for (qsizetype i = 0; i < s.size(); ++i) {
                const qsizetype n = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
                if (near.contains(at * ca, -at * sa)) {
                    Spend(kGlyphCost);
                    p.save();
                    p.translate(at, 0);
                    p.scale(stretch, 1);
                    p.drawText(QPointF(0, 0), s.mid(i, n));
                    p.restore();
                }
                for (qsizetype k = i; k < i + n; ++k)
                    at += advances[size_t(k)];
                i += n - 1;
            }
        }
    }
    const int bpp = target_.Bits() / 8;
    const uint8_t col[3] = {GetBValue(font.color), GetGValue(font.color), GetRValue(font.color)};
    for (int yy = 0; yy < box.Height(); ++yy) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(yy));
        uint8_t* row = target_.ScanLine(box.top + yy);
        ForClipRuns(box.top + yy, box.left, box.right, [&](int x0, int x1) {
            for (int xx = x0 - box.left; xx < x1 - box.left; ++xx) {
                const int a = qAlpha(line[xx]);
                if (a == 0)
                    continue;
                uint8_t* px = row + int64_t(box.left + xx) * bpp;
                for (int k = 0; k < 3; ++k) {
                    if (pen.mode == PenMode::NotXor)
                        px[k] = a >= 128 ? uint8_t(~(px[k] ^ col[k])) : px[k];
                    else
                        px[k] = uint8_t((px[k] * (255 - a) + col[k] * a + 127) / 255);
                }
            }
        });
    }
}

} // namespace pc
