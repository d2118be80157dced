// The GDI rules the editor tools and the metafile player rely on.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>

#include "platform/canvas.h"

namespace pc {
namespace {

constexpr TColor kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

Bitmap White(int w, int h)
{
    Bitmap b(w, h);
    b.Fill(clWhite);
    return b;
}

int CountColour(const Bitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == c;
    return n;
}

struct LineCase {
    const char* name;
    Point a, b;
};

class LineToEnd : public testing::TestWithParam<LineCase> {};

TEST_P(LineToEnd, LeavesOutTheEndPixelAndDrawsTheStart)
{
    Bitmap b = White(20, 20);
    Canvas c(b);
    c.pen.color = kRed;
    c.MoveTo(GetParam().a.x, GetParam().a.y);
    c.LineTo(GetParam().b.x, GetParam().b.y);
    EXPECT_EQ(b.Pixel(GetParam().a.x, GetParam().a.y), kRed);
    EXPECT_EQ(b.Pixel(GetParam().b.x, GetParam().b.y), clWhite);
    const int len = std::max(std::abs(GetParam().b.x - GetParam().a.x), std::abs(GetParam().b.y - GetParam().a.y));
    EXPECT_EQ(CountColour(b, kRed), len);
    EXPECT_EQ(c.PenPos(), GetParam().b);
}

INSTANTIATE_TEST_SUITE_P(Directions, LineToEnd,
                         testing::Values(LineCase{"right", {2, 5}, {15, 5}}, LineCase{"left", {15, 5}, {2, 5}},
                                         LineCase{"down", {4, 1}, {4, 18}}, LineCase{"up", {4, 18}, {4, 1}},
                                         LineCase{"diagonal", {1, 1}, {17, 17}}, LineCase{"steep", {3, 19}, {9, 0}},
                                         LineCase{"shallow", {0, 10}, {19, 3}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, DashGapsTakeTheBackgroundOnlyWhenOpaque)
{
    for (auto mode : {BackgroundMode::Opaque, BackgroundMode::Transparent}) {
        Bitmap b = White(60, 3);
        Canvas c(b);
        c.pen = Pen{kRed, 1, PenStyle::Dash, PenMode::Copy};
        c.backgroundMode = mode;
        c.backgroundColor = kBlue;
        c.MoveTo(0, 1);
        c.LineTo(48, 1);
        // 18 on, 6 off, twice.
        EXPECT_EQ(CountColour(b, kRed), 36);
        EXPECT_EQ(b.Pixel(20, 1), mode == BackgroundMode::Opaque ? kBlue : clWhite);
        EXPECT_EQ(b.Pixel(30, 1), kRed);
    }
}

TEST(Canvas, WidePenCentredOnTheLine)
{
    Bitmap b = White(20, 11);
    Canvas c(b);
    c.pen = Pen{kRed, 3, PenStyle::Solid, PenMode::Copy};
    c.MoveTo(5, 5);
    c.LineTo(15, 5);
    for (int y : {4, 5, 6})
        EXPECT_EQ(b.Pixel(10, y), kRed) << y;
    EXPECT_EQ(b.Pixel(10, 3), clWhite);
    EXPECT_EQ(b.Pixel(10, 7), clWhite);
}

TEST(Canvas, RectangleRightAndBottomEdgesExclusive)
{
    Bitmap b = White(12, 12);
    Canvas c(b);
    c.pen.color = kRed;
    c.brush.color = kBlue;
    c.Rectangle(2, 3, 8, 10);
    EXPECT_EQ(b.Pixel(2, 3), kRed);
    EXPECT_EQ(b.Pixel(7, 9), kRed);
    EXPECT_EQ(b.Pixel(8, 9), clWhite);
    EXPECT_EQ(b.Pixel(7, 10), clWhite);
    EXPECT_EQ(b.Pixel(3, 4), kBlue);
    EXPECT_EQ(b.Pixel(6, 8), kBlue);
    EXPECT_EQ(CountColour(b, kRed), 2 * 6 + 2 * 5);
    EXPECT_EQ(CountColour(b, kBlue), 4 * 5);
}

// Not-xor drawn twice must give back every pixel, outline and interior
// alike: each pixel is touched once per shape.
class NotXorTwice : public testing::TestWithParam<int> {};

TEST_P(NotXorTwice, RestoresThePicture)
{
    Bitmap b(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x * 6), uint8_t(y * 8), uint8_t(x * y)));
    const Bitmap before = b;
    Canvas c(b);
    c.pen = Pen{RGB(10, 200, 90), GetParam(), PenStyle::Solid, PenMode::NotXor};
    c.brush = Brush{RGB(77, 5, 180), BrushStyle::Solid};
    const Point star[] = {{5, 5}, {35, 20}, {5, 25}, {30, 2}, {20, 28}};
    auto draw = [&] {
        c.Rectangle(1, 1, 20, 15);
        c.Ellipse(10, 5, 38, 28);
        c.RoundRect(3, 12, 30, 29, 8, 6);
        c.Polygon(star);
        c.MoveTo(0, 29);
        c.LineTo(39, 0);
    };
    draw();
    EXPECT_NE(b, before);
    draw();
    EXPECT_EQ(b, before);
}

INSTANTIATE_TEST_SUITE_P(PenWidths, NotXorTwice, testing::Values(1, 3));

TEST(Canvas, PolygonFillsOddEvenUnlessWinding)
{
    // A pentagram: its centre is covered twice.
    const Point star[] = {{50, 5}, {79, 95}, {3, 39}, {97, 39}, {21, 95}};
    for (FillRule rule : {FillRule::Alternate, FillRule::Winding}) {
        Bitmap b = White(100, 100);
        Canvas c(b);
        c.pen.style = PenStyle::Clear;
        c.brush.color = kBlue;
        c.fillRule = rule;
        c.Polygon(star);
        EXPECT_EQ(b.Pixel(50, 55), rule == FillRule::Alternate ? clWhite : kBlue);
        EXPECT_EQ(b.Pixel(50, 20), kBlue); // a point of the star
        EXPECT_EQ(b.Pixel(5, 90), clWhite);
    }
}

TEST(Canvas, PolygonAgreesWithQtOddEvenFill)
{
    const Point pts[] = {{3, 2}, {60, 10}, {20, 50}, {55, 55}, {8, 30}, {40, 4}, {2, 58}};
    Bitmap b = White(64, 64);
    Canvas c(b);
    c.pen.style = PenStyle::Clear;
    c.brush.color = clBlack;
    c.Polygon(pts);
    QImage q(64, 64, QImage::Format_RGB32);
    q.fill(Qt::white);
    {
        QPainter p(&q);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        QPolygon poly;
        for (auto& pt : pts)
            poly << QPoint(pt.x, pt.y);
        p.drawPolygon(poly, Qt::OddEvenFill);
    }
    int differ = 0, inside = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            bool ours = b.Pixel(x, y) == clBlack, theirs = qGray(q.pixel(x, y)) < 128;
            differ += ours != theirs;
            inside += theirs;
        }
    EXPECT_GT(inside, 500);
    // Only pixels right on an edge may fall the other way.
    EXPECT_LT(differ, inside / 20);
}

TEST(Canvas, ClipsToBitmapAndClipRect)
{
    Bitmap b = White(10, 10);
    Canvas c(b);
    c.pen.color = kRed;
    c.brush.color = kBlue;
    // Far outside coordinates cost nothing and draw only what is inside.
    c.SetWorkLimit(100000);
    c.MoveTo(-2000000000, 5);
    c.LineTo(2000000000, 5);
    EXPECT_EQ(CountColour(b, kRed), 10);
    // A diagonal between far corners still passes through the picture's diagonal.
    c.pen.color = kBlue;
    c.MoveTo(-2000000000, -2000000000);
    c.LineTo(2000000000, 2000000000);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(b.Pixel(i, i), kBlue) << i;
    b.Fill(clWhite);
    c.brush.color = kBlue;
    c.SetClipRect(Rect{2, 2, 6, 6});
    c.Rectangle(-50, -50, 50, 50);
    EXPECT_EQ(CountColour(b, kBlue), 16);
    EXPECT_EQ(b.Pixel(1, 1), clWhite);
    EXPECT_EQ(b.Pixel(6, 6), clWhite);
}

TEST(Canvas, WorkLimitStopsHugeDrawings)
{
    Bitmap b = White(200, 200);
    Canvas c(b);
    c.SetWorkLimit(1000);
    EXPECT_THROW(c.Ellipse(0, 0, 200, 200), BadInput);
    // A wide pen's outline is charged as it is built: 1000 discs of 1024
    // points on one spot of a tiny picture, where filling them costs little.
    Bitmap tiny = White(8, 8);
    Canvas t(tiny);
    t.SetWorkLimit(200000);
    t.pen.width = 4000;
    EXPECT_THROW(t.Polyline(std::vector<Point>(1000, Point{3, 3})), BadInput);
}

// Work is charged for every pixel written: at least one unit a pixel, and
// no more than a few (the fill, the edges of each row) besides one for
// every 8 pixels of the mask, which is at most the picture.
struct WorkCase {
    const char* name;
    int64_t written; // pixels the drawing covers, counted by hand
    void (*draw)(Canvas&);
};

const WorkCase kWorkCases[] = {
    {"FillRect", 37 * 25, [](Canvas& c) { c.FillRect(Rect{3, 5, 40, 30}); }},
    {"Rectangle", 37 * 25, [](Canvas& c) { c.Rectangle(3, 5, 40, 30); }},
    {"Polygon", 30 * 21, [](Canvas& c) {
         const Point square[] = {{7, 2}, {37, 2}, {37, 23}, {7, 23}};
         c.pen.style = PenStyle::Clear;
         c.Polygon(square);
     }},
    // Every pixel the fill covers, though a hatch on no background writes few.
    {"HatchedPolygon", 30 * 21, [](Canvas& c) {
         const Point square[] = {{7, 2}, {37, 2}, {37, 23}, {7, 23}};
         c.pen.style = PenStyle::Clear;
         c.brush.style = BrushStyle::Horizontal;
         c.backgroundMode = BackgroundMode::Transparent;
         c.Polygon(square);
     }},
    {"LineTo", 41, [](Canvas& c) { c.MoveTo(2, 1), c.LineTo(43, 30); }},
    {"StretchDraw", 48 * 37, [](Canvas& c) {
         Bitmap src(3, 2);
         c.StretchDraw(Rect{2, 3, 50, 40}, src, Rect{0, 0, 3, 2});
     }},
};

class WorkCharge : public testing::TestWithParam<WorkCase> {};

TEST_P(WorkCharge, EveryPixelWrittenIsCharged)
{
    Bitmap b = White(61, 47);
    Canvas c(b);
    const int64_t n = GetParam().written, limit = 100 * n;
    c.SetWorkLimit(limit);
    GetParam().draw(c);
    EXPECT_GE(limit - c.WorkLeft(), n);
    EXPECT_LE(limit - c.WorkLeft(), 4 * n + b.Width() * b.Height() / 8 + 64);
    Canvas tight(b);
    tight.SetWorkLimit(n - 1);
    EXPECT_THROW(GetParam().draw(tight), BadInput);
}

INSTANTIATE_TEST_SUITE_P(Primitives, WorkCharge, testing::ValuesIn(kWorkCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A target rectangle millions of rows high: only the rows inside the picture
// are worked out, so the memory taken is the picture's, not the rectangle's.
TEST(Canvas, StretchIntoAHugeRectangleTakesThePicturesMemory)
{
    Bitmap src(1, 2);
    src.SetPixel(0, 0, kRed);
    src.SetPixel(0, 1, kBlue);
    Bitmap b = White(13, 11);
    Canvas c(b);
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    c.StretchDraw(Rect{2, -20'000'000, 9, 20'000'000}, src, Rect{0, 0, 1, 2});
    EXPECT_LE(BitmapMemory::Peak() - before, 4096);
    EXPECT_EQ(b.Pixel(2, 0), kBlue);
    EXPECT_EQ(b.Pixel(8, 10), kBlue);
    EXPECT_EQ(b.Pixel(9, 5), clWhite);
    c.StretchDraw(Rect{1, 5, 4, 40'000'005}, src, Rect{0, 0, 1, 2});
    EXPECT_EQ(b.Pixel(1, 10), kRed);
    EXPECT_EQ(b.Pixel(1, 4), clWhite);
}

TEST(Canvas, HatchIsAlignedToThePicture)
{
    Bitmap b = White(32, 32);
    Canvas c(b);
    c.pen.style = PenStyle::Clear;
    c.brush = Brush{kRed, BrushStyle::Horizontal};
    c.backgroundMode = BackgroundMode::Transparent;
    c.Rectangle(3, 3, 20, 20);
    c.Rectangle(21, 5, 31, 30);
    // Lines on the same rows in both shapes, whatever their top edge.
    for (int y = 5; y < 19; ++y)
        EXPECT_EQ(b.Pixel(10, y) == kRed, b.Pixel(25, y) == kRed) << y;
    EXPECT_EQ(b.Pixel(10, 8), kRed);
    EXPECT_EQ(b.Pixel(10, 9), clWhite);
}

TEST(Canvas, OverlappingSelfCopy)
{
    Bitmap b(16, 4);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 4; ++y)
            b.SetPixel(x, y, RGB(uint8_t(x * 10), 0, 0));
    Canvas c(b);
    c.CopyRect(Rect{3, 0, 15, 4}, Rect{0, 0, 12, 4});
    for (int x = 3; x < 15; ++x)
        EXPECT_EQ(b.Pixel(x, 2), RGB(uint8_t((x - 3) * 10), 0, 0)) << x;
}

TEST(Canvas, StretchDrawHalftoneAverages)
{
    Bitmap src(4, 2);
    src.Fill(clBlack);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            src.SetPixel(x, y, clWhite);
    Bitmap b = White(2, 1);
    Canvas c(b);
    c.StretchDraw(Rect{0, 0, 2, 1}, src, Rect{0, 0, 4, 2}, StretchMode::Halftone);
    EXPECT_EQ(b.Pixel(0, 0), clWhite);
    EXPECT_EQ(b.Pixel(1, 0), clBlack);
    // Mirrored.
    c.StretchDraw(Rect{2, 0, 0, 1}, src, Rect{0, 0, 4, 2}, StretchMode::Halftone);
    EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(Canvas, TextDrawsInsideItsCell)
{
    Bitmap b = White(120, 40);
    Canvas c(b);
    c.font.height = -20;
    c.font.color = kBlue;
    c.backgroundMode = BackgroundMode::Transparent;
    c.TextOut(5, 5, std::string("Hello"));
    const Point ext = c.TextExtent(u"Hello");
    int inside = 0, outside = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (b.Pixel(x, y) != clWhite)
                (x >= 5 && x < 5 + ext.x && y >= 5 && y < 5 + ext.y ? inside : outside)++;
    EXPECT_GT(inside, 40);
    EXPECT_EQ(outside, 0);
}


TEST(Canvas, RectangleCoversLeftToRightMinusOne)
{
    Bitmap b = White(14, 14);
    Canvas c(b);
    c.pen.color = kRed;
    c.brush.color = kRed;
    c.Rectangle(2, 5, 10, 10);
    for (int y = 0; y < 14; ++y)
        for (int x = 0; x < 14; ++x)
            EXPECT_EQ(b.Pixel(x, y) == kRed, x >= 2 && x <= 9 && y >= 5 && y <= 9) << x << "," << y;
}

TEST(Canvas, WideDashedPenDrawsSolid)
{
    Bitmap b = White(60, 9);
    Canvas c(b);
    c.pen = Pen{kRed, 3, PenStyle::Dash, PenMode::Copy};
    c.MoveTo(2, 4);
    c.LineTo(50, 4);
    for (int x = 2; x < 50; ++x)
        EXPECT_EQ(b.Pixel(x, 4), kRed) << x;
}

TEST(Canvas, ReadingOutsideThePictureIsInvalid)
{
    Bitmap b = White(7, 5);
    Canvas c(b);
    EXPECT_EQ(c.Pixel(6, 4), clWhite);
    for (Point p : {Point{7, 0}, Point{0, 5}, Point{-1, 2}, Point{3, -1}})
        EXPECT_EQ(c.Pixel(p.x, p.y), clInvalid) << p.x << "," << p.y;
}

TEST(Canvas, PolyPolylineDrawsACrossingPixelOnce)
{
    Bitmap b = White(21, 21);
    const Bitmap before = b;
    Canvas c(b);
    c.pen = Pen{clBlack, 1, PenStyle::Solid, PenMode::NotXor};
    const std::vector<std::vector<Point>> cross = {{{0, 10}, {21, 10}}, {{10, 0}, {10, 21}}};
    c.PolyPolyline(cross);
    // Not-xor of black on white is black: a pixel toggled twice would be white.
    EXPECT_EQ(b.Pixel(10, 10), clBlack);
    EXPECT_EQ(CountColour(b, clBlack), 41);
    c.PolyPolyline(cross);
    EXPECT_EQ(b, before);
}

TEST(Canvas, PolyBezierPassesThroughItsEndsAndMidpoint)
{
    Bitmap b = White(50, 30);
    Canvas c(b);
    c.pen.color = kRed;
    const Point arch[] = {{0, 20}, {0, 0}, {40, 0}, {40, 20}};
    c.PolyBezier(std::span<const Point>(arch, 3)); // fewer than four points: nothing
    EXPECT_EQ(CountColour(b, kRed), 0);
    c.PolyBezier(arch);
    EXPECT_EQ(b.Pixel(0, 20), kRed);
    EXPECT_EQ(b.Pixel(20, 5), kRed); // B(0.5) = (20, 5)
    EXPECT_EQ(b.Pixel(40, 20), clWhite); // the end pixel is left out, as with LineTo
    EXPECT_EQ(b.Pixel(40, 19), kRed);
    EXPECT_EQ(b.Pixel(20, 10), clWhite);
}

TEST(Canvas, SurfaceFloodFillUsesTheAlignedHatchAndStopsAtOtherColours)
{
    Bitmap b = White(40, 40);
    Canvas c(b);
    c.pen.color = clBlack;
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(5, 5, 30, 30);
    c.backgroundMode = BackgroundMode::Transparent;
    c.brush = Brush{kRed, BrushStyle::Horizontal};
    c.FloodFill(-1, 10, clWhite, FloodFillType::Surface); // outside: nothing
    EXPECT_EQ(CountColour(b, kRed), 0);
    c.FloodFill(10, 10, clWhite, FloodFillType::Surface);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x > 5 && x < 29 && y > 5 && y < 29;
            EXPECT_EQ(b.Pixel(x, y) == kRed, inside && y % 8 == 0) << x << "," << y;
        }
    // Border: everything up to black, from outside the frame.
    c.brush = Brush{kBlue, BrushStyle::Solid};
    c.FloodFill(0, 0, clBlack, FloodFillType::Border);
    EXPECT_EQ(b.Pixel(39, 39), kBlue);
    EXPECT_EQ(b.Pixel(10, 10), clWhite);
}

TEST(Canvas, AFloodFillStaysInsideTheClipRectangle)
{
    // A white picture larger than the clip on every side: the fill takes
    // the clip exactly, not one column or row more.
    for (Rect clip : {Rect{5, 3, 23, 14}, Rect{0, 0, 17, 9}, Rect{11, 6, 40, 20}, Rect{2, 1, 3, 2}}) {
        Bitmap b = White(40, 20);
        Canvas c(b);
        c.SetClipRect(clip);
        c.brush = Brush{kRed, BrushStyle::Solid};
        c.FloodFill(clip.left, clip.bottom - 1, clWhite, FloodFillType::Surface);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                ASSERT_EQ(b.Pixel(x, y), inside ? kRed : clWhite) << clip.left << "," << clip.top << " at " << x << "," << y;
            }
    }
}

TEST(Canvas, ResizeKeepsTheTopLeftAndClipsToTheNewSize)
{
    Bitmap b(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 1));
    Canvas c(b);
    c.Resize(4, 12);
    ASSERT_EQ(b.Width(), 4);
    ASSERT_EQ(b.Height(), 12);
    EXPECT_EQ(b.Pixel(3, 9), RGB(3, 9, 1));
    EXPECT_EQ(b.Pixel(3, 11), clBlack);
    EXPECT_EQ(c.ClipRect().right, 4);
    EXPECT_EQ(c.ClipRect().bottom, 12);
}

