#include "editor/tools/flood_fill_tool.h"

#include "editor/tools/flood_fill.h"
#include "editor/tools/pen_width.h"

namespace pc::editor {

void CFloodFill::MouseDown(Point p)
{
    const TColor target = canvas_.Pixel(p.x, p.y);
    if (target == clInvalid)
        return;
    if (canvas_.brush.style == BrushStyle::Solid)
        FillArea(canvas_.Target(), p.x, p.y, canvas_.brush.color, ClampPenWidth(canvas_.pen.width));
    else
        canvas_.FloodFill(p.x, p.y, target, FloodFillType::Surface);
    SaveState();
}

} // namespace pc::editor
