#pragma once
// Fills the area around a clicked pixel with the brush. With a solid brush
// the pen width is the tolerance ("Allowance:"): channels differing by
// less than it match. A patterned brush fills the clicked colour exactly.
#include "editor/tools/shape.h"

namespace pc::editor {

class CFloodFill : public CShape {
public:
    explicit CFloodFill(Canvas& canvas) : CShape(canvas, "CFloodFill") {}
    // A click outside the picture does nothing.
    void MouseDown(Point p) override;
    int Cursor() const override { return kPaintCursor; }
};

} // namespace pc::editor
