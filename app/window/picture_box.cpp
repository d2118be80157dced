#include "app/window/picture_box.h"

#include <QPainter>

namespace pc {

QColor ToQColor(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setFixedSize(80, 60);
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(ToQColor(BrushColor));
}

TColor PictureBox::CanvasPixel(int x, int y) const
{
    QRgb p = canvas_.pixel(x, y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

void PictureBox::DrawFrame(TColor pen)
{
    QPainter p(&canvas_);
    p.setPen(ToQColor(pen));
    p.setBrush(ToQColor(BrushColor));
    // GDI rectangles leave out the right and bottom edge.
    p.drawRect(1, 1, canvas_.width() - 3, canvas_.height() - 3);
    update();
}

void PictureBox::DrawPicture(const QImage& thumbnail)
{
    QPainter(&canvas_).drawImage(canvas_.rect(), thumbnail);
    update();
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter(this).drawImage(0, 0, canvas_);
}

void PictureBox::mousePressEvent(QMouseEvent*)
{
    // Any button, as on a face picture: the same picture menu opens.
    emit Clicked(this);
}

} // namespace pc
