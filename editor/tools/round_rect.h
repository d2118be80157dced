#pragma once
// Rectangle with corners rounded by a 10 x 10 ellipse.
#include "editor/tools/drag_shape.h"

namespace pc::editor {

class CRoundRect : public CDragShape {
public:
    explicit CRoundRect(Canvas& canvas) : CDragShape(canvas, "CRoundRect") {}

protected:
    void DrawFigure(Point start, Point end) override;
};

} // namespace pc::editor
