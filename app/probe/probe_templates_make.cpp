// make-templates DIR [NAME...]: builds the shipped templates through the
// program's own commands (Add, the picture and colour commands of the faces,
// the floor and background boxes, the track bars) and saves each with "Save
// as template", so every template has its preview. The cover pictures and
// the 3DS model are drawn and written here. data/templates/ is made with it.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "app/probe/probe_templates_art.h"
#include "app/probe/probe_templates_covers.h"
#include "app/publish/bmp32_adjust.h"
#include "app/window/picture_box.h"
#include "app/window/project_commands.h"
#include "app/window/publish_command.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/paths.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"
#include "scene/pages/trackbar_values.h"

namespace fs = std::filesystem;
using namespace pc;
using namespace pc::probe;

namespace {

const TColor kPlainFace = RGB(200, 200, 200);

// One scene in the making: the window, and where its pictures are drawn.
class Studio {
public:
    Studio(TFormMainQV7K& w, std::string artFolder) : w(w), art_(std::move(artFolder)) {}

    TFormMainQV7K& w;

    // An empty scene with the camera, light and output the templates share.
    void Reset(TColor background, TColor floor)
    {
        while (w.Objects.Count() > 0) {
            w.PC2->setCurrentIndex(0);
            w.ObjectCmds->DeleteObject(true);
        }
        w.BTransparent->setChecked(false);
        w.TBCameraX->setValue(-140);
        w.TBCameraY->setValue(60);
        w.TBCameraZ->setValue(330);
        w.TBCameraLookAtX->setValue(0);
        w.TBCameraLookAtY->setValue(5);
        w.TBCameraLookAtZ->setValue(0);
        w.TBCameraLookAtA->setValue(37);
        w.TBLightX->setValue(-250);
        w.TBLightY->setValue(450);
        w.TBLightZ->setValue(350);
        w.AmbientStrength->setValue(60);
        w.CBShadowVisible->setChecked(true);
        w.TBShadowStrength->setValue(40);
        w.TBFloor_alpha->setValue(30);
        w.TBWidth->setValue(640);
        w.TBHeight->setValue(480);
        Colour(*w.ImageBackground, background);
        Colour(*w.ImageFloor, floor);
    }

    // The floor or background box takes a picture / a colour, as from its popup.
    void Picture(PictureBox& box, const std::string& file)
    {
        w.CurrentFace = nullptr;
        w.CurrentBox = &box;
        w.ChoosePictureFile = [file] { return QString::fromStdString(file); };
        w.Picture1Click();
    }
    void Colour(PictureBox& box, TColor c)
    {
        w.CurrentFace = nullptr;
        w.CurrentBox = &box;
        w.ChooseColor = [c](TColor) { return std::optional<TColor>(c); };
        w.Color1Click();
    }
    void Picture(GLTSObject& page, int face, const std::string& file)
    {
        w.CurrentBox = nullptr;
        w.CurrentFace = page.Faces[size_t(face)];
        w.ChoosePictureFile = [file] { return QString::fromStdString(file); };
        w.Picture1Click();
    }
    void Colour(GLTSObject& page, int face, TColor c)
    {
        w.CurrentBox = nullptr;
        w.CurrentFace = page.Faces[size_t(face)];
        w.ChooseColor = [c](TColor) { return std::optional<TColor>(c); };
        w.Color1Click();
    }

    GLTSObject& Add(int kind, const std::string& model = "")
    {
        const int slot = w.AddObject(kind, model);
        if (slot < 0)
            throw Error("Cannot add " + KindActionCaption(kind));
        GLTSObject& page = *w.Objects.At(slot);
        // New faces take random colours; the templates must come out the same
        // every time they are made. A model's one swatch is its material.
        for (int face = 0; face < 6; ++face) {
            if (page.Faces[size_t(face)]->Tag != 0)
                continue;
            if (kind != kKindModel)
                Colour(page, face, kPlainFace);
            else if (face > 0)
                page.Faces[size_t(face)]->BrushColor = kPlainFace;
        }
        return page;
    }

