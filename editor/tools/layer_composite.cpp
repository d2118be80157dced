#include "editor/tools/layer_composite.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/errors.h"

namespace pc::editor {

namespace {

// A point where a row crosses an edge of the quad, with the picture
// coordinates it shows.
struct Crossing {
    int x;
    double u, v;
};

double Near(double v)
{
    return std::trunc(v + 0.5);
}

// Where row y crosses the edge a-b, if it does within the edge's extent.
// t runs from `from` (a or b) along the edge, measured by x for flat edges
// and by y for steep ones.
bool CrossEdge(int y, Point a, Point b, Point from, double& x, double& t)
{
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    if (dy == 0)
        return false; // parallel to the row
    const double ix = std::trunc(a.x + (y - a.y) * dx / dy);
    if (ix < std::min(a.x, b.x) || ix > std::max(a.x, b.x) || y < std::min(a.y, b.y) || y > std::max(a.y, b.y))
        return false;
    x = ix;
    t = std::abs(dy) < std::abs(dx) ? std::abs(ix - from.x) / std::abs(dx) : std::abs(y - from.y) / std::abs(dy);
    return true;
}

} // namespace

void CompositeLayer(Bitmap& target, Rect region, const Bitmap& picture, const std::array<Point, 4>& corners,
                    const LayerOptions& o)
{
    if (target.Format() != PixelFormat::pf24bit || picture.Format() != PixelFormat::pf24bit)
        throw Error("The floating picture works on 24-bit pictures");
    if (picture.Empty())
        return;
    region.left = std::max(region.left, 0);
    region.top = std::max(region.top, 0);
    region.right = std::min(region.right, target.Width());
    region.bottom = std::min(region.bottom, target.Height());
    const int w1 = picture.Width() - 1, h1 = picture.Height() - 1;
    const auto [p1, p2, p3, p4] = corners;
    const int alpha = std::clamp(o.alphaWeight, 0, 100);
    const int tb = GetBValue(o.transparentColor), tg = GetGValue(o.transparentColor), tr = GetRValue(o.transparentColor);
    auto near = [&](int c, int t) { return c > t - o.diffuse && c < t + o.diffuse; };
    auto pixel = [&](int u, int v) { return picture.ScanLine(v) + u * 3; };

    for (int y = region.top; y < region.bottom; ++y) {
        Crossing found[3];
        int n = 0;
        double x, t;
        if (CrossEdge(y, p1, p2, p1, x, t))
            found[n++] = {int(x), Near(w1 * t), 0};
        if (CrossEdge(y, p2, p3, p2, x, t))
            found[n++] = {int(x), double(w1), Near(h1 * t)};
        if (CrossEdge(y, p3, p4, p4, x, t))
            found[n++] = {int(x), Near(w1 * t), double(h1)};
        if (n < 3 && CrossEdge(y, p4, p1, p1, x, t))
            found[n++] = {int(x), 0, Near(h1 * t)};
        // A layer one pixel high lies along its top edge, which no row crosses.
        if (n < 2 && p1.y == y && p2.y == y) {
            found[0] = {p1.x, 0, 0};
            found[1] = {p2.x, double(w1), 0};
            n = 2;
        }
        // A row through a corner meets both of its edges there.
        if (n == 3 && found[0].x == found[1].x)
            found[0] = found[2];
        if (n < 2)
            continue;
        Crossing a = found[0], b = found[1];
        if (a.x > b.x)
            std::swap(a, b);
        // Where both crossings meet (a layer one pixel wide, a corner) one
        // pixel is covered.
        const int span = std::max(b.x - a.x, 1);
        uint8_t* row = target.ScanLine(y);
        const int x0 = std::max(a.x, region.left), x1 = std::min(b.x, region.right - 1);
        for (int px = x0; px <= x1; ++px) {
            // Multiplied before dividing: whole picture coordinates come out
            // exact, so a layer at its own size lands pixel for pixel.
            const double U = a.u + (b.u - a.u) * (px - a.x) / span;
            const double V = a.v + (b.v - a.v) * (px - a.x) / span;
            const int iu = std::clamp(int(U), 0, w1), iv = std::clamp(int(V), 0, h1);
            const double fu = U - iu, fv = V - iv;
            int colour[3];
            if (iv < h1 - 1 && iu < w1 - 1) {
                const uint8_t *q00 = pixel(iu, iv), *q10 = pixel(iu + 1, iv), *q01 = pixel(iu, iv + 1),
                              *q11 = pixel(iu + 1, iv + 1);
                // Bilinear, as two steps across and one down: equal
                // neighbours give back their own level exactly.
                for (int c = 0; c < 3; ++c) {
                    const double top = q00[c] + (q10[c] - q00[c]) * fu;
                    const double bottom = q01[c] + (q11[c] - q01[c]) * fu;
                    colour[c] = int(top + (bottom - top) * fv);
                }
            } else {
                const uint8_t* q = pixel(iu, iv);
                for (int c = 0; c < 3; ++c)
                    colour[c] = q[c];
            }
            if (o.transparent && near(colour[0], tb) && near(colour[1], tg) && near(colour[2], tr))
                continue;
            uint8_t* under = row + px * 3;
            for (int c = 0; c < 3; ++c)
                under[c] = uint8_t((under[c] * alpha + colour[c] * (100 - alpha)) / 100);
        }
    }
}

} // namespace pc::editor
