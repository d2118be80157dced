#pragma once
// The floor and background picture boxes: a canvas painted with a brush
// colour, whose Tag is the texture number of its picture (0 while it shows
// a solid colour).
#include <QImage>
#include <QWidget>

#include "platform/color.h"

namespace pc {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    int Tag = 0;
    TColor BrushColor = clWhite;

    const QImage& Canvas() const { return canvas_; }
    TColor CanvasPixel(int x, int y) const;
    // Rectangle (1, 1)-(w-1, h-1) in the pen colour, filled with the brush.
    void DrawFrame(TColor pen);
    // A picture's thumbnail stretched over the whole box.
    void DrawPicture(const QImage& thumbnail);

signals:
    void Clicked(pc::PictureBox* sender);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    QImage canvas_;
};

QColor ToQColor(TColor c);

} // namespace pc
