// The output size (track bars, edits, presets), the preview panel fitted to
// its aspect, and the floating value editor of the scene track bars.
#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

#include "app/window/event_hook.h"
#include "app/window/main_window.h"
#include "app/window/preview_fit.h"
#include "app/window/preview_panel.h"
#include "app/window/size_presets.h"
#include "platform/track_bar.h"
#include "scene/pages/value_typing.h"

namespace pc {

namespace {

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

// Shows the side unless the user is typing it and the text already means it
// (an emptied edit stands for the minimum and stays empty while typing).
void ShowSide(QLineEdit* edit, const QSlider* bar)
{
    const int typed = std::clamp(SideFromEditText(edit->text().toStdString()), bar->minimum(), bar->maximum());
    if (edit->hasFocus() && typed == bar->value())
        return;
    edit->setText(QString::number(bar->value()));
}

} // namespace

void TFormMainQV7K::ConnectSizing()
{
    for (QLineEdit* edit : {EditW, EditH})
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,5}"), edit));
    connect(EditW, &QLineEdit::textEdited, this,
            [this](const QString& t) { TBWidth->setValue(SideFromEditText(t.toStdString())); });
    connect(EditH, &QLineEdit::textEdited, this,
            [this](const QString& t) { TBHeight->setValue(SideFromEditText(t.toStdString())); });
    // Once the user is done the box shows the side in use, clamped or not.
    connect(EditW, &QLineEdit::editingFinished, this, [this] { EditW->setText(QString::number(TBWidth->value())); });
    connect(EditH, &QLineEdit::editingFinished, this, [this] { EditH->setText(QString::number(TBHeight->value())); });
    connect(TBWidth, &QSlider::valueChanged, this, &TFormMainQV7K::TBHeightChange);
    connect(TBHeight, &QSlider::valueChanged, this, &TFormMainQV7K::TBHeightChange);
    connect(QuickView, &QCheckBox::toggled, this, &TFormMainQV7K::TBHeightChange);
    new EventHook(SB->viewport(), [this](QEvent* e) {
        if (e->type() == QEvent::Resize)
            TBHeightChange();
        return false;
    });

    PopupMenu1 = new QMenu(this);
    for (const char* caption : kSizePresets)
        PopupMenu1->addAction(caption);
    connect(PopupMenu1, &QMenu::triggered, this, [this](QAction* item) { N200X1501Click(item->text()); });
    GroupBox10->setToolTip("Click for common picture sizes");
    new EventHook(GroupBox10, [this](QEvent* e) {
        if (e->type() == QEvent::MouseButtonRelease)
            PopupMenu1->popup(QCursor::pos());
        return false;
    });

    QSlider* const edited[] = {TBFloor_alpha,    TBFloor_P,        TBfsth,          TBfstv,          TBbth,
                               TBbtv,            AmbientStrength,  TBLightY,        TBLightZ,        TBLightX,
                               TBShadowStrength, TBShadowScale,    TBShadowDiffuse, TBCameraLookAtY, TBCameraLookAtX,
                               TBCameraLookAtZ,  TBCameraLookAtA,  TBCameraY,       TBCameraZ,       TBCameraX,
                               TBWidth,          TBHeight};
    for (QSlider* slider : edited) {
        auto* bar = qobject_cast<TrackBar*>(slider);
        connect(bar, &TrackBar::Entered, this, &TFormMainQV7K::TBWidthEnter);
        connect(bar, &TrackBar::Exited, this, &TFormMainQV7K::TBWidthExit);
        connect(bar, &TrackBar::KeyDown, this, &TFormMainQV7K::TBWidthKeyDown);
        connect(bar, &TrackBar::Changed, this, &TFormMainQV7K::EchoValue);
    }
    tbEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(kValueEditPattern), tbEdit));
    connect(tbEdit, &QLineEdit::textEdited, this, &TFormMainQV7K::tbEditKeyUp);
    new EventHook(tbEdit, [this](QEvent* e) {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            RestoreEditedValue();
            return true;
        }
        // Leaving the editor for anything but its track bar puts it away.
        if (e->type() == QEvent::FocusOut && !FocusLeftForAMoment(static_cast<QFocusEvent*>(e)->reason()) &&
            QApplication::focusWidget() != EditedTrackBar) {
            tbPanel->hide();
            EditedTrackBar = nullptr;
        }
        return false;
    });
}

