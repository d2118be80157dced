#include "editor/tools/frame_select.h"

#include <algorithm>

#include "platform/canvas_stretch.h"

namespace pc::editor {

namespace {

// The frame is always drawn with this pen, whatever the canvas pen is
// when it is erased.
constexpr Pen kFramePen{clBlack, 1, PenStyle::Dot, PenMode::NotXor};

} // namespace

CFrameSelect::CFrameSelect(Canvas& canvas, Rect s) : CShape(canvas, "CFrameSelect")
{
    SavePen();
    SaveBrush();
    canvas_.pen = kFramePen;
    canvas_.brush.color = clWhite;
    if (s.Width() >= 1 || s.Height() >= 1) {
        MouseDown({s.left, s.top});
        MouseMove({s.right, s.bottom});
        MouseUp({s.right, s.bottom});
    }
}

void CFrameSelect::Toggle(const Frame& f)
{
    const CanvasToolsScope tools(canvas_, kFramePen, canvas_.brush);
    canvas_.Polyline(f);
}

void CFrameSelect::ToggleShown()
{
    if (!shown_)
        return;
    Toggle(*shown_);
    shownVisible_ = !shownVisible_;
}

void CFrameSelect::DrawFrame()
{
    ToggleShown();
}

void CFrameSelect::MouseDown(Point p)
{
    if (shownVisible_)
        ToggleShown();
    live_.fill(p);
    shown_ = live_;
    shownVisible_ = false;
    ToggleShown();
    dragging_ = true;
}

void CFrameSelect::MouseMove(Point p)
{
    if (!dragging_)
        return;
    p.x = std::clamp(p.x, 0, canvas_.Width());
    p.y = std::clamp(p.y, 0, canvas_.Height());
    ToggleShown();
    const Point p0 = live_[0];
    live_ = {p0, Point{p.x, p0.y}, p, Point{p0.x, p.y}, p0};
    shown_ = live_;
    ToggleShown();
}

void CFrameSelect::MouseUp(Point)
{
    dragging_ = false;
    if (!shown_)
        return;
    const Point a = (*shown_)[0], b = (*shown_)[2];
    selection_ = Rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

int CFrameSelect::SaveState()
{
    const int slot = DoSaveState();
    ringFrames_[size_t(slot)] = SavedFrame{shown_, shownVisible_};
    return slot;
}

void CFrameSelect::TakeSavedFrame(int slot)
{
    const SavedFrame& saved = ringFrames_[size_t(slot)];
    shown_ = saved.frame;
    shownVisible_ = saved.visible;
    if (shown_)
        live_ = *shown_;
    MouseUp({0, 0});
}

int CFrameSelect::Undo()
{
    const int slot = DoUndo();
    if (slot >= 0)
        TakeSavedFrame(slot);
    return slot;
}

int CFrameSelect::Redo()
{
    const int slot = DoRedo();
    if (slot >= 0)
        TakeSavedFrame(slot);
    return slot;
}

void CFrameSelect::Filter(FilterKind kind, int divisor)
{
    const Rect area{std::max(selection_.left, 0), std::max(selection_.top, 0),
                    std::min(selection_.right, canvas_.Width()), std::min(selection_.bottom, canvas_.Height())};
    if (area.Width() < 1 || area.Height() < 1)
        return;
    const bool visible = shownVisible_;
    if (visible)
        ToggleShown();
    Bitmap part(area.Width(), area.Height());
    StretchBlt(part, Rect{0, 0, area.Width(), area.Height()}, canvas_.Target(), area, StretchMode::ColorOnColor);
    Filter3x3(part, kind, divisor);
    canvas_.Draw(area.left, area.top, part);
    if (visible)
        ToggleShown();
    SaveState();
}

void CFrameSelect::Complete()
{
    if (shownVisible_)
        ToggleShown();
    RestoreBrush();
    RestorePen();
}

} // namespace pc::editor
