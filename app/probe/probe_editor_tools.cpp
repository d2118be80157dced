// editor-tools: draws one figure with every drawing tool on a picture
// through the tools' mouse interface (press, moves, release, finish), the
// way the editor drives them, and saves the picture as a PNG.
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <memory>

#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "codecs/png/png_object.h"
#include "editor/tools/circle.h"
#include "editor/tools/crop.h"
#include "editor/tools/ellipse.h"
#include "editor/tools/eraser.h"
#include "editor/tools/flood_fill_tool.h"
#include "editor/tools/frame_select.h"
#include "editor/tools/free_line.h"
#include "editor/tools/image_shape.h"
#include "editor/tools/line.h"
#include "editor/tools/poly_bezier.h"
#include "editor/tools/polygon.h"
#include "editor/tools/polyline.h"
#include "editor/tools/rectangle.h"
#include "editor/tools/round_rect.h"
#include "editor/tools/text_tool.h"

namespace {

using namespace pc;
using namespace pc::editor;

void Click(CShape& t, Point p)
{
    t.MouseDown(p);
    t.MouseUp(p);
}

void Drag(CShape& t, Point a, Point b, int steps = 8)
{
    t.MouseDown(a);
    for (int i = 1; i <= steps; ++i)
        t.MouseMove({a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps});
    t.MouseUp(b);
}

// A small picture for the floating layer: a colour ramp with a white frame
// that the transparent colour removes.
Bitmap LayerPicture()
{
    Bitmap b(60, 40);
    b.Fill(clWhite);
    for (int y = 4; y < 36; ++y)
        for (int x = 4; x < 56; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x * 4), uint8_t(y * 6), 160));
    return b;
}

