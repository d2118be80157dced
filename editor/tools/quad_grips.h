#pragma once
// The grips of a four-cornered frame (the crop rectangle, the floating
// layer): its corners 1..4 (top-left, top-right, bottom-right,
// bottom-left) and the middles of its edges 12, 23, 34 and 41.
#include <array>

#include "platform/canvas.h"

namespace pc::editor {

using Quad = std::array<Point, 4>;

// The four edge handles with their corner indexes (0-based), in hit order.
struct QuadEdge {
    int handle, a, b;
};
inline constexpr QuadEdge kQuadEdges[] = {{12, 0, 1}, {23, 1, 2}, {34, 2, 3}, {41, 3, 0}};

// Middle of an edge, rounding toward zero.
Point EdgeMiddle(const Quad& q, const QuadEdge& e);

// The first corner, else the first edge middle, lying strictly within 5
// pixels of p in both x and y; -1 for none.
int HitGrip(const Quad& q, Point p);

// Drags a grip keeping the quad an axis-aligned rectangle: a corner takes
// p and its two neighbours follow on one axis each; an edge moves across
// by p minus its middle.
void DragRectangular(Quad& q, int handle, Point p);

} // namespace pc::editor
