// window [--add KINDS] --grab OUT.png: builds the main window on the
// offscreen platform, adds one object per listed kind through the same code
// as the "Add" commands (box, book, cd, notebook, thickbook, roundbox, curved,
// text, model=FILE.3ds), draws one idle frame and saves a picture of the
// window.
#include <QApplication>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/window/main_window.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
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

int Window(int argc, char** argv)
{
    std::string out;
    std::vector<AddRequest> adds;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            out = argv[++i];
        else if (std::strcmp(argv[i], "--add") == 0 && i + 1 < argc) {
            if (!ParseKinds(argv[++i], adds))
                return 1;
        } else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: window [--add KINDS] --grab OUT.png\n");
        return 1;
    }
    pc::probe::ProbeSession session(argv, true);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    QApplication::processEvents();
    for (const AddRequest& add : adds)
        if (window.AddObject(add.kind, add.model) < 0) {
            for (const auto& shown : boxes.Shown())
                std::fprintf(stderr, "%s\n", shown.text.c_str());
            std::fprintf(stderr, "Cannot add %s\n", pc::KindActionCaption(add.kind).c_str());
            return 1;
        }
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

pc::probe::ProbeRegistrar reg("window", "[--add box,book,cd,notebook,thickbook,roundbox,curved,text,model=FILE.3ds] --grab OUT.png", Window);

} // namespace
