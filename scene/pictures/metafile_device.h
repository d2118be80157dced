#pragma once
// The device context a metafile plays into: mapping from logical units to
// the output picture, the object table, saved states, and drawing through
// the canvas. The WMF and EMF record readers both drive it.
#include <cstdint>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "platform/canvas.h"

namespace pc::metafile {

enum class PenCap { Round, Square, Flat };
enum class PenJoin { Round, Bevel, Miter };

struct LogPen {
    PenStyle style = PenStyle::Solid;
    double width = 0; // logical units; 0 = one pixel
    TColor color = clBlack;
    // ExtCreatePen's geometric pens draw their dash styles in proportion to
    // their width; the others draw them only one pixel wide.
    bool geometric = false;
    PenCap cap = PenCap::Round;
    PenJoin join = PenJoin::Round;
    // A user style's lengths on and off: logical units for a geometric pen,
    // pixels for a cosmetic one.
    std::vector<double> userStyle;
};

struct LogBrush {
    BrushStyle style = BrushStyle::Solid;
    TColor color = clWhite;
    // A pattern brush; mono: drawn in the text and background colours.
    std::shared_ptr<const Bitmap> pattern = nullptr;
    bool mono = false;
};

struct LogFont {
    double height = 0; // logical units, sign as in GDI
    double width = 0;  // average character width, logical units; 0 = the face's own
    int escapement = 0;
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    std::string face = "Arial";
    uint8_t charSet = 0; // the code page of 8-bit text
};

// A slot taken by an object this player does not draw with (palette, region).
struct OtherObject {};

using GdiObject = std::variant<LogPen, LogBrush, LogFont, OtherObject>;

struct XForm {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
};

struct DPoint {
    double x = 0, y = 0;
};

enum class TextOrigin { Given, CurrentPosition };

class Device {
public:
    // Output coordinates = (reference device coordinates - origin) * scale.
    // pixelsPerMm: of the reference device, for the metric map modes.
    Device(Canvas& canvas, DPoint origin, DPoint scale, DPoint pixelsPerMm);

    // WMF: the window always maps onto the whole output, viewport records
    // are ignored.
    void FixViewportToOutput(int width, int height);

    void SetMapMode(int mode);
    void SetWindowOrg(double x, double y);
    void SetWindowExt(double x, double y);
    void SetViewportOrg(double x, double y);
    void SetViewportExt(double x, double y);
    void SetWorldTransform(const XForm& x) { state_.world = x; }
    void ModifyWorldTransform(const XForm& x, int mode);

    void SetBkMode(int mode) { state_.bkMode = mode; }
    void SetBkColor(TColor c) { state_.bkColor = c; }
    void SetTextColor(TColor c) { state_.textColor = c; }
    void SetTextAlign(uint32_t a) { state_.textAlign = a; }
    void SetPolyFillMode(int m) { state_.polyFillMode = m; }
    void SetRop2(int r) { state_.rop2 = r; }
    void SetStretchBltMode(int m) { state_.stretchMode = m; }
    void SetMiterLimit(double limit);

    void SaveDC();
    void RestoreDC(int n); // negative: relative to the current one
    void IntersectClipRect(double l, double t, double r, double b);
    void ResetClip()
    {
        state_.clip.reset();
        state_.region.reset();
    }
    // The path, filled by the fill mode, combined with the clip by a region
    // mode (1 and, 2 or, 3 xor, 4 difference, 5 copy); the path is used up.
    // No clip stands for the whole picture.
    void SelectClipPath(int mode);
    // The union of rectangles in the reference device's pixels, combined
    // with the clip likewise.
    void SelectClipRects(const std::vector<Rect>& rects, int mode);

    // WMF object tables fill the lowest free slot; EMF names its slot.
    // SetTableSize empties the table.
    void CreateObject(uint32_t slot, GdiObject obj);
    void CreateObjectInFreeSlot(GdiObject obj);
    void SelectObject(uint32_t slot);
    void SelectStockObject(uint32_t n);
    void DeleteObject(uint32_t slot);
    void SetTableSize(uint32_t n);

