#include "editor/tools/circle.h"

#include <cmath>

namespace pc::editor {

namespace {

int Radius(Point centre, Point end)
{
    const double dx = double(end.x) - centre.x, dy = double(end.y) - centre.y;
    return int(std::sqrt(dx * dx + dy * dy) + 0.5);
}

} // namespace

void CCircle::DrawFigure(Point centre, Point end)
{
    const int r = Radius(centre, end);
    canvas_.Ellipse(centre.x - r, centre.y - r, centre.x + r, centre.y + r);
}

void CCircle::DrawPreview(Point centre, Point end)
{
    DrawFigure(centre, end);
    canvas_.MoveTo(centre.x, centre.y);
    canvas_.LineTo(end.x, end.y);
}

} // namespace pc::editor
