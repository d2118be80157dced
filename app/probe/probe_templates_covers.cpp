#include "app/probe/probe_templates_covers.h"

#include <tuple>

#include "app/probe/probe_templates_art.h"

namespace pc::probe {

Bitmap SoftwareFront()
{
    Bitmap b = VerticalGradient(192, 256, RGB(28, 36, 96), RGB(92, 24, 120));
    Canvas c(b);
    FilledEllipse(c, {-60, 120, 140, 320}, RGB(60, 70, 170));
    FilledEllipse(c, {90, 150, 260, 320}, RGB(120, 50, 160));
    // A prism splitting a beam into colours.
    FilledPolygon(c, {{96, 70}, {56, 140}, {136, 140}}, RGB(235, 240, 255));
    const TColor rays[] = {RGB(230, 60, 60), RGB(250, 160, 40), RGB(250, 230, 60), RGB(70, 200, 90),
                           RGB(60, 140, 240), RGB(150, 80, 220)};
    for (int i = 0; i < 6; ++i)
        FilledPolygon(c, {{118, 106 + i * 2}, {192, 96 + i * 9}, {192, 104 + i * 9}, {118, 108 + i * 2}}, rays[i]);
    FilledPolygon(c, {{0, 110}, {76, 104}, {76, 108}, {0, 116}}, RGB(255, 255, 255));
    CentredTitle(c, 96, 160, "PRISM", {"Liberation Sans", 34, 700, clWhite});
    CentredTitle(c, 96, 198, "STUDIO 7", {"Liberation Sans", 18, 700, RGB(250, 210, 90)});
    CentredTitle(c, 96, 228, "Box shots made easy", {"Liberation Sans", 11, 400, RGB(220, 220, 255)});
    CentredTitle(c, 96, 14, "DELUXE EDITION", {"Liberation Sans", 10, 700, RGB(250, 210, 90)});
    return b;
}

Bitmap SoftwareSpine()
{
    Bitmap b = VerticalGradient(48, 256, RGB(28, 36, 96), RGB(92, 24, 120));
    SpineTitle(b, "PRISM STUDIO 7", {"Liberation Sans", 16, 700, clWhite});
    return b;
}

Bitmap SoftwareTop()
{
    Bitmap b = VerticalGradient(192, 48, RGB(40, 40, 110), RGB(28, 36, 96));
    Canvas c(b);
    CentredTitle(c, 96, 15, "PRISM STUDIO 7", {"Liberation Sans", 15, 700, RGB(250, 210, 90)});
    return b;
}

Bitmap BookFront()
{
    Bitmap b = VerticalGradient(176, 256, RGB(252, 236, 200), RGB(240, 150, 80));
    Canvas c(b);
    FilledEllipse(c, {108, 28, 160, 80}, RGB(255, 248, 220));
    // An orchard: round trees on a hill.
    FilledEllipse(c, {-40, 170, 220, 330}, RGB(110, 140, 60));
    for (auto [x, y, r] : {std::tuple{40, 150, 26}, std::tuple{88, 138, 32}, std::tuple{136, 152, 24}}) {
        c.pen = Pen{RGB(90, 60, 30), 1, PenStyle::Clear};
        c.brush = Brush{RGB(90, 60, 30)};
        c.Rectangle(x - 3, y, x + 4, y + r + 18);
        FilledEllipse(c, {x - r, y - r, x + r, y + r}, RGB(60, 110, 50));
        FilledEllipse(c, {x - r / 3, y - r / 2, x - r / 3 + 6, y - r / 2 + 6}, RGB(220, 60, 40));
        FilledEllipse(c, {x + r / 3, y - r / 6, x + r / 3 + 6, y - r / 6 + 6}, RGB(220, 60, 40));
    }
    CentredTitle(c, 88, 84, "The Quiet", {"Liberation Serif", 24, 700, RGB(80, 40, 20), true});
    CentredTitle(c, 88, 110, "Orchard", {"Liberation Serif", 30, 700, RGB(80, 40, 20), true});
    CentredTitle(c, 88, 228, "A NOVEL", {"Liberation Serif", 12, 700, RGB(255, 245, 225)});
    return b;
}

Bitmap BookSpine()
{
    Bitmap b = VerticalGradient(32, 256, RGB(70, 100, 50), RGB(50, 80, 40));
    SpineTitle(b, "The Quiet Orchard", {"Liberation Serif", 14, 700, RGB(255, 240, 210), true});
    return b;
}

Bitmap Pages(int width, int height)
{
    Bitmap b(width, height);
    b.Fill(RGB(250, 247, 238));
    Canvas c(b);
    c.pen = Pen{RGB(220, 214, 200)};
    for (int x = 1; x < width; x += 3) {
        c.MoveTo(x, 0);
        c.LineTo(x, height);
    }
    return b;
}

Bitmap DiscLabel()
{
    Bitmap b = RadialGradient(192, 192, RGB(250, 120, 60), RGB(40, 20, 90));
    Canvas c(b);
    for (int r = 90; r > 45; r -= 9) {
        c.pen = Pen{Mix(RGB(255, 200, 120), RGB(120, 60, 200), (90 - r) / 45.0), 2};
        c.brush.style = BrushStyle::Clear;
        c.Ellipse(96 - r, 96 - r, 96 + r, 96 + r);
    }
    CentredTitle(c, 96, 30, "NIGHT DRIVE", {"Liberation Sans", 18, 700, clWhite});
    CentredTitle(c, 96, 146, "twelve songs for the road", {"Liberation Sans", 9, 400, RGB(255, 230, 200)});
    return b;
}

Bitmap CaseCover()
{
    Bitmap b = VerticalGradient(224, 224, RGB(20, 16, 60), RGB(230, 100, 60));
    Canvas c(b);
    FilledEllipse(c, {62, 92, 162, 192}, RGB(255, 190, 90));
    c.pen = Pen{RGB(20, 16, 60), 1, PenStyle::Clear};
    c.brush = Brush{RGB(20, 16, 60)};
    for (int i = 0; i < 5; ++i)
        c.Rectangle(50, 150 + i * 9, 174, 154 + i * 9);
    // A road running to the horizon.
    FilledPolygon(c, {{104, 192}, {120, 192}, {190, 224}, {34, 224}}, RGB(40, 30, 50));
    FilledPolygon(c, {{111, 194}, {113, 194}, {116, 224}, {108, 224}}, RGB(250, 220, 120));
    CentredTitle(c, 112, 22, "NIGHT DRIVE", {"Liberation Sans", 28, 700, clWhite});
    CentredTitle(c, 112, 58, "THE LONG HOURS", {"Liberation Sans", 12, 700, RGB(255, 200, 150)});
    return b;
}

Bitmap NoteCover()
{
    Bitmap b = VerticalGradient(176, 240, RGB(200, 160, 110), RGB(180, 140, 95));
    Canvas c(b);
    c.pen = Pen{RGB(170, 130, 85)};
    for (int y = 6; y < 240; y += 12)
        for (int x = 6; x < 176; x += 12)
            c.SetPixel(x, y, RGB(160, 120, 80));
    c.pen = Pen{RGB(90, 60, 40), 2};
    c.brush = Brush{RGB(250, 246, 232)};
    c.RoundRect(28, 70, 148, 140, 14, 14);
    CentredTitle(c, 88, 80, "NOTES", {"Liberation Sans", 24, 700, RGB(60, 40, 30)});
    CentredTitle(c, 88, 112, "ideas · sketches · lists", {"Liberation Sans", 10, 400, RGB(90, 70, 50)});
    return b;
}

Bitmap AtlasCover()
{
    Bitmap b = VerticalGradient(176, 240, RGB(120, 24, 30), RGB(70, 12, 20));
    Canvas c(b);
    const TColor gold = RGB(230, 190, 90);
    c.pen = Pen{gold, 2};
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(10, 10, 166, 230);
    c.pen = Pen{gold, 1};
    c.Rectangle(16, 16, 160, 224);
    // A globe: a circle with meridians and parallels.
    c.pen = Pen{gold, 2};
    c.Ellipse(48, 100, 128, 180);
    c.pen = Pen{gold, 1};
    c.Ellipse(70, 100, 106, 180);
    c.MoveTo(48, 140);
    c.LineTo(128, 140);
    c.MoveTo(88, 100);
    c.LineTo(88, 180);
    c.Ellipse(52, 118, 124, 162);
    CentredTitle(c, 88, 30, "ATLAS", {"Liberation Serif", 30, 700, gold});
    CentredTitle(c, 88, 66, "of Light", {"Liberation Serif", 18, 400, gold, true});
    CentredTitle(c, 88, 196, "VOLUME I", {"Liberation Serif", 12, 700, gold});
    return b;
}

Bitmap AtlasSpine()
{
    Bitmap b = VerticalGradient(48, 240, RGB(110, 20, 28), RGB(70, 12, 20));
    Canvas c(b);
    c.pen = Pen{RGB(230, 190, 90), 2};
    for (int y : {20, 26, 214, 220}) {
        c.MoveTo(4, y);
        c.LineTo(44, y);
    }
    SpineTitle(b, "ATLAS of Light", {"Liberation Serif", 16, 700, RGB(230, 190, 90)});
    return b;
}

Bitmap TinCover()
{
    Bitmap b = VerticalGradient(192, 192, RGB(40, 150, 150), RGB(20, 100, 110));
    Canvas c(b);
    for (int y = 12; y < 192; y += 28)
        for (int x = (y / 28) % 2 ? 26 : 12; x < 192; x += 28)
            FilledEllipse(c, {x - 5, y - 5, x + 5, y + 5}, RGB(120, 210, 200));
    c.pen = Pen{RGB(250, 240, 220), 3};
    c.brush = Brush{RGB(250, 240, 220)};
    c.RoundRect(24, 62, 168, 132, 30, 30);
    CentredTitle(c, 96, 70, "Tea Time", {"Liberation Serif", 30, 700, RGB(20, 100, 110), true});
    CentredTitle(c, 96, 108, "ASSAM · DARJEELING · MINT", {"Liberation Sans", 8, 700, RGB(180, 90, 60)});
    return b;
}

Bitmap TinSide()
{
    Bitmap b = VerticalGradient(64, 64, RGB(40, 150, 150), RGB(20, 100, 110));
    Canvas c(b);
    for (int x = 8; x < 64; x += 16)
        FilledEllipse(c, {x - 4, 28, x + 4, 36}, RGB(120, 210, 200));
    return b;
}

} // namespace pc::probe
