// editor --open IN [--answer yes|no]... [--tool NAME] [--zoom PERCENT]
//        [--drag X1,Y1,X2,Y2] [--save OUT] [--grab WIN.png]: opens the
// picture in the editor window on the offscreen platform and drives it as a
// user would: answers the questions asked in turn (each is printed), chooses
// the tool by its action, picks the zoom preset, drags the mouse over the
// view (view pixels, the view scrolled to its origin), saves the picture
// (Save As, the type from OUT's extension) and grabs the window.
// With --face instead of --open it plays a session opened from a face
// (probe_editor_face.cpp).
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>

#include "app/probe/probe_editor.h"
#include "app/probe/probe_registry.h"
#include "editor/window/image_form.h"
#include "editor/window/picture_files.h"
#include "editor/window/picture_view.h"
#include "platform/message_box.h"

namespace {

using pc::editor::TImageForm;

QAction* ToolNamed(TImageForm& f, const std::string& name)
{
    const std::pair<const char*, QAction*> tools[] = {
        {"freeline", f.AFreeLine}, {"line", f.ALine},           {"circle", f.ACircle},       {"ellipse", f.AEllipse},
        {"roundrect", f.ARoundRect}, {"rectangle", f.ARectangle}, {"polygon", f.APolygon},   {"polyline", f.APolyline},
        {"polybezier", f.APolyBezier}, {"eraser", f.AEraser},    {"floodfill", f.AFloodFill}, {"text", f.AText},
        {"select", f.ASelect},     {"crop", f.ACrop}};
    for (const auto& [n, action] : tools)
        if (name == n)
            return action;
    return nullptr;
}

void SendMouse(QWidget* view, QEvent::Type type, QPoint p, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(p), QPointF(view->mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
}

void Drag(QWidget* view, QPoint a, QPoint b)
{
    constexpr int kSteps = 8;
    SendMouse(view, QEvent::MouseButtonPress, a, Qt::LeftButton);
    for (int i = 1; i <= kSteps; ++i)
        SendMouse(view, QEvent::MouseMove, a + (b - a) * i / kSteps, Qt::LeftButton);
    SendMouse(view, QEvent::MouseButtonRelease, b, Qt::NoButton);
}

int Editor(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--face"))
            return pc::probe::EditorOnFace(argc, argv);
    std::string open, tool, save, grab;
    int zoom = 100;
    bool drag = false;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::deque<pc::Answer> answers;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--open") && more)
            open = argv[++i];
        else if (!std::strcmp(argv[i], "--answer") && more && (!std::strcmp(argv[i + 1], "yes") || !std::strcmp(argv[i + 1], "no")))
            answers.push_back(!std::strcmp(argv[++i], "yes") ? pc::Answer::Yes : pc::Answer::No);
        else if (!std::strcmp(argv[i], "--tool") && more)
            tool = argv[++i];
        else if (!std::strcmp(argv[i], "--zoom") && more)
            zoom = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--drag") && more && std::sscanf(argv[++i], "%d,%d,%d,%d", &x1, &y1, &x2, &y2) == 4)
            drag = true;
        else if (!std::strcmp(argv[i], "--save") && more)
            save = argv[++i];
        else if (!std::strcmp(argv[i], "--grab") && more)
            grab = argv[++i];
        else {
            std::fprintf(stderr, "unknown or incomplete option: %s\n", argv[i]);
            return 2;
        }
    }
    if (open.empty()) {
        std::fprintf(stderr, "usage: editor --open IN [--answer yes|no]... [--tool NAME] [--zoom PERCENT] "
                             "[--drag X1,Y1,X2,Y2] [--save OUT] [--grab WIN.png]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qargc = 1;
    QApplication app(qargc, argv);
    pc::ScriptedMessageBoxes boxes(answers);
    pc::ScopedMessageBoxes scoped(boxes);
    pc::probe::ProbeDialogs dialogs;
    auto form = std::make_unique<TImageForm>(nullptr, &dialogs);
    // Questions are printed as they were answered; any other box is an error.
    size_t reported = 0;
    auto failed = [&] {
        bool error = false;
        for (; reported < boxes.Shown().size(); ++reported) {
            const pc::MessageRequest& shown = boxes.Shown()[reported];
            const bool question = shown.buttons != pc::Buttons::Ok;
            std::fprintf(question ? stdout : stderr, "%s%s\n", question ? "asked: " : "", shown.text.c_str());
            error = error || !question;
        }
        return error;
    };

    pc::editor::EditorModel& model = form->Model();
    const bool loaded = form->OpenExecute(open);
    if (failed())
        return 1;
    if (!loaded) {
        std::printf("%s: not loaded\n", open.c_str());
        return 0;
    }
    if (!tool.empty()) {
        QAction* action = ToolNamed(*form, tool);
        if (!action) {
            std::fprintf(stderr, "unknown tool: %s\n", tool.c_str());
            return 2;
        }
        action->trigger();
    }
    form->ZoomPreset(zoom);
    form->show();
    QApplication::processEvents();
    if (drag)
        Drag(form->Image1, QPoint(x1, y1), QPoint(x2, y2));
    QApplication::processEvents();
    if (!save.empty()) {
        dialogs.save = pc::probe::SaveChoiceFor(save);
        const bool saved = form->RunCommand([&] { return model.SaveAs(); });
        if (failed() || !saved)
            return 1;
        std::printf("%s: %d x %d\n", save.c_str(), model.Width(), model.Height());
    }
    QApplication::processEvents();
    if (!grab.empty() && !form->grab().save(QString::fromStdString(grab), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", grab.c_str());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("editor",
                              "--open IN [--answer yes|no]... [--tool NAME] [--zoom PERCENT] [--drag X1,Y1,X2,Y2] "
                              "[--save OUT] [--grab WIN.png] | --face FACE.bmp --steps LIST "
                              "[--answer yes|no|cancel]... [--face-out OUT.bmp]",
                              Editor);

} // namespace

namespace pc::probe {

editor::SaveChoice SaveChoiceFor(const std::string& path)
{
    switch (PictureKindOfName(path)) {
    case PictureKind::Jpeg:
        return {path, editor::kSaveJpeg};
    case PictureKind::Png:
        return {path, editor::kSavePng};
    default:
        return {path, editor::kSaveBmp};
    }
}

} // namespace pc::probe
