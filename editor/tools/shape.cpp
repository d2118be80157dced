#include "editor/tools/shape.h"

#include <algorithm>

namespace pc::editor {

CShape::CShape(Canvas& canvas, std::string kindName)
    : canvas_(canvas), kindName_(std::move(kindName)),
      gripSize_(std::clamp(std::min(canvas.Width(), canvas.Height()) / 20, 1, 5))
{
}

void CShape::Finish()
{
    if (finished_)
        return;
    finished_ = true;
    Complete();
}

int CShape::DoSaveState()
{
    return ring_.Push(canvas_.Target());
}

int CShape::DoUndo()
{
    const int slot = ring_.Undo();
    if (slot >= 0)
        canvas_.Draw(0, 0, ring_.Slot(slot));
    return slot;
}

int CShape::DoRedo()
{
    const int slot = ring_.Redo();
    if (slot >= 0)
        canvas_.Draw(0, 0, ring_.Slot(slot));
    return slot;
}

void CShape::FollowPictureSize(Bitmap& clean) const
{
    const Bitmap& picture = canvas_.Target();
    if (clean.Width() == picture.Width() && clean.Height() == picture.Height())
        return;
    Bitmap grown = picture;
    if (grown.Format() != clean.Format())
        grown.SetPixelFormat(clean.Format());
    Canvas(grown).Draw(0, 0, clean);
    clean = std::move(grown);
}

void CShape::ToggleCross(Point p)
{
    const int g = gripSize_;
    NotXor([&] { canvas_.PolyPolyline({{{p.x - g, p.y}, {p.x + g, p.y}}, {{p.x, p.y - g}, {p.x, p.y + g}}}); });
}

void CShape::GripSquare(Point p)
{
    canvas_.Rectangle(p.x - gripSize_, p.y - gripSize_, p.x + gripSize_, p.y + gripSize_);
}

} // namespace pc::editor
