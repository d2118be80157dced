#include "scene/pages/face_picture.h"

#include <QPainter>

namespace pc {

QColor QColorOf(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QImage QImageOf(const Bitmap& bmp)
{
    QImage img(bmp.Width(), bmp.Height(), QImage::Format_RGB32);
    for (int y = 0; y < bmp.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < bmp.Width(); ++x) {
            TColor c = bmp.Pixel(x, y);
            line[x] = qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
        }
    }
    return img;
}

FacePicture::FacePicture(QWidget* parent) : QWidget(parent)
{
    resize(140, 140);
    GrowCanvas();
}

TColor FacePicture::CanvasPixel(int x, int y) const
{
    QRgb p = canvas_.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void FacePicture::GrowCanvas()
{
    // Like a picture box's bitmap: it grows with the box and keeps what is drawn.
    if (canvas_.width() >= width() && canvas_.height() >= height())
        return;
    QImage bigger(std::max(canvas_.width(), width()), std::max(canvas_.height(), height()), QImage::Format_RGB32);
    bigger.fill(Qt::white);
    QPainter(&bigger).drawImage(0, 0, canvas_);
    canvas_ = bigger;
}

void FacePicture::resizeEvent(QResizeEvent*)
{
    GrowCanvas();
}

void FacePicture::PaintFramed()
{
    GrowCanvas();
    int w = width(), h = height();
    if (w < 3 || h < 3)
        return;
    QPainter p(&canvas_);
    p.fillRect(1, 1, w - 2, h - 2, QColorOf(BrushColor));
    p.setPen(QColorOf(PenColor));
    p.drawRect(1, 1, w - 3, h - 3);
    update();
}

void FacePicture::PaintCaption(const QString& text)
{
    QPainter p(&canvas_);
    p.setPen(Qt::black);
    QFontMetrics fm(p.font());
    int x = (width() - fm.horizontalAdvance(text)) / 2;
    int y = (height() - fm.height()) / 2;
    p.drawText(x, y + fm.ascent(), text);
    update();
}

void FacePicture::FillSolid()
{
    canvas_ = QImage(width(), height(), QImage::Format_RGB32);
    canvas_.fill(QColorOf(BrushColor));
    PaintFramed();
}

void FacePicture::DrawStretched(const Bitmap& picture)
{
    GrowCanvas();
    QPainter p(&canvas_);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(0, 0, width(), height()), QImageOf(picture));
    update();
}

void FacePicture::DrawOuterFrame(TColor color)
{
    QPainter p(&canvas_);
    p.setPen(QColorOf(color));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
    update();
}

void FacePicture::paintEvent(QPaintEvent*)
{
    QPainter(this).drawImage(0, 0, canvas_);
}

void FacePicture::mousePressEvent(QMouseEvent*)
{
    emit Clicked(this);
}

} // namespace pc
