#include "editor/window/form_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace pc::editor {

namespace {

QColor QColorFrom(TColor c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

} // namespace

Swatch::Swatch(bool round, QWidget* parent) : QFrame(parent), round_(round)
{
    setFixedSize(24, 24);
    setCursor(Qt::PointingHandCursor);
}

void Swatch::SetColor(TColor c)
{
    color_ = c;
    update();
}

void Swatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(QColorFrom(color_));
    if (round_)
        p.drawEllipse(rect().adjusted(1, 1, -2, -2));
    else
        p.drawRect(rect().adjusted(1, 1, -2, -2));
}

void Swatch::mousePressEvent(QMouseEvent*)
{
    emit Pressed();
}

void Swatch::mouseReleaseEvent(QMouseEvent*)
{
    emit Released();
}

ColorPanel::ColorPanel(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setMinimumWidth(90);
}

void ColorPanel::SetText(const QString& text)
{
    if (text == text_)
        return;
    text_ = text;
    update();
}

void ColorPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    bool ok = false;
    const long long value = text_.toLongLong(&ok);
    if (!ok || value == -1)
        return;
    const TColor c = TColor(value);
    QPainter p(this);
    p.fillRect(contentsRect(), QColorFrom(c));
    // The text stays readable on dark and light colours.
    const int luma = (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10;
    p.setPen(luma < 128 ? Qt::white : Qt::black);
    const QRect r = contentsRect().adjusted(0, 1, 0, 0);
    p.drawText(r, Qt::AlignHCenter | Qt::AlignTop,
               QString("%1,%2,%3").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c)));
}

PenSizeDelegate::PenSizeDelegate(std::function<TColor()> penColor, QObject* parent)
    : QStyledItemDelegate(parent), penColor_(std::move(penColor))
{
}

QSize PenSizeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return QSize(QStyledItemDelegate::sizeHint(option, index).width(), 16);
}

void PenSizeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QRect r = option.rect;
    painter->save();
    painter->setClipRect(r);
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(r, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QString text = index.data().toString();
    painter->drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    QPen dot(QColorFrom(penColor_()), std::max(1, text.toInt()), Qt::SolidLine, Qt::RoundCap);
    painter->setPen(dot);
    painter->drawPoint(r.left() + r.width() / 2 + 10, r.top() + r.height() / 2);
    painter->restore();
}

QValidator::State ClampingSpinBox::validate(QString& text, int& pos) const
{
    bool number = false;
    const qlonglong typed = text.trimmed().toLongLong(&number);
    if (number && typed > maximum()) {
        text = QString::number(maximum());
        pos = int(text.size());
        return QValidator::Acceptable;
    }
    return QSpinBox::validate(text, pos);
}

} // namespace pc::editor
