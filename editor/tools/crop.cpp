#include "editor/tools/crop.h"

#include <algorithm>

namespace pc::editor {

namespace {

// The frame inverts the outside; it is drawn with these whatever the
// canvas holds, so it erases exactly.
constexpr Pen kFramePen{clBlack, 1, PenStyle::Solid, PenMode::NotXor};
constexpr Brush kFrameBrush{clBlack, BrushStyle::Solid};

} // namespace

CCrop::CCrop(Canvas& canvas) : CShape(canvas, "CCrop")
{
    // The bottom-right corner is exclusive: the whole picture to start with.
    const int w = canvas.Width(), h = canvas.Height();
    corners_ = {Point{0, 0}, Point{w, 0}, Point{w, h}, Point{0, h}};
    ToggleFrame(corners_);
    shown_ = corners_;
}

Rect CCrop::CropRect() const
{
    const Point a = corners_[0], b = corners_[2];
    return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void CCrop::ToggleFrame(const Quad& c)
{
    const CanvasToolsScope tools(canvas_, kFramePen, kFrameBrush);
    canvas_.Rectangle(0, 0, canvas_.Width(), canvas_.Height());
    canvas_.Rectangle(c[0].x, c[0].y, c[2].x, c[2].y);
    for (const Point& p : c)
        GripSquare(p);
    for (const QuadEdge& e : kQuadEdges)
        GripSquare(EdgeMiddle(c, e));
}

void CCrop::MouseDown(Point p)
{
    handle_ = HitGrip(corners_, p);
}

void CCrop::MouseMove(Point p)
{
    if (handle_ < 0)
        return;
    p.x = std::clamp(p.x, 0, canvas_.Width());
    p.y = std::clamp(p.y, 0, canvas_.Height());
    DragRectangular(corners_, handle_, p);
    if (shown_)
        ToggleFrame(*shown_);
    ToggleFrame(corners_);
    shown_ = corners_;
}

void CCrop::Complete()
{
    if (shown_)
        ToggleFrame(*shown_);
    shown_.reset();
    const Rect r = CropRect();
    if (r.Width() < 1 || r.Height() < 1)
        return;
    canvas_.CopyRect(Rect{0, 0, r.Width(), r.Height()}, r);
    canvas_.Resize(r.Width(), r.Height());
}

} // namespace pc::editor
