// project-sample default|clear OUT: builds the scene a new user starts with
// (a box dressed in cover colours beside a CD) or the empty scene, through
// the same commands as the window, and saves it. data/Default.qv7kb and
// data/Clear.qv7kb are made with it.
#include <QApplication>
#include <QCheckBox>
#include <QSlider>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/project_commands.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/window/tagged_action.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"

namespace {

void Dress(pc::TFormMainQV7K& w, int slot, std::initializer_list<pc::TColor> colours)
{
    pc::GLTSObject& page = *w.Objects.At(slot);
    int face = 0;
    for (pc::TColor c : colours)
        pc::SetFaceColor(*page.Faces[size_t(face++)], c, pc::clWhite, *w.Textures);
}

void Place(pc::TFormMainQV7K& w, int slot, int x, int z, int turn)
{
    pc::GLTSObject& page = *w.Objects.At(slot);
    page.SetPosition(pc::kRowPosition, pc::kColX, x);
    page.SetPosition(pc::kRowPosition, pc::kColZ, z);
    page.SetPosition(pc::kRowRotation, pc::kColY, turn);
    page.SaveDefaults();
}

void BuildDefault(pc::TFormMainQV7K& w)
{
    int box = w.AddObject(pc::kKindBox);
    // Front, back, left, right, top, bottom: a deep blue cover with a light spine.
    Dress(w, box, {pc::RGB(32, 64, 160), pc::RGB(24, 40, 96), pc::RGB(240, 200, 40), pc::RGB(240, 200, 40),
                   pc::RGB(230, 230, 230), pc::RGB(200, 200, 200)});
    Place(w, box, 150, 170, 200);
    int cd = w.AddObject(pc::kKindCD);
    Dress(w, cd, {pc::RGB(200, 40, 40)});
    Place(w, cd, 250, 220, 160);
    w.TBCameraX->setValue(240);
    w.TBCameraY->setValue(110);
    w.TBCameraZ->setValue(260);
    w.TBLightX->setValue(200);
    w.TBLightY->setValue(400);
    w.TBLightZ->setValue(300);
    w.CBShadowVisible->setChecked(true);
    w.ImageFloor->BrushColor = pc::RGB(245, 245, 250);
    w.ImageBackground->BrushColor = pc::RGB(245, 245, 250);
}

int Sample(int argc, char** argv)
{
    if (argc != 3 || (std::string(argv[1]) != "default" && std::string(argv[1]) != "clear")) {
        std::fprintf(stderr, "usage: project-sample default|clear OUT\n");
        return 1;
    }
    pc::probe::ProbeSession session(argv, false);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    try {
        if (std::string(argv[1]) == "default")
            BuildDefault(window);
        pc::ProjectCommands& projects = *pc::ProjectCommandsOf(window);
        pc::TagScope silent(projects.SaveDialog2Tag, 1);
        projects.SaveDialog2FileName = argv[2];
        projects.SaveDate = [] { return std::string("2026-12-07 00:00:00"); };
        projects.ASaveTemplateExecute();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    for (const auto& shown : boxes.Shown())
        std::fprintf(stderr, "%s\n", shown.text.c_str());
    return 0;
}

pc::probe::ProbeRegistrar reg("project-sample", "default|clear OUT", Sample);

} // namespace
