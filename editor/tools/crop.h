#pragma once
// Crop: a rectangle whose corners and edges are dragged over the picture,
// with the outside shown inverted. Finish cuts the picture to it; an
// untouched crop keeps the whole picture and an empty one cuts nothing.
#include <optional>

#include "editor/tools/quad_grips.h"
#include "editor/tools/shape.h"

namespace pc::editor {

class CCrop : public CShape {
public:
    explicit CCrop(Canvas& canvas);
    void MouseDown(Point p) override;
    void MouseMove(Point p) override;
    // The editor's history files cover the crop.
    int Undo() override { return -1; }
    int Redo() override { return -1; }
    int SaveState() override { return -1; }
    bool CanUndo() const override { return false; }
    bool CanRedo() const override { return false; }
    int Cursor() const override { return kCrossCursor; }
    // The crop follows the picture's size: a side on the picture's edge
    // stays on it, the others stay within the picture.
    void PictureResized(int width, int height) override;

    // The area kept, normalised; right and bottom exclusive.
    Rect CropRect() const;

protected:
    void Complete() override;

private:
    // A frame with the picture size whose outside it inverted, so it can be
    // erased exactly after the picture grew.
    struct Frame {
        Quad corners;
        int width, height;
    };
    void ToggleFrame(const Frame& f);
    void ShowFrame();

    int width_, height_;
    Quad corners_;
    std::optional<Frame> shown_;
    int handle_ = -1; // 1..4 corner, 12, 23, 34, 41 edge middle
};

} // namespace pc::editor
