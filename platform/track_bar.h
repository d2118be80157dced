#pragma once
// A horizontal track bar with the behaviour the object pages rely on:
//  - SetPosition clamps into [Min, Max] and fires Changed only when the
//    stored position really changes (also when a range change moves it);
//  - Tag is a free integer and Hint a string kept as storage (never shown);
//  - keys move it the Windows way: Left/Up decrease, Right/Down increase,
//    Page Up/Page Down by the page size, Home/End to Min/Max;
//  - KeyDown is emitted before the bar's own key handling and never consumes
//    the key; Entered/Exited follow the keyboard focus.
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
    void Entered(pc::TrackBar* sender);
    void Exited(pc::TrackBar* sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The floating value editor shown while a track bar has the focus: centred
// on the bar with its top y pixels into it, above the other children of
// parent. Hiding leaves it shown while editor (inside it) has the focus;
// false then.
void ShowOverBar(QWidget& floating, const QWidget& bar, QWidget& parent, int y);
bool HideUnlessEditing(QWidget& floating, const QWidget& editor);

} // namespace pc
