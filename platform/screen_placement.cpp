#include "platform/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace pc {

QRect CentredOnScreen(QSize size, QSize minimum, const QRect& available)
{
    const int w = std::max(std::min(size.width(), available.width()), minimum.width());
    const int h = std::max(std::min(size.height(), available.height()), minimum.height());
    const int x = available.left() + std::max(0, (available.width() - w) / 2);
    const int y = available.top() + std::max(0, (available.height() - h) / 2);
    return QRect(x, y, w, h);
}

void CentreOnScreen(QWidget& window, const QWidget* over)
{
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect place = CentredOnScreen(window.size(), window.minimumSize(), screen->availableGeometry());
    window.resize(place.size());
    window.move(place.topLeft()); // the frame's corner: the title bar stays on the screen
}

} // namespace pc