    // Between BeginPath and EndPath the line and shape calls below build
    // the path instead of drawing; FillPath, StrokePath and
    // StrokeAndFillPath then draw it once and discard it.
    void BeginPath();
    void EndPath() { inPath_ = false; }
    void AbortPath();
    void CloseFigure();
    void FillPath() { DrawPath(true, false); }
    void StrokePath() { DrawPath(false, true); }
    void StrokeAndFillPath() { DrawPath(true, true); }

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void Polyline(std::span<const DPoint> pts);
    void PolylineTo(std::span<const DPoint> pts);
    // Bézier segments (three points each) on from the current position.
    void PolyBezierTo(std::span<const DPoint> controls);
    // The points are let go of as soon as they are mapped.
    void Polygon(std::vector<std::vector<DPoint>> polys);
    void Rectangle(double l, double t, double r, double b);
    void RoundRect(double l, double t, double r, double b, double w, double h);
    void Ellipse(double l, double t, double r, double b);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    // The part of the ellipse in (l, t, r, b) from the ray through start to
    // the ray through end, in the arc direction: Arc strokes it, ArcTo also
    // draws on from the current position and moves it to the arc's end,
    // Chord and Pie (through the centre) close it and fill it.
    void Arc(ArcKind kind, double l, double t, double r, double b, DPoint start, DPoint end);
    // On from the current position: the circle's arc from startDegrees,
    // counter-clockwise for a positive sweep.
    void AngleArc(DPoint centre, double radius, double startDegrees, double sweepDegrees);
    static constexpr int kCounterClockwise = 1, kClockwise = 2;
    void SetArcDirection(int d)
    {
        if (d == kCounterClockwise || d == kClockwise)
            state_.arcDirection = d;
    }
    // Windows metafiles turn their arcs as seen on the device, enhanced
    // metafiles in logical units.
    void UseDeviceSpaceArcs() { deviceSpaceArcs_ = true; }
    // dx: the advance of each character in logical units, or empty for the
    // font's own.
    void TextOut(DPoint at, const std::u16string& text, std::span<const double> dx,
                 const std::optional<std::array<double, 4>>& opaqueRect);
    // 8-bit text, in the code page of the selected font's character set;
    // dx has one entry per byte, or none.
    void TextOutA(DPoint at, std::span<const uint8_t> bytes, std::span<const double> dx,
                  const std::optional<std::array<double, 4>>& opaqueRect);
    // A bitmap drawn into the logical rectangle by the raster operation,
    // with the brush and what is there; null picture: a pattern blit. A
    // monochrome device bitmap (ddb) takes the text colour for its 0 bits
    // and the background colour for its 1 bits.
    void StretchBlt(double x, double y, double w, double h, const Bitmap* picture, Rect srcRect, uint32_t rop,
                    bool ddb = false);
    void SetPixelV(double x, double y, TColor c);
    // A brush that tiles the picture; mono: a monochrome pattern brush.
    // The memory patterns hold while they live is limited.
    LogBrush PatternBrush(Bitmap pattern, bool mono);

    // A packed DIB (header, colour table, bits) of the file, read as a
    // bitmap. Its pixels are charged to the file's work budget before it is
    // decoded: a file can only hold so many pictures, however small they pack.
    Bitmap ReadPicture(std::span<const uint8_t> header, std::span<const uint8_t> bits, const PictureLimits& limits);
    // A WMF device bitmap (the 10 bytes of its header, then top-down rows
    // padded to 2 bytes), charged like a packed DIB. Monochrome and 24-bit
    // ones are read; other depths, whose colours lay in the writer's
    // palette, and rows cut short give an empty bitmap.
    Bitmap ReadBitmap16(std::span<const uint8_t> header, std::span<const uint8_t> bits);

    // Bézier runs from the current point or from pts[0] flattened to lines,
    // their points charged before they are made.
    std::vector<DPoint> FlattenBeziers(DPoint start, std::span<const DPoint> controls);

