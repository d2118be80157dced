#pragma once
// Ellipse inside the box from the press point to the last move.
#include "editor/tools/drag_shape.h"

namespace pc::editor {

class CEllipse : public CDragShape {
public:
    explicit CEllipse(Canvas& canvas) : CDragShape(canvas, "CEllipse") {}

protected:
    void DrawFigure(Point start, Point end) override;
};

} // namespace pc::editor
