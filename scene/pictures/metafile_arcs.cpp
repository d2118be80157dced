// Arcs, chords, pies, ArcTo and AngleArc. Each is worked out as points on its
// ellipse in logical units and drawn through the polyline and polygon calls,
// so pens, paths and the current position treat it as any other figure.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "scene/pictures/metafile_device.h"
#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// a reduced into (0, 2 pi]: a sweep that ends where it starts goes all round.
double WholeTurnsOff(double a)
{
    a = std::fmod(a, kTwoPi);
    return a <= 0 ? a + kTwoPi : a;
}

} // namespace

Device::EllipseFrame Device::FrameOf(double l, double t, double r, double b) const
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    const DPoint c{(l + r) / 2, (t + b) / 2};
    const double rx = (r - l) / 2, ry = (b - t) / 2;
    EllipseFrame f{c, {rx, 0}, {0, ry}, 0, false};
    // The logical-to-output mapping is affine: its columns and determinant.
    const DPoint o = ToOutput(0, 0), ox = ToOutput(1, 0), oy = ToOutput(0, 1);
    const double ax = ox.x - o.x, ay = ox.y - o.y, bx = oy.x - o.x, by = oy.y - o.y;
    const double det = ax * by - bx * ay;
    f.flipped = det < 0;
    const DPoint co = ToOutput(c.x, c.y);
    const DPoint u{ax * rx, ay * rx}, v{bx * ry, by * ry};
    const double hx = std::hypot(u.x, v.x), hy = std::hypot(u.y, v.y);
    f.pixels = std::isfinite(hx) && std::isfinite(hy) ? std::max(hx, hy) : 0;
    if (!std::isfinite(det) || std::abs(det) < 1e-12 || f.pixels == 0)
        return f;
    // As a filled ellipse does, the outline leaves out the right and bottom
    // pixel edges of its box: shrunk by a pixel on those sides in the output,
    // then taken back to logical units.
    const double kx = hx > 0.5 ? (hx - 0.5) / hx : 0, ky = hy > 0.5 ? (hy - 0.5) / hy : 0;
    auto back = [&](double x, double y) { return DPoint{(by * x - bx * y) / det, (ax * y - ay * x) / det}; };
    const DPoint cs = back(co.x - 0.5 - o.x, co.y - 0.5 - o.y);
    f.centre = cs;
    f.u = back(u.x * kx, u.y * ky);
    f.v = back(v.x * kx, v.y * ky);
    return f;
}

double Device::AngleOf(double l, double t, double r, double b, DPoint p)
{
    const double rx = std::abs(r - l) / 2, ry = std::abs(b - t) / 2;
    // The parameter angle where the ray from the centre through p meets the ellipse.
    return std::atan2((p.y - (t + b) / 2) * rx, (p.x - (l + r) / 2) * ry);
}

std::vector<DPoint> Device::ArcPoints(const EllipseFrame& f, double a0, double sweep)
{
    // About as many steps as the outline of a filled ellipse of this size.
    const double whole = std::clamp(f.pixels * 2, 16.0, 1024.0);
    const int64_t steps = std::max<int64_t>(2, int64_t(std::ceil(whole * std::abs(sweep) / kTwoPi)));
    Spend(kPointCost * (steps + 1));
    std::vector<DPoint> pts;
    pts.reserve(size_t(steps) + 1);
    for (int64_t i = 0; i <= steps; ++i) {
        const double a = a0 + sweep * double(i) / double(steps);
        pts.push_back({f.centre.x + f.u.x * std::cos(a) + f.v.x * std::sin(a),
                       f.centre.y + f.u.y * std::cos(a) + f.v.y * std::sin(a)});
    }
    return pts;
}

double Device::ArcSweep(const EllipseFrame& f, double from, double to) const
{
    // The parameter angle grows from +x towards +y, clockwise where y points
    // down. Counter-clockwise holds in logical units as an enhanced metafile
    // is played; a Windows metafile's arcs turn on the device.
    bool counter = state_.arcDirection != kClockwise;
    if (deviceSpaceArcs_ && f.flipped)
        counter = !counter;
    return counter ? -WholeTurnsOff(from - to) : WholeTurnsOff(to - from);
}

void Device::Arc(ArcKind kind, double l, double t, double r, double b, DPoint start, DPoint end)
{
    const EllipseFrame f = FrameOf(l, t, r, b);
    const double a0 = AngleOf(l, t, r, b, start), a1 = AngleOf(l, t, r, b, end);
    std::vector<DPoint> pts = ArcPoints(f, a0, ArcSweep(f, a0, a1));
    switch (kind) {
    case ArcKind::Arc: Polyline(pts); break;
    case ArcKind::ArcTo: PolylineTo(pts); break;
    case ArcKind::Chord: Polygon(OneFigure(std::move(pts))); break;
    case ArcKind::Pie:
        pts.insert(pts.begin(), f.centre);
        Polygon(OneFigure(std::move(pts)));
        break;
    }
}

void Device::AngleArc(DPoint centre, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees))
        return;
    // More than a turn is swept again over the same circle: one turn and
    // the rest are enough to end in the same place.
    if (std::abs(sweepDegrees) > 360)
        sweepDegrees = std::copysign(360 + std::fmod(std::abs(sweepDegrees), 360), sweepDegrees);
    // Angles count counter-clockwise from +x, against the parameter angle.
    const EllipseFrame f = FrameOf(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius);
    const double toRadians = std::numbers::pi / 180;
    PolylineTo(ArcPoints(f, -std::fmod(startDegrees, 360) * toRadians, -sweepDegrees * toRadians));
}

std::vector<DPoint> Device::EllipsePath(double l, double t, double r, double b)
{
    const EllipseFrame f = FrameOf(l, t, r, b);
    auto pts = ArcPoints(f, 0, ArcSweep(f, 0, 0));
    pts.pop_back(); // the figure closes on its first point
    return pts;
}

} // namespace pc::metafile
