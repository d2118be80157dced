#pragma once
// Places one line of text with the canvas font (face, size, colour and
// angle). Each release moves the text: the background saved under the
// previous placement goes back, and the text is drawn with its cell's
// top-left at the new point. MouseUp(kRedrawInPlace) draws it again where
// it is, after the text or the font changed.
#include <optional>
#include <string>

#include "editor/tools/shape.h"

namespace pc::editor {

class CText : public CShape {
public:
    static constexpr Point kRedrawInPlace{-999, -999};

    explicit CText(Canvas& canvas);
    void MouseUp(Point p) override;
    // An undone or redone picture keeps the text it shows; the next
    // placement starts afresh.
    int Undo() override;
    int Redo() override;
    int Cursor() const override { return kFontCursor; }

    void SetText(std::u16string text) { text_ = std::move(text); }
    const std::u16string& Text() const { return text_; }
    // The anchor of the current placement, if any.
    std::optional<Point> Anchor() const { return anchor_; }

protected:
    void Complete() override;

private:
    void RestoreBackground();

    std::u16string text_;
    std::optional<Point> anchor_;
    Rect saved_;   // the part of the picture saved in background_
    Bitmap background_;
    BackgroundMode savedBackgroundMode_;
};

} // namespace pc::editor
