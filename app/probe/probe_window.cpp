// window [--project FILE] [--add KINDS] [--size WxH] [--drag DX,DY]
//        [--wheel N] --grab OUT.png
// Builds the main window on the offscreen platform and works it as a user
// would: opens a project, adds one object per listed kind through the same
// code as the "Add" commands (box, book, cd, notebook, thickbook, roundbox,
// curved, text, model=FILE.3ds), types the output size into the width and
// height edits, drags the camera on the preview by (DX, DY) pixels and turns
// the wheel N notches there (positive: away). Then it draws one idle frame,
// prints the output and preview size, what the width and height boxes show
// and the camera track bars, and saves a picture of the window.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QSlider>
#include <QTabWidget>
#include <QWheelEvent>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/window/main_window.h"
#include "app/window/preview_panel.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/window/tagged_action.h"
#include "platform/message_box.h"
#include "scene/pages/kind_controls.h"

namespace {

struct AddRequest {
    int kind;
    std::string model;
};

// "box,cd,model=teapot.3ds" -> kinds; false on an unknown name.
bool ParseKinds(const std::string& list, std::vector<AddRequest>& out)
{
    static const std::pair<const char*, int> names[] = {
        {"box", pc::kKindBox},           {"book", pc::kKindBook},          {"cd", pc::kKindCD},
        {"notebook", pc::kKindNoteBook}, {"thickbook", pc::kKindThickBook}, {"roundbox", pc::kKindRoundBox},
        {"curved", pc::kKindCurved},     {"text", pc::kKindText}};
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        std::string item = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? list.size() + 1 : comma + 1;
        if (item.rfind("model=", 0) == 0 && item.size() > 6) {
            out.push_back({pc::kKindModel, item.substr(6)});
            continue;
        }
        bool known = false;
        for (auto [name, kind] : names)
            if (item == name) {
                out.push_back({kind, ""});
                known = true;
            }
        if (!known) {
            std::fprintf(stderr, "unknown kind: %s\n", item.c_str());
            return false;
        }
    }
    return true;
}

// "600x400" or "-30,12": two integers around the separator.
std::optional<std::pair<int, int>> ParsePair(const std::string& text, char separator)
{
    size_t at = text.find(separator, 1);
    if (at == std::string::npos)
        return std::nullopt;
    char* end = nullptr;
    long a = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + at)
        return std::nullopt;
    long b = std::strtol(text.c_str() + at + 1, &end, 10);
    if (*end != '\0' || end == text.c_str() + at + 1)
        return std::nullopt;
    if (a < -100000 || a > 100000 || b < -100000 || b > 100000)
        return std::nullopt;
    return std::pair{int(a), int(b)};
}

// Replaces the edit's text by typing, key by key.
void TypeInto(QLineEdit* edit, int value)
{
    edit->setFocus();
    edit->selectAll();
    for (char c : std::to_string(value)) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (c - '0'), Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_0 + (c - '0'), Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(edit, &release);
    }
}

void SendMouse(QWidget* panel, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), QPointF(panel->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(panel, &e);
}

