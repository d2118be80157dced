// The 3DS page built from real models: its lists, the material bars, the
// swatch hand-over, and what delete and copy do with model files.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "pages_fixture.h"
#include "platform/file_io.h"
#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/material_values.h"
#include "scene/pages/trackbar_values.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

const std::string kAlphaCubes = k3dsModels + "cubes_with_alpha.3DS";
const std::string kTextured = k3dsModels + "cube_with_diffuse_texture.3DS"; // names "TEST.PNG"
const std::string kPagePicture = std::string(PRISMCASE_SOURCE_DIR) + "/data/Pagesh.bmp";

struct MaterialValues {
    std::array<uint8_t, 3> color;
    uint8_t alpha;
    float uTile, vTile, uOffset, vOffset;
    bool operator==(const MaterialValues&) const = default;
};

std::vector<MaterialValues> ValuesOf(const C3DS& model)
{
    std::vector<MaterialValues> v;
    for (const auto& m : model.Model().materials)
        v.push_back({m.color, m.alpha, m.uTile, m.vTile, m.uOffset, m.vOffset});
    return v;
}

class ModelPageTest : public PagesTest {
protected:
    GLTSObject& AddModel(const std::string& path)
    {
        int slot = commands.AddObject(kKindModel, path);
        if (slot < 0)
            throw std::runtime_error("model not added");
        return Page(slot);
    }
};

TEST_F(ModelPageTest, ListsMaterialsAndSubObjectsOfARealModel)
{
    C3DS reference;
    ASSERT_TRUE(reference.Load(kAlphaCubes));
    float bottom = reference.Unitize();

    GLTSObject& page = AddModel(kAlphaCubes);
    EXPECT_EQ(tabs.tabText(0), "3D cubes(#0)");
    const auto& materials = reference.Model().materials;
    ASSERT_EQ(page.ListBoxes[0]->count(), int(materials.size()));
    for (size_t m = 0; m < materials.size(); ++m)
        EXPECT_EQ(page.ListBoxes[0]->itemText(int(m)).toStdString(), materials[m].name + " -#" + std::to_string(m));
    const auto& objects = reference.Model().objects;
    ASSERT_EQ(page.ListBoxes[1]->count(), int(objects.size()));
    EXPECT_EQ(page.ListBoxes[1]->itemText(1).toStdString(), objects[1].name + " -#1");
    EXPECT_EQ(page.SelectedMaterial(), 0);
    EXPECT_EQ(page.SelectedSubObject(), 0);
    // Standing on the floor.
    EXPECT_EQ(page.Position(kRowPosition, kColY), int(-bottom * 90 + 135));
    EXPECT_EQ(page.TrackbarLabels[kRowSize][kColD]->text(), "All");
    EXPECT_FALSE(page.TrackbarTable[kRowSize][kColD]->isHidden());
    // The swatch shows the selected material's colour.
    const auto& c = materials[0].color;
    EXPECT_EQ(page.Faces[0]->BrushColor, RGB(c[0], c[1], c[2]));
    EXPECT_EQ(page.KindTrackbars[4]->Position(), PositionFromAlpha(materials[0].alpha));
}

TEST_F(ModelPageTest, ShowingMaterialsNeverChangesTheirValues)
{
    GLTSObject& page = AddModel(kAlphaCubes);
    std::vector<MaterialValues> before = ValuesOf(*page.Model);
    // Alpha 211 shows as 297, which reads back as 210 if the bars wrote back.
    for (int round = 0; round < 3; ++round)
        for (int m = 0; m < page.ListBoxes[0]->count(); ++m)
            page.ListBoxes[0]->setCurrentIndex(m);
    page.ModelsChange();
    EXPECT_EQ(ValuesOf(*page.Model), before);
}

