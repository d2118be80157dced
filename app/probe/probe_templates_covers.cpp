#include "app/probe/probe_templates_covers.h"

#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

#include "app/probe/probe_templates_art.h"

namespace pc::probe {

namespace {

const QColor kNight = Rgb(24, 30, 88), kPlum = Rgb(88, 26, 120), kGold = Rgb(250, 206, 96);

void Disc(QPainter& p, QPointF centre, double r, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawEllipse(centre, r, r);
}

void Shape(QPainter& p, const QPolygonF& points, const QBrush& brush)
{
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPolygon(points);
}

// A soft glow: the colour at the centre fading to nothing at radius r.
QRadialGradient Glow(QPointF centre, double r, QColor colour)
{
    QRadialGradient g(centre, r);
    g.setColorAt(0, colour);
    colour.setAlpha(0);
    g.setColorAt(1, colour);
    return g;
}

// Irregular thin lines, as leaves of paper seen edge-on; across: they run
// across the picture rather than up it.
void Leaves(QPainter& p, double w, double h, bool across)
{
    p.fillRect(QRectF(0, 0, w, h), Rgb(250, 247, 238));
    const double length = across ? w : h, span = across ? h : w;
    unsigned seed = 12345;
    for (double at = 0.5; at < span; at += 1.1) {
        seed = seed * 1103515245u + 12345u;
        const int shade = 214 + int((seed >> 16) % 26);
        p.setPen(QPen(Rgb(shade, shade - 4, shade - 16), 0.45));
        if (across)
            p.drawLine(QPointF(0, at), QPointF(length, at));
        else
            p.drawLine(QPointF(at, 0), QPointF(at, length));
    }
}

} // namespace

void SoftwareFront(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, kNight, kPlum);
    const double u = w / 100; // design unit: a hundredth of the width
    p.fillRect(QRectF(0, 0, w, h), Glow({w * 0.45, h * 0.36}, 60 * u, Rgb(120, 130, 255)));
    // A prism splitting a white beam into its colours.
    const QPointF top(w * 0.42, h * 0.2), left(w * 0.24, h * 0.46), right(w * 0.6, h * 0.46);
    const QPointF hit((top.x() + left.x()) / 2, (top.y() + left.y()) / 2);
    Shape(p, {QPointF(0, hit.y() + 3 * u), QPointF(0, hit.y() + 5 * u), hit + QPointF(0, 0.8 * u), hit}, QColor(Qt::white));
    const QColor rays[] = {Rgb(235, 64, 64), Rgb(250, 150, 40), Rgb(250, 226, 60), Rgb(70, 200, 100), Rgb(60, 140, 240),
                           Rgb(150, 84, 224)};
    const QPointF out((top.x() + right.x()) / 2, (top.y() + right.y()) / 2);
    const double fanTop = out.y() - 4 * u, band = 5.2 * u;
    // Each band reaches under the next, so no gap shows between them.
    for (int i = 5; i >= 0; --i)
        Shape(p, {out + QPointF(0, -0.6 * u + i * 0.35 * u), QPointF(w, fanTop + i * band),
                  QPointF(w, fanTop + (i + 1) * band + (i < 5 ? 0.8 * u : 0)), out + QPointF(0, 0.6 * u + i * 0.35 * u)},
              rays[i]);
    QLinearGradient glass(left, right);
    glass.setColorAt(0, QColor(255, 255, 255, 235));
    glass.setColorAt(1, QColor(190, 210, 255, 200));
    Shape(p, {top, left, right}, glass);
    p.setPen(QPen(QColor(255, 255, 255, 220), 0.5 * u));
    p.setBrush(Qt::NoBrush);
    p.drawPolygon(QPolygonF{top, left, right});

