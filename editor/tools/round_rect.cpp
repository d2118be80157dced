#include "editor/tools/round_rect.h"

namespace pc::editor {

void CRoundRect::DrawFigure(Point start, Point end)
{
    canvas_.RoundRect(start.x, start.y, end.x, end.y, 10, 10);
}

} // namespace pc::editor
