#pragma once
// A horizontal track bar with the behaviour the object pages rely on:
//  - SetPosition clamps into [Min, Max] and fires Changed only when the
//    stored position really changes (also when a range change moves it);
//  - Tag is a free integer and Hint a string kept as storage (never shown);
//  - keys move it the Windows way: Left/Up decrease, Right/Down increase,
//    Page Up/Page Down by the page size, Home/End to Min/Max;
//  - KeyDown is emitted before the bar's own key handling and never consumes
//    the key; Entered/Exited follow the keyboard focus and say why it moved.
#include <QSlider>
#include <QString>

namespace pc {

class TrackBar : public QSlider {
    Q_OBJECT
public:
    explicit TrackBar(QWidget* parent = nullptr);

    int Min() const { return minimum(); }
    int Max() const { return maximum(); }
    int Position() const { return value(); }
    void SetMin(int v);
    void SetMax(int v);
    void SetRange(int lo, int hi);
    void SetPosition(int p);
    void SetLineSize(int n) { setSingleStep(n); }
    void SetPageSize(int n) { setPageStep(n); }

    int Tag = 0;
    QString Hint;

signals:
    void Changed(pc::TrackBar* sender);
    void KeyDown(pc::TrackBar* sender, QKeyEvent* event);
    void Entered(pc::TrackBar* sender, Qt::FocusReason reason);
    void Exited(pc::TrackBar* sender, Qt::FocusReason reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The floating value editor of a track bar appears only when the user puts
// the focus on the bar (click, Tab, Backtab, a shortcut), not when the focus
// follows a page switch or comes back with the window.
bool UserMovedFocus(Qt::FocusReason reason);
// The focus left only for a moment (another window, a popup menu): the
// editor stays as it is.
bool FocusLeftForAMoment(Qt::FocusReason reason);

// Shows the floating editor with its top-left at `at` in the bar's
// coordinates, above the other children of parent. Hiding leaves it shown
// while editor (inside it) has the focus; false then.
void ShowOverBar(QWidget& floating, const QWidget& bar, QWidget& parent, QPoint at);
bool HideUnlessEditing(QWidget& floating, const QWidget& editor);

} // namespace pc