    CentredTitle(p, w / 2, h * 0.56, "PRISM", {"Liberation Sans", 19 * u, 800, Qt::white, false, 1.2 * u});
    CentredTitle(p, w / 2, h * 0.71, "STUDIO 7", {"Liberation Sans", 9 * u, 700, kGold, false, 1.5 * u});
    CentredTitle(p, w / 2, h * 0.8, "Box shots made easy", {"Liberation Sans", 5 * u, 400, Rgb(220, 220, 255)});
    p.fillRect(QRectF(0, h * 0.9, w, h * 0.1), QColor(0, 0, 0, 70));
    CentredTitle(p, w / 2, h * 0.925, "FOR LINUX DESKTOPS", {"Liberation Sans", 4 * u, 700, Rgb(200, 200, 240), false, 0.8 * u});
    p.fillRect(QRectF(0, 0, w, h * 0.08), QColor(0, 0, 0, 60));
    CentredTitle(p, w / 2, h * 0.022, "DELUXE EDITION", {"Liberation Sans", 4.2 * u, 700, kGold, false, 1.2 * u});
}

void SoftwareBack(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, Mix(kNight, Qt::black, 0.15), kPlum);
    const double u = w / 100;
    CentredTitle(p, w / 2, h * 0.05, "PRISM STUDIO 7", {"Liberation Sans", 8 * u, 800, Qt::white, false, 0.8 * u});
    // Three "screenshots" and a column of features.
    for (int i = 0; i < 3; ++i) {
        const QRectF shot(8 * u + i * 29 * u, h * 0.18, 26 * u, 20 * u);
        p.fillRect(shot, Rgb(236, 238, 252));
        p.fillRect(shot.adjusted(2 * u, 2 * u, -2 * u, -9 * u), Mix(Rgb(60, 140, 240), kPlum, i / 2.0));
        Disc(p, shot.center() + QPointF(0, 5 * u), 2.5 * u, QColor(kGold));
    }
    const char* features[] = {"Boxes, books, discs and cases", "Your own cover pictures", "Soft shadows and reflections",
                              "Publish up to 4096 x 4096"};
    for (int i = 0; i < 4; ++i) {
        Disc(p, {12 * u, h * 0.44 + i * 9 * u + 3 * u}, 1.6 * u, QColor(kGold));
        LeftTitle(p, 18 * u, h * 0.44 + i * 9 * u, features[i], {"Liberation Sans", 5 * u, 400, Qt::white});
    }
    p.fillRect(QRectF(8 * u, h * 0.88, 30 * u, 8 * u), Qt::white);
    for (int i = 0; i < 24; ++i)
        p.fillRect(QRectF(9 * u + i * 1.15 * u, h * 0.885, (i % 3 ? 0.5 : 0.9) * u, 6 * u), Qt::black);
}

void SoftwareSpine(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, kNight, kPlum);
    const double u = w / 20;
    Shape(p, {QPointF(w / 2, h * 0.03), QPointF(w / 2 - 4 * u, h * 0.03 + 7 * u), QPointF(w / 2 + 4 * u, h * 0.03 + 7 * u)},
          QColor(255, 255, 255, 230));
    SpineTitle(p, w, h, "PRISM  STUDIO 7", {"Liberation Sans", 5.5 * u, 800, Qt::white, false, 0.5 * u});
}

void SoftwareTop(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, Mix(kNight, Qt::black, 0.2), kNight);
    CentredTitle(p, w / 2, h * 0.3, "PRISM STUDIO 7", {"Liberation Sans", h * 0.34, 800, kGold, false, h * 0.03});
}

