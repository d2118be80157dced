#pragma once
// Straight line from the press point to the release point.
#include "editor/tools/drag_shape.h"

namespace pc::editor {

class CLine : public CDragShape {
public:
    explicit CLine(Canvas& canvas) : CDragShape(canvas, "CLine") {}
    int Cursor() const override { return kPenCursor; }

protected:
    bool EndsAtRelease() const override { return true; }
    void DrawFigure(Point start, Point end) override;
};

} // namespace pc::editor