TEST_F(ModelPageTest, MaterialValuesSurviveStoreAndRestore)
{
    // A project keeps the material values and puts them back into a fresh
    // page of the same model; another store must give the same values.
    GLTSObject& first = AddModel(kAlphaCubes);
    first.ListBoxes[0]->setCurrentIndex(4);
    first.KindTrackbars[4]->SetPosition(200); // the user's alpha
    first.KindTrackbars[0]->SetPosition(270); // repeat 1
    first.KindTrackbars[2]->SetPosition(215); // offset 35/180
    std::vector<MaterialValues> stored = ValuesOf(*first.Model);
    EXPECT_EQ(stored[4].alpha, 141);

    for (int generation = 0; generation < 3; ++generation) {
        GLTSObject& next = AddModel(kAlphaCubes);
        auto& materials = next.Model->Model().materials;
        for (size_t m = 0; m < materials.size(); ++m) {
            materials[m].color = stored[m].color;
            materials[m].alpha = stored[m].alpha;
            materials[m].uTile = stored[m].uTile;
            materials[m].vTile = stored[m].vTile;
            materials[m].uOffset = stored[m].uOffset;
            materials[m].vOffset = stored[m].vOffset;
        }
        for (int m = int(materials.size()) - 1; m >= 0; --m)
            next.ListBoxes[0]->setCurrentIndex(m);
        EXPECT_EQ(ValuesOf(*next.Model), stored) << "generation " << generation;
        stored = ValuesOf(*next.Model);
    }
}

TEST_F(ModelPageTest, BarsWriteIntoTheSelectedMaterialAndSubObject)
{
    GLTSObject& page = AddModel(kAlphaCubes);
    page.ListBoxes[0]->setCurrentIndex(2);
    page.ListBoxes[1]->setCurrentIndex(3);
    struct Case {
        int tag, position;
    };
    for (Case c : {Case{0, 333}, Case{1, 180}, Case{2, 180}, Case{3, 360}, Case{4, 360}, Case{5, 90}})
        page.KindTrackbars[c.tag]->SetPosition(c.position);
    const auto& m = page.Model->Model().materials[2];
    EXPECT_FLOAT_EQ(m.uTile, 1.7f); // 333 is a repeat of (333 - 180) / 90
    EXPECT_FLOAT_EQ(m.vTile, 0.0f); // 180 a repeat of 0
    EXPECT_FLOAT_EQ(m.uOffset, 0.0f);
    EXPECT_FLOAT_EQ(m.vOffset, 1.0f);
    EXPECT_EQ(m.alpha, 255);
    EXPECT_FLOAT_EQ(page.Model->Model().objects[3].visibleSize, 0.5f);
    EXPECT_EQ(page.KindTrackbars[5]->Hint, "90");
}

// Values a file gave, however large or not numbers at all, turn into
// positions without leaving the int range.
TEST(MaterialValues, PositionsOfValuesBeyondTheBars)
{
    const float nan = std::nanf(""), inf = INFINITY;
    struct Case {
        float uTile, vTile, uOffset, vOffset, visibleSize;
        std::array<int, 5> positions; // four material bars and the visible size
    };
    const Case cases[] = {
        {1, 0.5f, -0.25f, 0.1f, 1e7f, {270, 225, 135, 198, 1800000000}},
        {1e30f, -1e30f, 1e30f, -1e30f, 1e30f, {INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MAX}},
        {inf, -inf, inf, -inf, -inf, {INT_MAX, INT_MIN, INT_MAX, INT_MIN, INT_MIN}},
        {nan, nan, nan, nan, nan, {180, 180, 180, 180, 180}},
    };
    for (const Case& c : cases) {
        C3DS::tMaterialInfo m;
        m.uTile = c.uTile;
        m.vTile = c.vTile;
        m.uOffset = c.uOffset;
        m.vOffset = c.vOffset;
        const auto bars = MaterialPositions(m);
        EXPECT_EQ((std::array<int, 5>{bars[0], bars[1], bars[2], bars[3], PositionFromVisibleSize(c.visibleSize)}),
                  c.positions)
            << c.uTile;
    }
}

