#include "editor/tools/polyline.h"

#include <cstdlib>

namespace pc::editor {

void CPolyline::MouseUp(Point p)
{
    if (!inProgress_) {
        start_ = last_ = p;
        canvas_.MoveTo(p.x, p.y);
        canvas_.LineTo(p.x + 1, p.y); // a dot marks the first vertex
        inProgress_ = true;
        Started(p);
        ToggleCross(start_);
        canvas_.MoveTo(last_.x, last_.y);
        return;
    }
    ToggleCross(start_);
    canvas_.MoveTo(last_.x, last_.y);
    if (std::abs(p.x - start_.x) < 3 && std::abs(start_.y - p.y) < 3) {
        canvas_.LineTo(start_.x, start_.y);
        inProgress_ = false;
        Closed(p);
        SaveState();
        return;
    }
    canvas_.LineTo(p.x, p.y);
    last_ = p;
    VertexAdded(p);
    ToggleCross(start_);
    canvas_.MoveTo(last_.x, last_.y);
}

void CPolyline::Abandon()
{
    inProgress_ = false;
    Abandoned();
}

int CPolyline::Undo()
{
    const int slot = CShape::Undo();
    if (slot >= 0)
        Abandon();
    return slot;
}

int CPolyline::Redo()
{
    const int slot = CShape::Redo();
    if (slot >= 0)
        Abandon();
    return slot;
}

void CPolyline::Complete()
{
    if (inProgress_)
        ToggleCross(start_);
    Abandon();
}

} // namespace pc::editor
