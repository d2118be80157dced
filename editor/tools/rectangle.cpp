#include "editor/tools/rectangle.h"

namespace pc::editor {

void CRectangle::DrawFigure(Point start, Point end)
{
    canvas_.Rectangle(start.x, start.y, end.x, end.y);
}

} // namespace pc::editor
