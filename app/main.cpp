// Prismcase: hands a project path to a running instance, or runs the main window.
#include <QApplication>
#include <QFileInfo>

#include "app/window/main_window.h"
#include "app/window/template_commands.h"
#include "app/settings/settings_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/quit_on_signal.h"
#include "platform/single_instance.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Prismcase");
    pc::QuitOnTerminationSignals();
    QStringList args = app.arguments().mid(1);

    // A relaunched instance opens its project itself: the one that started
    // it is closing and must not be handed anything.
    bool relaunched = qEnvironmentVariableIsSet(pc::kRelaunchedVariable);
    qunsetenv(pc::kRelaunchedVariable);
    if (!relaunched && !args.isEmpty() && pc::IsProjectPath(args.first().toStdString()) &&
        pc::HandOverProject(QFileInfo(args.first()).absoluteFilePath()))
        return 0;

    try {
        pc::TFormMainQV7K window(std::make_unique<pc::IniSettings>(pc::SettingsPath()), args);
        window.ListenForHandOvers();
        pc::InstallTemplateCommands(window);
        window.show();
        window.FormCreate();
        return app.exec();
    } catch (const std::exception& e) {
        pc::ShowMessage(e.what());
        return 1;
    }
}
