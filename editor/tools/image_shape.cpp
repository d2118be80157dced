#include "editor/tools/image_shape.h"

#include <algorithm>
#include <cmath>

namespace pc::editor {

namespace {

// The frame and its grips are drawn with these whatever the canvas holds,
// so they erase exactly.
constexpr Pen kFramePen{clBlack, 1, PenStyle::Solid, PenMode::NotXor};
constexpr Brush kGripBrush{clWhite, BrushStyle::Clear};

} // namespace

CImageShape::CImageShape(Canvas& canvas, const Bitmap& picture)
    : CShape(canvas, "CImageShape"), picture_(picture), background_(canvas.Target())
{
    if (picture_.Format() != PixelFormat::pf24bit)
        picture_.SetPixelFormat(PixelFormat::pf24bit);
    if (background_.Format() != PixelFormat::pf24bit)
        background_.SetPixelFormat(PixelFormat::pf24bit);
}

void CImageShape::SetOptions(LayerOptions o)
{
    o.alphaWeight = std::clamp(o.alphaWeight, 0, 100);
    o.diffuse = std::clamp(o.diffuse, 1, 100);
    options_ = o;
}

Rect CImageShape::Bounds() const
{
    Rect r{corners_[0].x, corners_[0].y, corners_[0].x, corners_[0].y};
    for (const Point& p : corners_) {
        r.left = std::min(r.left, p.x), r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x), r.bottom = std::max(r.bottom, p.y);
    }
    return r;
}

void CImageShape::ToggleFrame(const Quad& q)
{
    const CanvasToolsScope tools(canvas_, kFramePen, kGripBrush);
    const Point outline[5] = {q[0], q[1], q[2], q[3], q[0]};
    canvas_.Polyline(outline);
    for (const Point& p : q)
        GripSquare(p);
    for (const QuadEdge& e : kQuadEdges)
        GripSquare(EdgeMiddle(q, e));
}

void CImageShape::ShowFrame()
{
    if (shown_)
        ToggleFrame(*shown_);
    ToggleFrame(corners_);
    shown_ = corners_;
}

void CImageShape::UpdateGrownBox()
{
    const Rect box = Bounds();
    const int g = 2 * GripSize();
    grownBox_ = Rect{box.left - g, box.top - g, box.right + g, box.bottom + g};
}

void CImageShape::Recomposite()
{
    // The previous composite and its frame go with the background.
    FollowPictureSize(background_);
    canvas_.Draw(0, 0, background_);
    shown_.reset();
    UpdateGrownBox();
    CompositeLayer(canvas_.Target(), grownBox_, picture_, corners_, options_);
    ShowFrame();
}

void CImageShape::Redraw(Rect r)
{
    // The corners name the layer's outermost pixels, so a layer placed at
    // its own size lands pixel for pixel.
    const int right = r.left + std::max(r.Width(), 1) - 1, bottom = r.top + std::max(r.Height(), 1) - 1;
    corners_ = {Point{r.left, r.top}, Point{right, r.top}, Point{right, bottom}, Point{r.left, bottom}};
    Redraw();
}

void CImageShape::Redraw()
{
    Recomposite();
    SaveState();
}

void CImageShape::MouseDown(Point p)
{
    handle_ = HitGrip(corners_, p);
    pressCorners_ = corners_;
    if (handle_ >= 1 && handle_ <= 4) {
        const Point p1 = corners_[0], p3 = corners_[2];
        rotationCentre_ = Point{p1.x + (p3.x - p1.x + 1) / 2, p1.y + (p3.y - p1.y + 1) / 2};
    }
    if (handle_ < 0 && p.x > grownBox_.left + 5 && p.x < grownBox_.right - 5 && p.y > grownBox_.top + 5 &&
        p.y < grownBox_.bottom - 5) {
        handle_ = 0;
        dragOrigin_ = p;
    }
}

void CImageShape::Transform(Point p)
{
    auto& c = corners_;
    if (handle_ == 0) {
        for (Point& q : c)
            q = Point{q.x + p.x - dragOrigin_.x, q.y + p.y - dragOrigin_.y};
        dragOrigin_ = p;
        return;
    }
    const bool corner = handle_ >= 1 && handle_ <= 4;
    switch (mode_) {
    case LayerStretch::Free:
        if (corner) {
            c[size_t(handle_ - 1)] = p;
            return;
        }
        for (const QuadEdge& e : kQuadEdges)
            if (e.handle == handle_) {
                const Point m = EdgeMiddle(c, e);
                for (int k : {e.a, e.b})
                    c[size_t(k)] = Point{c[size_t(k)].x + p.x - m.x, c[size_t(k)].y + p.y - m.y};
            }
        return;
    case LayerStretch::Rectangular:
        DragRectangular(c, handle_, p);
        return;
    case LayerStretch::Rotational: {
        if (!corner)
            return;
        const Point centre = rotationCentre_;
        auto radius = [&](Point q) { return std::hypot(double(q.x) - centre.x, double(q.y) - centre.y); };
        auto angle = [&](Point q) { return std::atan2(double(q.y) - centre.y, double(q.x) - centre.x); };
        const Quad& from = pressCorners_;
        const Point dragged = from[size_t(handle_ - 1)];
        const double rk = radius(dragged);
        if (rk == 0)
            return; // a corner on the centre gives no scale
        const double da = angle(p) - angle(dragged), s = radius(p) / rk;
        Quad out;
        for (size_t j = 0; j < 4; ++j) {
            const double rj = radius(from[j]), aj = angle(from[j]);
            out[j] = Point{int(std::trunc(std::cos(aj + da) * rj * s + centre.x + 0.5)),
                           int(std::trunc(std::sin(aj + da) * rj * s + centre.y + 0.5))};
        }
        c = out;
        return;
    }
    }
}

void CImageShape::MouseMove(Point p)
{
    if (handle_ < 0)
        return;
    Transform(p);
    ShowFrame();
}

void CImageShape::MouseUp(Point p)
{
    if (handle_ < 0)
        return;
    Transform(p);
    handle_ = -1;
    Recomposite();
    SaveState();
}

int CImageShape::SaveState()
{
    const int slot = DoSaveState();
    ringQuads_[size_t(slot)] = corners_;
    return slot;
}

int CImageShape::Undo()
{
    const int slot = DoUndo();
    if (slot >= 0) {
        corners_ = ringQuads_[size_t(slot)];
        shown_ = corners_; // the state holds its frame
        UpdateGrownBox();
    }
    return slot;
}

int CImageShape::Redo()
{
    const int slot = DoRedo();
    if (slot >= 0) {
        corners_ = ringQuads_[size_t(slot)];
        shown_ = corners_; // the state holds its frame
        UpdateGrownBox();
    }
    return slot;
}

void CImageShape::Complete()
{
    if (shown_)
        ToggleFrame(*shown_);
    shown_.reset();
}

} // namespace pc::editor
