#pragma once
// Rectangular selection: a dotted not-xor frame dragged over the picture,
// and the 3x3 filters applied to the area inside it.
#include <array>
#include <optional>

#include "editor/tools/filters.h"
#include "editor/tools/shape.h"

namespace pc::editor {

class CFrameSelect : public CShape {
public:
    // A selection with width or height of at least 1 is drawn at once.
    CFrameSelect(Canvas& canvas, Rect selection);
    void MouseDown(Point p) override;
    void MouseMove(Point p) override;
    void MouseUp(Point p) override;
    // The ring also brings back the frame shown with each state.
    int Undo() override;
    int Redo() override;
    int SaveState() override;
    int Cursor() const override { return kCrossCursor; }

    // The selected area, normalised; empty before any drag.
    Rect Selection() const { return selection_; }
    // Filters the selected area and saves the state; nothing for an empty
    // selection.
    void Filter(FilterKind kind, int divisor);
    // Draws the frame once more: called in pairs around work on the pixels
    // under it, so the frame does not end up in them.
    void DrawFrame();

protected:
    // Removes the frame and gives back the pen and brush.
    void Complete() override;

private:
    using Frame = std::array<Point, 5>;
    void Toggle(const Frame& f);
    void ToggleShown();

    Frame live_{};
    std::optional<Frame> shown_; // the frame on the canvas
    bool shownVisible_ = false;
    // The frame of each ring state and whether the state shows it.
    struct SavedFrame {
        std::optional<Frame> frame;
        bool visible = false;
    };
    std::array<SavedFrame, SnapshotRing::kSlots> ringFrames_;
    void TakeSavedFrame(int slot);
    Rect selection_;
    bool dragging_ = false;
};

} // namespace pc::editor
