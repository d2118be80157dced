// The output size (track bars, edits, presets), the preview panel fitted to
// its aspect, and the scene track bars given to the floating value editor.
#include <QCheckBox>
#include <QCursor>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>

#include "app/window/event_hook.h"
#include "app/window/main_window.h"
#include "app/window/preview_fit.h"
#include "app/window/preview_panel.h"
#include "app/window/size_presets.h"
#include "platform/track_bar.h"
#include "scene/pages/value_box.h"

namespace pc {

namespace {

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
    for (QSlider* slider : edited)
        Values->Attach(qobject_cast<TrackBar*>(slider));
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

} // namespace pc
