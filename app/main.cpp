// Prismcase: hands a project path to a running instance, or runs the main window.
#include <QApplication>
#include <filesystem>

#include "app/window/gif_painter_pump.h"
#include "app/window/main_window.h"
#include "app/window/template_commands.h"
#include "app/settings/settings_file.h"
#include "platform/file_dialogs.h"
#include "platform/file_size_signal.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/quit_on_signal.h"
#include "platform/single_instance.h"

int main(int argc, char** argv)
{
    pc::IgnoreFileSizeSignal();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Prismcase");
    pc::QuitOnTerminationSignals();
    pc::PumpFromEventLoop();
    pc::FitFileDialogColumns(app);
    // File names are bytes; Qt's own decoding of the arguments would lose
    // the ones that are not valid in the local encoding.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << pc::PathToQString(argv[i]);

    // A relaunched instance opens its project itself: the one that started
    // it is closing and must not be handed anything.
    bool relaunched = qEnvironmentVariableIsSet(pc::kRelaunchedVariable);
    qunsetenv(pc::kRelaunchedVariable);
    std::unique_ptr<pc::InstanceListener> listener;
    if (!relaunched && argc > 1 && pc::IsProjectPath(argv[1])) {
        std::error_code ec;
        std::filesystem::path absolute = std::filesystem::absolute(argv[1], ec);
        listener = pc::HandOverOrListen(ec ? std::string(argv[1]) : absolute.lexically_normal().string());
        if (!listener)
            return 0;
    }

    try {
        // What killed instances left goes; this one's work folder is made
        // before its first save, so that its saves are listed there.
        pc::RemoveStaleWorkFolders();
        pc::WorkFolder();
        pc::TFormMainQV7K window(std::make_unique<pc::IniSettings>(pc::SettingsPath()), args);
        window.Relaunched = relaunched;
        window.ListenForHandOvers(listener ? std::move(listener) : std::make_unique<pc::InstanceListener>());
        pc::InstallTemplateCommands(window);
        window.show();
        window.FormCreate();
        return app.exec();
    } catch (const std::exception& e) {
        pc::ShowMessage(e.what());
        return 1;
    }
}
