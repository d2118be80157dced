#include "app/window/project_commands.h"

#include <QDateTime>
#include <QFileDialog>
#include <QLocale>
#include <QSlider>
#include <QTabWidget>
#include <cmath>
#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/project_kept_parts.h"
#include "app/project/project_file.h"
#include "app/project/project_needs.h"
#include "app/window/project_scene_bridge.h"
#include "app/window/publish_command.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/scoped_value.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"
#include "scene/pictures/texture_memory.h"

namespace pc {

namespace {

const char* const kFilter = "Prismcase project (*.qv7kb);;All files (*.*)";
const int kTemplatePreviewSide = 200;

bool IsReplaceMode(int mode)
{
    return mode == kLoadAsk || mode == kLoadPreset || mode == kLoadEnhancedBefore || mode == kLoadEnhancedAfter;
}

std::string LocalDateText()
{
    QDateTime now = QDateTime::currentDateTime();
    QLocale locale;
    return (locale.toString(now.date(), QLocale::ShortFormat) + " " + locale.toString(now.time(), QLocale::LongFormat))
        .toStdString();
}

// The output size of the window, put back when the scope ends.
class OutputSize {
public:
    explicit OutputSize(TFormMainQV7K& w) : w_(w), width_(w.TBWidth->value()), height_(w.TBHeight->value()) {}
    ~OutputSize()
    {
        w_.TBWidth->setValue(width_);
        w_.TBHeight->setValue(height_);
    }
    OutputSize(const OutputSize&) = delete;
    OutputSize& operator=(const OutputSize&) = delete;

private:
    TFormMainQV7K& w_;
    int width_, height_;
};

std::string UnshownPicturesMessage(const std::vector<std::string>& names)
{
    std::string text = kUnshownPictures;
    for (const std::string& name : names)
        text += "\n" + name;
    return text;
}

// Pictures named as the loaded scene will show them, by the saved slot.
project::PictureNamer PictureNamer(const project::Scene& scene)
{
    return [&scene](int section, int index) {
        const project::Object& o = *scene.objects[size_t(section)];
        const std::string caption = TabCaption(o.kind, section, o.name);
        return index >= 0 ? caption + " " + kFaceCaptions[size_t(index)]
                          : caption + " material " + std::to_string(-1 - index);
    };
}

std::string ReasonOf(const std::exception& e)
{
    return e.what();
}

} // namespace

ProjectCommands::ProjectCommands(TFormMainQV7K& window) : QObject(&window), w_(window)
{
    setObjectName("ProjectCommands");
    // Names are bytes: what the dialog shows is turned back into the file's own.
    ChooseOpenFile = [this]() -> std::optional<std::string> {
        QString file = QFileDialog::getOpenFileName(&w_, QString(), PathToQString(w_.OpenDialog1InitialDir), kFilter);
        if (file.isEmpty())
            return std::nullopt;
        return PathFromDialog(file);
    };
    ChooseSaveFile = [this](const std::string& proposed) -> std::optional<std::string> {
        // The overwrite question is ours, asked about the name with its extension fixed.
        QString file = QFileDialog::getSaveFileName(&w_, QString(), PathToQString(proposed), kFilter, nullptr,
                                                    QFileDialog::DontConfirmOverwrite);
        if (file.isEmpty())
            return std::nullopt;
        return PathFromDialog(file);
    };
    SaveDate = LocalDateText;
}

void ProjectCommands::ASaveTemplateExecute()
{
    w_.SaveAsTemplate->Tag = 1;
    const bool silent = SaveDialog2Tag == 1;
    if (!silent) {
        auto chosen = ChooseSaveFile(ProjectFile.empty() ? SaveDialog2InitialDir : ProjectFile);
        if (!chosen)
            return;
        SaveDialog2FileName = *chosen;
    }
    SaveDialog2FileName = project::WithProjectExtension(SaveDialog2FileName);
    if (!silent && FileExists(SaveDialog2FileName) &&
        Ask("File:\n" + SaveDialog2FileName + "\nhas been existed. Do you want to overwrite current file?",
            "Question", Buttons::YesNo, &w_) != Answer::Yes)
        return;
    project::WriteProject(SaveDialog2FileName, ProjectSceneFromWindow(w_), {TextureFolder(), SaveDate()});
    w_.SaveAsTemplate->Tag = 0;
    if (!silent) {
        ProjectFile = SaveDialog2FileName;
        w_.OpenDialog1InitialDir = std::filesystem::path(SaveDialog2FileName).parent_path().string();
    }
}

void ProjectCommands::SaveAsTemplateExecute()
{
    {
        TagScope dialog(SaveDialog2Tag, 0);
        ScopedValue<std::string> initialDir(SaveDialog2InitialDir, UserTemplatesFolder());
        ScopedValue<std::string> project(ProjectFile, std::string()); // a template is not the project
        ASaveTemplateExecute();
    }
    if (w_.SaveAsTemplate->Tag == 1)
        return;
    const std::string templatePath = SaveDialog2FileName;
    const std::string base = std::filesystem::path(templatePath).replace_extension().string();
    // Previews of a template saved earlier under this name would stand for
    // the new one (the browser prefers the ".bmp").
    std::error_code ec;
    std::filesystem::remove(base + ".bmp", ec);
    std::filesystem::remove(base + ".png", ec);
    {
        OutputSize size(w_);
        w_.TBWidth->setValue(kTemplatePreviewSide);
        w_.TBHeight->setValue(kTemplatePreviewSide);
        w_.RenderCancel->Tag = 0;
        w_.Publisher->Execute(true, PublishTarget{base + ".png", PublishType::PngCustom});
    }
    if (w_.RenderCancel->Tag == 1)
        std::filesystem::remove(templatePath, ec);
}

bool ProjectCommands::AskToSave()
{
    if (w_.PC2->count() == 0)
        return true;
    if (Ask(kSaveQuestion, "Question", Buttons::YesNo) != Answer::Yes)
        return true;
    // A cancelled or failed save keeps the scene: the load does not go on.
    w_.SaveAsTemplate->Tag = 1;
    return ReportErrors([this] { ASaveTemplateExecute(); }) && w_.SaveAsTemplate->Tag == 0;
}

void ProjectCommands::ClearScene()
{
    while (w_.Objects.Count() > 0) {
        int before = w_.Objects.Count();
        w_.PC2->setCurrentIndex(0);
        w_.ObjectCmds->DeleteObject(true);
        if (w_.Objects.Count() >= before)
            throw Error("An object could not be removed.");
    }
}

void ProjectCommands::ALoadTemplateExecute()
{
    const int mode = w_.ALoadTemplate->Tag;
    const bool preset = mode >= kLoadPreset && mode <= kLoadEnhancedAfter;
    if (!preset) {
        auto chosen = ChooseOpenFile();
        if (!chosen)
            return;
        w_.OpenDialog1FileName = *chosen;
    }
    const std::string path = w_.OpenDialog1FileName;
    if (!FileExists(path))
        return;

    // The whole file is checked before anything of the scene changes: its
    // last 8 bytes first, then the parts they name.
    std::optional<project::FileProjectSource> file;
    project::ReadResult read;
    std::vector<project::KeptBytes> unreferenced;
    try {
        file.emplace(path);
        read = project::ReadProject(*file);
        // Refused here, whole, rather than picture by picture once the scene is gone.
        project::CheckProjectNeeds(project::JudgeProject(*file, read.scene, PictureNamer(read.scene)),
                                   IsReplaceMode(mode) ? TextureMemory::Scene().Used() : 0);
        for (const project::Blob& b : read.scene.unreferenced)
            unreferenced.push_back(std::make_shared<const std::vector<uint8_t>>(project::BlobBytes(*file, b)));
    } catch (const Error& e) {
        throw project::ProjectError("Can not load file:\n" + path + "\n" + ReasonOf(e));
    }

    if ((mode == kLoadAsk || mode == kLoadPreset) && !AskToSave())
        return;
    // The enhanced render reloads the scene the user already has.
    const bool quiet = mode == kLoadEnhancedBefore || mode == kLoadEnhancedAfter;
    for (const std::string& warning : read.warnings)
        if (!quiet)
            ShowMessage(warning);

    std::vector<std::string> unshown;
    if (IsReplaceMode(mode)) {
        ClearScene();
        ApplyProjectGlobals(w_, read.scene, *file, unshown);
    }
    AddProjectObjects(w_, read.scene, *file, unshown);
    KeptUnreferenced::Keep(w_, std::move(unreferenced), IsReplaceMode(mode));
    if (!unshown.empty() && !quiet)
        ShowMessage(UnshownPicturesMessage(unshown));

    w_.LightOrbitAngle = float(std::atan2(w_.TBLightZ->value(), w_.TBLightX->value()));
    w_.CameraOrbitAngle = float(std::atan2(w_.TBCameraZ->value(), w_.TBCameraX->value()));
    if (!preset)
        w_.OpenDialog1InitialDir = std::filesystem::path(path).parent_path().string();
    // The program's own projects (Clear, Default, its templates) start a new
    // scene: Save does not offer to write over them.
    if (mode == kLoadAsk || mode == kLoadPreset)
        ProjectFile = path.starts_with(ProgramFolder()) ? std::string() : path;
    if (mode != kLoadEnhancedBefore) {
        w_.FormResize();
        w_.RequestIdle();
    }
}

ProjectCommands& InstallProjectCommands(TFormMainQV7K& w)
{
    auto* commands = new ProjectCommands(w); // the window owns it
    w.LoadProjectHandler = [commands] { commands->ALoadTemplateExecute(); };
    w.SaveProjectHandler = [commands] {
        TagScope dialog(commands->SaveDialog2Tag, 0);
        commands->ASaveTemplateExecute();
    };
    auto load = [&w](int mode) {
        TagScope scope(w.ALoadTemplate->Tag, mode);
        ReportErrors([&] { w.ALoadTemplateExecute(); });
    };
    QObject::connect(w.ALoadTemplate, &QAction::triggered, &w, [load] { load(kLoadAsk); });
    QObject::connect(w.AInsertObj, &QAction::triggered, &w, [load] { load(kLoadInsertAsk); });
    QObject::connect(w.ASaveTemplate, &QAction::triggered, &w, [&w] { ReportErrors(w.SaveProjectHandler); });
    QObject::connect(w.SaveAsTemplate, &QAction::triggered, &w,
                     [commands] { ReportErrors([commands] { commands->SaveAsTemplateExecute(); }); });
    for (QAction* a : {static_cast<QAction*>(w.ALoadTemplate), static_cast<QAction*>(w.AInsertObj),
                       static_cast<QAction*>(w.ASaveTemplate), static_cast<QAction*>(w.SaveAsTemplate)})
        a->setEnabled(true);
    return *commands;
}

ProjectCommands* ProjectCommandsOf(TFormMainQV7K& w)
{
    return w.findChild<ProjectCommands*>("ProjectCommands", Qt::FindDirectChildrenOnly);
}

} // namespace pc