void DrawAll(Canvas& c)
{
    // Every tool is made, driven and finished in turn, as the editor's
    // commit does between tools.
    auto use = [&](std::unique_ptr<CShape> tool, const std::function<void(CShape&)>& drive) {
        drive(*tool);
        tool->Finish();
    };
    c.pen = Pen{RGB(0, 0, 160), 3, PenStyle::Solid, PenMode::Copy};
    use(std::make_unique<CFreeLine>(c), [](CShape& t) {
        t.MouseDown({20, 20});
        for (int i = 0; i <= 40; ++i)
            t.MouseMove({20 + i * 3, 20 + int(10 * ((i % 8) < 4 ? i % 4 : 4 - i % 4))});
        t.MouseUp({140, 20});
    });
    c.pen = Pen{RGB(200, 0, 0), 1, PenStyle::Dash, PenMode::Copy};
    use(std::make_unique<CLine>(c), [](CShape& t) { Drag(t, {20, 70}, {150, 110}); });
    c.pen = Pen{clBlack, 2, PenStyle::Solid, PenMode::Copy};
    c.brush = Brush{RGB(255, 220, 0), BrushStyle::Solid};
    use(std::make_unique<CRectangle>(c), [](CShape& t) { Drag(t, {170, 20}, {240, 80}); });
    c.brush = Brush{RGB(0, 150, 0), BrushStyle::DiagCross};
    use(std::make_unique<CRoundRect>(c), [](CShape& t) { Drag(t, {260, 20}, {340, 80}); });
    c.brush = Brush{RGB(120, 200, 255), BrushStyle::Solid};
    use(std::make_unique<CEllipse>(c), [](CShape& t) { Drag(t, {360, 20}, {460, 80}); });
    c.brush = Brush{RGB(255, 150, 150), BrushStyle::Solid};
    use(std::make_unique<CCircle>(c), [](CShape& t) { Drag(t, {520, 55}, {545, 70}); });
    c.pen = Pen{RGB(128, 0, 128), 2, PenStyle::Solid, PenMode::Copy};
    use(std::make_unique<CPolyline>(c), [](CShape& t) {
        for (Point p : {Point{20, 140}, Point{60, 200}, Point{100, 140}, Point{140, 200}})
            Click(t, p);
    });
    c.pen = Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy};
    c.brush = Brush{RGB(255, 128, 0), BrushStyle::Solid};
    use(std::make_unique<CPolygon>(c), [](CShape& t) {
        for (Point p : {Point{170, 200}, Point{210, 120}, Point{250, 200}, Point{165, 150}, Point{255, 150}, Point{171, 201}})
            Click(t, p);
    });
    c.pen = Pen{RGB(0, 100, 100), 2, PenStyle::Solid, PenMode::Copy};
    use(std::make_unique<CPolyBezier>(c), [](CShape& t) {
        for (Point p : {Point{280, 200}, Point{400, 200}, Point{300, 110}, Point{380, 250}})
            Click(t, p);
        Drag(t, {380, 250}, {390, 120});
    });
    // A closed outline, then a fill inside it.
    c.pen = Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy};
    c.brush = Brush{clWhite, BrushStyle::Clear};
    use(std::make_unique<CRectangle>(c), [](CShape& t) { Drag(t, {430, 120}, {580, 200}); });
    c.pen.width = 1; // the fill's tolerance
    c.brush = Brush{RGB(180, 255, 180), BrushStyle::Solid};
    use(std::make_unique<CFloodFill>(c), [](CShape& t) { Click(t, {500, 160}); });
    // The eraser cuts a band through the fill.
    c.pen.width = 9;
    c.brush.color = clWhite;
    use(std::make_unique<CEraser>(c), [](CShape& t) { Drag(t, {440, 185}, {570, 130}, 60); });
    // Selection with a blur over the boxes, then a carve over the polyline.
    c.pen = Pen{clBlack, 1, PenStyle::Solid, PenMode::Copy};
    use(std::make_unique<CFrameSelect>(c, Rect{170, 20, 340, 80}), [](CShape& t) {
        auto& s = static_cast<CFrameSelect&>(t);
        s.Filter(FilterKind::Blur, FilterDivisor(FilterKind::Blur));
    });
    use(std::make_unique<CFrameSelect>(c, Rect{0, 0, 0, 0}), [](CShape& t) {
        Drag(t, {15, 130}, {150, 210});
        static_cast<CFrameSelect&>(t).Filter(FilterKind::Carve, FilterDivisor(FilterKind::Carve));
    });
    c.font.name = "Arial";
    c.font.height = -22;
    c.font.color = RGB(160, 0, 0);
    c.font.escapement = 150;
    use(std::make_unique<CText>(c), [](CShape& t) {
        auto& text = static_cast<CText&>(t);
        text.SetText(u"Prismcase editor");
        Click(t, {170, 250});
        Click(t, {180, 290}); // moved: only this placement stays
    });
    use(std::make_unique<CImageShape>(c, LayerPicture()), [](CShape& t) {
        auto& layer = static_cast<CImageShape&>(t);
        layer.SetOptions(LayerOptions{30, true, clWhite, 1});
        layer.Redraw(Rect{430, 220, 490, 260});
        layer.SetMode(LayerStretch::Rotational);
        Drag(t, {489, 259}, {500, 290});
    });
    // The crop trims 10 pixels off the right and the bottom.
    use(std::make_unique<CCrop>(c), [&](CShape& t) {
        const int w = c.Width(), h = c.Height();
        t.MouseDown({w, h});
        t.MouseMove({w - 10, h - 10});
        t.MouseUp({w - 10, h - 10});
    });
}

int EditorTools(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: editor-tools OUT.png\n");
        return 2;
    }
    // Text is drawn with Qt's fonts.
    const auto app = pc::probe::QuietGuiApplication(argv);
    try {
        Bitmap picture(610, 330);
        picture.Fill(clWhite);
        Canvas canvas(picture);
        DrawAll(canvas);
        pc::png::TPNGObject png;
        png.AssignBitmap(picture);
        png.SaveToFile(argv[1]);
        std::printf("%s: %d x %d\n", argv[1], picture.Width(), picture.Height());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[1], e.what());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("editor-tools", "OUT.png", EditorTools);

} // namespace
