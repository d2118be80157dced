#include "app/window/settings_commands.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/settings/settings_file.h"
#include "app/window/tagged_action.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/single_instance.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"

namespace pc {

namespace {

bool StartDetached(const QStringList& arguments)
{
    QProcess process;
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(arguments);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kRelaunchedVariable, "1");
    process.setProcessEnvironment(env);
    return process.startDetached();
}

bool HoldsModel(const TFormMainQV7K& w)
{
    bool found = false;
    w.Objects.ForEach([&](const GLTSObject& page) { found = found || page.ObjectKind == kKindModel; });
    return found;
}

} // namespace

SettingsCommands::SettingsCommands(TFormMainQV7K& window, std::string settingsFile)
    : QObject(&window), SettingsFile(std::move(settingsFile)), StartProgram(StartDetached), w_(window)
{
    setObjectName("SettingsCommands");
}

void SettingsCommands::LoadTemplates2Click(TaggedAction* item)
{
    item->setChecked(true);
    ReportErrors([&] { IniSettings(SettingsFile).WriteStartMode(item->Tag); });
}

void SettingsCommands::SoftwareRenderExecute(TaggedAction* sender, bool advanceItem)
{
    if (w_.APublish->Tag == 1)
        return; // a relaunch would end the publish under way
    sender->setChecked(true);
    std::string name = sender->text().remove('&').toStdString();
    int format = 0;
    if (advanceItem) {
        format = sender->Tag;
        w_.AdvanceRender->setChecked(true);
    }
    const bool software = w_.SoftwareRender->isChecked();
    if (!ReportErrors([&] { IniSettings(SettingsFile).WriteRendering(software, format); }))
        return;
    if (Ask(RelaunchQuestion(name, software), "Relaunch?", Buttons::YesNo, &w_) == Answer::Yes)
        Relaunch();
}

void SettingsCommands::Relaunch()
{
    ProjectCommands* projects = ProjectCommandsOf(w_);
    if (!projects)
        return;
    const std::string path = RelaunchProjectPath();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    {
        TagScope silent(projects->SaveDialog2Tag, 1);
        projects->SaveDialog2FileName = path;
        w_.SaveAsTemplate->Tag = 1;
        try {
            projects->ASaveTemplateExecute();
        } catch (const std::exception& e) {
            // Without the scene on disk the new instance would open nothing.
            ShowMessage(e.what());
            return;
        }
        if (w_.SaveAsTemplate->Tag != 0)
            return;
    }
    // The work file is no place of the user's: the new instance opens it as
    // the project the scene came from.
    if (HoldsModel(w_))
        ShowMessage("The current project will open again as it is now.\nNow the program will relaunch!");
    QStringList arguments{QString::fromStdString(path)};
    if (!projects->ProjectFile.empty())
        arguments << RelaunchProjectArgument(projects->ProjectFile);
    w_.StopListeningForHandOvers();
    if (!StartProgram(arguments)) {
        ShowMessage("The program could not be started again.");
        w_.ListenForHandOvers(std::make_unique<InstanceListener>());
        return;
    }
    w_.ALoadTemplate->Tag = kLoadEnhancedBefore; // no close question
    w_.close();
}

void SettingsCommands::Label14Click()
{
    SoftwareRenderExecute(w_.SoftwareRender, false);
}

bool SettingsCommands::eventFilter(QObject* watched, QEvent* event)
{
    // Installed on Label14 alone. The label's events go on while the window
    // is being destroyed, when its members may no longer be read.
    if (event->type() == QEvent::MouseButtonRelease)
        Label14Click();
    return QObject::eventFilter(watched, event);
}

QString RelaunchProjectArgument(const std::string& project)
{
    return QString::fromLatin1(QByteArray::fromStdString(project).toPercentEncoding("/"));
}

std::string ProjectOfRelaunchArgument(const QString& argument)
{
    return QByteArray::fromPercentEncoding(argument.toLatin1()).toStdString();
}

SettingsCommands& InstallSettingsCommands(TFormMainQV7K& w)
{
    auto* commands = new SettingsCommands(w, SettingsPath()); // the window owns it
    for (TaggedAction* item : {w.LoadTemplates2, w.LoadDefautProject1, w.Clear1}) {
        item->setEnabled(true);
        QObject::connect(item, &QAction::triggered, commands, [commands, item] { commands->LoadTemplates2Click(item); });
    }
    for (TaggedAction* action : {w.SoftwareRender, w.HardwareRender, w.AdvanceRender}) {
        action->setEnabled(true);
        QObject::connect(action, &QAction::triggered, commands,
                         [commands, action] { commands->SoftwareRenderExecute(action, false); });
    }
    // The "Advance" items are rebuilt with the format table; the menu passes each on.
    QObject::connect(w.AllDisMode1, &QMenu::triggered, commands, [commands, &w](QAction* a) {
        if (auto* item = dynamic_cast<TaggedAction*>(a); item && item->parent() == w.AllDisMode1)
            commands->SoftwareRenderExecute(item, true);
    });
    w.Label14->installEventFilter(commands);
    return *commands;
}

SettingsCommands* SettingsCommandsOf(TFormMainQV7K& w)
{
    return w.findChild<SettingsCommands*>("SettingsCommands", Qt::FindDirectChildrenOnly);
}

} // namespace pc
