#pragma once
// Places one line of text with the canvas font (face, size, colour and
// angle). Each release moves the text: the picture under the previous
// placement comes back, and the text is drawn with its cell's top-left at
// the new point. MouseUp(kRedrawInPlace) draws it again where it is, after
// the text or the font changed.
//
// The tool draws nothing but its text, so every state it makes is the
// picture it started on plus one placement: that picture is kept, and
// every state in the ring remembers its placement. An undone state can be
// moved and redrawn like the latest.
#include <array>
#include <optional>
#include <string>

#include "editor/tools/shape.h"

namespace pc::editor {

class CText : public CShape {
public:
    static constexpr Point kRedrawInPlace{-999, -999};

    explicit CText(Canvas& canvas);
    void MouseUp(Point p) override;
    int Undo() override;
    int Redo() override;
    int SaveState() override;
    int Cursor() const override { return kFontCursor; }

    void SetText(std::u16string text) { text_ = std::move(text); }
    const std::u16string& Text() const { return text_; }
    // The anchor of the current placement, if any.
    std::optional<Point> Anchor() const { return placement_.anchor; }

protected:
    void Complete() override;

private:
    struct Placement {
        std::optional<Point> anchor;
        Rect covered; // the part of the picture the text may have touched
    };
    void Uncover(Rect r);

    std::u16string text_;
    Bitmap base_; // the picture without text
    Placement placement_;
    std::array<Placement, SnapshotRing::kSlots> ringPlacements_{};
    BackgroundMode savedBackgroundMode_;
};

} // namespace pc::editor
