#include "editor/tools/drag_shape.h"

namespace pc::editor {

void CDragShape::ShowPreview()
{
    NotXor([&] { DrawPreview(start_, end_); });
    shown_ = std::pair{start_, end_};
}

void CDragShape::ErasePreview()
{
    if (!shown_)
        return;
    NotXor([&] { DrawPreview(shown_->first, shown_->second); });
    shown_.reset();
}

void CDragShape::MouseDown(Point p)
{
    ErasePreview();
    start_ = end_ = p;
    dragging_ = true;
    ShowPreview();
}

void CDragShape::MouseMove(Point p)
{
    if (!dragging_)
        return;
    ErasePreview();
    end_ = p;
    ShowPreview();
}

void CDragShape::MouseUp(Point p)
{
    if (!dragging_)
        return;
    ErasePreview();
    dragging_ = false;
    DrawFigure(start_, EndsAtRelease() ? p : end_);
    SaveState();
}

} // namespace pc::editor
