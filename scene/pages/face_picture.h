#pragma once
// One picture box of an object page (a face, a material or text swatch): a
// canvas with a brush and a pen colour, and a Tag holding the texture number
// of its picture (0 while it shows a solid colour, whose colour is then the
// brush colour).
#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/bitmap.h"
#include "platform/color.h"

namespace pc {

class FacePicture : public QWidget {
    Q_OBJECT
public:
    explicit FacePicture(QWidget* parent = nullptr);

    int Tag = 0;
    TColor BrushColor = clWhite;
    TColor PenColor = clBlack;

    const QImage& Canvas() const { return canvas_; }
    // Colour of a canvas pixel, for tests and hand-over.
    TColor CanvasPixel(int x, int y) const;

    // Rectangle (1, 1)-(w-1, h-1) in the brush colour framed in the pen colour.
    void PaintFramed();
    // The caption centred on the picture.
    void PaintCaption(const QString& text);
    // Whole canvas resized to the box and filled with the brush colour, then
    // framed at (1, 1)-(w-1, h-1).
    void FillSolid();
    // A thumbnail stretched over the whole box.
    void DrawStretched(const Bitmap& picture);
    // A one-pixel frame round the whole box in the given colour.
    void DrawOuterFrame(TColor color);

signals:
    void Clicked(pc::FacePicture* sender);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void GrowCanvas();
    QImage canvas_;
};

QColor QColorOf(TColor c);
QImage QImageOf(const Bitmap& bmp);

} // namespace pc
