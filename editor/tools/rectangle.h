#pragma once
// Rectangle from the press point to the last point the mouse moved to.
#include "editor/tools/drag_shape.h"

namespace pc::editor {

class CRectangle : public CDragShape {
public:
    explicit CRectangle(Canvas& canvas) : CDragShape(canvas, "") {}

protected:
    void DrawFigure(Point start, Point end) override;
};

} // namespace pc::editor
