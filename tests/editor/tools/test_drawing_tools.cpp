// The simple drawing tools' mouse rules: closing distance, circle radius,
// eraser square, polygon growth and undo, Bezier placement, Shift.
#include <gtest/gtest.h>

#include <array>

#include "editor/tools/circle.h"
#include "editor/tools/eraser.h"
#include "editor/tools/free_line.h"
#include "editor/tools/pen_width.h"
#include "editor/tools/poly_bezier.h"
#include "editor/tools/polygon.h"
#include "editor/tools/polyline.h"
#include "editor/tools/shift_constraint.h"
#include "editor/tools/tool_mouse.h"

namespace pc::editor {
namespace {

constexpr TColor kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

struct Picture {
    Bitmap bitmap;
    Canvas canvas;
    Picture(int w, int h, TColor fill = clWhite) : bitmap(w, h), canvas(bitmap) { bitmap.Fill(fill); }
    int Count(TColor c) const
    {
        int n = 0;
        for (int y = 0; y < bitmap.Height(); ++y)
            for (int x = 0; x < bitmap.Width(); ++x)
                n += bitmap.Pixel(x, y) == c;
        return n;
    }
};

void Click(CShape& t, Point p)
{
    t.MouseDown(p);
    t.MouseUp(p);
}

TEST(Polyline, ClosesWithinTwoPixelsOfTheStartOnly)
{
    struct Case {
        Point last;
        bool closes;
    };
    for (Case c : {Case{{12, 12}, true}, Case{{8, 8}, true}, Case{{13, 10}, false}, Case{{10, 7}, false}}) {
        Picture pic(40, 40);
        CPolyline tool(pic.canvas);
        Click(tool, {10, 10});
        Click(tool, {30, 10});
        Click(tool, {30, 30});
        Click(tool, c.last);
        EXPECT_EQ(tool.InProgress(), !c.closes) << c.last.x << "," << c.last.y;
        EXPECT_EQ(tool.CanUndo(), false); // one state at most so far
    }
}

TEST(Polygon, TakesMoreThan128VerticesAndFillsOnClosing)
{
    Picture pic(400, 400);
    pic.canvas.pen.color = kRed;
    pic.canvas.brush.color = kBlue;
    CPolygon tool(pic.canvas);
    Click(tool, {10, 10});
    for (int i = 1; i <= 200; ++i)
        Click(tool, {10 + i, i % 2 ? 300 : 290});
    Click(tool, {390, 10});
    EXPECT_EQ(tool.Vertices().size(), 202u);
    Click(tool, {11, 11});
    EXPECT_TRUE(tool.Vertices().empty());
    EXPECT_FALSE(tool.InProgress());
    EXPECT_EQ(pic.bitmap.Pixel(200, 100), kBlue);
}

TEST(Polygon, AnAcceptedUndoStartsTheNextPolygonAfresh)
{
    Picture pic(60, 60);
    pic.canvas.brush.color = kBlue;
    CPolygon tool(pic.canvas);
    for (int round = 0; round < 2; ++round) {
        Click(tool, {5, 5});
        Click(tool, {25, 5});
        Click(tool, {25, 25});
        Click(tool, {5, 6});
    }
    const Bitmap twoFigures = pic.bitmap;
    Click(tool, {40, 40});
    Click(tool, {50, 40});
    ASSERT_TRUE(tool.InProgress());
    ASSERT_GE(tool.Undo(), 0);
    EXPECT_FALSE(tool.InProgress());
    EXPECT_TRUE(tool.Vertices().empty());
    // The next click starts a new polygon at its own point.
    Click(tool, {30, 30});
    ASSERT_EQ(tool.Vertices().size(), 1u);
    EXPECT_EQ(tool.Vertices()[0], (Point{30, 30}));
}

TEST(Circle, RadiusIsRoundedDistanceToTheLastMove)
{
    struct Case {
        Point end;
        int radius;
    };
    // sqrt(25) = 5, sqrt(34) = 5.83, sqrt(20) = 4.47, sqrt(73) = 8.54.
    for (Case c : {Case{{23, 24}, 5}, Case{{23, 25}, 6}, Case{{24, 22}, 4}, Case{{17, 28}, 9}}) {
        Picture pic(50, 50);
        pic.canvas.pen.color = kRed;
        pic.canvas.brush.style = BrushStyle::Clear;
        CCircle tool(pic.canvas);
        tool.MouseDown({20, 20});
        tool.MouseMove(c.end);
        tool.MouseUp({45, 45});
        // The circle's box runs from 20 - r to 20 + r, right and bottom excluded.
        int x0 = 99, x1 = -1, y0 = 99, y1 = -1;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x)
                if (pic.bitmap.Pixel(x, y) == kRed)
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        EXPECT_EQ((std::array{x0, y0, x1, y1}), (std::array{20 - c.radius, 20 - c.radius, 19 + c.radius, 19 + c.radius}))
            << c.end.x << "," << c.end.y;
    }
}

TEST(Eraser, FillsAPenWideSquareSolidWithTheBrushColourOfTheMoment)
{
    constexpr TColor kGreen = RGB(0, 160, 0);
    for (BrushStyle style : {BrushStyle::Solid, BrushStyle::Clear, BrushStyle::Cross}) {
        Picture pic(30, 30, kRed);
        pic.canvas.pen.width = 5;
        pic.canvas.brush = Brush{kBlue, style};
        CEraser tool(pic.canvas);
        tool.MouseDown({10, 10});
        tool.MouseMove({10, 10});
        pic.canvas.brush.color = kGreen; // chosen while the eraser is on
        tool.MouseMove({21, 17});
        tool.MouseUp({21, 17});
        // Squares (7, 7) to (12, 12) and (18, 14) to (23, 19), right and bottom excluded.
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 30; ++x) {
                const bool first = x >= 7 && x < 12 && y >= 7 && y < 12;
                const bool second = x >= 18 && x < 23 && y >= 14 && y < 19;
                EXPECT_EQ(pic.bitmap.Pixel(x, y), first ? kBlue : second ? kGreen : kRed) << x << "," << y;
            }
        EXPECT_EQ(pic.canvas.brush.style, style);
    }
}