TEST(Canvas, DrawBlitsAtItsOwnSizeClipped)
{
    Bitmap src(3, 3);
    src.Fill(kBlue);
    Bitmap b = White(5, 5);
    Canvas c(b);
    c.Draw(-1, 3, src);
    EXPECT_EQ(CountColour(b, kBlue), 4); // columns 0..1, rows 3..4
    EXPECT_EQ(b.Pixel(1, 4), kBlue);
    EXPECT_EQ(b.Pixel(2, 4), clWhite);
}

TEST(Canvas, TurnedTextHangsFromItsTopLeftReferencePoint)
{
    Bitmap b = White(120, 120);
    Canvas c(b);
    c.font.height = -16;
    c.font.escapement = 900; // a quarter turn counter-clockwise: the text runs upward
    c.backgroundMode = BackgroundMode::Transparent;
    c.TextOut(40, 110, std::u16string(u"Upward"));
    const Point ext = c.TextExtent(u"Upward");
    int ink = 0, stray = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 120; ++x)
            if (b.Pixel(x, y) != clWhite) {
                ++ink;
                // The cell's top edge lies along x = 40, its left edge along y = 110.
                stray += !(x >= 39 && x <= 40 + ext.y && y <= 111 && y >= 110 - ext.x - 1);
            }
    EXPECT_GT(ink, 40);
    EXPECT_EQ(stray, 0);
}

} // namespace
} // namespace pc

