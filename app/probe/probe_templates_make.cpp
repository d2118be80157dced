// make-templates DIR [NAME...]: builds the shipped templates through the
// program's own commands (Add, the picture and colour commands of the faces,
// the floor and background boxes, the track bars) and saves each with "Save
// as template", so every template has its preview. The scenes are the table
// below; their cover pictures and 3DS models are drawn and written here.
// The build runs it to make templates/ beside the program.
#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QSlider>
#include <QTabWidget>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

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
#include "scene/pages/object_params.h"
#include "scene/pages/trackbar_values.h"
#include "scene/geometry/object_extent.h"

namespace fs = std::filesystem;
using namespace pc;
using namespace pc::probe;

namespace {

enum FaceIndex { kFront = 0, kBack = 1, kTop = 2, kBottom = 3, kRight = 4, kLeft = 5 };

// A face dressed with drawn art, or with a solid colour when art is null.
struct Dress {
    int face;
    CoverArt art;
    TColor colour = 0;
};

// One product: its kind, Size X, Y, Z, D (-1 keeps the kind's default),
// Position X and Z, Rotation X, Y, Z; Position Y puts it on the floor.
struct Item {
    int kind;
    std::array<int, 4> size;
    int x, z;
    std::array<int, 3> turn;
    std::vector<Dress> faces;
    const char* text = nullptr; // kind 8
    const char* font = nullptr;
    const char* model = nullptr; // kind 7: one of the models written beside the art
};

// Track-bar positions: hundredths of a scene unit, the floor at y = -60;
// the angle of view in degrees.
struct Camera {
    int x, y, z, lookX, lookY, lookZ, angle;
};

struct Shot {
    const char* name;
    TColor background, floor;
    Camera camera;
    int width, height; // the template's output size
    std::vector<Item> items;
    std::array<int, 3> light = {-260, 480, 380}; // above the camera's left shoulder
};

// Every camera stands on the z axis and looks along it, so the room's far
// corners stay outside the picture and the horizon runs straight behind the
// product; the products turn to show their depth instead.
const std::vector<Shot>& Shots()
{
    static const std::vector<Shot> shots = {
        {"Software Box", RGB(236, 238, 250), RGB(226, 229, 242), {0, 60, 380, 0, -8, 0, 30}, 1280, 960,
         {{kKindBox, {151, 207, 59, -1}, 180, 180, {0, 32, 0},
           {{kFront, SoftwareFront}, {kBack, SoftwareBack}, {kLeft, SoftwareSpine}, {kRight, SoftwareSpine},
            {kTop, SoftwareTop}, {kBottom, nullptr, RGB(28, 36, 96)}}}}},
        {"Book", RGB(250, 244, 232), RGB(240, 232, 216), {0, 55, 370, 0, -8, 0, 30}, 1280, 960,
         {{kKindBook, {143, 207, 31, -1}, 180, 180, {0, 30, 0},
           {{kFront, BookFront}, {kBack, nullptr, RGB(232, 132, 70)}, {kLeft, BookSpine}, {kTop, PageTops},
            {kBottom, PageTops}, {kRight, PageEdges}}}}},
        {"CD in a Case", RGB(40, 36, 70), RGB(64, 56, 92), {0, 40, 380, 0, -16, 0, 30}, 1280, 960,
         {{kKindBox, {179, 179, 15, -1}, 150, 165, {0, 24, 0},
           {{kFront, CaseCover}, {kLeft, CaseSpine}, {kBack, nullptr, RGB(30, 24, 60)}, {kTop, nullptr, RGB(20, 20, 26)},
            {kBottom, nullptr, RGB(20, 20, 26)}, {kRight, nullptr, RGB(20, 20, 26)}}},
          {kKindCD, {151, 20, -1, -1}, 204, 222, {0, 338, 0}, {{kFront, DiscLabel}, {kBack, nullptr, RGB(210, 214, 224)}}}}},
        {"Note Book", RGB(244, 240, 232), RGB(234, 229, 220), {0, 55, 360, 0, -10, 0, 30}, 1280, 960,
         {{kKindNoteBook, {143, 199, -1, -1}, 180, 180, {0, 26, 0},
           {{kFront, NoteCover}, {kBack, nullptr, RGB(182, 142, 96)}, {kTop, PageTops}, {kBottom, PageTops},
            {kRight, PageEdges}, {kLeft, nullptr, RGB(182, 142, 96)}}}}},
        {"Thick Book", RGB(246, 240, 230), RGB(232, 224, 212), {0, 55, 360, 0, -10, 0, 30}, 1280, 960,
         {{kKindThickBook, {143, 199, 63, -1}, 180, 180, {0, 30, 0},
           {{kFront, AtlasCover}, {kBack, nullptr, RGB(72, 12, 20)}, {kLeft, AtlasSpine}, {kTop, PageTops},
            {kBottom, PageTops}, {kRight, PageEdges}}}}},
        {"Round Corner Box", RGB(236, 248, 246), RGB(224, 240, 236), {0, 40, 310, 0, -20, 0, 30}, 1280, 960,
         {{kKindRoundBox, {163, 163, 71, -1}, 180, 180, {0, 326, 0},
           {{kFront, TinCover}, {kBack, nullptr, RGB(20, 100, 110)}, {kTop, TinSide}, {kRight, TinSide},
            {kLeft, nullptr, RGB(20, 100, 110)},
            {kBottom, nullptr, RGB(20, 100, 110)}}}}},
        {"3D Text Title", RGB(30, 34, 56), RGB(44, 48, 72), {0, 30, 275, 0, -46, 0, 30}, 1280, 720,
         {{kKindText, {180, 180, 720, 58}, 126, 180, {0, 12, 0}, {{kFront, nullptr, RGB(240, 180, 60)}},
           "Prismcase", "Liberation Serif"}},
         {-200, 300, 420}},
        {"3DS Model", RGB(230, 240, 252), RGB(214, 225, 240), {0, 50, 415, 0, -6, 0, 30}, 1280, 960,
         {{kKindModel, {180, 180, 180, 110}, 150, 165, {0, 20, 0}, {}, nullptr, nullptr, "crystal.3ds"},
          {kKindModel, {180, 180, 180, 54}, 202, 215, {0, 28, 0}, {}, nullptr, nullptr, "giftbox.3ds"}}},
    };
    return shots;
}

// One scene in the making: the window, and where its pictures are drawn.
class Studio {
public:
    Studio(TFormMainQV7K& w, std::string artFolder) : w(w), art_(std::move(artFolder))
    {
    }

