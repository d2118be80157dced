#include "editor/tools/shift_constraint.h"

#include <cstdlib>

namespace pc::editor {

Point ConstrainWithShift(Point start, Point p)
{
    const int d = std::abs(p.x - start.x) - std::abs(p.y - start.y);
    if (d >= -2 && d <= 2)
        return Point{start.x + (p.y - start.y), p.y};
    if (d < 1)
        return Point{start.x, p.y};
    return Point{p.x, start.y};
}

} // namespace pc::editor
