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
using pc::probe::TitleStyle;

namespace {

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
        return *w.Objects.At(slot);
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

// --- the covers --------------------------------------------------------------

Bitmap SoftwareFront()
{
    Bitmap b = probe::VerticalGradient(192, 256, RGB(28, 36, 96), RGB(92, 24, 120));
    Canvas c(b);
    probe::FilledEllipse(c, {-60, 120, 140, 320}, RGB(60, 70, 170));
    probe::FilledEllipse(c, {90, 150, 260, 320}, RGB(120, 50, 160));
    // A prism splitting a beam into colours.
    probe::FilledPolygon(c, {{96, 70}, {56, 140}, {136, 140}}, RGB(235, 240, 255));
    const TColor rays[] = {RGB(230, 60, 60), RGB(250, 160, 40), RGB(250, 230, 60), RGB(70, 200, 90),
                           RGB(60, 140, 240), RGB(150, 80, 220)};
    for (int i = 0; i < 6; ++i)
        probe::FilledPolygon(c, {{118, 106 + i * 2}, {192, 96 + i * 9}, {192, 104 + i * 9}, {118, 108 + i * 2}}, rays[i]);
    probe::FilledPolygon(c, {{0, 110}, {76, 104}, {76, 108}, {0, 116}}, RGB(255, 255, 255));
    probe::CentredTitle(c, 96, 160, "PRISM", {"Liberation Sans", 34, 700, clWhite});
    probe::CentredTitle(c, 96, 198, "STUDIO 7", {"Liberation Sans", 18, 700, RGB(250, 210, 90)});
    probe::CentredTitle(c, 96, 228, "Box shots made easy", {"Liberation Sans", 11, 400, RGB(220, 220, 255)});
    probe::CentredTitle(c, 96, 14, "DELUXE EDITION", {"Liberation Sans", 10, 700, RGB(250, 210, 90)});
    return b;
}

Bitmap SoftwareSpine()
{
    Bitmap b = probe::VerticalGradient(48, 256, RGB(28, 36, 96), RGB(92, 24, 120));
    probe::SpineTitle(b, "PRISM STUDIO 7", {"Liberation Sans", 16, 700, clWhite});
    return b;
}

Bitmap SoftwareTop()
{
    Bitmap b = probe::VerticalGradient(192, 48, RGB(40, 40, 110), RGB(28, 36, 96));
    Canvas c(b);
    probe::CentredTitle(c, 96, 15, "PRISM STUDIO 7", {"Liberation Sans", 15, 700, RGB(250, 210, 90)});
    return b;
}

Bitmap BookFront()
{
    Bitmap b = probe::VerticalGradient(176, 256, RGB(252, 236, 200), RGB(240, 150, 80));
    Canvas c(b);
    probe::FilledEllipse(c, {108, 28, 160, 80}, RGB(255, 248, 220));
    // An orchard: round trees on a hill.
    probe::FilledEllipse(c, {-40, 170, 220, 330}, RGB(110, 140, 60));
    for (auto [x, y, r] : {std::tuple{40, 150, 26}, std::tuple{88, 138, 32}, std::tuple{136, 152, 24}}) {
        c.pen = Pen{RGB(90, 60, 30), 1, PenStyle::Clear};
        c.brush = Brush{RGB(90, 60, 30)};
        c.Rectangle(x - 3, y, x + 4, y + r + 18);
        probe::FilledEllipse(c, {x - r, y - r, x + r, y + r}, RGB(60, 110, 50));
        probe::FilledEllipse(c, {x - r / 3, y - r / 2, x - r / 3 + 6, y - r / 2 + 6}, RGB(220, 60, 40));
        probe::FilledEllipse(c, {x + r / 3, y - r / 6, x + r / 3 + 6, y - r / 6 + 6}, RGB(220, 60, 40));
    }
    probe::CentredTitle(c, 88, 84, "The Quiet", {"Liberation Serif", 24, 700, RGB(80, 40, 20), true});
    probe::CentredTitle(c, 88, 110, "Orchard", {"Liberation Serif", 30, 700, RGB(80, 40, 20), true});
    probe::CentredTitle(c, 88, 228, "A NOVEL", {"Liberation Serif", 12, 700, RGB(255, 245, 225)});
    return b;
}

Bitmap BookSpine()
{
    Bitmap b = probe::VerticalGradient(32, 256, RGB(70, 100, 50), RGB(50, 80, 40));
    probe::SpineTitle(b, "The Quiet Orchard", {"Liberation Serif", 14, 700, RGB(255, 240, 210), true});
    return b;
}

Bitmap Pages(int width, int height)
{
    Bitmap b(width, height);
    b.Fill(RGB(250, 247, 238));
    Canvas c(b);
    c.pen = Pen{RGB(220, 214, 200)};
    for (int x = 1; x < width; x += 3) {
        c.MoveTo(x, 0);
        c.LineTo(x, height);
    }
    return b;
}

Bitmap DiscLabel()
{
    Bitmap b = probe::RadialGradient(192, 192, RGB(250, 120, 60), RGB(40, 20, 90));
    Canvas c(b);
    for (int r = 90; r > 45; r -= 9) {
        c.pen = Pen{probe::Mix(RGB(255, 200, 120), RGB(120, 60, 200), (90 - r) / 45.0), 2};
        c.brush.style = BrushStyle::Clear;
        c.Ellipse(96 - r, 96 - r, 96 + r, 96 + r);
    }
    probe::CentredTitle(c, 96, 30, "NIGHT DRIVE", {"Liberation Sans", 18, 700, clWhite});
    probe::CentredTitle(c, 96, 146, "twelve songs for the road", {"Liberation Sans", 9, 400, RGB(255, 230, 200)});
    return b;
}

Bitmap CaseCover()
{
    Bitmap b = probe::VerticalGradient(224, 224, RGB(20, 16, 60), RGB(230, 100, 60));
    Canvas c(b);
    probe::FilledEllipse(c, {62, 92, 162, 192}, RGB(255, 190, 90));
    c.pen = Pen{RGB(20, 16, 60), 1, PenStyle::Clear};
    c.brush = Brush{RGB(20, 16, 60)};
    for (int i = 0; i < 5; ++i)
        c.Rectangle(50, 150 + i * 9, 174, 154 + i * 9);
    // A road running to the horizon.
    probe::FilledPolygon(c, {{104, 192}, {120, 192}, {190, 224}, {34, 224}}, RGB(40, 30, 50));
    probe::FilledPolygon(c, {{111, 194}, {113, 194}, {116, 224}, {108, 224}}, RGB(250, 220, 120));
    probe::CentredTitle(c, 112, 22, "NIGHT DRIVE", {"Liberation Sans", 28, 700, clWhite});
    probe::CentredTitle(c, 112, 58, "THE LONG HOURS", {"Liberation Sans", 12, 700, RGB(255, 200, 150)});
    return b;
}

Bitmap NoteCover()
{
    Bitmap b = probe::VerticalGradient(176, 240, RGB(200, 160, 110), RGB(180, 140, 95));
    Canvas c(b);
    c.pen = Pen{RGB(170, 130, 85)};
    for (int y = 6; y < 240; y += 12)
        for (int x = 6; x < 176; x += 12)
            c.SetPixel(x, y, RGB(160, 120, 80));
    c.pen = Pen{RGB(90, 60, 40), 2};
    c.brush = Brush{RGB(250, 246, 232)};
    c.RoundRect(28, 70, 148, 140, 14, 14);
    probe::CentredTitle(c, 88, 80, "NOTES", {"Liberation Sans", 24, 700, RGB(60, 40, 30)});
    probe::CentredTitle(c, 88, 112, "ideas · sketches · lists", {"Liberation Sans", 10, 400, RGB(90, 70, 50)});
    return b;
}

Bitmap AtlasCover()
{
    Bitmap b = probe::VerticalGradient(176, 240, RGB(120, 24, 30), RGB(70, 12, 20));
    Canvas c(b);
    const TColor gold = RGB(230, 190, 90);
    c.pen = Pen{gold, 2};
    c.brush.style = BrushStyle::Clear;
    c.Rectangle(10, 10, 166, 230);
    c.pen = Pen{gold, 1};
    c.Rectangle(16, 16, 160, 224);
    // A globe: a circle with meridians and parallels.
    c.pen = Pen{gold, 2};
    c.Ellipse(48, 100, 128, 180);
    c.pen = Pen{gold, 1};
    c.Ellipse(70, 100, 106, 180);
    c.MoveTo(48, 140);
    c.LineTo(128, 140);
    c.MoveTo(88, 100);
    c.LineTo(88, 180);
    c.Ellipse(52, 118, 124, 162);
    probe::CentredTitle(c, 88, 30, "ATLAS", {"Liberation Serif", 30, 700, gold});
    probe::CentredTitle(c, 88, 66, "of Light", {"Liberation Serif", 18, 400, gold, true});
    probe::CentredTitle(c, 88, 196, "VOLUME I", {"Liberation Serif", 12, 700, gold});
    return b;
}

Bitmap AtlasSpine()
{
    Bitmap b = probe::VerticalGradient(48, 240, RGB(110, 20, 28), RGB(70, 12, 20));
    Canvas c(b);
    c.pen = Pen{RGB(230, 190, 90), 2};
    for (int y : {20, 26, 214, 220}) {
        c.MoveTo(4, y);
        c.LineTo(44, y);
    }
    probe::SpineTitle(b, "ATLAS of Light", {"Liberation Serif", 16, 700, RGB(230, 190, 90)});
    return b;
}

Bitmap TinCover()
{
    Bitmap b = probe::VerticalGradient(192, 192, RGB(40, 150, 150), RGB(20, 100, 110));
    Canvas c(b);
    for (int y = 12; y < 192; y += 28)
        for (int x = (y / 28) % 2 ? 26 : 12; x < 192; x += 28)
            probe::FilledEllipse(c, {x - 5, y - 5, x + 5, y + 5}, RGB(120, 210, 200));
    c.pen = Pen{RGB(250, 240, 220), 3};
    c.brush = Brush{RGB(250, 240, 220)};
    c.RoundRect(24, 62, 168, 132, 30, 30);
    probe::CentredTitle(c, 96, 70, "Tea Time", {"Liberation Serif", 30, 700, RGB(20, 100, 110), true});
    probe::CentredTitle(c, 96, 108, "ASSAM · DARJEELING · MINT", {"Liberation Sans", 8, 700, RGB(180, 90, 60)});
    return b;
}

Bitmap TinSide()
{
    Bitmap b = probe::VerticalGradient(64, 64, RGB(40, 150, 150), RGB(20, 100, 110));
    Canvas c(b);
    for (int x = 8; x < 64; x += 16)
        probe::FilledEllipse(c, {x - 4, 28, x + 4, 36}, RGB(120, 210, 200));
    return b;
}

// --- the templates ---------------------------------------------------------

void SoftwareBox(Studio& s)
{
    s.Reset(RGB(235, 238, 250), RGB(225, 228, 240));
    GLTSObject& box = s.Add(kKindBox);
    Set(box, kRowSize, kColX, 150);
    Set(box, kRowSize, kColY, 200);
    Set(box, kRowSize, kColZ, 60);
    Place(box, 180, 180, 218);
    s.Picture(box, 0, s.Save("software-front", SoftwareFront()));
    s.Picture(box, 1, s.Save("software-back", probe::VerticalGradient(32, 32, RGB(40, 40, 110), RGB(92, 24, 120))));
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
    probe::ProbeSession session(argv, false);
    TFormMainQV7K& w = session.Window();
    ProjectCommands& projects = *ProjectCommandsOf(w);
    projects.SaveDate = [] { return std::string("2026-12-07 00:00:00"); };
    w.Publisher->RunAdjustDialog = [](TBmp32Adj&) {};
    const std::string art = WorkFolder() + "template-art/";
    fs::create_directories(art);
    Studio studio(w, art);
    const std::string model = art + "crystal.3ds";
    WriteFileAtomic(model, probe::CrystalModel3ds());

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