void BookFront(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(253, 238, 204), Rgb(242, 150, 84));
    p.fillRect(QRectF(0, 0, w, h), Glow({w * 0.74, h * 0.16}, 30 * u, QColor(255, 250, 225, 200)));
    Disc(p, {w * 0.74, h * 0.16}, 11 * u, Rgb(255, 248, 222));
    // An orchard: round trees on two hills.
    Disc(p, {w * 0.1, h * 1.12}, h * 0.45, Rgb(140, 160, 70));
    Disc(p, {w * 0.85, h * 1.2}, h * 0.5, Rgb(104, 136, 58));
    const struct {
        double x, y, r;
    } trees[] = {{0.2, 0.72, 12}, {0.47, 0.68, 15}, {0.76, 0.73, 11}};
    for (auto t : trees) {
        const QPointF c(w * t.x, h * t.y);
        p.fillRect(QRectF(c.x() - 1.6 * u, c.y(), 3.2 * u, t.r * u * 1.6), Rgb(92, 62, 34));
        Disc(p, c, t.r * u, Rgb(58, 108, 50));
        Disc(p, c + QPointF(-t.r * 0.3 * u, -t.r * 0.3 * u), t.r * 0.55 * u, Rgb(76, 128, 60));
        for (auto [dx, dy] : {std::pair{-0.45, 0.1}, {0.35, -0.3}, {0.2, 0.45}, {-0.1, -0.55}})
            Disc(p, c + QPointF(dx * t.r * u, dy * t.r * u), 1.7 * u, Rgb(222, 58, 40));
    }
    CentredTitle(p, w / 2, h * 0.3, "The Quiet", {"Liberation Serif", 13 * u, 700, Rgb(84, 40, 20), true});
    CentredTitle(p, w / 2, h * 0.39, "Orchard", {"Liberation Serif", 17 * u, 700, Rgb(84, 40, 20), true});
    CentredTitle(p, w / 2, h * 0.06, "MARA ELLIS", {"Liberation Serif", 5.5 * u, 700, Rgb(120, 60, 30), false, 1.5 * u});
    CentredTitle(p, w / 2, h * 0.91, "A NOVEL", {"Liberation Serif", 5 * u, 700, Rgb(255, 245, 226), false, 1.5 * u});
}

void BookBack(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(242, 170, 104), Rgb(232, 132, 70));
    CentredTitle(p, w / 2, h * 0.12, "\u201CA book to read slowly,", {"Liberation Serif", 6 * u, 400, Rgb(84, 40, 20), true});
    CentredTitle(p, w / 2, h * 0.17, "under the trees.\u201D", {"Liberation Serif", 6 * u, 400, Rgb(84, 40, 20), true});
}

void BookSpine(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, Rgb(76, 108, 54), Rgb(52, 82, 40));
    const double u = w / 20;
    Disc(p, {w / 2, h * 0.93}, 4 * u, Rgb(222, 58, 40));
    SpineTitle(p, w, h, "The Quiet Orchard", {"Liberation Serif", 8 * u, 700, Rgb(255, 240, 212), true});
}

void PageEdges(QPainter& p, double w, double h)
{
    Leaves(p, w, h, false);
}

void PageTops(QPainter& p, double w, double h)
{
    Leaves(p, w, h, true);
}

void DiscLabel(QPainter& p, double w, double h)
{
    const QPointF c(w / 2, h / 2);
    const double r = w / 2;
    QRadialGradient g(c, r);
    g.setColorAt(0, Rgb(250, 130, 66));
    g.setColorAt(1, Rgb(40, 22, 92));
    p.fillRect(QRectF(0, 0, w, h), g);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(Mix(Rgb(255, 204, 128), Rgb(130, 70, 210), i / 5.0), r * 0.012));
        p.drawEllipse(c, r * (0.94 - i * 0.07), r * (0.94 - i * 0.07));
    }
    // The clear hub around the hole.
    Disc(p, c, r * 0.3, Rgb(214, 218, 228));
    Disc(p, c, r * 0.2, Rgb(180, 186, 200));
    CentredTitle(p, w / 2, h * 0.16, "NIGHT DRIVE", {"Liberation Sans", r * 0.15, 800, Qt::white, false, r * 0.01});
    CentredTitle(p, w / 2, h * 0.72, "twelve songs for the road", {"Liberation Sans", r * 0.065, 400, Rgb(255, 232, 204)});
}

