// project-resave IN OUT [--date TEXT]: loads IN into the main window on the
// offscreen platform through the project loader and saves the scene to OUT
// through the writer, with a fixed date so that two runs compare equal.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/window/tagged_action.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/message_box.h"

namespace {

int Resave(int argc, char** argv)
{
    std::string in, out, date = "2000-01-01 00:00:00";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--date") == 0 && i + 1 < argc)
            date = argv[++i];
        else if (in.empty())
            in = argv[i];
        else if (out.empty())
            out = argv[i];
        else {
            std::fprintf(stderr, "unknown option: %s\n", argv[i]);
            return 1;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: project-resave IN OUT [--date TEXT]\n");
        return 1;
    }
    pc::probe::ProbeSession session(argv, false);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    pc::ProjectCommands& projects = *pc::ProjectCommandsOf(window);
    try {
        if (!pc::FileExists(in))
            throw pc::FileError("Can not load file:\n" + in + "\nThe file does not exist.");
        window.OpenDialog1FileName = in;
        {
            pc::TagScope mode(window.ALoadTemplate->Tag, pc::kLoadPreset);
            window.ALoadTemplateExecute();
        }
        for (const auto& shown : boxes.Shown())
            std::fprintf(stderr, "%s\n", shown.text.c_str());
        pc::TagScope silent(projects.SaveDialog2Tag, 1);
        projects.SaveDialog2FileName = out;
        projects.SaveDate = [date] { return date; };
        projects.ASaveTemplateExecute();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("%s: %d objects\n", projects.SaveDialog2FileName.c_str(), window.Objects.Count());
    return 0;
}

pc::probe::ProbeRegistrar reg("project-resave", "IN OUT [--date TEXT]", Resave);

} // namespace