void Drag(QWidget* panel, int dx, int dy)
{
    const QPoint from(panel->width() / 2, panel->height() / 2);
    const QPoint to = from + QPoint(dx, dy);
    SendMouse(panel, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void Wheel(QWidget* panel, int notches)
{
    const QPointF at(panel->width() / 2.0, panel->height() / 2.0);
    for (int i = 0; i < std::abs(notches); ++i) {
        QWheelEvent e(at, QPointF(panel->mapToGlobal(at.toPoint())), QPoint(), QPoint(0, notches > 0 ? 120 : -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(panel, &e);
    }
}

void PrintMessages(const pc::ScriptedMessageBoxes& boxes)
{
    for (const auto& shown : boxes.Shown())
        std::fprintf(stderr, "%s\n", shown.text.c_str());
}

int Window(int argc, char** argv)
{
    std::string out, project;
    std::vector<AddRequest> adds;
    std::optional<std::pair<int, int>> size, drag;
    int wheel = 0;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--grab") == 0 && hasValue) {
            out = argv[++i];
        } else if (std::strcmp(argv[i], "--project") == 0 && hasValue) {
            project = argv[++i];
        } else if (std::strcmp(argv[i], "--add") == 0 && hasValue) {
            if (!ParseKinds(argv[++i], adds))
                return 1;
        } else if (std::strcmp(argv[i], "--size") == 0 && hasValue) {
            size = ParsePair(argv[++i], 'x');
            if (!size || size->first < 1 || size->second < 1) {
                std::fprintf(stderr, "--size takes WxH, e.g. 600x400\n");
                return 1;
            }
        } else if (std::strcmp(argv[i], "--drag") == 0 && hasValue) {
            drag = ParsePair(argv[++i], ',');
            if (!drag) {
                std::fprintf(stderr, "--drag takes DX,DY in pixels, e.g. 40,-10\n");
                return 1;
            }
        } else if (std::strcmp(argv[i], "--wheel") == 0 && hasValue) {
            auto n = ParsePair(std::string(argv[++i]) + ",0", ',');
            if (!n || std::abs(n->first) > 1000) {
                std::fprintf(stderr, "--wheel takes a number of notches\n");
                return 1;
            }
            wheel = n->first;
        } else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: window [--project FILE] [--add KINDS] [--size WxH] [--drag DX,DY] [--wheel N] "
                             "--grab OUT.png\n");
        return 1;
    }
    pc::probe::ProbeSession session(argv, true);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    QApplication::processEvents();
    if (!project.empty()) {
        window.OpenDialog1FileName = project;
        try {
            pc::TagScope mode(window.ALoadTemplate->Tag, 1);
            window.ALoadTemplateExecute();
        } catch (const std::exception& e) {
            PrintMessages(boxes);
            std::fprintf(stderr, "Cannot load %s: %s\n", project.c_str(), e.what());
            return 1;
        }
    }
    for (const AddRequest& add : adds)
        if (window.AddObject(add.kind, add.model) < 0) {
            PrintMessages(boxes);
            std::fprintf(stderr, "Cannot add %s\n", pc::KindActionCaption(add.kind).c_str());
            return 1;
        }
    QApplication::processEvents();
    if (size) {
        window.PC->setCurrentWidget(window.TSExport);
        TypeInto(window.EditW, size->first);
        TypeInto(window.EditH, size->second);
        window.EditH->clearFocus(); // leaving the box, as the user does
        QApplication::processEvents();
    }
    if (drag || wheel != 0) {
        // The camera page, where the moved track bars show.
        window.PC->setCurrentWidget(window.TSCamera);
        QApplication::processEvents();
        if (drag)
            Drag(window.Panel1, drag->first, drag->second);
        Wheel(window.Panel1, wheel);
    }
    QApplication::processEvents();
    window.AppIdle();
    QApplication::processEvents();
    PrintMessages(boxes);
    std::printf("output %d x %d, preview %d x %d\n", window.TBWidth->value(), window.TBHeight->value(),
                window.Panel1->width(), window.Panel1->height());
    std::printf("width box %s, height box %s\n", window.EditW->text().toUtf8().constData(),
                window.EditH->text().toUtf8().constData());
    std::printf("camera x %d y %d z %d, look at y %d\n", window.TBCameraX->value(), window.TBCameraY->value(),
                window.TBCameraZ->value(), window.TBCameraLookAtY->value());
    if (!window.grab().save(QString::fromStdString(out), "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("window",
                              "[--project FILE] [--add box,book,cd,notebook,thickbook,roundbox,curved,text,model=FILE.3ds] "
                              "[--size WxH] [--drag DX,DY] [--wheel N] --grab OUT.png",
                              Window);

} // namespace