void CaseCover(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(22, 18, 64), Rgb(236, 104, 62));
    p.fillRect(QRectF(0, 0, w, h), Glow({w / 2, h * 0.62}, 40 * u, QColor(255, 200, 110, 200)));
    Disc(p, {w / 2, h * 0.64}, 21 * u, Rgb(255, 194, 94));
    // The sun sets behind bands of haze and a road runs to the horizon.
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRectF(w * 0.25, h * 0.66 + i * 3.2 * u, w * 0.5, (0.8 + i * 0.35) * u), Rgb(22, 18, 64));
    p.fillRect(QRectF(0, h * 0.84, w, h * 0.16), Rgb(36, 26, 52));
    Shape(p, {QPointF(w * 0.47, h * 0.84), QPointF(w * 0.53, h * 0.84), QPointF(w * 0.86, h), QPointF(w * 0.14, h)},
          Rgb(58, 44, 70));
    Shape(p, {QPointF(w * 0.497, h * 0.85), QPointF(w * 0.503, h * 0.85), QPointF(w * 0.515, h), QPointF(w * 0.485, h)},
          Rgb(250, 222, 124));
    CentredTitle(p, w / 2, h * 0.08, "NIGHT DRIVE", {"Liberation Sans", 13 * u, 800, Qt::white, false, 1.2 * u});
    CentredTitle(p, w / 2, h * 0.25, "THE LONG HOURS", {"Liberation Sans", 5.5 * u, 700, Rgb(255, 202, 152), false, 1.5 * u});
}

void CaseSpine(QPainter& p, double w, double h)
{
    p.fillRect(QRectF(0, 0, w, h), Rgb(22, 18, 64));
    SpineTitle(p, w, h, "NIGHT DRIVE \u00B7 THE LONG HOURS", {"Liberation Sans", w * 0.55, 700, Qt::white});
}

void NoteCover(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(204, 164, 114), Rgb(182, 142, 96));
    for (double y = 3 * u; y < h; y += 6 * u)
        for (double x = 3 * u; x < w; x += 6 * u)
            Disc(p, {x, y}, 0.5 * u, Rgb(164, 124, 82));
    const QRectF label(w * 0.16, h * 0.3, w * 0.68, h * 0.2);
    p.setPen(QPen(Rgb(90, 60, 40), 1.2 * u));
    p.setBrush(Rgb(250, 246, 232));
    p.drawRoundedRect(label, 6 * u, 6 * u);
    CentredTitle(p, w / 2, label.top() + label.height() * 0.14, "NOTES", {"Liberation Sans", 13 * u, 800, Rgb(62, 40, 30), false, 1.5 * u});
    CentredTitle(p, w / 2, label.top() + label.height() * 0.68, "ideas \u00B7 sketches \u00B7 lists", {"Liberation Sans", 5 * u, 400, Rgb(92, 70, 50)});
    // An elastic band down the right side.
    p.fillRect(QRectF(w * 0.86, 0, 3.5 * u, h), Rgb(40, 34, 30));
}

void AtlasCover(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(124, 26, 32), Rgb(72, 12, 20));
    const QColor gold = Rgb(232, 192, 94);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(gold, 1.2 * u));
    p.drawRect(QRectF(6 * u, 6 * u, w - 12 * u, h - 12 * u));
    p.setPen(QPen(gold, 0.5 * u));
    p.drawRect(QRectF(9 * u, 9 * u, w - 18 * u, h - 18 * u));
    // A globe: a circle with meridians and parallels.
    const QPointF c(w / 2, h * 0.58);
    const double r = 24 * u;
    p.setPen(QPen(gold, 1.2 * u));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(gold, 0.6 * u));
    for (double k : {0.35, 0.72})
        p.drawEllipse(c, r * k, r);
    for (double k : {-0.5, 0.0, 0.5}) {
        const double y = c.y() + k * r, half = r * std::sqrt(1 - k * k);
        p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
    }
    p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
    CentredTitle(p, w / 2, h * 0.14, "ATLAS", {"Liberation Serif", 18 * u, 700, gold, false, 2 * u});
    CentredTitle(p, w / 2, h * 0.29, "of Light", {"Liberation Serif", 10 * u, 400, gold, true});
    CentredTitle(p, w / 2, h * 0.82, "VOLUME I", {"Liberation Serif", 6 * u, 700, gold, false, 1.5 * u});
}

