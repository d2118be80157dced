#pragma once
// Small widgets of the editor window: colour swatches, the status panel
// that shows a picked colour, the picture-size spin box.
#include <QFrame>
#include <QSpinBox>
#include <QString>
#include <QStyledItemDelegate>
#include <functional>

#include "platform/color.h"

namespace pc::editor {

// A colour square (or circle) that reports presses and releases.
class Swatch : public QFrame {
    Q_OBJECT
public:
    explicit Swatch(bool round, QWidget* parent = nullptr);
    TColor Color() const { return color_; }
    void SetColor(TColor c);

signals:
    void Pressed();
    void Released();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;

private:
    bool round_;
    TColor color_ = clBlack;
};

// The status panel of the picked colour: its text is a colour value, "-1"
// for none; the panel is filled with the colour and shows "R,G,B".
class ColorPanel : public QFrame {
    Q_OBJECT
public:
    explicit ColorPanel(QWidget* parent = nullptr);
    void SetText(const QString& text);
    const QString& Text() const { return text_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString text_ = "-1";
};

// A spin box that takes a typed value above its maximum as the maximum,
// where a plain one refuses the keystroke.
class ClampingSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& text, int& pos) const override;
};

// The items of the pen-size list: the size, and beside it a dot as wide as
// the size in the pen colour.
class PenSizeDelegate : public QStyledItemDelegate {
public:
    PenSizeDelegate(std::function<TColor()> penColor, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    std::function<TColor()> penColor_;
};

} // namespace pc::editor
