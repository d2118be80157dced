#include "app/window/preview_panel.h"

#include <QKeyEvent>
#include <QPainter>
#include <cstring>

#include "platform/gl_context.h"

namespace pc {

PreviewPanel::PreviewPanel(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

void PreviewPanel::Present(const GLContext& context)
{
    int w = context.Width(), h = context.Height();
    if (frame_.width() != w || frame_.height() != h)
        frame_ = QImage(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        int src = context.TopDown() ? y : h - 1 - y;
        const uint8_t* from = context.Pixels() + size_t(src) * size_t(w) * 4;
        auto* to = reinterpret_cast<uint32_t*>(frame_.scanLine(y));
        std::memcpy(to, from, size_t(w) * 4);
        // The scene clears with alpha 0; the screen shows it opaque.
        for (int x = 0; x < w; ++x)
            to[x] |= 0xFF000000u;
    }
    update();
}

void PreviewPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (frame_.isNull())
        p.fillRect(rect(), palette().window());
    else
        p.drawImage(0, 0, frame_);
}

void PreviewPanel::resizeEvent(QResizeEvent*)
{
    emit Resized();
}

void PreviewPanel::keyPressEvent(QKeyEvent* e)
{
    e->ignore();
    emit KeyPressed(e);
}

void PreviewPanel::focusOutEvent(QFocusEvent* e)
{
    QWidget::focusOutEvent(e);
    emit FocusLost();
}

} // namespace pc
