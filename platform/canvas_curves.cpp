// Bezier curves, flattened into a polyline that is drawn in one mask.
#include <algorithm>
#include <cmath>

#include "platform/canvas.h"

namespace pc {

void Canvas::PolyBezier(std::span<const Point> points)
{
    if (points.size() < 4)
        return;
    std::vector<Point> line{points[0]};
    for (size_t i = 0; i + 3 < points.size(); i += 3) {
        const Point* p = &points[i];
        double length = 0;
        for (int k = 0; k < 3; ++k)
            length += std::hypot(double(p[k + 1].x) - p[k].x, double(p[k + 1].y) - p[k].y);
        // About one step per two pixels of the control polygon.
        const int steps = int(std::clamp(length / 2, 1.0, 4096.0));
        for (int s = 1; s <= steps; ++s) {
            const double t = double(s) / steps, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            const Point q{int(std::lround(a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x)),
                          int(std::lround(a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y))};
            if (!(q == line.back()))
                line.push_back(q);
        }
    }
    if (line.size() == 1)
        line.push_back(line.front());
    Polyline(line);
}

} // namespace pc
