// templates [--folder DIR] --grab OUT.png: opens the template browser on the
// templates beside the program (or DIR) on the offscreen platform, waits
// until the sheet is filled and saves a picture of the browser. Lists each
// template with the size of its preview.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/probe/probe_registry.h"
#include "app/templates/template_dialog.h"
#include "platform/paths.h"

namespace {

int Templates(int argc, char** argv)
{
    std::string out, folder = pc::ProgramTemplatesFolder();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--folder") == 0 && i + 1 < argc)
            folder = argv[++i];
        else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: templates [--folder DIR] --grab OUT.png\n");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    const std::vector<pc::TemplateFile> files = pc::ListTemplates({folder});
    int missing = 0;
    for (const pc::TemplateFile& f : files) {
        try {
            pc::Bitmap preview = pc::LoadPreview(f.path);
            if (preview.Empty())
                ++missing;
            std::printf("%s: %s\n", f.name.c_str(),
                        preview.Empty() ? "no preview"
                                        : (std::to_string(preview.Width()) + " x " + std::to_string(preview.Height())).c_str());
        } catch (const std::exception& e) {
            ++missing;
            std::printf("%s: unreadable preview (%s)\n", f.name.c_str(), e.what());
        }
    }

    // Wide and high enough for the whole sheet in four columns.
    pc::TTemplate browser(nullptr, {folder});
    const int columns = 4, rows = std::max(1, int((files.size() + columns - 1) / columns));
    const int bar = browser.ScrollBox1->verticalScrollBar()->sizeHint().width();
    browser.resize(columns * pc::kCellSize + 24 + bar + 4, rows * pc::kCellSize + 1 + 64 + 4 + 24);
    browser.show();
    QElapsedTimer clock;
    clock.start();
    // Until a fill has begun (the sheet exists) and is over.
    while (clock.elapsed() < 60000 && (browser.Sheet().Filling() || browser.Sheet().Sheet().Empty()))
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (browser.Sheet().Filling() || browser.Sheet().Sheet().Empty()) {
        std::fprintf(stderr, "The sheet was not filled.\n");
        return 1;
    }
    QApplication::processEvents();
    std::printf("%d templates, %d columns, %d without preview\n", browser.Sheet().TemplateCount,
                browser.Sheet().ColumnCount, missing);
    if (!browser.grab().save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("templates", "[--folder DIR] --grab OUT.png", Templates);

} // namespace
