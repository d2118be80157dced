#include "app/window/main_window.h"
#include "app/window/editor_commands.h"
#include "app/window/publish_command.h"
#include "scene/text/glyph_cache.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include "app/window/hint_pause_style.h"
#include "app/window/picture_box.h"
#include "app/window/project_commands.h"
#include "app/project/project_file.h"
#include "app/window/settings_commands.h"
#include "platform/cursors.h"
#include "platform/errors.h"
#include "platform/gl_context.h"
#include "platform/gl_frame_pair.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/screen_placement.h"
#include "platform/single_instance.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/object_commands.h"
#include "scene/pictures/texture_memory.h"

namespace pc {

namespace {

const char* const kCloseQuestion =
    "Current project will be closed.\nDo you want to save current project before next operation?";

// Counts a load in progress for as long as it runs.
class BusyScope {
public:
    explicit BusyScope(int& count) : count_(count) { ++count_; }
    ~BusyScope() { --count_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    int& count_;
};

} // namespace

TFormMainQV7K::TFormMainQV7K(std::unique_ptr<AppSettings> settings, QStringList args, QWidget* parent)
    : QMainWindow(parent), settings_(std::move(settings)), args_(std::move(args))
{
    setWindowTitle("Prismcase");
    setMinimumSize(660, 550);
    resize(960, 640);
    CentreOnScreen(*this);

    CreateActions();
    CreateMenus();
    CreateWidgets();
    CreateObjectCommands();
    InstallProjectCommands(*this);
    InstallSettingsCommands(*this);
    ConnectSignals();
    ConnectNavigation();
    ConnectSizing();
    ConnectCommands();
    Publisher = std::make_unique<PublishCommand>(*this);
    EditorCmds = std::make_unique<EditorCommands>(*this);

    TheGlyphCache().Reset();
    InstallHintPause();
    LoadScreenCursors();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        DeviceColorBits = screen->depth();
    ApplyRenderSettings();
    OpenPictureDialog1InitialDir = ProgramFolder() + "Resource/";
    OpenDialog2InitialDir = ProgramFolder() + "Resource/";

    idleTimer_ = new QTimer(this);
    idleTimer_->setSingleShot(true);
    idleTimer_->setInterval(0);
    connect(idleTimer_, &QTimer::timeout, this, [this] {
        UpdateActions();
        AppIdle();
        ProcessPendingProject();
    });
}

TFormMainQV7K::~TFormMainQV7K()
{
    // The widgets below go on sending signals (focus lost, hidden) while
    // QWidget's destructor takes them down, after this window's members are
    // gone: nothing of theirs may reach it any more.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    FormDestroy();
}

void TFormMainQV7K::ApplyRenderSettings()
{
    SoftwareRender->setChecked(true);
    bool software = settings_->SoftwareRender();
    PixelsFormat = settings_->PixelsFormat();
    if (PixelsFormat == 0) {
        if (software)
            SoftwareRender->setChecked(true);
        else
            HardwareRender->setChecked(true);
    } else {
        AdvanceRender->setChecked(true);
    }
}

void TFormMainQV7K::FormCreate()
{
    BuildPixelFormatMenu();
    CreateGLContext(PixelsFormat);
    OpenStartProject();
    qApp->installEventFilter(this);
    RequestIdle();
}

void TFormMainQV7K::OpenStartProject()
{
    std::string arg = args_.isEmpty() ? std::string() : PathFromQString(args_.first());
    if (!arg.empty() && IsProjectPath(arg)) {
        // Save Project then offers the user's own file, not the work file.
        if (OpenProjectFile(arg, true) && Relaunched)
            ProjectCommandsOf(*this)->ProjectFile = args_.size() > 1 ? ProjectOfRelaunchArgument(args_[1]) : "";
        return;
    }
    switch (settings_->StartMode()) {
    case 0:
        LoadTemplates2->setChecked(true);
        if (OpenTemplatesHandler)
            OpenTemplatesHandler();
        break;
    case 1:
        LoadDefautProject1->setChecked(true);
        // The loader reports its own failures on this path.
        OpenProjectFile(ProgramFolder() + "Default.qv7kb", false);
        break;
    default:
        Clear1->setChecked(true);
        break;
    }
}

bool TFormMainQV7K::OpenProjectFile(const std::string& path, bool reportFailure)
{
    std::string remembered = OpenDialog1FileName;
    OpenDialog1FileName = path;
    bool loaded = false;
    try {
        TagScope mode(ALoadTemplate->Tag, 1);
        ALoadTemplateExecute();
        loaded = true;
    } catch (const project::ProjectError& e) {
        ShowMessage(e.what()); // names the file and what is wrong with it
    } catch (const std::exception& e) {
        ShowMessage(reportFailure ? "Can not load file:\n" + path : std::string(e.what()));
    }
    OpenDialog1FileName = remembered;
    return loaded;
}

void TFormMainQV7K::ALoadTemplateExecute()
{
    if (!LoadProjectHandler)
        throw Error("This build cannot read project files.");
    if (APublish->Tag == 1)
        throw Error("A picture is being published. Load the project when it is done.");
    BusyScope busy(loading_);
    LoadProjectHandler();
}

void TFormMainQV7K::QueueHandedOverProject(const std::string& path)
{
    if (!IsProjectPath(path))
        return;
    BringApplicationForward(*this);
    pending_.push_back(path);
    RequestIdle();
}

bool TFormMainQV7K::ListenForHandOvers(std::unique_ptr<InstanceListener> listener)
{
    listener_ = std::move(listener);
    if (!listener_->Listen()) {
        listener_.reset();
        return false;
    }
    connect(listener_.get(), &InstanceListener::ProjectReceived, this,
            [this](const QByteArray& path) { QueueHandedOverProject(path.toStdString()); });
    return true;
}

void TFormMainQV7K::StopListeningForHandOvers()
{
    listener_.reset();
}

bool TFormMainQV7K::Busy() const
{
    return APublish->Tag == 1 || loading_ > 0 || QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

void TFormMainQV7K::ProcessPendingProject()
{
    if (pending_.empty() || Busy())
        return;
    std::string path = pending_.front();
    pending_.pop_front();
    OpenProjectFile(path, true);
    if (!pending_.empty())
        RequestIdle();
}

void TFormMainQV7K::RequestIdle()
{
    if (idleTimer_ && !idleTimer_->isActive())
        idleTimer_->start();
}

bool TFormMainQV7K::eventFilter(QObject* watched, QEvent* event)
{
    // The idle pass follows every batch of input that may change the scene,
    // as after a message loop runs dry; paints, timers and a mouse merely
    // passing over the window are left out, so nothing redraws for nothing.
    switch (event->type()) {
    case QEvent::MouseMove:
        if (static_cast<QMouseEvent*>(event)->buttons() != Qt::NoButton)
            RequestIdle();
        break;
    case QEvent::WindowDeactivate:
        if (watched == this)
            EndDrag();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::WindowActivate:
    case QEvent::FocusIn:
    case QEvent::Close:
        RequestIdle();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TFormMainQV7K::FormCloseQuery()
{
    int mode = ALoadTemplate->Tag;
    if (PC2->count() == 0 || (mode != 0 && mode != 1))
        return true;
    switch (Messages().Show({kCloseQuestion, "Question", Buttons::YesNoCancel, MessageIcon::Question, nullptr})) {
    case Answer::Cancel:
        return false;
    case Answer::Yes:
        // The writer clears this flag only when the file was written; a
        // cancelled or failed save keeps the window and the scene.
        SaveAsTemplate->Tag = 1;
        try {
            if (!SaveProjectHandler)
                throw Error("This build cannot save project files.");
            SaveProjectHandler();
        } catch (const std::exception& e) {
            ShowMessage(e.what());
            SaveAsTemplate->Tag = 1;
        }
        return SaveAsTemplate->Tag == 0;
    default:
        return true;
    }
}

void TFormMainQV7K::closeEvent(QCloseEvent* event)
{
    if (Publisher && Publisher->Publishing()) {
        Publisher->CloseWhenDone(); // the render still draws the scene
        event->ignore();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TFormMainQV7K::FormClose()
{
    // The glyph lists go while their context is still current.
    if (GLContext_ && !offscreen_)
        GLContext_->MakeCurrent();
    TheGlyphCache().Free();
}

bool TFormMainQV7K::FormCanResize() const
{
    return APublish->Tag != 1;
}

void TFormMainQV7K::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (FormCanResize() || !lastAllowedSize_.isValid()) {
        lastAllowedSize_ = size();
        return;
    }
    if (size() != lastAllowedSize_)
        QTimer::singleShot(0, this, [this] {
            if (!FormCanResize())
                resize(lastAllowedSize_);
        });
}

void TFormMainQV7K::FormDestroy()
{
    if (destroyed_)
        return;
    destroyed_ = true;
    StopListeningForHandOvers();
    pending_.clear();
    qApp->removeEventFilter(this);
    if (idleTimer_)
        idleTimer_->stop();
    if (GLContext_)
        GLContext_->MakeCurrent();
    // Each object page frees its textures and work files as it goes.
    Objects = ObjectTable{};
    while (PC2->count() > 0) {
        std::unique_ptr<QWidget> page(PC2->widget(0));
        PC2->removeTab(0);
    }
    FormClose();
    DropOffscreenContext();
    GLContext::ReleaseCurrent();
    GLContext_.reset();
    TextureMemory::Scene().ReleaseAll(); // the textures went with the context
    RemoveWorkFolder();
}

} // namespace pc
