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
    // The picture pixel the view shows at view pixel v of a picture side,
    // so a click acts on the pixel under the pointer. Pixels off the view
    // map off the picture.
    int ToPicture(int viewCoordinate, int pictureSide) const;

private:
    void Snap();
    double factor_ = 1.0;
};

// The source pixel shown at view pixel v when sourceSide pixels are
// stretched to viewSide: the one holding the view pixel's centre, floored,
// so negative view pixels give negative source pixels.
int SourceOfViewPixel(int v, int sourceSide, int viewSide);

} // namespace pc::editor
