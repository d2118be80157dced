#pragma once
// One cubic Bezier curve: the first two clicks place its ends, the next two
// its inner control points; afterwards a control point is dragged by
// pressing within 2 pixels of it. Crosses mark the clicked points and the
// curve stays a not-xor preview until Finish draws it for good (when at
// least both ends are placed).
#include <array>
#include <optional>

#include "editor/tools/shape.h"

namespace pc::editor {

class CPolyBezier : public CShape {
public:
    explicit CPolyBezier(Canvas& canvas) : CShape(canvas, "CPolyBezier") {}
    void MouseDown(Point p) override;
    void MouseMove(Point p) override;
    void MouseUp(Point p) override;
    // The curve is one pending figure: the editor's history covers it.
    int Undo() override { return -1; }
    int Redo() override { return -1; }
    int SaveState() override { return -1; }
    bool CanUndo() const override { return false; }
    bool CanRedo() const override { return false; }
    int Cursor() const override { return kCrossCursor; }

    int PlacedCount() const { return placed_; }
    const std::array<Point, 4>& ControlPoints() const { return points_; }

protected:
    void Complete() override;

private:
    void MoveCross(int index, Point to);
    void ToggleCurve(const std::array<Point, 4>& curve);

    std::array<Point, 4> points_{};
    int placed_ = 0;
    int dragged_ = -1;
    Point dragPos_;
    // The cross each control point shows, where it is drawn.
    std::array<std::optional<Point>, 4> crosses_;
    std::optional<std::array<Point, 4>> shownCurve_;
};

} // namespace pc::editor
