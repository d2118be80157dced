#pragma once
// Drawing on a 24 or 32-bit bitmap with the rules of the Windows GDI that
// pictures and tools depend on:
//  - a rectangle (l, t, r, b) covers columns l..r-1 and rows t..b-1;
//  - LineTo leaves out its end pixel;
//  - every shape is rasterised into one coverage mask of outline and
//    interior, and the pen mode (copy or not-xor) is applied once per pixel,
//    so not-xor drawing twice restores the picture exactly;
//  - hatch brushes are aligned to the picture, not to the shape;
//  - polygons fill by the odd-even rule unless Winding is chosen;
//  - everything is clipped to the bitmap, to the clip rectangle and to the
//    clip region when one is set;
//  - reading a pixel outside the bitmap gives clInvalid.
// Glyphs are rasterised by Qt (a QGuiApplication must exist for text); the
// mixing into the bitmap is ours.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas_region.h"
#include "platform/canvas_stretch.h"

namespace pc {

class CanvasFontCache;

struct Point {
    int x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot, Clear };
enum class PenMode { Copy, NotXor };
enum class BrushStyle { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
enum class FillRule { Alternate, Winding };
enum class BackgroundMode { Transparent, Opaque };
// Surface: fill the area of the given colour; Border: fill up to it.
enum class FloodFillType { Surface, Border };

// What reading outside the picture gives.
constexpr TColor clInvalid = 0xFFFFFFFF;

// Text placement relative to the reference point.
enum class TextHAlign { Left, Center, Right };
enum class TextVAlign { Top, Baseline, Bottom };

struct Pen {
    TColor color = clBlack;
    int width = 1; // pixels; 0 draws as 1
    PenStyle style = PenStyle::Solid;
    PenMode mode = PenMode::Copy;
};

struct Brush {
    TColor color = clWhite;
    BrushStyle style = BrushStyle::Solid;
    // A picture tiled from the target's top-left, in place of color and
    // style; the caller keeps it alive while the brush is in use. A
    // monochrome pattern paints its 0 bits in the font colour and its 1 bits
    // in backgroundColor.
    const Bitmap* pattern = nullptr;
    bool monoPattern = false;
};

// A point in target pixels, pixel centres at half units.
struct PointF {
    double x = 0, y = 0;
};

struct Font {
    std::string name = "Arial";
    // Pixels: negative = character height, positive = cell height (with
    // internal leading), 0 = a default size.
    int height = 0;
    // Pixels: the average character width the glyphs are stretched to; 0 =
    // the font's own.
    int width = 0;
    int weight = 400;
    bool italic = false, underline = false, strikeOut = false;
    int escapement = 0; // tenths of a degree, counter-clockwise
    TColor color = clBlack;
};

class Canvas {
public:
    explicit Canvas(Bitmap& target); // throws Error for palette bitmaps

    Pen pen;
    Brush brush;
    Font font;
    FillRule fillRule = FillRule::Alternate;
    BackgroundMode backgroundMode = BackgroundMode::Opaque;
    TColor backgroundColor = clWhite; // hatch gaps, opaque text and dashes
    TextHAlign textHAlign = TextHAlign::Left;
    TextVAlign textVAlign = TextVAlign::Top;

    Bitmap& Target() { return target_; }
    const Bitmap& Target() const { return target_; }
    int Width() const { return target_.Width(); }
    int Height() const { return target_.Height(); }
    // New size keeping the pixels of the top-left overlap; new ones are
    // black. The clip goes back to the whole bitmap.
    void Resize(int width, int height);

    // Intersected with the bitmap; Reset goes back to the whole bitmap.
    void SetClipRect(Rect r);
    void ResetClipRect();
    Rect ClipRect() const { return clip_; }
    // Besides the clip rectangle, only the region's pixels are drawn; null:
    // no region.
    void SetClipRegion(std::shared_ptr<const ClipRegion> region) { region_ = std::move(region); }
    // The pixels a fill of the polygons covers, within the bitmap whatever
    // the clip; charged as a fill.
    ClipRegion PolygonRegion(const std::vector<std::vector<Point>>& polygons, FillRule rule);
    // Calls f(a, b) for each run of columns a .. b - 1 of row y within
    // x0 .. x1 - 1 that the clip region lets through. Every pixel write goes
    // through here; the clip rectangle is the caller's to apply.
    template <typename F>
    void ForClipRuns(int y, int x0, int x1, F f) const
    {
        if (!region_) {
            if (x1 > x0)
                f(x0, x1);
            return;
        }
        for (const ClipRegion::Run& r : region_->Row(y))
            if (const int a = std::max(r.x0, x0), b = std::min(r.x1, x1); b > a)
                f(a, b);
    }

    // Work is counted in units of about the time a pixel takes to write: one
    // per pixel a primitive writes or copies, per row and edge it scans, and
    // per 16 pixels of every coverage mask it sets up; more for a step of a
    // thin line, n log n for sorting n edges, and 16 for every point of an
    // outline (ellipse, round corners, a wide pen's discs and bands) it builds.
    // Past the limit the canvas throws BadInput("picture too complex").
    // Unlimited by default.
    void SetWorkLimit(int64_t units) { workLeft_ = units; }
    int64_t WorkLeft() const { return workLeft_; }
    // Charges work done for this picture outside the canvas (decoding a
    // picture to draw, for one) against the same limit.
    void Spend(int64_t units);