    void Build(const Shot& shot)
    {
        Clear(shot);
        for (const Item& item : shot.items)
            Add(item);
        // Last: adding a second object pulls the camera back.
        Stage(shot);
    }

private:
    // An empty scene in the shot's colours with the markers off.
    void Clear(const Shot& shot)
    {
        while (w.Objects.Count() > 0) {
            w.PC2->setCurrentIndex(0);
            w.ObjectCmds->DeleteObject(true);
        }
        w.BTransparent->setChecked(false);
        w.DrawAxis->setChecked(false);
        w.DrawLight->setChecked(false);
        w.AmbientStrength->setValue(60);
        w.CBShadowVisible->setChecked(true);
        w.TBShadowStrength->setValue(40);
        // A clear reflection at the product's foot, fading out before the frame's edge.
        w.TBFloor_alpha->setValue(50);
        w.TBFloor_P->setValue(12);
        Colour(*w.ImageBackground, shot.background);
        Colour(*w.ImageFloor, shot.floor);
    }

    // The shot's camera, light and output size.
    void Stage(const Shot& shot)
    {
        const Camera& c = shot.camera;
        w.TBCameraX->setValue(c.x);
        w.TBCameraY->setValue(c.y);
        w.TBCameraZ->setValue(c.z);
        w.TBCameraLookAtX->setValue(c.lookX);
        w.TBCameraLookAtY->setValue(c.lookY);
        w.TBCameraLookAtZ->setValue(c.lookZ);
        w.TBCameraLookAtA->setValue(c.angle);
        w.TBLightX->setValue(shot.light[0]);
        w.TBLightY->setValue(shot.light[1]);
        w.TBLightZ->setValue(shot.light[2]);
        w.TBWidth->setValue(shot.width);
        w.TBHeight->setValue(shot.height);
    }

