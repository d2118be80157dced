#pragma once
// Eraser: while the button is held, a square as wide as the pen is filled
// with the brush colour the canvas holds at that moment. The fill is always
// solid: a clear or hatched brush would erase nothing.
#include "editor/tools/shape.h"

namespace pc::editor {

class CEraser : public CShape {
public:
    explicit CEraser(Canvas& canvas) : CShape(canvas, "CEraser") {}
    void MouseMove(Point p) override;
    void MouseUp(Point) override { SaveState(); }
};

} // namespace pc::editor
