// Every tool that shows not-xor previews, driven over a noise picture,
// released and finished, must leave exactly the noise plus its final
// figure drawn directly: no preview, cross or frame may survive, whatever
// the pen and brush.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>

#include "editor/tools/circle.h"
#include "editor/tools/crop.h"
#include "editor/tools/ellipse.h"
#include "editor/tools/frame_select.h"
#include "editor/tools/image_shape.h"
#include "editor/tools/line.h"
#include "editor/tools/poly_bezier.h"
#include "editor/tools/polygon.h"
#include "editor/tools/polyline.h"
#include "editor/tools/rectangle.h"
#include "editor/tools/round_rect.h"
#include "editor/tools/text_tool.h"

namespace pc::editor {
namespace {

constexpr int kW = 120, kH = 90;

Bitmap Noise(unsigned seed)
{
    std::mt19937 rng(seed);
    Bitmap b(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            b.SetPixel(x, y, TColor(rng() & 0xFFFFFF));
    return b;
}

struct DrawState {
    const char* name;
    Pen pen;
    Brush brush;
};

const DrawState kStates[] = {
    {"thin_solid", Pen{RGB(200, 30, 90), 1, PenStyle::Solid, PenMode::Copy}, Brush{RGB(10, 220, 40), BrushStyle::Solid}},
    {"thin_dash_clear", Pen{RGB(0, 0, 0), 1, PenStyle::Dash, PenMode::Copy}, Brush{clWhite, BrushStyle::Clear}},
    {"wide_dot_hatch", Pen{RGB(255, 255, 0), 5, PenStyle::Dot, PenMode::Copy}, Brush{RGB(0, 0, 255), BrushStyle::DiagCross}},
    {"clear_pen", Pen{clBlack, 3, PenStyle::Clear, PenMode::Copy}, Brush{RGB(90, 90, 90), BrushStyle::Solid}},
};

struct Sweep {
    const char* name;
    // Drives the tool through the mouse.
    std::function<std::unique_ptr<CShape>(Canvas&)> drive;
    // Draws what should be left, directly.
    std::function<void(Canvas&)> expect;
};

void Click(CShape& t, Point p)
{
    t.MouseDown(p);
    t.MouseUp(p);
}

// A drag from a through the points of path, released at up.
void Drag(CShape& t, Point a, std::initializer_list<Point> path, Point up)
{
    t.MouseDown(a);
    for (Point p : path)
        t.MouseMove(p);
    t.MouseUp(up);
}

template <class Tool>
std::function<std::unique_ptr<CShape>(Canvas&)> Dragged(Point a, std::initializer_list<Point> path, Point up)
{
    std::vector<Point> steps(path);
    return [=](Canvas& c) {
        auto t = std::make_unique<Tool>(c);
        t->MouseDown(a);
        for (Point p : steps)
            t->MouseMove(p);
        t->MouseUp(up);
        return std::unique_ptr<CShape>(std::move(t));
    };
}

const Point kPoly[] = {{10, 10}, {60, 15}, {110, 70}, {30, 60}, {70, 5}};

template <class Tool>
std::unique_ptr<CShape> PolyClicks(Canvas& c, size_t n, bool close)
{
    auto t = std::make_unique<Tool>(c);
    for (size_t i = 0; i < n; ++i)
        Click(*t, kPoly[i]);
    if (close)
        Click(*t, {11, 12});
    return t;
}

void PolyLines(Canvas& c, size_t n, bool close)
{
    c.MoveTo(10, 10);
    c.LineTo(11, 10);
    c.MoveTo(10, 10);
    for (size_t i = 1; i < n; ++i)
        c.LineTo(kPoly[i].x, kPoly[i].y);
    if (close)
        c.LineTo(10, 10);
}

const std::vector<Sweep>& Sweeps()
{
    static const std::vector<Sweep> sweeps = {
        {"line", Dragged<CLine>({10, 10}, {{50, 40}, {80, 20}, {60, 70}}, {70, 75}),
         [](Canvas& c) {
             c.MoveTo(10, 10);
             c.LineTo(70, 75);
         }},
        {"rectangle", Dragged<CRectangle>({10, 10}, {{50, 40}, {100, 20}, {60, 70}}, {65, 80}),
         [](Canvas& c) { c.Rectangle(10, 10, 60, 70); }},
        {"rectangle_dragged_backwards", Dragged<CRectangle>({100, 80}, {{50, 40}, {20, 12}}, {20, 12}),
         [](Canvas& c) { c.Rectangle(100, 80, 20, 12); }},
        {"round_rect", Dragged<CRoundRect>({10, 10}, {{50, 40}, {90, 60}}, {3, 3}),
         [](Canvas& c) { c.RoundRect(10, 10, 90, 60, 10, 10); }},
        {"ellipse", Dragged<CEllipse>({5, 80}, {{50, 40}, {110, 8}}, {110, 8}),
         [](Canvas& c) { c.Ellipse(5, 80, 110, 8); }},
        {"circle", Dragged<CCircle>({50, 40}, {{90, 80}, {60, 50}}, {0, 0}),
         [](Canvas& c) { c.Ellipse(36, 26, 64, 54); }}, // radius round(sqrt(200)) = 14
        {"polyline_closed", [](Canvas& c) { return PolyClicks<CPolyline>(c, 5, true); },
         [](Canvas& c) { PolyLines(c, 5, true); }},
        {"polyline_left_open", [](Canvas& c) { return PolyClicks<CPolyline>(c, 3, false); },
         [](Canvas& c) { PolyLines(c, 3, false); }},
        {"polygon_closed", [](Canvas& c) { return PolyClicks<CPolygon>(c, 5, true); },
         [](Canvas& c) {
             PolyLines(c, 5, true);
             std::vector<Point> v(std::begin(kPoly), std::end(kPoly));
             v.push_back({11, 12});
             c.Polygon(v);
         }},
        {"polygon_left_open", [](Canvas& c) { return PolyClicks<CPolygon>(c, 4, false); },
         [](Canvas& c) { PolyLines(c, 4, false); }},
        {"bezier_four_points_and_a_drag",
         [](Canvas& c) {
             auto t = std::make_unique<CPolyBezier>(c);
             for (Point p : {Point{10, 80}, Point{110, 80}, Point{30, 5}, Point{90, 5}})
                 Click(*t, p);
             Drag(*t, {31, 6}, {{40, 20}, {50, 30}}, {50, 30});
             Click(*t, {5, 5}); // hits nothing: ignored
             return std::unique_ptr<CShape>(std::move(t));
         },
         [](Canvas& c) {
             const Point pts[] = {{10, 80}, {50, 30}, {90, 5}, {110, 80}};
             c.PolyBezier(pts);
         }},
        {"bezier_two_clicks_at_one_point",
         [](Canvas& c) {
             auto t = std::make_unique<CPolyBezier>(c);
             Click(*t, {40, 40});
             Click(*t, {40, 40});
             return std::unique_ptr<CShape>(std::move(t));
         },
         [](Canvas& c) {
             const Point pts[] = {{40, 40}, {40, 40}, {40, 40}, {40, 40}};
             c.PolyBezier(pts);
         }},
        {"bezier_one_click_draws_nothing",
         [](Canvas& c) {
             auto t = std::make_unique<CPolyBezier>(c);
             Click(*t, {40, 40});
             return std::unique_ptr<CShape>(std::move(t));
         },
         [](Canvas&) {}},
        {"selection_frame",
         [](Canvas& c) {
             auto t = std::make_unique<CFrameSelect>(c, Rect{5, 5, 40, 30});
             Drag(*t, {100, 80}, {{50, 40}, {200, -20}, {20, 10}}, {20, 10});
             return std::unique_ptr<CShape>(std::move(t));
         },
         [](Canvas&) {}},
        {"text_moved",
         [](Canvas& c) {
             auto t = std::make_unique<CText>(c);
             t->SetText(u"Residue");
             Click(*t, {5, 5});
             c.font.escapement = 300;
             Click(*t, {30, 60});
             t->MouseUp(CText::kRedrawInPlace);
             return std::unique_ptr<CShape>(std::move(t));
         },
         [](Canvas& c) {
             c.font.escapement = 300;
             c.backgroundMode = BackgroundMode::Transparent;
             c.TextOut(30, 60, std::u16string(u"Residue"));
         }},
    };
    return sweeps;
}

class ResidueSweep : public testing::TestWithParam<std::tuple<size_t, size_t>> {};

TEST_P(ResidueSweep, LeavesOnlyTheFinalFigure)
{
    const Sweep& sweep = Sweeps()[std::get<0>(GetParam())];
    const DrawState& state = kStates[std::get<1>(GetParam())];
    Bitmap driven = Noise(7), direct = Noise(7);
    Canvas dc(driven), xc(direct);
    for (Canvas* c : {&dc, &xc}) {
        c->pen = state.pen;
        c->brush = state.brush;
        c->backgroundMode = BackgroundMode::Transparent;
        c->font.height = -14;
    }
    auto tool = sweep.drive(dc);
    tool->Finish();
    tool.reset();
    sweep.expect(xc);
    int differ = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            differ += driven.Pixel(x, y) != direct.Pixel(x, y);
    EXPECT_EQ(differ, 0);
}

INSTANTIATE_TEST_SUITE_P(Tools, ResidueSweep,
                         testing::Combine(testing::Range<size_t>(0, 15), testing::Range<size_t>(0, 4)),
                         [](const auto& info) {
                             return std::string(Sweeps()[std::get<0>(info.param)].name) + "_" +
                                    kStates[std::get<1>(info.param)].name;
                         });

} // namespace
} // namespace pc::editor