    // Work done for a record, against the file's budget.
    void Spend(int64_t units) { canvas_.Spend(units); }

private:
    struct State {
        int mapMode = 1;
        DPoint wOrg, wExt{1, 1}, vOrg, vExt{1, 1};
        XForm world;
        LogPen pen;
        LogBrush brush;
        LogFont font;
        int bkMode = 2;
        TColor bkColor = clWhite, textColor = clBlack;
        uint32_t textAlign = 0;
        int polyFillMode = 1, rop2 = 13;
        int arcDirection = kCounterClockwise;
        int stretchMode = 1; // BLACKONWHITE
        double miterLimit = 10;
        DPoint pos;
        std::optional<Rect> clip;
        // Drawn only inside both the rectangle and the region, when set.
        std::shared_ptr<const ClipRegion> region;
    };

    struct Figure {
        std::vector<DPoint> pts;
        bool closed = false;
    };
    // Appends to the figure that ends at the current position, or starts
    // one there.
    void PathLine(std::span<const DPoint> pts);
    void PathFigure(std::vector<DPoint> pts, bool closed);
    void DrawPath(bool fill, bool stroke);
    void CombineClip(ClipRegion r, int mode);

    // An ellipse as centre + u cos(a) + v sin(a), logical units; pixels: its
    // larger radius on the output; flipped: the mapping mirrors it.
    struct EllipseFrame {
        DPoint centre, u, v;
        double pixels;
        bool flipped;
    };
    EllipseFrame FrameOf(double l, double t, double r, double b) const;
    // The angle a where the ray from the box's centre through p meets the ellipse.
    static double AngleOf(double l, double t, double r, double b, DPoint p);
    double ArcSweep(const EllipseFrame& f, double from, double to) const;
    // Points from a0 over sweep, both ends included, charged before made.
    std::vector<DPoint> ArcPoints(const EllipseFrame& f, double a0, double sweep);
    std::vector<DPoint> EllipsePath(double l, double t, double r, double b);
    // Every figure is drawn through here (logical units): the interiors with
    // the brush when fill (open figures closed), the lines with the pen when
    // stroke. Thin pens are the canvas' own; wider and geometric pens are
    // outlined by DrawOutlined. The points are let go of once mapped.
    void DrawFigures(std::vector<Figure>& figures, bool fill, bool stroke);
    // After Prepare: whether the pen is outlined here rather than drawn by
    // the canvas.
    bool OutlinedPen() const;
    // Figures in output pixels, stroked with the
    // pen's width, dashes, caps and joins, in one mask with their interiors
    // when fill.
    void DrawOutlined(const std::vector<std::vector<PointF>>& figures, const std::vector<bool>& closed, bool fill);
    std::vector<PointF> OutputPoints(std::span<const DPoint> pts);
    // The closed outline of a rectangle, round rectangle or ellipse in
    // output pixels, through its first and last rows and columns.
    std::vector<PointF> BoxOutline(double l, double t, double r, double b, double w, double h);
    std::vector<PointF> EllipseOutline(double l, double t, double r, double b);

    DPoint ToOutput(double x, double y) const;
    Point ToPixel(double x, double y) const;
    // Charged as a figure of so many points.
    std::vector<Point> ToPixels(std::span<const DPoint> pts);
    DPoint Scale() const; // output pixels per logical unit
    void Prepare();       // state onto the canvas

    Canvas& canvas_;
    DPoint origin_, scale_, pixelsPerMm_;
    bool fixedViewport_ = false;
    bool deviceSpaceArcs_ = false;
    State state_;
    std::vector<State> saved_;
    std::vector<std::optional<GdiObject>> objects_;
    // Slots that may be free, lowest on top; a slot an EMF record filled
    // since is passed over when it comes up.
    std::vector<uint32_t> freeSlots_;
    bool inPath_ = false;
    std::vector<Figure> path_;
    size_t pathPoints_ = 0;
    std::shared_ptr<int64_t> patternBytes_ = std::make_shared<int64_t>(0);
};

// One figure as a list of figures, its points moved, not copied.
inline std::vector<std::vector<DPoint>> OneFigure(std::vector<DPoint> pts)
{
    std::vector<std::vector<DPoint>> v(1);
    v[0] = std::move(pts);
    return v;
}

} // namespace pc::metafile
