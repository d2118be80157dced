#include "editor/tools/ellipse.h"

namespace pc::editor {

void CEllipse::DrawFigure(Point start, Point end)
{
    canvas_.Ellipse(start.x, start.y, end.x, end.y);
}

} // namespace pc::editor
