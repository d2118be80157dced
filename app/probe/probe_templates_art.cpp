#include "app/probe/probe_templates_art.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <algorithm>
#include <cmath>

namespace pc::probe {

Bitmap Paint(double width, double height, double scale, const std::function<void(QPainter&)>& draw)
{
    QImage image(int(std::lround(width * scale)), int(std::lround(height * scale)), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
        p.scale(scale, scale);
        draw(p);
    }
    Bitmap b(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        uint8_t* to = b.ScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            to[3 * x] = uint8_t(qBlue(from[x]));
            to[3 * x + 1] = uint8_t(qGreen(from[x]));
            to[3 * x + 2] = uint8_t(qRed(from[x]));
        }
    }
    return b;
}

double CoverScale(double width, double height)
{
    return kCoverLongSide / std::max(width, height);
}

QColor Rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

void VerticalGradient(QPainter& p, double width, double height, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, 0, 0, height);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(QRectF(0, 0, width, height), g);
}

namespace {

// Fonts are laid out at this pixel size and scaled to the title's height, so
// a title of any design size keeps its exact proportions.
constexpr int kFontPixels = 200;

QFont FontOf(const TitleStyle& style)
{
    QFont f(QString::fromStdString(style.font));
    f.setPixelSize(kFontPixels);
    f.setWeight(QFont::Weight(style.weight));
    f.setItalic(style.italic);
    f.setLetterSpacing(QFont::AbsoluteSpacing, style.spacing * kFontPixels / style.height);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// Draws the text at the origin of a painter already moved to the title's
// place: centred on it or starting there, its top there or its middle.
void DrawScaled(QPainter& p, const std::string& text, const TitleStyle& style, bool centred, bool middle)
{
    const QFont f = FontOf(style);
    const QString t = QString::fromStdString(text);
    const QFontMetricsF m(f);
    const double k = style.height / kFontPixels;
    p.scale(k, k);
    p.setFont(f);
    p.setPen(style.color);
    p.drawText(QPointF(centred ? -m.horizontalAdvance(t) / 2 : 0, middle ? (m.ascent() - m.descent()) / 2 : m.ascent()), t);
}

} // namespace

void CentredTitle(QPainter& p, double x, double y, const std::string& text, const TitleStyle& style)
{
    p.save();
    p.translate(x, y);
    DrawScaled(p, text, style, true, false);
    p.restore();
}

void LeftTitle(QPainter& p, double x, double y, const std::string& text, const TitleStyle& style)
{
    p.save();
    p.translate(x, y);
    DrawScaled(p, text, style, false, false);
    p.restore();
}

void SpineTitle(QPainter& p, double width, double height, const std::string& text, const TitleStyle& style)
{
    p.save();
    // A quarter turn: the text reads from the top of the spine down, as
    // English titles do.
    p.translate(width / 2, height / 2);
    p.rotate(90);
    DrawScaled(p, text, style, true, true);
    p.restore();
}

} // namespace pc::probe
