#pragma once
// The floating value box of track bars: one on the main window, one on each
// object page. It shows when the user puts the focus on a bar, right of the
// bar in the room the bar's parent keeps free there, so it covers no control;
// it shows the bar's value as it changes, moves the bar as a number is typed
// into it, and Escape, in it or on the bar, puts back the value it started
// from. It goes when the focus leaves both, and when the page of its bar is
// left. Digits typed on the bar itself
// extend the bar's typing buffer, its Hint.
#include <QColor>
#include <QObject>

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace pc {

class TrackBar;

class ValueBox : public QObject {
    Q_OBJECT
public:
    // The box's gap to its bar.
    static constexpr int kGap = 4;
    struct Look {
        int width = 60, height = 20;
        QColor colour;
        bool panel = false;       // the edit framed-less on a panel of the colour
        bool bufferAsTip = false; // a bar's typing buffer shows as its tooltip
    };

    // The box is a hidden child of parent, in whose coordinates it is placed.
    ValueBox(QWidget& parent, const Look& look);
    // The width to keep free right of each bar.
    int Room() const;
    // Serves bar from now on.
    void Attach(TrackBar* bar);

    TrackBar* Bar() const { return bar_; } // the bar the box serves, or null
    QWidget* Box() const { return box_; }
    QLineEdit* Edit() const { return edit_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Enter(TrackBar* bar, Qt::FocusReason reason);
    void Exit(TrackBar* bar, Qt::FocusReason reason);
    void KeyDown(TrackBar* bar, QKeyEvent* event);
    void Echo(TrackBar* bar);
    void Typed();
    void Restore();
    void Dismiss(); // hides the box, which then serves no bar

    QWidget& parent_;
    QWidget* box_ = nullptr;
    QLineEdit* edit_ = nullptr;
    bool bufferAsTip_ = false;
    TrackBar* bar_ = nullptr;
    int valueWhenShown_ = 0;
    int typing_ = 0; // 1 while the box moves its bar: what was typed stays
};

} // namespace pc
