#pragma once
// Eraser: while the button is held, a square as wide as the pen is filled
// with the eraser colour. The fill is always solid: a clear or hatched
// brush would erase nothing.
#include "editor/tools/shape.h"

namespace pc::editor {

class CEraser : public CShape {
public:
    CEraser(Canvas& canvas, TColor colour) : CShape(canvas, "CEraser"), colour_(colour) {}
    void MouseMove(Point p) override;
    void MouseUp(Point) override { SaveState(); }

private:
    TColor colour_;
};

} // namespace pc::editor