TEST_F(ModelPageTest, ValuesBeyondTheBarsShowAtTheirEndsAndStayAsRead)
{
    GLTSObject& page = AddModel(kAlphaCubes);
    auto& material = page.Model->Model().materials[1];
    material.uTile = 1e30f;
    material.vTile = -INFINITY;
    material.uOffset = std::nanf("");
    material.vOffset = 0.25f;
    page.Model->Model().objects[2].visibleSize = std::nanf("");
    page.ListBoxes[0]->setCurrentIndex(1);
    page.ListBoxes[1]->setCurrentIndex(2);
    std::array<int, 6> shown;
    for (size_t i = 0; i < shown.size(); ++i)
        shown[i] = page.KindTrackbars[i]->Position();
    EXPECT_EQ(shown[0], 360);
    EXPECT_EQ(shown[1], 0);
    EXPECT_EQ(shown[2], 180);
    EXPECT_EQ(shown[3], 225);
    EXPECT_EQ(shown[5], 180);
    EXPECT_EQ(material.uTile, 1e30f);
    EXPECT_EQ(material.vTile, -INFINITY);
    EXPECT_TRUE(std::isnan(material.uOffset));
    EXPECT_TRUE(std::isnan(page.Model->Model().objects[2].visibleSize));
}

TEST(MaterialValues, MapFilesResolveAgainstTheModelFolderWithoutCase)
{
    TempDir dir;
    fs::create_directories(dir.path() / "Maps");
    std::ofstream(dir.file("Maps/Brick.bmp")) << "x";
    // Names that only begin like the wanted ones, without case.
    fs::create_directories(dir.path() / "Short/Map");
    std::ofstream(dir.file("Short/brick")) << "x";
    std::ofstream(dir.file("Short/Map/Wall.bmp")) << "x";
    struct Case {
        std::string mapFile, folder, expected;
    };
    const std::vector<Case> cases = {
        {"IMAGE1.JPG", k3dsModels, k3dsModels + "IMAGE1.jpg"},
        {"TEST.PNG", k3dsModels, k3dsModels + "test.png"},
        {"MAPS\\BRICK.BMP", dir.path().string(), dir.file("Maps/Brick.bmp")},
        {dir.file("Maps/Brick.bmp"), "/nonexistent", dir.file("Maps/Brick.bmp")},
        {"MISSING.JPG", k3dsModels, ""},
        {"SHORT\\BRICK.BMP", dir.path().string(), ""},
        {"SHORT\\MAPS\\WALL.BMP", dir.path().string(), ""},
        {"", k3dsModels, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fs::path(ResolveMapFile(c.mapFile, c.folder)).lexically_normal(),
                  fs::path(c.expected).lexically_normal())
            << c.mapFile;
}

TEST_F(ModelPageTest, MaterialPictureIsFoundBesideTheModelAndLoaded)
{
    TempDir dir;
    fs::copy_file(kTextured, dir.file("cube.3ds"));
    fs::copy_file(kPagePicture, dir.file("test.png")); // a BMP under the name the model gives
    GLTSObject& page = AddModel(dir.file("cube.3ds"));
    const auto& m = page.Model->Model().materials[0];
    ASSERT_GT(m.textureId, 0);
    EXPECT_EQ(m.mapFile, TextureFolder() + std::to_string(m.textureId));
    EXPECT_EQ(page.Faces[0]->Tag, m.textureId);
}

TEST_F(ModelPageTest, UnreadableMaterialPictureLeavesTheMaterialWithout)
{
    // The real picture is a PNG, which this store cannot read: the page is
    // still built whole, the material without a picture.
    GLTSObject& page = AddModel(kTextured);
    const auto& m = page.Model->Model().materials[0];
    EXPECT_EQ(m.textureId, 0);
    EXPECT_EQ(m.mapFile, "");
    EXPECT_EQ(page.Faces[0]->Tag, 0);
    EXPECT_EQ(page.ListBoxes[1]->count(), 1);
    EXPECT_EQ(page.KindLabels[5]->text(), "Visible Size");
}

TEST_F(ModelPageTest, SwatchPictureAndColourGoToTheSelectedMaterial)
{
    GLTSObject& page = AddModel(kAlphaCubes);
    page.ListBoxes[0]->setCurrentIndex(1);
    FacePicture& swatch = *page.Faces[0];
    LoadFacePicture(swatch, kPagePicture, textures, clBlack);
    auto& m = page.Model->Model().materials[1];
    int id = m.textureId;
    ASSERT_GT(id, 0);
    EXPECT_EQ(swatch.Tag, id);
    EXPECT_EQ(m.mapFile, TextureFolder() + std::to_string(id)); // the work file, not the source
    EXPECT_TRUE(FileExists(m.mapFile));

    SetFaceColor(swatch, RGB(10, 20, 30), clBlack, textures);
    EXPECT_EQ(m.color, (std::array<uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(m.textureId, 0);
    EXPECT_EQ(m.mapFile, "");
    EXPECT_EQ(std::count(textures.released.begin(), textures.released.end(), id), 1);

    // Without a selection the colour only paints the swatch, and the
    // material keeps the texture the swatch showed.
    LoadFacePicture(swatch, kPagePicture, textures, clBlack);
    const int kept = m.textureId;
    page.ListBoxes[0]->setCurrentIndex(-1);
    std::vector<MaterialValues> before = ValuesOf(*page.Model);
    SetFaceColor(swatch, RGB(1, 1, 1), clBlack, textures);
    EXPECT_EQ(ValuesOf(*page.Model), before);
    EXPECT_EQ(swatch.BrushColor, RGB(1, 1, 1));
    EXPECT_TRUE(textures.live.count(kept));
}

TEST_F(ModelPageTest, DeleteRemovesMaterialTexturesAndModelWorkFiles)
{
    // As a project load leaves it: the model and a material picture in the work folder.
    std::string model = TextureFolder() + "temp.bmp0.3ds";
    fs::copy_file(kAlphaCubes, model);
    std::string materialFile = model + "_1.bmp";
    fs::copy_file(kPagePicture, materialFile);
    int slot = commands.AddObject(kKindModel, model);
    ASSERT_EQ(slot, 0);
    GLTSObject& page = Page(0);
    page.MaterialPictures = {"", materialFile};
    page.FillModelLists();
    int id = page.Model->Model().materials[1].textureId;
    ASSERT_GT(id, 0);

    commands.DeleteObject(true);
    EXPECT_FALSE(fs::exists(model));
    EXPECT_FALSE(fs::exists(materialFile));
    EXPECT_FALSE(fs::exists(TextureFolder() + std::to_string(id)));
    EXPECT_TRUE(textures.live.empty());
    EXPECT_EQ(std::count(textures.released.begin(), textures.released.end(), id), 1);
}

// Materials that name one picture share its texture across the scene, loaded
// once and given back once, when the last of them lets it go.
TEST_F(ModelPageTest, MaterialsNamingOnePictureShareItsTexture)
{
    GLTSObject& page = AddModel(kAlphaCubes);
    auto& materials = page.Model->Model().materials;
    page.MaterialPictures.assign(materials.size(), kPagePicture);
    page.MaterialPictures[1] = "";
    page.FillModelLists();
    const int id = materials[0].textureId;
    ASSERT_GT(id, 0);
    for (size_t m = 0; m < materials.size(); ++m)
        EXPECT_EQ(materials[m].textureId, m == 1 ? 0 : id) << m;
    EXPECT_EQ(textures.live, std::set<int>{id});
    SetFaceColor(*page.Faces[0], RGB(1, 2, 3), clBlack, textures); // material 0 lets go
    EXPECT_EQ(materials[0].textureId, 0);
    GLTSObject& twice = AddModel(kAlphaCubes);
    twice.MaterialPictures.assign(materials.size(), kPagePicture);
    twice.FillModelLists();
    EXPECT_EQ(twice.Model->Model().materials[3].textureId, id);
    tabs.setCurrentWidget(&page);
    commands.DeleteObject(true);
    EXPECT_TRUE(textures.released.empty());
    EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(id)));
    commands.DeleteObject(true);
    EXPECT_EQ(textures.released, std::vector<int>{id});
}

// A picture edited since it was loaded, even to the same size, loads anew
// rather than sharing the texture of what it held before.
TEST_F(ModelPageTest, APictureWrittenAnewIsNotSharedWithItsOldTexture)
{
    const std::string file = TextureFolder() + "wood.bmp";
    Bitmap before(5, 3), after(5, 3);
    after.SetPixel(4, 2, RGB(200, 30, 40));
    SaveBmpFile(file, before);
    const auto first = textures.HoldPicture(file);
    SaveBmpFile(file, after);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
    const auto second = textures.HoldPicture(file);
    EXPECT_NE(second.textureId, first.textureId);
    EXPECT_EQ(LoadBmpFile(second.mapFile).Pixel(4, 2), RGB(200, 30, 40));
    textures.LetGo(first.textureId, true);
    textures.LetGo(second.textureId, true);
}

TEST_F(ModelPageTest, CopyTakesMaterialsAndItsOwnModelFile)
{
    std::string model = TextureFolder() + "temp.bmp0.3ds";
    fs::copy_file(kAlphaCubes, model);
    GLTSObject& src = AddModel(model);
    src.ListBoxes[0]->setCurrentIndex(3);
    src.ListBoxes[1]->setCurrentIndex(2);
    src.KindTrackbars[4]->SetPosition(100);
    src.KindTrackbars[0]->SetPosition(300);
    src.KindTrackbars[5]->SetPosition(45);
    LoadFacePicture(*src.Faces[0], kPagePicture, textures, clBlack);
    // A work file's name means nothing to the user: the tab shows the
    // object's name, here none, as a project loaded would give it.
    EXPECT_EQ(tabs.tabText(tabs.indexOf(&src)), "3D (#0)");
    src.OName = "cubes.3ds";

    GLTSObject& dst = Page(commands.CopyObject());
    EXPECT_EQ(tabs.tabText(tabs.indexOf(&dst)), "3D cubes(#1)");
    EXPECT_NE(dst.ModelName, src.ModelName);
    EXPECT_TRUE(fs::exists(dst.ModelName));
    EXPECT_EQ(ValuesOf(*dst.Model), ValuesOf(*src.Model));
    EXPECT_FLOAT_EQ(dst.Model->Model().objects[2].visibleSize, src.Model->Model().objects[2].visibleSize);
    EXPECT_EQ(dst.SelectedMaterial(), 3);
    EXPECT_EQ(dst.SelectedSubObject(), 2);
    int srcId = src.Model->Model().materials[3].textureId;
    int dstId = dst.Model->Model().materials[3].textureId;
    ASSERT_GT(dstId, 0);
    EXPECT_EQ(dstId, srcId);
    EXPECT_EQ(dst.Faces[0]->Tag, dstId);

    tabs.setCurrentWidget(&src);
    commands.DeleteObject(true);
    EXPECT_FALSE(fs::exists(model));
    EXPECT_TRUE(fs::exists(dst.ModelName));
    EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(dstId)));
    EXPECT_TRUE(textures.live.count(dstId));
}

