#include "editor/tools/quad_grips.h"

#include <cstdlib>

namespace pc::editor {

Point EdgeMiddle(const Quad& q, const QuadEdge& e)
{
    const Point a = q[size_t(e.a)], b = q[size_t(e.b)];
    return Point{(a.x + b.x) / 2, (a.y + b.y) / 2};
}

int HitGrip(const Quad& q, Point p)
{
    auto near = [&](Point g) { return std::abs(p.x - g.x) < 5 && std::abs(p.y - g.y) < 5; };
    for (int k = 0; k < 4; ++k)
        if (near(q[size_t(k)]))
            return k + 1;
    for (const QuadEdge& e : kQuadEdges)
        if (near(EdgeMiddle(q, e)))
            return e.handle;
    return -1;
}

void DragRectangular(Quad& c, int handle, Point p)
{
    switch (handle) {
    case 1: c[0] = p, c[3].x = p.x, c[1].y = p.y; break;
    case 2: c[1] = p, c[2].x = p.x, c[0].y = p.y; break;
    case 3: c[2] = p, c[1].x = p.x, c[3].y = p.y; break;
    case 4: c[3] = p, c[0].x = p.x, c[2].y = p.y; break;
    case 12: {
        const int d = p.y - (c[0].y + c[1].y) / 2;
        c[0].y += d, c[1].y += d;
        break;
    }
    case 23: {
        const int d = p.x - (c[1].x + c[2].x) / 2;
        c[1].x += d, c[2].x += d;
        break;
    }
    case 34: {
        const int d = p.y - (c[2].y + c[3].y) / 2;
        c[2].y += d, c[3].y += d;
        break;
    }
    case 41: {
        const int d = p.x - (c[3].x + c[0].x) / 2;
        c[3].x += d, c[0].x += d;
        break;
    }
    }
}

} // namespace pc::editor
