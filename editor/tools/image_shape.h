#pragma once
// The floating picture layer: a second picture laid over the edited one,
// moved by dragging inside it, stretched by its corner and edge grips
// (freely, as an axis-aligned rectangle, or turned and scaled about its
// centre), mixed by an alpha weight and an optional transparent colour.
// The layer is composited over the picture as it was when the layer was
// made; Finish leaves the composite in the picture.
#include <array>
#include <optional>

#include "editor/tools/layer_composite.h"
#include "editor/tools/quad_grips.h"
#include "editor/tools/shape.h"

namespace pc::editor {

enum class LayerStretch { Free = 0, Rectangular = 1, Rotational = 2 };

class CImageShape : public CShape {
public:
    CImageShape(Canvas& canvas, const Bitmap& picture);

    void MouseDown(Point p) override;
    void MouseMove(Point p) override;
    void MouseUp(Point p) override;
    // The ring also brings back the corners of each state.
    int Undo() override;
    int Redo() override;
    int SaveState() override;
    int Cursor() const override { return kCrossCursor; }

    // Places the layer on the rectangle and composites it.
    void Redraw(Rect placement);
    // Composites it again where it is, after an option changed.
    void Redraw();

    LayerStretch Mode() const { return mode_; }
    void SetMode(LayerStretch m) { mode_ = m; }
    const LayerOptions& Options() const { return options_; }
    // alphaWeight clamped to 0..100, diffuse to 1..100.
    void SetOptions(LayerOptions o);
    const Quad& Corners() const { return corners_; }
    // Smallest rectangle holding the corners (right and bottom inclusive).
    Rect Bounds() const;

protected:
    void Complete() override;

private:
    void UpdateGrownBox();
    void Recomposite();
    void ToggleFrame(const Quad& q);
    void ShowFrame();
    void Transform(Point p);

    Bitmap picture_;
    Bitmap background_;
    Quad corners_{Point{1, 1}, Point{200, 10}, Point{200, 200}, Point{1, 250}};
    std::optional<Quad> shown_; // the frame on the canvas
    std::array<Quad, SnapshotRing::kSlots> ringQuads_{};
    int handle_ = -1; // 0 move, 1..4 corner, 12, 23, 34, 41 edge middle
    Point dragOrigin_;
    Point rotationCentre_;
    Quad pressCorners_; // a turn is taken from these, so rounding cannot pile up
    LayerOptions options_;
    LayerStretch mode_ = LayerStretch::Rectangular;
    Rect grownBox_{0, 0, 100, 100};
};

} // namespace pc::editor