    // Saves a drawn picture for the face commands to load.
    std::string Save(const std::string& name, const Bitmap& picture)
    {
        const std::string path = art_ + name + ".bmp";
        SaveBmpFile(path, picture);
        return path;
    }

private:
    std::string art_;
};

TFormMainQV7K& w(Studio& s)
{
    return s.w;
}

void Set(GLTSObject& page, int row, int column, int value)
{
    page.SetPosition(row, column, value);
}

void Place(GLTSObject& page, int x, int z, int turn)
{
    Set(page, kRowPosition, kColX, x);
    Set(page, kRowPosition, kColZ, z);
    Set(page, kRowRotation, kColY, turn);
}

void SoftwareBox(Studio& s)
{
    s.Reset(RGB(235, 238, 250), RGB(225, 228, 240));
    GLTSObject& box = s.Add(kKindBox);
    Set(box, kRowSize, kColX, 150);
    Set(box, kRowSize, kColY, 200);
    Set(box, kRowSize, kColZ, 60);
    Place(box, 180, 180, 218);
    s.Picture(box, 0, s.Save("software-front", SoftwareFront()));
    s.Picture(box, 1, s.Save("software-back", VerticalGradient(32, 32, RGB(40, 40, 110), RGB(92, 24, 120))));
    const std::string spine = s.Save("software-spine", SoftwareSpine());
    s.Picture(box, 4, spine);
    s.Picture(box, 5, spine);
    s.Picture(box, 2, s.Save("software-top", SoftwareTop()));
    s.Colour(box, 3, RGB(28, 36, 96));
}

void Book(Studio& s)
{
    s.Reset(RGB(250, 244, 232), RGB(240, 232, 215));
    GLTSObject& book = s.Add(kKindBook);
    Set(book, kRowSize, kColX, 140);
    Set(book, kRowSize, kColY, 200);
    Set(book, kRowSize, kColZ, 30);
    Place(book, 180, 180, 160);
    s.Picture(book, 0, s.Save("book-front", BookFront()));
    s.Colour(book, 1, RGB(240, 150, 80));
    s.Picture(book, 5, s.Save("book-spine", BookSpine()));
    const std::string pages = s.Save("book-pages", Pages(48, 48));
    for (int face : {2, 3, 4})
        s.Picture(book, face, pages);
}

void CdInACase(Studio& s)
{
    s.Reset(RGB(40, 36, 70), RGB(70, 60, 90));
    GLTSObject& jewel = s.Add(kKindBox);
    Set(jewel, kRowSize, kColX, 180);
    Set(jewel, kRowSize, kColY, 180);
    Set(jewel, kRowSize, kColZ, 12);
    Place(jewel, 150, 170, 195);
    s.Picture(jewel, 0, s.Save("cd-cover", CaseCover()));
    s.Colour(jewel, 1, RGB(30, 24, 60));
    for (int face : {2, 3, 4, 5})
        s.Colour(jewel, face, RGB(20, 20, 24));
    GLTSObject& disc = s.Add(kKindCD);
    Set(disc, kRowSize, kColX, 180);
    Place(disc, 250, 215, 165);
    s.Picture(disc, 0, s.Save("cd-label", DiscLabel()));
    // Closer: the case is thin and the disc small.
    w(s).TBCameraX->setValue(-110);
    w(s).TBCameraZ->setValue(300);
    w(s).TBCameraLookAtX->setValue(20);
}

void NoteBook(Studio& s)
{
    s.Reset(RGB(244, 240, 232), RGB(236, 232, 224));
    GLTSObject& note = s.Add(kKindNoteBook);
    Set(note, kRowSize, kColX, 140);
    Set(note, kRowSize, kColY, 190);
    Place(note, 180, 180, 160);
    s.Picture(note, 0, s.Save("note-cover", NoteCover()));
    s.Colour(note, 1, RGB(180, 140, 95));
}

void ThickBook(Studio& s)
{
    s.Reset(RGB(246, 240, 230), RGB(230, 222, 210));
    GLTSObject& atlas = s.Add(kKindThickBook);
    Set(atlas, kRowSize, kColX, 140);
    Set(atlas, kRowSize, kColY, 190);
    Set(atlas, kRowSize, kColZ, 60);
    Place(atlas, 180, 180, 160);
    s.Picture(atlas, 0, s.Save("atlas-cover", AtlasCover()));
    s.Colour(atlas, 1, RGB(90, 16, 24));
    s.Picture(atlas, 5, s.Save("atlas-spine", AtlasSpine()));
    const std::string pages = s.Save("atlas-pages", Pages(48, 48));
    for (int face : {2, 3, 4})
        s.Picture(atlas, face, pages);
}

void RoundCornerBox(Studio& s)
{
    s.Reset(RGB(236, 248, 246), RGB(225, 240, 236));
    GLTSObject& tin = s.Add(kKindRoundBox);
    Set(tin, kRowSize, kColX, 160);
    Set(tin, kRowSize, kColY, 160);
    Set(tin, kRowSize, kColZ, 70);
    Place(tin, 180, 180, 205);
    s.Picture(tin, 0, s.Save("tin-front", TinCover()));
    const std::string side = s.Save("tin-side", TinSide());
    for (int face : {1, 2, 4, 5})
        s.Picture(tin, face, side);
    s.Colour(tin, 3, RGB(20, 100, 110));
}

void TextTitle(Studio& s)
{
    s.Reset(RGB(30, 34, 56), RGB(44, 48, 72));
    GLTSObject& title = s.Add(kKindText);
    title.TextMemo->setPlainText("Prismcase");
    QFont font = title.TextMemo->font();
    font.setFamily("Liberation Serif");
    title.TextMemo->setFont(font);
    s.Colour(title, 0, RGB(240, 180, 60));
    Set(title, kRowSize, kColD, 70);
    Place(title, 110, 180, 180);
}

void ModelScene(Studio& s, const std::string& modelFile)
{
    s.Reset(RGB(230, 240, 252), RGB(215, 225, 240));
    GLTSObject& crystal = s.Add(kKindModel, modelFile);
    Set(crystal, kRowSize, kColD, 130);
    Place(crystal, 180, 180, 200);
}

struct Recipe {
    const char* name;
    std::function<void(Studio&)> build;
};

int MakeTemplates(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-templates DIR [NAME...]\n");
        return 1;
    }
    const std::string folder = fs::absolute(argv[1]).string() + "/";
    fs::create_directories(folder);
    pc::probe::ProbeSession session(argv, false);
    TFormMainQV7K& w = session.Window();
    ProjectCommands& projects = *ProjectCommandsOf(w);
    projects.SaveDate = [] { return std::string("2026-12-07 00:00:00"); };
    w.Publisher->RunAdjustDialog = [](TBmp32Adj&) {};
    const std::string art = WorkFolder() + "template-art/";
    fs::create_directories(art);
    Studio studio(w, art);
    const std::string model = art + "crystal.3ds";
    WriteFileAtomic(model, CrystalModel3ds());

