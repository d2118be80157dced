#pragma once
// The editor's view scale: steps of 1.2 in and 5/6 out between 0.05 and
// 16, presets in percent, and the mapping between view and picture pixels.
// Scales within (0.9, 1.1) snap to 1, the unzoomed view.
namespace pc::editor {

class Zoom {
public:
    double Factor() const { return factor_; }
    void In();
    void Out();
    void Preset(int percent);

    bool CanZoomIn() const { return factor_ < 15.9; }
    bool CanZoomOut() const { return factor_ > 0.051; }
    bool Zoomed() const { return factor_ != 1.0; }

    // Size of the view of a picture side: the integer part of side x factor + 0.5.
    int ViewSide(int pictureSide) const;
    // The picture pixel under a view pixel: the integer part of v / factor + 0.5.
    int ToPicture(int viewCoordinate) const;

private:
    void Snap();
    double factor_ = 1.0;
};

} // namespace pc::editor
