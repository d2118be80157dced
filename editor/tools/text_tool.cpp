#include "editor/tools/text_tool.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas_stretch.h"

namespace pc::editor {

CText::CText(Canvas& canvas)
    : CShape(canvas, "CText"), base_(canvas.Target()), savedBackgroundMode_(canvas.backgroundMode)
{
    SaveBrush();
    // Text without a background box.
    canvas_.brush.style = BrushStyle::Clear;
    canvas_.backgroundMode = BackgroundMode::Transparent;
}

void CText::Uncover(Rect r)
{
    if (r.Width() > 0 && r.Height() > 0)
        StretchBlt(canvas_.Target(), r, base_, r, StretchMode::ColorOnColor);
}

void CText::MouseUp(Point p)
{
    FollowPictureSize(base_);
    Uncover(placement_.covered);
    if (p == kRedrawInPlace && placement_.anchor)
        p = *placement_.anchor;
    // The text cell turns about its top-left corner, so a square reaching
    // its diagonal covers it at any angle; glyphs may overhang the cell by
    // a quarter of its height. Only the part inside the picture counts,
    // however long the text.
    const Point extent = canvas_.TextExtent(text_);
    const int r = int(std::ceil(std::hypot(double(extent.x), double(extent.y)))) + extent.y / 4 + 3;
    const Rect covered{std::max(p.x - r, 0), std::max(p.y - r, 0), std::min(p.x + r, canvas_.Width()),
                       std::min(p.y + r, canvas_.Height())};
    placement_ = Placement{p, covered.Width() > 0 && covered.Height() > 0 ? covered : Rect{}};
    const TextHAlign h = canvas_.textHAlign;
    const TextVAlign v = canvas_.textVAlign;
    canvas_.textHAlign = TextHAlign::Left;
    canvas_.textVAlign = TextVAlign::Top;
    canvas_.TextOut(p.x, p.y, text_);
    canvas_.textHAlign = h;
    canvas_.textVAlign = v;
    SaveState();
}

int CText::SaveState()
{
    const int slot = DoSaveState();
    ringPlacements_[size_t(slot)] = placement_;
    return slot;
}

int CText::Undo()
{
    const int slot = DoUndo();
    if (slot >= 0)
        placement_ = ringPlacements_[size_t(slot)];
    return slot;
}

int CText::Redo()
{
    const int slot = DoRedo();
    if (slot >= 0)
        placement_ = ringPlacements_[size_t(slot)];
    return slot;
}

void CText::Complete()
{
    RestoreBrush();
    canvas_.backgroundMode = savedBackgroundMode_;
}

} // namespace pc::editor
