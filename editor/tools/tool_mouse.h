#pragma once
// How mouse events over the picture reach the current tool: only a left
// press starts a drag; moves reach the tool only while a drag is on; a
// release of any button ends it. While Shift is held, moves and the
// release are kept on a line through the press point (shift_constraint.h).
// With no current tool (nullptr) nothing is drawn.
#include "editor/tools/shape.h"

namespace pc::editor {

enum class MouseButton { Left, Right, Middle };

struct MouseInput {
    Point point;
    MouseButton button = MouseButton::Left;
    bool shift = false;
};

class ToolMouse {
public:
    void Press(CShape* tool, const MouseInput& in);
    // Returns the point the move stands for (constrained while dragging
    // with Shift), which the editor shows as the cursor position.
    Point Move(CShape* tool, const MouseInput& in);
    void Release(CShape* tool, const MouseInput& in);

    bool Dragging() const { return down_; }
    // Where the last drag began; (-1000, -1000) before any.
    Point Start() const { return start_; }

private:
    Point Constrained(const MouseInput& in) const;

    bool down_ = false;
    Point start_{-1000, -1000};
};

} // namespace pc::editor
