#pragma once
// Top-level windows open in the middle of the screen, whatever window owns them.
#include <QRect>

class QWidget;

namespace pc {

// Where a window of `size` (never below `minimum`) stands in the middle of
// the screen area `available`: no larger than the area unless its minimum
// is, and its top-left never above or left of the area, so its title bar
// stays reachable. Halves round toward zero.
QRect CentredOnScreen(QSize size, QSize minimum, const QRect& available);

// Moves (and if need be shrinks) a window not yet shown to the middle of the
// screen of `over` (its owner), or of the primary screen.
void CentreOnScreen(QWidget& window, const QWidget* over = nullptr);

} // namespace pc
