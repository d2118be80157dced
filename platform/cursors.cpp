#include "platform/cursors.h"

#include <QPainter>
#include <QPixmap>
#include <array>
#include <optional>

namespace pc {

namespace {

std::array<std::optional<QCursor>, kCursorCount> table;

// A 32x32 cursor drawn in black with a white halo so it shows on any picture.
QCursor Drawn(int hotX, int hotY, void (*draw)(QPainter&))
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::white, 3));
    draw(p);
    p.setPen(QPen(Qt::black, 1));
    draw(p);
    return QCursor(pm, hotX, hotY);
}

void Pen(QPainter& p)
{
    p.drawLine(1, 30, 20, 11);
    p.drawLine(4, 30, 22, 12);
    p.drawLine(1, 30, 4, 30);
}

void Lens(QPainter& p)
{
    p.drawEllipse(2, 2, 16, 16);
    p.drawLine(16, 16, 28, 28);
    p.drawLine(6, 10, 14, 10);
}

void ZoomIn(QPainter& p)
{
    Lens(p);
    p.drawLine(10, 6, 10, 14);
}

void Picker(QPainter& p)
{
    p.drawLine(1, 30, 18, 13);
    p.drawRect(17, 5, 8, 8);
}

void Bucket(QPainter& p)
{
    p.drawPolygon(QPolygon({QPoint(4, 14), QPoint(14, 4), QPoint(24, 14), QPoint(14, 24)}));
    p.drawLine(24, 14, 27, 24);
}

} // namespace

void LoadScreenCursors()
{
    table[0] = Drawn(1, 30, Pen);
    table[1] = Drawn(10, 10, ZoomIn);
    table[2] = Drawn(10, 10, Lens);
    table[3] = QCursor(Qt::OpenHandCursor);
    table[4] = QCursor(Qt::IBeamCursor);
    table[5] = Drawn(1, 30, Picker);
    table[6] = Drawn(27, 24, Bucket);
    table[7] = QCursor(Qt::CrossCursor);
}

QCursor ScreenCursor(int n)
{
    if (n < 1 || n > kCursorCount || !table[size_t(n) - 1])
        return QCursor(Qt::ArrowCursor);
    return *table[size_t(n) - 1];
}

} // namespace pc
