#include "app/probe/probe_templates_art.h"

#include <QString>
#include <cmath>
#include <cstring>

namespace pc::probe {

TColor Mix(TColor a, TColor b, double t)
{
    auto lerp = [t](uint8_t x, uint8_t y) { return uint8_t(std::lround(x + (y - x) * t)); };
    return RGB(lerp(GetRValue(a), GetRValue(b)), lerp(GetGValue(a), GetGValue(b)), lerp(GetBValue(a), GetBValue(b)));
}

Bitmap VerticalGradient(int width, int height, TColor top, TColor bottom)
{
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        const TColor c = Mix(top, bottom, height > 1 ? double(y) / (height - 1) : 0.0);
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, c);
    }
    return b;
}

Bitmap RadialGradient(int width, int height, TColor centre, TColor edge)
{
    Bitmap b(width, height);
    const double cx = width / 2.0, cy = height / 2.0, reach = std::hypot(cx, cy);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            b.SetPixel(x, y, Mix(centre, edge, std::hypot(x + 0.5 - cx, y + 0.5 - cy) / reach));
    return b;
}

namespace {

void Apply(Canvas& c, const TitleStyle& style)
{
    c.font.name = style.font;
    c.font.height = -style.height;
    c.font.weight = style.weight;
    c.font.italic = style.italic;
    c.font.color = style.color;
    c.font.escapement = style.escapement;
    c.backgroundMode = BackgroundMode::Transparent;
}

} // namespace

void CentredTitle(Canvas& c, int x, int y, const std::string& text, const TitleStyle& style)
{
    Apply(c, style);
    const std::u16string t = QString::fromStdString(text).toStdU16String();
    c.TextOut(x - c.TextExtent(t).x / 2, y, t);
}

void SpineTitle(Bitmap& b, const std::string& text, const TitleStyle& style)
{
    Canvas c(b);
    TitleStyle up = style;
    up.escapement = 900;
    Apply(c, up);
    const std::u16string t = QString::fromStdString(text).toStdU16String();
    const Point extent = c.TextExtent(t);
    // Rotated a quarter turn: the text's advance runs up, its height across.
    c.TextOut((b.Width() - extent.y) / 2, (b.Height() + extent.x) / 2, t);
}

void FilledEllipse(Canvas& c, Rect r, TColor color)
{
    c.pen = Pen{color, 1, PenStyle::Clear};
    c.brush = Brush{color};
    c.Ellipse(r.left, r.top, r.right, r.bottom);
}

void FilledPolygon(Canvas& c, const std::vector<Point>& points, TColor color)
{
    c.pen = Pen{color, 1, PenStyle::Clear};
    c.brush = Brush{color};
    c.Polygon(points);
}

} // namespace pc::probe
