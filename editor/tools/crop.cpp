#include "editor/tools/crop.h"

#include <algorithm>

namespace pc::editor {

namespace {

// The frame inverts the outside; it is drawn with these whatever the
// canvas holds, so it erases exactly.
constexpr Pen kFramePen{clBlack, 1, PenStyle::Solid, PenMode::NotXor};
constexpr Brush kFrameBrush{clBlack, BrushStyle::Solid};

} // namespace

CCrop::CCrop(Canvas& canvas) : CShape(canvas, "CCrop"), width_(canvas.Width()), height_(canvas.Height())
{
    // The bottom-right corner is exclusive: the whole picture to start with.
    corners_ = {Point{0, 0}, Point{width_, 0}, Point{width_, height_}, Point{0, height_}};
    ShowFrame();
}

Rect CCrop::CropRect() const
{
    const Point a = corners_[0], b = corners_[2];
    return Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void CCrop::ToggleFrame(const Frame& f)
{
    const CanvasToolsScope tools(canvas_, kFramePen, kFrameBrush);
    // Grips at the edge are cut where the picture ended when they were
    // drawn, and must be cut there again when the picture grew meanwhile.
    const Rect clip = canvas_.ClipRect();
    canvas_.SetClipRect(Rect{0, 0, f.width, f.height});
    const Quad& c = f.corners;
    canvas_.Rectangle(0, 0, f.width, f.height);
    canvas_.Rectangle(c[0].x, c[0].y, c[2].x, c[2].y);
    for (const Point& p : c)
        GripSquare(p);
    for (const QuadEdge& e : kQuadEdges)
        GripSquare(EdgeMiddle(c, e));
    canvas_.SetClipRect(clip);
}

void CCrop::ShowFrame()
{
    if (shown_)
        ToggleFrame(*shown_);
    shown_ = Frame{corners_, width_, height_};
    ToggleFrame(*shown_);
}

void CCrop::PictureResized(int width, int height)
{
    auto follow = [](int& v, int was, int now) { v = v == was ? now : std::min(v, now); };
    for (Point& p : corners_) {
        follow(p.x, width_, width);
        follow(p.y, height_, height);
    }
    width_ = width;
    height_ = height;
    ShowFrame();
}

void CCrop::MouseDown(Point p)
{
    handle_ = HitGrip(corners_, p);
}

void CCrop::MouseMove(Point p)
{
    if (handle_ < 0)
        return;
    p.x = std::clamp(p.x, 0, width_);
    p.y = std::clamp(p.y, 0, height_);
    DragRectangular(corners_, handle_, p);
    ShowFrame();
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
