// window --grab OUT.png: builds the main window on the offscreen platform,
// draws one idle frame and saves a picture of the window.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/main_window.h"
#include "app/probe/probe_registry.h"
#include "platform/message_box.h"

namespace {

int Window(int argc, char** argv)
{
    std::string out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            out = argv[++i];
        else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: window --grab OUT.png\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    pc::ScriptedMessageBoxes boxes;
    pc::ScopedMessageBoxes scoped(boxes);
    pc::TFormMainQV7K window(std::make_unique<pc::DefaultSettings>(), {});
    window.show();
    window.FormCreate();
    QApplication::processEvents();
    window.AppIdle();
    QApplication::processEvents();
    for (const auto& shown : boxes.Shown())
        std::fprintf(stderr, "%s\n", shown.text.c_str());
    if (!window.grab().save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("window", "--grab OUT.png", Window);

} // namespace