namespace pc {
namespace {

// A clip region holds for every way of writing pixels: each write below
// covers the whole picture, and only the region's pixels change.
TEST(Canvas, EveryWriteKeepsToTheClipRegion)
{
    Bitmap red(41, 31);
    red.Fill(kRed);
    Bitmap dot(1, 1);
    dot.Fill(kRed);
    const std::pair<const char*, std::function<void(Canvas&)>> writes[] = {
        {"rectangle", [](Canvas& c) { c.Rectangle(-5, -5, 50, 40); }},
        {"wide line", [](Canvas& c) { c.pen.width = 40; c.MoveTo(0, 15); c.LineTo(41, 15); }},
        {"pixels", [](Canvas& c) { for (int y = 0; y < 31; ++y) for (int x = 0; x < 41; ++x) c.SetPixel(x, y, kRed); }},
        {"draw", [&](Canvas& c) { c.Draw(0, 0, red); }},
        {"stretch", [&](Canvas& c) { c.StretchDraw(Rect{0, 0, 41, 31}, dot, Rect{0, 0, 1, 1}); }},
        {"text", [](Canvas& c) { c.font.height = -40; c.font.color = kRed; c.backgroundColor = kRed; c.TextOut(0, -5, std::string("WW")); }},
    };
    for (const auto& [name, write] : writes) {
        Bitmap b = White(41, 31);
        Canvas c(b);
        c.pen.color = c.brush.color = kRed;
        auto region = std::make_shared<ClipRegion>(c.PolygonRegion({{{3, 2}, {37, 5}, {10, 29}}}, FillRule::Alternate));
        c.SetClipRegion(region);
        write(c);
        int inside = 0, outside = 0;
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 41; ++x)
                if (b.Pixel(x, y) != clWhite)
                    ++(region->Contains(x, y) ? inside : outside);
        EXPECT_EQ(outside, 0) << name;
        EXPECT_GT(inside, 300) << name; // the triangle is some 450 pixels
    }
}

} // namespace
} // namespace pc
