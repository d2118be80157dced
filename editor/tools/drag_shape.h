#pragma once
// The family of figures dragged out from a start point (line, rectangle,
// rounded rectangle, ellipse, circle): a not-xor preview follows the mouse
// and the final figure is drawn with the pen's own mode on release.
#include <optional>

#include "editor/tools/shape.h"

namespace pc::editor {

class CDragShape : public CShape {
public:
    void MouseDown(Point p) override;
    void MouseMove(Point p) override;
    void MouseUp(Point p) override;
    int Cursor() const override { return kCrossCursor; }

protected:
    using CShape::CShape;
    // The final figure from start to end.
    virtual void DrawFigure(Point start, Point end) = 0;
    // The preview; the figure itself unless a tool shows more while dragging.
    virtual void DrawPreview(Point start, Point end) { DrawFigure(start, end); }
    // Whether the final figure ends at the release point rather than at the
    // point of the last move.
    virtual bool EndsAtRelease() const { return false; }
    // A drag that never ended leaves no preview behind.
    void Complete() override { ErasePreview(); }

private:
    void ShowPreview();
    void ErasePreview();

    Point start_, end_;
    bool dragging_ = false;
    std::optional<std::pair<Point, Point>> shown_; // the preview on the canvas
};

} // namespace pc::editor
