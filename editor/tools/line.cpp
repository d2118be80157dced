#include "editor/tools/line.h"

namespace pc::editor {

void CLine::DrawFigure(Point start, Point end)
{
    canvas_.MoveTo(start.x, start.y);
    canvas_.LineTo(end.x, end.y);
}

} // namespace pc::editor
