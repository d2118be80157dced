#include "platform/track_bar.h"

#include <QApplication>
#include <QKeyEvent>

namespace pc {

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, 10);
    setFocusPolicy(Qt::StrongFocus);
    // QSlider signals only real changes of its value, clamping included.
    connect(this, &QSlider::valueChanged, this, [this](int) { emit Changed(this); });
}

void TrackBar::SetMin(int v)
{
    setMinimum(v);
}

void TrackBar::SetMax(int v)
{
    setMaximum(v);
}

void TrackBar::SetRange(int lo, int hi)
{
    setRange(lo, hi);
}

void TrackBar::SetPosition(int p)
{
    setValue(p); // QAbstractSlider clamps into the range
}

void TrackBar::keyPressEvent(QKeyEvent* event)
{
    emit KeyDown(this, event);
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: SetPosition(Position() - singleStep()); break;
    case Qt::Key_Right:
    case Qt::Key_Down: SetPosition(Position() + singleStep()); break;
    case Qt::Key_PageUp: SetPosition(Position() - pageStep()); break;
    case Qt::Key_PageDown: SetPosition(Position() + pageStep()); break;
    case Qt::Key_Home: SetPosition(Min()); break;
    case Qt::Key_End: SetPosition(Max()); break;
    default: event->ignore(); return;
    }
    event->accept();
}

void TrackBar::focusInEvent(QFocusEvent* event)
{
    QSlider::focusInEvent(event);
    emit Entered(this, event->reason());
}

void TrackBar::focusOutEvent(QFocusEvent* event)
{
    QSlider::focusOutEvent(event);
    emit Exited(this, event->reason());
}

bool UserMovedFocus(Qt::FocusReason reason)
{
    return reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::ShortcutFocusReason;
}

bool FocusLeftForAMoment(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

void ShowOverBar(QWidget& floating, const QWidget& bar, QWidget& parent, QPoint at)
{
    floating.move(bar.mapTo(&parent, at));
    floating.show();
    floating.raise();
}

bool HideUnlessEditing(QWidget& floating, const QWidget& editor)
{
    if (QApplication::focusWidget() == &editor)
        return false;
    floating.hide();
    return true;
}

} // namespace pc