void TFormMainQV7K::TBHeightChange()
{
    if (TBHeightTag == 1)
        return; // a publish is sizing the panel
    SB->horizontalScrollBar()->setValue(0);
    SB->verticalScrollBar()->setValue(0);
    const QSize client = SB->viewport()->size();
    const PanelSize panel =
        FitPreview(TBWidth->value(), TBHeight->value(), client.width(), client.height(), QuickView->isChecked());
    Panel1->setFixedSize(panel.width, panel.height);
    Label15->setVisible(QuickView->isChecked());
    ShowSide(EditW, TBWidth);
    ShowSide(EditH, TBHeight);
}

void TFormMainQV7K::N200X1501Click(const QString& caption)
{
    const PresetSize size = ParsePreset(caption.toStdString());
    TBWidth->setValue(size.width);
    TBHeight->setValue(size.height);
}

void TFormMainQV7K::EchoValue(QSlider* sender)
{
    if (sender == EditedTrackBar && typingInValueEdit_ == 0)
        tbEdit->setText(QString::number(sender->value()));
}

void TFormMainQV7K::TBWidthEnter(TrackBar* sender, Qt::FocusReason reason)
{
    if (!UserMovedFocus(reason))
        return; // the focus only followed a page switch: no editor to type into by mistake
    if (tbPanel->isHidden() || EditedTrackBar != sender)
        valueWhenEditorShown_ = sender->value();
    EditedTrackBar = sender;
    tbEdit->setText(QString::number(sender->value())); // the value at once, not a stale one
    // In the room kept free right of the bar, level with it.
    ShowOverBar(*tbPanel, *sender, *this,
                QPoint(sender->width() + kValueEditorGap, (sender->height() - tbPanel->height()) / 2));
}

void TFormMainQV7K::TBWidthExit(TrackBar*, Qt::FocusReason reason)
{
    if (!FocusLeftForAMoment(reason) && HideUnlessEditing(*tbPanel, *tbEdit))
        EditedTrackBar = nullptr;
}

void TFormMainQV7K::RestoreEditedValue()
{
    if (!EditedTrackBar)
        return;
    EditedTrackBar->setValue(valueWhenEditorShown_);
    tbEdit->setText(QString::number(EditedTrackBar->value()));
}

void TFormMainQV7K::TBWidthKeyDown(TrackBar* sender, QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && sender == EditedTrackBar) {
        RestoreEditedValue();
        return;
    }
    // The hint is the typing buffer; it shows as the bar's tooltip.
    const TypingStep step =
        TypeKey(sender->Hint.toStdString(), TypingKeyOf(event), sender->Min(), sender->Max(), sender->Position());
    sender->Hint = QString::fromStdString(step.buffer);
    if (step.position)
        sender->SetPosition(*step.position);
    sender->setToolTip(sender->Hint);
    if (!sender->Hint.isEmpty())
        QToolTip::showText(sender->mapToGlobal(QPoint(0, sender->height())), sender->Hint, sender);
}

void TFormMainQV7K::tbEditKeyUp()
{
    if (!EditedTrackBar)
        return;
    // Empty or a lone minus: a number still to come, the bar stays.
    const std::optional<int> typed = ParseDecimal(tbEdit->text().toStdString());
    if (!typed)
        return;
    // The bar clamps; what the user typed stays in the editor meanwhile.
    TagScope typing(typingInValueEdit_, 1);
    EditedTrackBar->setValue(*typed);
}

} // namespace pc
