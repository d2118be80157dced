#include "editor/tools/text_tool.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas_stretch.h"

namespace pc::editor {

CText::CText(Canvas& canvas) : CShape(canvas, "CText"), savedBackgroundMode_(canvas.backgroundMode)
{
    SaveBrush();
    // Text without a background box.
    canvas_.brush.style = BrushStyle::Clear;
    canvas_.backgroundMode = BackgroundMode::Transparent;
}

void CText::RestoreBackground()
{
    if (anchor_ && saved_.Width() > 0)
        canvas_.Draw(saved_.left, saved_.top, background_);
}

void CText::MouseUp(Point p)
{
    RestoreBackground();
    if (p == kRedrawInPlace && anchor_)
        p = *anchor_;
    // The text cell turns about its top-left corner, so a square reaching
    // its diagonal covers it at any angle; glyphs may overhang the cell by
    // a quarter of its height.
    const Point extent = canvas_.TextExtent(text_);
    const int r = int(std::ceil(std::hypot(double(extent.x), double(extent.y)))) + extent.y / 4 + 3;
    // Only the part inside the picture is saved, however long the text.
    saved_ = Rect{std::max(p.x - r, 0), std::max(p.y - r, 0), std::min(p.x + r, canvas_.Width()),
                  std::min(p.y + r, canvas_.Height())};
    if (saved_.Width() > 0 && saved_.Height() > 0) {
        background_.SetSize(saved_.Width(), saved_.Height());
        StretchBlt(background_, Rect{0, 0, saved_.Width(), saved_.Height()}, canvas_.Target(), saved_,
                   StretchMode::ColorOnColor);
    } else {
        saved_ = Rect{};
    }
    const TextHAlign h = canvas_.textHAlign;
    const TextVAlign v = canvas_.textVAlign;
    canvas_.textHAlign = TextHAlign::Left;
    canvas_.textVAlign = TextVAlign::Top;
    canvas_.TextOut(p.x, p.y, text_);
    canvas_.textHAlign = h;
    canvas_.textVAlign = v;
    anchor_ = p;
    SaveState();
}

int CText::Undo()
{
    const int slot = CShape::Undo();
    if (slot >= 0)
        anchor_.reset();
    return slot;
}

int CText::Redo()
{
    const int slot = CShape::Redo();
    if (slot >= 0)
        anchor_.reset();
    return slot;
}

void CText::Complete()
{
    RestoreBrush();
    canvas_.backgroundMode = savedBackgroundMode_;
}

} // namespace pc::editor
