#pragma once
// Circle about the press point through the last move point; a radius line
// shows while dragging.
#include "editor/tools/drag_shape.h"

namespace pc::editor {

class CCircle : public CDragShape {
public:
    explicit CCircle(Canvas& canvas) : CDragShape(canvas, "CCircle") {}

protected:
    void DrawPreview(Point centre, Point end) override;
    void DrawFigure(Point start, Point end) override;
};

} // namespace pc::editor