TEST(Eraser, HugePenWidthsAreClamped)
{
    Picture pic(600, 600, kRed);
    pic.canvas.pen.width = 100000;
    pic.canvas.brush.color = clWhite;
    CEraser tool(pic.canvas);
    tool.MouseMove({300, 300});
    EXPECT_EQ(pic.Count(clWhite), 255 * 255);
}

TEST(FreeLine, AClickWithoutMovingDrawsNothing)
{
    Picture pic(20, 20);
    const Bitmap before = pic.bitmap;
    CFreeLine tool(pic.canvas);
    Click(tool, {5, 5});
    EXPECT_EQ(pic.bitmap, before);
    tool.MouseDown({5, 5});
    tool.MouseMove({10, 5});
    tool.MouseUp({10, 5});
    EXPECT_EQ(pic.Count(clBlack), 5);
}

TEST(PolyBezier, DrawsNothingFinalUntilTwoPointsAndIgnoresStrayClicksAfterFour)
{
    Picture pic(60, 60);
    CPolyBezier tool(pic.canvas);
    Click(tool, {10, 50});
    EXPECT_EQ(tool.PlacedCount(), 1);
    Click(tool, {50, 50});
    Click(tool, {10, 10});
    Click(tool, {50, 10});
    EXPECT_EQ(tool.PlacedCount(), 4);
    const auto before = tool.ControlPoints();
    EXPECT_EQ(before[0], (Point{10, 50}));
    EXPECT_EQ(before[1], (Point{10, 10}));
    EXPECT_EQ(before[2], (Point{50, 10}));
    EXPECT_EQ(before[3], (Point{50, 50}));
    Click(tool, {30, 30}); // no control point there
    EXPECT_EQ(tool.ControlPoints(), before);
    EXPECT_FALSE(tool.CanUndo());
    EXPECT_EQ(tool.SaveState(), -1);
}

TEST(ShiftConstraint, DiagonalVerticalOrHorizontal)
{
    struct Case {
        Point p, want;
    };
    const Point start{100, 100};
    for (Case c : {Case{{130, 70}, {70, 70}}, Case{{103, 140}, {100, 140}}, Case{{150, 98}, {150, 100}},
                   Case{{120, 118}, {118, 118}}, Case{{100, 100}, {100, 100}}})
        EXPECT_EQ(ConstrainWithShift(start, c.p), c.want) << c.p.x << "," << c.p.y;
}

TEST(PenWidth, TypedTextIsClampedToOneTo255)
{
    struct Case {
        const char* text;
        int width;
    };
    for (Case c : {Case{"7", 7}, Case{"0", 1}, Case{"255", 255}, Case{"256", 255}, Case{"99999999999999999999", 255},
                   Case{"", 1}, Case{"12a", 1}, Case{"-4", 1}})
        EXPECT_EQ(PenWidthFromText(c.text), c.width) << c.text;
}

} // namespace
} // namespace pc::editor

namespace pc::editor {
namespace {

// Records what reaches a tool.
class Recorder : public CShape {
public:
    explicit Recorder(Canvas& c) : CShape(c, "Recorder") {}
    void MouseDown(Point p) override { log += "D" + Text(p); }
    void MouseMove(Point p) override { log += "M" + Text(p); }
    void MouseUp(Point p) override { log += "U" + Text(p); }
    std::string log;

private:
    static std::string Text(Point p) { return std::to_string(p.x) + "," + std::to_string(p.y) + " "; }
};

TEST(ToolMouse, OnlyALeftPressStartsADragAndAnyReleaseEndsIt)
{
    Bitmap b(10, 10);
    Canvas c(b);
    Recorder tool(c);
    ToolMouse mouse;
    mouse.Move(&tool, {{1, 1}});
    mouse.Press(&tool, {{2, 2}, MouseButton::Right});
    mouse.Move(&tool, {{3, 3}});
    EXPECT_EQ(tool.log, "");
    EXPECT_EQ(mouse.Start(), (Point{-1000, -1000}));
    mouse.Press(&tool, {{100, 100}});
    EXPECT_EQ(mouse.Move(&tool, {{130, 70}, MouseButton::Left, true}), (Point{70, 70}));
    mouse.Move(&tool, {{103, 140}, MouseButton::Left, true});
    mouse.Release(&tool, {{150, 98}, MouseButton::Right, true});
    mouse.Release(&tool, {{1, 1}});
    EXPECT_EQ(tool.log, "D100,100 M70,70 M100,140 U150,100 ");
    EXPECT_FALSE(mouse.Dragging());
    // Without a tool nothing is drawn, but the drag is still tracked.
    mouse.Press(nullptr, {{5, 5}});
    EXPECT_TRUE(mouse.Dragging());
    mouse.Release(nullptr, {{6, 6}});
    EXPECT_FALSE(mouse.Dragging());
}

} // namespace
} // namespace pc::editor
