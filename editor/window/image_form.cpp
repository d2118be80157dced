#include "editor/window/image_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "editor/window/form_widgets.h"
#include "editor/window/history_folder.h"
#include "editor/window/picture_view.h"
#include "editor/window/qt_editor_dialogs.h"
#include "editor/window/zoomed_part.h"
#include "platform/cursors.h"
#include "platform/message_box.h"
#include "platform/paths.h"

namespace pc::editor {

namespace {

// Sets a control's value without running its change handler: the program,
// not the user, is changing it.
template <class W, class F>
void Quietly(W* widget, F&& set)
{
    const QSignalBlocker block(widget);
    set();
}

} // namespace

TImageForm::TImageForm(QWidget* owner, EditorDialogs* dialogs)
    : QDialog(owner), dialogs_(dialogs ? nullptr : std::make_unique<QtEditorDialogs>(this)),
      historyFolder_(
          std::make_unique<HistoryFolder>(WorkFolder(), HistoryFiles::RoomNeeded(EditorModel::kMaxSide))),
      model_(std::make_unique<EditorModel>(WorkFolder(), dialogs ? *dialogs : *dialogs_, historyFolder_->Path()))
{
    setWindowTitle("Edit Picture");
    resize(870, 505);
    model_->Owner = this;
    ChooseColor = [this](TColor start) { return ChooseColorOnScreen(this, start); };
    ChooseFont = [this](const Font& start) { return ChooseFontOnScreen(this, start); };
    LoadScreenCursors();

    CreateActions();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    CreateMenus(layout);
    auto* body = new QHBoxLayout;
    body->addWidget(CreateLeftPanel());
    ScrollBox1 = new QScrollArea;
    Image1 = new PictureView(*model_);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->addWidget(ScrollBox1, 1);
    layout->addLayout(body, 1);
    ConnectSignals();
    Sync();
}

TImageForm::~TImageForm() = default;

void TImageForm::Run(const std::function<void()>& command)
{
    ReportErrors(command);
    Sync();
}

bool TImageForm::RunCommand(const std::function<bool()>& command)
{
    bool done = false;
    Run([&] { done = command(); });
    return done;
}

bool TImageForm::OpenExecute(const std::string& path, bool fromFace)
{
    return RunCommand([&] { return fromFace ? model_->OpenFace(path) : model_->Open(path); });
}

bool TImageForm::ALoadExecute()
{
    return RunCommand([this] { return model_->Load(); });
}

bool TImageForm::ASaveExecute()
{
    return RunCommand([this] { return model_->Save(); });
}

void TImageForm::ACropExecute()
{
    Run([this] { model_->ChooseTool(ToolAction::Crop); });
}

void TImageForm::reject()
{
    if (RunCommand([this] { return model_->Close(HandOver); }))
        QDialog::reject();
}

bool TImageForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ImagePre && event->type() == QEvent::MouseButtonRelease) {
        const Bitmap& pre = model_->LayerPreview();
        const QPoint p = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (!pre.Empty())
            Run([&] {
                model_->PickTransparentFromPreview(p.x() * pre.Width() / ImagePre->width(),
                                                   p.y() * pre.Height() / ImagePre->height());
            });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TImageForm::Sync()
{
    SyncActions();
    SyncControls();
}

void TImageForm::SyncControls()
{
    const EditorModel& m = *model_;
    PenBar->setVisible(m.PenBarVisible());
    BrushBar->setVisible(m.BrushBarVisible());
    PCImage->setCurrentWidget(m.Page() == EditorPage::Font      ? ImageFont
                              : m.Page() == EditorPage::Picture ? ImagePicture
                                                                : ImageTool);
    Quietly(CSWidth, [&] { CSWidth->setValue(m.Width()); });
    Quietly(CSHeight, [&] { CSHeight->setValue(m.Height()); });
    Edit1->setText(QString::fromStdString(m.PenSizeLabel()));
    const QString text = QString::fromStdU16String(m.Text());
    if (TextEdit->text() != text)
        Quietly(TextEdit, [&] { TextEdit->setText(text); });
    Quietly(CERot, [&] { CERot->setValue(m.TextRotation()); });
    Quietly(CBImageTrans, [&] { CBImageTrans->setChecked(m.LayerTransparent()); });
    Quietly(Alpha, [&] { Alpha->setValue(m.LayerAlpha()); });
    Quietly(TBTransDiffuse, [&] { TBTransDiffuse->setValue(m.LayerDiffuse()); });
    ShowPreview();
    SyncStatus();
    Image1->FitToPicture();
    Image1->update();
}

void TImageForm::SyncStatus()
{
    const EditorModel& m = *model_;
    Image1->setCursor(ScreenCursor(m.CursorNumber()));
    PenColor->SetColor(m.PenColor());
    BrushColor->SetColor(m.BrushColor());
    PicTransColor->SetColor(m.LayerTransparentColor());
    StatusPosition->setText(QString::fromStdString(m.PositionText()));
    StatusColor->SetText(QString::fromStdString(m.ColorText()));
}

void TImageForm::ShowPreview()
{
    const Bitmap& pre = model_->LayerPreview();
    const QSize size = ImagePre->size();
    ImagePre->setPixmap(QPixmap::fromImage(
        ZoomedPart(pre, QSize(pre.Width(), pre.Height()), size, QRect(QPoint(0, 0), size))));
}

} // namespace pc::editor
