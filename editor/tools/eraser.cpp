#include "editor/tools/eraser.h"

#include "editor/tools/pen_width.h"

namespace pc::editor {

void CEraser::MouseMove(Point p)
{
    const double h = ClampPenWidth(canvas_.pen.width) / 2;
    // Truncation toward zero, as the square has always been placed.
    const Rect r{int(p.x - (h + 0.5)), int(p.y - (h + 0.5)), int(p.x + h + 0.5), int(p.y + h + 0.5)};
    const CanvasToolsScope tools(canvas_, canvas_.pen, Brush{canvas_.brush.color, BrushStyle::Solid});
    canvas_.FillRect(r);
}

} // namespace pc::editor