void AtlasSpine(QPainter& p, double w, double h)
{
    VerticalGradient(p, w, h, Rgb(114, 22, 30), Rgb(72, 12, 20));
    const double u = w / 20;
    const QColor gold = Rgb(232, 192, 94);
    for (double y : {0.07, 0.09, 0.91, 0.93})
        p.fillRect(QRectF(0, h * y, w, 0.8 * u), gold);
    SpineTitle(p, w, h, "ATLAS of Light", {"Liberation Serif", h * 0.065, 700, gold, false, h * 0.004});
}

void TinCover(QPainter& p, double w, double h)
{
    const double u = w / 100;
    VerticalGradient(p, w, h, Rgb(42, 152, 152), Rgb(20, 102, 112));
    for (int row = 0; row * 14 * u < h + 7 * u; ++row)
        for (double x = (row % 2 ? 7 : 0) * u; x < w + 7 * u; x += 14 * u)
            Disc(p, {x, row * 14 * u}, 2.6 * u, Rgb(122, 212, 202));
    const QRectF label(w * 0.12, h * 0.3, w * 0.76, h * 0.4);
    p.setPen(QPen(Rgb(180, 92, 62), 1 * u));
    p.setBrush(Rgb(250, 241, 222));
    p.drawRoundedRect(label, 14 * u, 14 * u);
    CentredTitle(p, w / 2, label.top() + label.height() * 0.14, "Tea Time", {"Liberation Serif", 17 * u, 700, Rgb(20, 102, 112), true});
    CentredTitle(p, w / 2, label.top() + label.height() * 0.7, "ASSAM \u00B7 DARJEELING \u00B7 MINT", {"Liberation Sans", 3.6 * u, 700, Rgb(180, 92, 62), false, 0.6 * u});
}

void TinSide(QPainter& p, double w, double h)
{
    const double u = std::min(w, h) / 20;
    VerticalGradient(p, w, h, Rgb(42, 152, 152), Rgb(20, 102, 112));
    for (double x = 2 * u; x < w; x += 4 * u)
        Disc(p, {x, h / 2}, 0.8 * u, Rgb(122, 212, 202));
}

void GiftWrap(QPainter& p, double w, double h)
{
    // Lower half: the sides, a ribbon up the middle; upper half: the lid's
    // top, the ribbon crossing under a bow.
    const double u = w / 100;
    p.fillRect(QRectF(0, 0, w, h), Rgb(200, 36, 58));
    for (double y = 0; y < h; y += 10 * u)
        for (double x = (int(y / (10 * u)) % 2) * 5 * u; x < w; x += 10 * u)
            Disc(p, {x, y}, 1.4 * u, Rgb(236, 190, 80));
    const QColor ribbon = Rgb(250, 226, 130);
    p.fillRect(QRectF(w * 0.44, 0, w * 0.12, h), ribbon);
    p.fillRect(QRectF(0, h * 0.22, w, h * 0.06), ribbon);
    const QPointF knot(w / 2, h * 0.25);
    for (double side : {-1.0, 1.0})
        Shape(p, {knot, knot + QPointF(side * 26 * u, -12 * u), knot + QPointF(side * 26 * u, 12 * u)}, Rgb(240, 200, 90));
    Disc(p, knot, 5 * u, ribbon);
}

} // namespace pc::probe
