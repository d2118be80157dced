#pragma once
// The Shift key keeps a drag on a horizontal, vertical or rising diagonal
// line through its start point.
#include "platform/canvas.h"

namespace pc::editor {

// With dx = |p.x - start.x|, dy = |p.y - start.y|, d = dx - dy: |d| <= 2
// puts p on the diagonal x - start.x = y - start.y; d < -2 keeps x at
// start.x; d > 2 keeps y at start.y.
Point ConstrainWithShift(Point start, Point p);

} // namespace pc::editor
