#include "editor/tools/tool_mouse.h"

#include "editor/tools/shift_constraint.h"

namespace pc::editor {

Point ToolMouse::Constrained(const MouseInput& in) const
{
    return in.shift ? ConstrainWithShift(start_, in.point) : in.point;
}

void ToolMouse::Press(CShape* tool, const MouseInput& in)
{
    if (in.button != MouseButton::Left)
        return;
    start_ = in.point;
    down_ = true;
    if (tool)
        tool->MouseDown(in.point);
}

Point ToolMouse::Move(CShape* tool, const MouseInput& in)
{
    if (!down_)
        return in.point;
    const Point p = Constrained(in);
    if (tool)
        tool->MouseMove(p);
    return p;
}

void ToolMouse::Release(CShape* tool, const MouseInput& in)
{
    if (!down_)
        return;
    const Point p = Constrained(in);
    down_ = false;
    if (tool)
        tool->MouseUp(p);
}

} // namespace pc::editor