TEST_F(ModelPageTest, DamagedModelsBuildWhatWasRead)
{
    std::vector<uint8_t> bytes = ReadFileBytes(kAlphaCubes);
    TempDir dir;
    for (size_t cut : {bytes.size() / 3, bytes.size() - 1}) {
        std::string path = dir.file("cut" + std::to_string(cut) + ".3ds");
        WriteFileAtomic(path, std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
        GLTSObject& page = AddModel(path);
        EXPECT_LE(page.ListBoxes[0]->count(), 5);
        EXPECT_GE(page.ListBoxes[1]->count(), 1);
    }
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ModelPageTest, FilesWithoutAModelAreRefused)
{
    std::vector<uint8_t> bytes = ReadFileBytes(kAlphaCubes);
    TempDir dir;
    WriteFileAtomic(dir.file("empty.3ds"), {});
    WriteFileAtomic(dir.file("head.3ds"), std::vector<uint8_t>(bytes.begin(), bytes.begin() + 7));
    for (std::string path : {dir.file("missing.3ds"), dir.file("empty.3ds"), dir.file("head.3ds"), kPagePicture}) {
        size_t shown = boxes.Shown().size();
        EXPECT_EQ(commands.AddObject(kKindModel, path), -1) << path;
        ASSERT_EQ(boxes.Shown().size(), shown + 1);
        EXPECT_EQ(boxes.Shown().back().text.rfind("Cannot load the 3ds model " + path + ": ", 0), 0u);
    }
    EXPECT_EQ(tabs.count(), 0);
}

} // namespace
} // namespace pc::test
