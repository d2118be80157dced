#include "editor/tools/crop.h"

#include <algorithm>
#include <cstdlib>

namespace pc::editor {

namespace {

// The frame inverts the outside; it is drawn with these whatever the
// canvas holds, so it erases exactly.
constexpr Pen kFramePen{clBlack, 1, PenStyle::Solid, PenMode::NotXor};
constexpr Brush kFrameBrush{clBlack, BrushStyle::Solid};

Point Middle(Point a, Point b)
{
    return Point{(a.x + b.x) / 2, (a.y + b.y) / 2};
}

struct Edge {
    int handle, a, b;
};
constexpr Edge kEdges[] = {{12, 0, 1}, {23, 1, 2}, {34, 2, 3}, {41, 3, 0}};

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

void CCrop::ToggleFrame(const Corners& c)
{
    const Pen pen = canvas_.pen;
    const Brush brush = canvas_.brush;
    canvas_.pen = kFramePen;
    canvas_.brush = kFrameBrush;
    canvas_.Rectangle(0, 0, canvas_.Width(), canvas_.Height());
    canvas_.Rectangle(c[0].x, c[0].y, c[2].x, c[2].y);
    for (const Point& p : c)
        GripSquare(p);
    for (const Edge& e : kEdges)
        GripSquare(Middle(c[size_t(e.a)], c[size_t(e.b)]));
    canvas_.pen = pen;
    canvas_.brush = brush;
}

void CCrop::MouseDown(Point p)
{
    handle_ = -1;
    auto near = [&](Point q) { return std::abs(p.x - q.x) < 5 && std::abs(p.y - q.y) < 5; };
    for (int k = 0; k < 4 && handle_ < 0; ++k)
        if (near(corners_[size_t(k)]))
            handle_ = k + 1;
    for (const Edge& e : kEdges)
        if (handle_ < 0 && near(Middle(corners_[size_t(e.a)], corners_[size_t(e.b)])))
            handle_ = e.handle;
}

void CCrop::Adjust(Point p)
{
    auto& c = corners_;
    switch (handle_) {
    case 1: c[0] = p, c[3].x = p.x, c[1].y = p.y; break;
    case 2: c[1] = p, c[2].x = p.x, c[0].y = p.y; break;
    case 3: c[2] = p, c[1].x = p.x, c[3].y = p.y; break;
    case 4: c[3] = p, c[0].x = p.x, c[2].y = p.y; break;
    case 12: {
        const int d = p.y - (c[0].y + c[1].y) / 2;
        c[0].y += d, c[1].y += d;
        break;
    }
    case 23: {
        const int d = p.x - (c[1].x + c[2].x) / 2;
        c[1].x += d, c[2].x += d;
        break;
    }
    case 34: {
        const int d = p.y - (c[2].y + c[3].y) / 2;
        c[2].y += d, c[3].y += d;
        break;
    }
    case 41: {
        const int d = p.x - (c[3].x + c[0].x) / 2;
        c[3].x += d, c[0].x += d;
        break;
    }
    }
}

void CCrop::MouseMove(Point p)
{
    if (handle_ < 0)
        return;
    p.x = std::clamp(p.x, 0, canvas_.Width());
    p.y = std::clamp(p.y, 0, canvas_.Height());
    Adjust(p);
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