    Point PenPos() const { return penPos_; }
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    void LineTo(int x, int y);
    void Polyline(std::span<const Point> points);
    // Every line in one coverage mask: where they cross, a pixel is still
    // drawn once (a not-xor cross drawn twice leaves nothing).
    void PolyPolyline(const std::vector<std::vector<Point>>& lines);
    // Cubic Bezier segments through 1 + 3n points, drawn like a polyline.
    void PolyBezier(std::span<const Point> points);
    void Polygon(std::span<const Point> points);
    void PolyPolygon(const std::vector<std::vector<Point>>& polygons);
    void Rectangle(int left, int top, int right, int bottom);
    void RoundRect(int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void FillRect(Rect r); // the brush only, no outline
    // Fills with the brush the 4-connected area at (x, y): with Surface the
    // pixels of colour c, with Border every pixel up to colour c. Nothing
    // when (x, y) is outside the clip rectangle.
    void FloodFill(int x, int y, TColor c, FloodFillType type);

    // Text at a reference point placed by the alignments; with an opaque
    // background the text cell is filled with backgroundColor first.
    void TextOut(int x, int y, const std::u16string& text);
    void TextOut(int x, int y, const std::string& utf8);
    // Each character placed by its own advance (pixels, one per UTF-16
    // unit) along the baseline instead of the font's.
    void TextOut(int x, int y, const std::u16string& text, std::span<const double> advances);
    // Advance width and height of the text cell in the current font.
    Point TextExtent(const std::u16string& text) const;

    // src may be the target itself: overlapping copies come out right.
    void StretchDraw(Rect dst, const Bitmap& src, Rect srcRect, StretchMode mode = StretchMode::ColorOnColor);
    void CopyRect(Rect dst, Rect src); // from this canvas' own bitmap
    // src at its own size with its top-left at (x, y), clipped.
    void Draw(int x, int y, const Bitmap& src);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // Ternary raster operations: each pixel of dst becomes the bits that
    // rop's truth table (pattern 0xF0, source 0xCC, target 0xAA) gives for
    // the brush, the source and the pixel. The brush is tiled from the
    // target's top-left, hatch gaps in backgroundColor. src (null for a
    // pattern blit) is stretched from srcRect by mode; a rop that needs a
    // source draws nothing without one, one that needs the brush nothing
    // with the clear brush.
    void RopBlt(Rect dst, const Bitmap* src, Rect srcRect, uint8_t rop, StretchMode mode);
    // The same onto the parallelogram whose corners at the source's
    // top-left, top-right and bottom-left are given: each pixel whose centre
    // lies inside takes the source pixel its centre maps back to.
    void RopBlt(const std::array<PointF, 3>& corners, const Bitmap* src, Rect srcRect, uint8_t rop);

    // Coverage of one primitive over the clip rectangle: 0 none, 1 interior,
    // 2 outline. Public so tools can combine their own shapes.
    struct Mask {
        Rect box; // clipped bounds
        CountedBytes cover;
        uint8_t& At(int x, int y) { return cover[size_t(y - box.top) * box.Width() + (x - box.left)]; }
    };
    void Apply(const Mask& mask);

    // A shape whose pen outline the caller works out (a geometric pen's
    // stroke), put together in one mask over the given bounds: first the
    // interior with the brush by the fill rule, then the outline with the
    // pen by the winding rule, in as many batches as the caller likes; Apply
    // then draws it, so the pen mode still meets each pixel once. Each
    // point is charged as an outline point.
    Mask ShapeMask(double left, double top, double right, double bottom);
    void AddInterior(Mask& m, const std::vector<std::vector<PointF>>& polygons);
    void AddOutline(Mask& m, const std::vector<std::vector<PointF>>& polygons);

private:
    struct PolyF {
        std::vector<std::pair<double, double>> pts;
    };
    Mask NewMask(Rect bounds);
    void FillPolygons(Mask& m, const std::vector<PolyF>& polys, FillRule rule, uint8_t value);
    // Takes the edges: they are sorted in place.
    template <typename Edge>
    void FillEdges(Mask& m, std::vector<Edge>& edges, FillRule rule, uint8_t value);
    void FillGiven(Mask& m, const std::vector<std::vector<PointF>>& polygons, FillRule rule, uint8_t value);
    void StrokePolyline(Mask& m, std::span<const Point> points, bool closed);
    void WideStroke(Mask& m, std::span<const Point> points, bool closed);
    void ThinLine(Mask& m, Point a, Point b, int& dashPos);
    void BoxShape(Rect box, const std::vector<PolyF>& outer, const std::vector<PolyF>& inner,
                  const std::vector<PolyF>& fillOnly);
    void MixText(const std::u16string& text, int x, int y, std::span<const double> advances);
    TColor BrushAt(int x, int y, bool opaque) const; // clInvalid: nothing there
    // Mixes the staged source (24 bits, the size of box; null without a
    // source) into the target where cover is set.
    void MixRop(Rect box, const Bitmap* staged, const CountedBytes& cover, uint8_t rop);

    Bitmap& target_;
    Rect clip_;
    std::shared_ptr<const ClipRegion> region_;
    Point penPos_;
    int64_t workLeft_ = INT64_MAX;
    std::shared_ptr<CanvasFontCache> fonts_;
};

} // namespace pc