    const Recipe recipes[] = {
        {"Software Box", SoftwareBox},
        {"Book", Book},
        {"CD in a Case", CdInACase},
        {"Note Book", NoteBook},
        {"Thick Book", ThickBook},
        {"Round Corner Box", RoundCornerBox},
        {"3D Text Title", TextTitle},
        {"3DS Model", [&model](Studio& s) { ModelScene(s, model); }},
    };
    int failures = 0;
    for (const Recipe& r : recipes) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i)
            wanted = wanted || r.name == std::string(argv[i]);
        if (!wanted)
            continue;
        const size_t shownBefore = session.Boxes().Shown().size();
        r.build(studio);
        projects.ChooseSaveFile = [&] { return std::optional<std::string>(folder + r.name); };
        projects.SaveAsTemplateExecute();
        const bool saved = w.SaveAsTemplate->Tag == 0 && FileExists(folder + r.name + ".png");
        std::printf("%s: %s\n", r.name, saved ? "saved with its preview" : "FAILED");
        failures += saved ? 0 : 1;
        const auto& shown = session.Boxes().Shown();
        for (size_t i = shownBefore; i < shown.size(); ++i)
            std::fprintf(stderr, "%s: %s\n", r.name, shown[i].text.c_str());
    }
    return failures == 0 ? 0 : 1;
}

pc::probe::ProbeRegistrar reg("make-templates", "DIR [NAME...]", MakeTemplates);

} // namespace
