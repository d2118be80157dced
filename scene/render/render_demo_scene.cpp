#include "scene/render/render_demo_scene.h"

#include <cmath>
#include <filesystem>
#include <memory>

#include "platform/bitmap.h"
#include "platform/bmp_file.h"
#include "platform/paths.h"
#include "scene/model/c3ds.h"
#include "scene/pictures/texture_loader.h"

namespace pc::scene {
namespace {

// A cover: a diagonal gradient of one hue with a light frame and stripes, so
// orientation and texture coordinates show in the picture.
unsigned CoverTexture(TColor hue, int size = 64)
{
    Bitmap bmp(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool frame = x < 3 || y < 3 || x >= size - 3 || y >= size - 3;
            const bool stripe = (y / 8) % 2 == 0 && x > size / 4 && x < size * 3 / 4;
            const double k = 0.45 + 0.55 * double(x + y) / double(2 * size);
            TColor c = RGB(uint8_t(GetRValue(hue) * k), uint8_t(GetGValue(hue) * k), uint8_t(GetBValue(hue) * k));
            if (frame)
                c = RGB(250, 250, 240);
            else if (stripe)
                c = RGB(255, 255, 255);
            bmp.SetPixel(x, y, c);
        }
    TextureId id = 0;
    CreateTextureFromBitmap(bmp, id);
    return id;
}

// One of the program's own pictures beside it, or a plain cover when absent.
unsigned ProgramPicture(const char* name, TColor fallback)
{
    const std::string path = ProgramFolder() + name;
    if (!std::filesystem::exists(path))
        return CoverTexture(fallback);
    Bitmap bmp = LoadBmpFile(path);
    TextureId id = 0;
    CreateTextureFromBitmap(bmp, id);
    return id;
}

// A model from the 3DS test set when it is installed; it lives as long as the program.
const C3DS* SampleModel()
{
    static std::unique_ptr<C3DS> model;
    if (!model) {
        model = std::make_unique<C3DS>();
        if (!model->Load("/usr/share/assimp/models/3DS/cubes_with_alpha.3DS"))
            return nullptr;
        model->Unitize();
    }
    return model->Problem().empty() ? model.get() : nullptr;
}

ObjectParams Place(int kind, int slot)
{
    static constexpr int kColumnOrder[3] = {1, 0, 2};
    ObjectParams o;
    o.ObjectKind = kind;
    o.At(kRowPosition, kColX) = kColumnOrder[slot % 3] * 180;
    o.At(kRowPosition, kColZ) = kColumnOrder[(slot / 3) % 3] * 180;
    return o;
}

} // namespace

SceneParams BuildDemoScene()
{
    SceneParams s;
    s.TBCameraX = -420;
    s.TBCameraY = 330;
    s.TBCameraZ = 620;
    s.TBCameraLookAtY = 40;
    s.TBLightX = 400;
    s.TBLightY = 350;
    s.TBLightZ = 150;
    s.CBShadowVisible = true;
    s.DrawAxis = false;
    s.DrawLight = false;
    s.TBShadowStrength = 60;
    s.TBFloor_alpha = 45;
    s.TBFloor_P = 60;
    s.ImageFloor.BrushColor = RGB(200, 205, 215);
    s.ImageBackground.Tag = CoverTexture(RGB(120, 150, 200), 32);
    s.TBbth = 400;
    s.TBbtv = 200;

    const unsigned pagesH = ProgramPicture("Pagesh.bmp", RGB(240, 240, 230));
    const unsigned pagesV = ProgramPicture("Pagesv.bmp", RGB(240, 240, 230));
    const unsigned cdFace = ProgramPicture("Cdf.bmp", RGB(200, 200, 220));

    ObjectParams box = Place(kBox, 0);
    const TColor hues[6] = {RGB(220, 40, 40), RGB(40, 90, 220), RGB(240, 200, 40),
                            RGB(40, 170, 80), RGB(200, 80, 200), RGB(240, 130, 30)};
    for (int f = 0; f < kFaceCount; ++f)
        box.Faces[f].Tag = CoverTexture(hues[f]);
    box.At(kRowSize, kColZ) = 90;
    box.At(kRowRotation, kColY) = 160;

    ObjectParams book = Place(kBook, 1);
    book.At(kRowSize, kColZ) = 36;
    book.Faces[kFront].Tag = CoverTexture(RGB(30, 110, 200));
    book.Faces[kBack].Tag = CoverTexture(RGB(30, 60, 120));
    book.Faces[kTop].Tag = pagesH;
    book.Faces[kBottom].Tag = pagesH;
    book.Faces[kRight].Tag = pagesV;
    book.Faces[kLeft].BrushColor = RGB(20, 50, 110);

    ObjectParams cd = Place(kCD, 2);
    cd.At(kRowSize, kColX) = 150;
    cd.At(kRowSize, kColY) = 20;
    cd.At(kRowPosition, kColY) = 175;
    cd.At(kRowRotation, kColY) = 210;
    cd.Faces[kFront].Tag = cdFace;
    cd.Faces[kBack].BrushColor = RGB(190, 190, 200);

    ObjectParams notebook = Place(kNoteBook, 3);
    notebook.At(kRowSize, kColZ) = 20;
    notebook.At(kRowSize, kColD) = 20;
    notebook.Faces[kFront].Tag = CoverTexture(RGB(60, 160, 60));
    notebook.Faces[kTop].Tag = pagesH;
    notebook.Faces[kBottom].Tag = pagesH;
    notebook.Faces[kRight].Tag = pagesV;
    notebook.Faces[kBack].BrushColor = RGB(30, 90, 30);
    notebook.Faces[kLeft].BrushColor = RGB(30, 90, 30);

    ObjectParams thick = Place(kThickBook, 4);
    thick.At(kRowSize, kColZ) = 60;
    thick.At(kRowKeep4, kColZ) = 10;
    thick.Faces[kFront].Tag = CoverTexture(RGB(150, 40, 40));
    thick.Faces[kBack].BrushColor = RGB(110, 30, 30);
    thick.Faces[kLeft].Tag = CoverTexture(RGB(110, 30, 30), 32);
    thick.Faces[kTop].Tag = pagesH;
    thick.Faces[kBottom].Tag = pagesH;
    thick.Faces[kRight].Tag = pagesV;

    ObjectParams round = Place(kRoundBox, 5);
    round.At(kRowSize, kColY) = 240;
    round.At(kRowSize, kColZ) = 36;
    round.At(kRowPosition, kColY) = 200;
    round.At(kRowKeep4, kColX) = 60;
    round.At(kRowKeep4, kColZ) = 10;
    round.At(kRowKeep4, kColD) = 120;
    round.At(kRowKeep5, kColD) = 90;
    round.Faces[kFront].Tag = CoverTexture(RGB(200, 120, 20));
    for (int f = 1; f < kFaceCount; ++f)
        round.Faces[f].BrushColor = RGB(150, 90, 20);

    ObjectParams curved = Place(kCurvedSurface, 6);
    curved.At(kRowSize, kColZ) = 20;
    curved.At(kRowSize, kColD) = 20;
    curved.At(kRowKeep4, kColX) = 320;
    curved.At(kRowKeep4, kColY) = 108;
    curved.At(kRowKeep4, kColZ) = 400;
    curved.At(kRowKeep4, kColD) = 251;
    curved.At(kRowKeep5, kColD) = 0;
    curved.Faces[kFront].Tag = CoverTexture(RGB(120, 60, 200));

    ObjectParams* all[] = {&box, &book, &cd, &notebook, &thick, &round, &curved};
    for (int slot = 0; slot < 7; ++slot)
        s.Objects[size_t(slot)] = *all[slot];

    if (const C3DS* model = SampleModel()) {
        ObjectParams m = Place(kModel3DS, 7);
        m.Model = model;
        m.At(kRowPosition, kColX) = 300;
        m.At(kRowPosition, kColZ) = 60;
        for (int c : {kColX, kColY, kColZ})
            m.At(kRowSize, c) = 120;
        s.Objects[7] = m;
    }
    ObjectParams text = Place(kText3D, 8);
    text.Text = "Box";
    text.At(kRowPosition, kColX) = 240;
    text.At(kRowPosition, kColZ) = 330;
    text.Faces[kFront].BrushColor = RGB(230, 60, 40);
    s.Objects[8] = text;
    return s;
}

} // namespace pc::scene
