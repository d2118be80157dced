#pragma once
// Free-hand line: follows the mouse with the pen while the button is held.
#include "editor/tools/shape.h"

namespace pc::editor {

class CFreeLine : public CShape {
public:
    explicit CFreeLine(Canvas& canvas) : CShape(canvas, "CFreeLine") {}
    void MouseDown(Point p) override { last_ = p; }
    void MouseMove(Point p) override;
    void MouseUp(Point) override { SaveState(); }
    int Cursor() const override { return kPenCursor; }

private:
    Point last_;
};

} // namespace pc::editor
