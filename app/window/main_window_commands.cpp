// The main window's small commands: help, About and the home page, "Clear",
// the clipboard picture, the transparent background, and the update step that
// keeps actions and controls in step with the scene.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <cmath>
#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/window_commands.h"
#include "platform/bmp_file.h"
#include "platform/clipboard.h"
#include "platform/desktop_open.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/object_commands.h"

namespace pc {

namespace {

// The scene controls as the window was built, for "Clear" without its project.
class DesignValues : public QObject {
public:
    static constexpr const char* kName = "DesignValues";
    DesignValues(QObject* owner, const std::vector<QWidget*>& pages) : QObject(owner)
    {
        setObjectName(kName);
        for (QWidget* page : pages) {
            for (QSlider* s : page->findChildren<QSlider*>())
                sliders_.emplace_back(s, s->value());
            for (QCheckBox* c : page->findChildren<QCheckBox*>())
                checks_.emplace_back(c, c->isChecked());
        }
    }
    void Restore() const
    {
        for (auto [s, v] : sliders_)
            s->setValue(v);
        for (auto [c, v] : checks_)
            c->setChecked(v);
    }

private:
    std::vector<std::pair<QSlider*, int>> sliders_;
    std::vector<std::pair<QCheckBox*, bool>> checks_;
};

} // namespace

void TFormMainQV7K::ConnectCommands()
{
    OpenDocument = [this](const std::string& target) { OpenWithDesktop(target, this, ShowMessage); };
    new DesignValues(this, {TSFloor, TSLight, TSCamera, TSExport});

    for (TaggedAction* a : {Contents1, About1, Homepage1, ARemoveAllObjs, LoadFromClipboard1})
        a->setEnabled(true);
    connect(Contents1, &QAction::triggered, this, &TFormMainQV7K::Contents1Click);
    connect(About1, &QAction::triggered, this, &TFormMainQV7K::About1Click);
    connect(Homepage1, &QAction::triggered, this, &TFormMainQV7K::Homepage1Click);
    Label3->setText(QString("<a href=\"%1\">%1</a>").arg(kProductWebAddress));
    Label3->setTextFormat(Qt::RichText);
    Label3->setOpenExternalLinks(false);
    connect(Label3, &QLabel::linkActivated, this, &TFormMainQV7K::Homepage1Click);
    connect(ARemoveAllObjs, &QAction::triggered, this, &TFormMainQV7K::ARemoveAllObjsExecute);
    connect(LoadFromClipboard1, &QAction::triggered, this, &TFormMainQV7K::LoadPictureFromClipboard1Click);
    connect(BTransparent, &QCheckBox::clicked, this, &TFormMainQV7K::BTransparentClick);
    // A loaded project sets the box without a click: the groups follow it too.
    connect(BTransparent, &QCheckBox::toggled, this, [this](bool transparent) {
        GroupBox8->setVisible(!transparent);
        GroupBox9->setVisible(!transparent);
    });
    connect(CBDiffuse, &QCheckBox::toggled, TBFloor_P, &QWidget::setEnabled);
}

void TFormMainQV7K::Contents1Click()
{
    OpenDocument(FindHelpFile(ProgramFolder()).value_or(kProductWebAddress));
}

void TFormMainQV7K::Homepage1Click()
{
    OpenDocument(kProductWebAddress);
}

void TFormMainQV7K::About1Click()
{
    if (Messages().Show({AboutText(PixelFormatInfoText), "About", Buttons::YesNo, MessageIcon::Question, this}) ==
        Answer::Yes)
        Homepage1Click();
}

void TFormMainQV7K::ARemoveAllObjsExecute()
{
    const std::string clearProject = ProgramFolder() + "Clear.qv7kb";
    std::error_code ec;
    if (std::filesystem::exists(clearProject, ec)) {
        std::string remembered = OpenDialog1FileName;
        OpenDialog1FileName = clearProject;
        {
            TagScope mode(ALoadTemplate->Tag, 1);
            ReportErrors([this] { ALoadTemplateExecute(); });
        }
        OpenDialog1FileName = remembered;
        return;
    }
    // Without the project: the same question, then the scene as first built.
    if (!FormCloseQuery())
        return;
    while (PC2->count() > 0) {
        const int before = PC2->count();
        TagScope silent(Delete->Tag, 1);
        ObjectCmds->DeleteObject(true);
        if (PC2->count() == before)
            break;
    }
    // Found by name: the class has no meta-object of its own to cast by.
    if (QObject* design = findChild<QObject*>(DesignValues::kName, Qt::FindDirectChildrenOnly))
        static_cast<DesignValues*>(design)->Restore();
    CBSmooth->setChecked(CBSmooth1->isChecked()); // the box mirrors the action
    BTransparentClick();
    CameraOrbitAngle = float(std::atan2(double(TBCameraZ->value()), double(TBCameraX->value())));
    LightOrbitAngle = float(std::atan2(double(TBLightZ->value()), double(TBLightX->value())));
    RequestIdle();
}

void TFormMainQV7K::LoadPictureFromClipboard1Click()
{
    std::optional<Bitmap> picture = clipboard::GetBitmap();
    if (!picture) {
        ShowMessage("There is no bitmap image in clipboard.");
        return;
    }
    const std::string file = WorkFolder() + "temp.bmp";
    if (!ReportErrors([&] {
            picture->SetPixelFormat(PixelFormat::pf24bit);
            SaveBmpFile(file, *picture);
        }))
        return;
    LoadPictureIntoCurrent(file);
}

void TFormMainQV7K::BTransparentClick()
{
    const bool transparent = BTransparent->isChecked();
    GroupBox8->setVisible(!transparent);
    GroupBox9->setVisible(!transparent);
    if (!transparent)
        return;
    // Both lose their pictures and become plain white.
    PictureBox* const remembered = CurrentBox;
    FacePicture* const rememberedFace = CurrentFace;
    CurrentFace = nullptr;
    for (PictureBox* box : {ImageBackground, ImageFloor}) {
        CurrentBox = box;
        SetCurrentColor(clWhite);
    }
    CurrentBox = remembered;
    CurrentFace = rememberedFace;
}

void TFormMainQV7K::UpdateActions()
{
    const CommandStates states = CommandStatesFor(
        {PC2->currentWidget() != nullptr, unsigned(ImageFloor->Tag), unsigned(ImageBackground->Tag),
         APublish->Tag == 1});
    ACopyObj->setEnabled(states.copyObject);
    for (QWidget* w : {static_cast<QWidget*>(Label10), static_cast<QWidget*>(TBfsth), static_cast<QWidget*>(Label11),
                       static_cast<QWidget*>(TBfstv)})
        w->setVisible(states.floorTiling);
    for (QWidget* w : {static_cast<QWidget*>(Label8), static_cast<QWidget*>(TBbth), static_cast<QWidget*>(Label9),
                       static_cast<QWidget*>(TBbtv)})
        w->setVisible(states.backgroundTiling);
}

} // namespace pc
