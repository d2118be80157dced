#include "scene/pages/value_box.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QToolTip>

#include "platform/scoped_value.h"
#include "platform/track_bar.h"
#include "scene/pages/value_typing.h"

namespace pc {

namespace {

// Windows virtual keys that take part in typing: the main keyboard's digits,
// its minus key and Backspace. Keypad keys are other keys.
TypingKey TypingKeyOf(const QKeyEvent* e)
{
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    const int k = e->key();
    if (!keypad && k >= Qt::Key_0 && k <= Qt::Key_9)
        return {TypingKeyKind::Digit, char('0' + (k - Qt::Key_0))};
    if (k == Qt::Key_Backspace)
        return {TypingKeyKind::Backspace, 0};
    if (!keypad && k == Qt::Key_Minus)
        return {TypingKeyKind::Minus, 0};
    return {};
}

} // namespace

ValueBox::ValueBox(QWidget& parent, const Look& look)
    : QObject(&parent), parent_(parent), bufferAsTip_(look.bufferAsTip)
{
    if (look.panel) {
        box_ = new QWidget(&parent);
        box_->setAutoFillBackground(true);
        edit_ = new QLineEdit(box_);
        edit_->setFrame(false);
    } else {
        edit_ = new QLineEdit(&parent);
        box_ = edit_;
    }
    QPalette colours = box_->palette();
    colours.setColor(QPalette::Window, look.colour);
    colours.setColor(QPalette::Base, look.colour);
    box_->setPalette(colours);
    edit_->setPalette(colours);
    box_->setFixedSize(look.width, look.height);
    if (edit_ != box_)
        edit_->setGeometry(2, 0, look.width - 4, look.height);
    edit_->setValidator(new QRegularExpressionValidator(QRegularExpression(kValueEditPattern), edit_));
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textEdited, this, &ValueBox::Typed);
    box_->hide();
}

int ValueBox::Room() const
{
    return box_->width() + 2 * kGap;
}

void ValueBox::Attach(TrackBar* bar)
{
    connect(bar, &TrackBar::Entered, this, &ValueBox::Enter);
    connect(bar, &TrackBar::Exited, this, &ValueBox::Exit);
    connect(bar, &TrackBar::KeyDown, this, &ValueBox::KeyDown);
    connect(bar, &TrackBar::Changed, this, &ValueBox::Echo);
    bar->installEventFilter(this);
}

void ValueBox::Enter(TrackBar* bar, Qt::FocusReason reason)
{
    if (!UserMovedFocus(reason))
        return; // the focus only followed a page switch: no box to type into by mistake
    if (box_->isHidden() || bar_ != bar)
        valueWhenShown_ = bar->Position();
    bar_ = bar;
    edit_->setText(QString::number(bar->Position()));
    ShowOverBar(*box_, *bar, parent_, QPoint(bar->width() + kGap, (bar->height() - box_->height()) / 2));
}

void ValueBox::Exit(TrackBar*, Qt::FocusReason reason)
{
    if (!FocusLeftForAMoment(reason) && HideUnlessEditing(*box_, *edit_))
        bar_ = nullptr;
}

void ValueBox::Dismiss()
{
    box_->hide();
    bar_ = nullptr;
}

void ValueBox::KeyDown(TrackBar* bar, QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && bar == bar_) {
        Restore();
        return;
    }
    const TypingStep step =
        TypeKey(bar->Hint.toStdString(), TypingKeyOf(event), bar->Min(), bar->Max(), bar->Position());
    bar->Hint = QString::fromStdString(step.buffer);
    if (step.position)
        bar->SetPosition(*step.position);
    if (!bufferAsTip_)
        return;
    bar->setToolTip(bar->Hint);
    if (!bar->Hint.isEmpty())
        QToolTip::showText(bar->mapToGlobal(QPoint(0, bar->height())), bar->Hint, bar);
}

void ValueBox::Echo(TrackBar* bar)
{
    if (bar == bar_ && typing_ == 0)
        edit_->setText(QString::number(bar->Position()));
}

void ValueBox::Typed()
{
    if (!bar_)
        return;
    // Empty or a lone minus: a number still to come, the bar stays.
    const std::optional<int> typed = ParseDecimal(edit_->text().toStdString());
    if (!typed)
        return;
    // The bar clamps; what the user typed stays in the box meanwhile.
    ScopedValue<int> typing(typing_, 1);
    bar_->SetPosition(*typed);
}

void ValueBox::Restore()
{
    if (!bar_)
        return;
    bar_->SetPosition(valueWhenShown_);
    edit_->setText(QString::number(bar_->Position()));
}

bool ValueBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Restore();
        return true;
    }
    // Leaving the box for anything but its bar puts it away.
    if (watched == edit_ && event->type() == QEvent::FocusOut &&
        !FocusLeftForAMoment(static_cast<QFocusEvent*>(event)->reason()) && QApplication::focusWidget() != bar_)
        Dismiss();
    // So does a switch away from the page of its bar, even while the box keeps
    // the focus: it would stand beside a bar of the page shown instead. A
    // minimised window hides it only for a moment.
    if (watched == bar_ && bar_ && event->type() == QEvent::Hide && !event->spontaneous())
        Dismiss();
    return QObject::eventFilter(watched, event);
}

} // namespace pc