    void Add(const Item& item)
    {
        const int slot = w.AddObject(item.kind, item.model ? art_ + item.model : "");
        if (slot < 0)
            throw Error("Cannot add " + KindActionCaption(item.kind));
        GLTSObject& page = *w.Objects.At(slot);
        for (int column = 0; column < 4; ++column)
            if (item.size[size_t(column)] >= 0)
                page.SetPosition(kRowSize, column, item.size[size_t(column)]);
        page.SetPosition(kRowPosition, kColX, item.x);
        page.SetPosition(kRowPosition, kColZ, item.z);
        for (int axis = 0; axis < 3; ++axis)
            page.SetPosition(kRowRotation, axis, item.turn[size_t(axis)]);
        if (item.text) {
            page.TextMemo->setPlainText(item.text);
            QFont font = page.TextMemo->font();
            font.setFamily(item.font);
            page.TextMemo->setFont(font);
        }
        DressFaces(page, item);
        StandOnFloor(page);
    }

    // New faces take random colours and books default pictures; a template
    // must come out the same every time it is made, so every face is set.
    void DressFaces(GLTSObject& page, const Item& item)
    {
        if (item.kind == kKindModel) {
            for (int face = 1; face < 6; ++face)
                page.Faces[size_t(face)]->BrushColor = RGB(200, 200, 200);
            return;
        }
        const scene::FaceSizes sizes = scene::FaceSizesOf(ParamsOf(page));
        const double scale = CoverScale(sizes[kFront][0], sizes[kFront][1]);
        for (const Dress& d : item.faces) {
            if (!d.art) {
                Colour(page, d.face, d.colour);
                continue;
            }
            const double width = sizes[size_t(d.face)][0], height = sizes[size_t(d.face)][1];
            const CoverArt art = d.art;
            const std::string file = art_ + std::to_string(++pictures_) + ".bmp";
            SaveBmpFile(file, Paint(width, height, scale, [&](QPainter& p) { art(p, width, height); }));
            Picture(page, d.face, file);
        }
    }

    // Position Y such that the lowest point of the object is on the floor.
    void StandOnFloor(GLTSObject& page)
    {
        page.SetPosition(kRowPosition, kColY, scene::SceneToHeight(0));
        const double lowest = scene::LowestPoint(ParamsOf(page));
        page.SetPosition(kRowPosition, kColY, scene::SceneToHeight(0) - int(std::lround(lowest * 90)));
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

    TFormMainQV7K& w;
    std::string art_;
    int pictures_ = 0;
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
    WriteFileAtomic(art + "crystal.3ds", CrystalModel3ds());
    WriteFileAtomic(art + "giftbox.3ds", GiftBoxModel3ds("giftwrap.bmp"));
    SaveBmpFile(art + "giftwrap.bmp", Paint(180, 360, CoverScale(180, 360), [](QPainter& p) { GiftWrap(p, 180, 360); }));
    Studio studio(w, art);

    int failures = 0, made = 0;
    for (const Shot& shot : Shots()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i)
            wanted = wanted || shot.name == std::string(argv[i]);
        if (!wanted)
            continue;
        ++made;
        const size_t shownBefore = session.Boxes().Shown().size();
        studio.Build(shot);
        projects.ChooseSaveFile = [&](const std::string&) { return std::optional<std::string>(folder + shot.name); };
        projects.SaveAsTemplateExecute();
        const bool saved = w.SaveAsTemplate->Tag == 0 && FileExists(folder + shot.name + ".png");
        std::printf("%s: %s\n", shot.name, saved ? "saved with its preview" : "FAILED");
        failures += saved ? 0 : 1;
        const auto& shown = session.Boxes().Shown();
        for (size_t i = shownBefore; i < shown.size(); ++i)
            std::fprintf(stderr, "%s: %s\n", shot.name, shown[i].text.c_str());
    }
    if (argc > 2 && made != argc - 2) {
        std::fprintf(stderr, "Some of the names are not templates of the table.\n");
        return 1;
    }
    return failures == 0 ? 0 : 1;
}

pc::probe::ProbeRegistrar reg("make-templates", "DIR [NAME...]", MakeTemplates);

} // namespace
