// Saving and loading projects through the main window: every load mode, the
// save question, slot placement and what a damaged file leaves behind.
#include <QGroupBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

#include "app/window/picture_box.h"
#include "app/project/project_file.h"
#include "app/project/project_needs.h"
#include "platform/bmp_file.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/face_textures.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_table.h"
#include "scene/pictures/texture_memory.h"
#include "tests/app/project/project_bytes.h"
#include "tests/app/window/window_fixture.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

class ProjectLoad : public ProjectWindowTest {
protected:
    // A book with pictures, a CD, a 3D text and a model with materials.
    void BuildRichScene()
    {
        ASSERT_EQ(window->AddObject(kKindBook), 0);
        ASSERT_EQ(window->AddObject(kKindCD), 1);
        ASSERT_EQ(window->AddObject(kKindText), 2);
        GLTSObject& text = *window->Objects.At(2);
        text.TextMemo->setPlainText("Prismcase\nsecond line");
        ASSERT_EQ(window->AddObject(kKindModel, k3dsModels + "cubes_with_alpha.3DS"), 3);
        GLTSObject& book = *window->Objects.At(0);
        book.OName = "The book";
        book.SetPosition(kRowSize, kColX, 222);
        window->TBCameraX->setValue(333);
        window->TBLightZ->setValue(-120);
        window->ImageFloor->BrushColor = RGB(10, 20, 30);
        window->ImageBackground->Tag =
            window->Textures->Load(std::string(PRISMCASE_SOURCE_DIR) + "/data/Cdf.bmp", 0).textureId;
        window->CBShadowVisible->setChecked(true);
    }
};

TEST_F(ProjectLoad, SaveLoadSaveGivesTheSameBytesAndTheSameScene)
{
    BuildRichScene();
    const std::string first = dir.file("first.qv7kb"), second = dir.file("second.qv7kb");
    SaveSilently(first);
    auto model = window->Objects.At(3)->Model->Model();

    boxes.Queue(Answer::No); // the save question: the scene holds objects
    Load(first, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(boxes.Shown().at(0).text, kSaveQuestion);
    GLTSObject& book = *window->Objects.At(0);
    EXPECT_EQ(book.OName, "The book");
    EXPECT_EQ(book.Position(kRowSize, kColX), 222);
    EXPECT_TRUE(book.DragLocks[kRowPosition]->isChecked());
    for (int face : {2, 3, 4}) {
        ASSERT_GT(book.Faces[size_t(face)]->Tag, 0);
        EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(book.Faces[size_t(face)]->Tag)));
    }
    EXPECT_EQ(window->Objects.At(2)->TextMemo->toPlainText(), "Prismcase\nsecond line");
    const auto& loaded = window->Objects.At(3)->Model->Model();
    ASSERT_EQ(loaded.materials.size(), model.materials.size());
    for (size_t m = 0; m < model.materials.size(); ++m) {
        EXPECT_EQ(loaded.materials[m].color, model.materials[m].color);
        EXPECT_EQ(loaded.materials[m].alpha, model.materials[m].alpha);
    }
    EXPECT_TRUE(fs::exists(window->Objects.At(3)->ModelName));
    EXPECT_EQ(window->TBCameraX->value(), 333);
    EXPECT_EQ(window->ImageFloor->BrushColor, RGB(10, 20, 30));
    ASSERT_GT(window->ImageBackground->Tag, 0);
    EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(window->ImageBackground->Tag)));
    // The box shows the picture, not only its colour.
    const QImage& shown = window->ImageBackground->Canvas();
    int picturePixels = 0;
    for (int y = 2; y < shown.height() - 2; ++y)
        for (int x = 2; x < shown.width() - 2; ++x)
            picturePixels += window->ImageBackground->CanvasPixel(x, y) != window->ImageBackground->BrushColor;
    EXPECT_GT(picturePixels, shown.width() * shown.height() / 10);
    EXPECT_FALSE(fs::exists(TextureFolder() + "temp.bmp"));

    SaveSilently(second);
    EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(first));
}

// Pictures and a model that cannot be shown: the user is told once, and a
// resave writes their bytes back as they were.
TEST_F(ProjectLoad, UndecodableBlobsAreNamedOnceAndSavedBackUnchanged)
{
    BuildRichScene();
    window->ImageFloor->Tag = window->Textures->Load(std::string(PRISMCASE_SOURCE_DIR) + "/data/Cdf.bmp", 0).textureId;
    const std::string good = dir.file("good.qv7kb"), bad = dir.file("bad.qv7kb"), again = dir.file("again.qv7kb");
    SaveSilently(good);
    auto bytes = ReadFileBytes(good);
    const auto read = project::ReadProject(bytes);
    const project::Object& model = *read.scene.objects[3];
    ASSERT_GT(model.materials.size(), 1u);
    for (project::Blob b : {read.scene.objects[0]->faces[2].picture, read.scene.backgroundPicture, model.model}) {
        ASSERT_TRUE(b.Present());
        for (int64_t i = 0; i < b.size; ++i)
            bytes[size_t(b.start + i)] = uint8_t(0xA5 ^ (i & 0x0F));
    }
    // Headers that disagree with their data: a narrower width, a row fewer.
    const size_t floor = size_t(read.scene.floorPicture.start);
    ASSERT_EQ(bytes[floor + 22] | bytes[floor + 23] << 8, 256);
    bytes[floor + 22] = 255; // of 256 rows
    bytes[floor + 23] = 0;
    const size_t bottom = size_t(read.scene.objects[0]->faces[3].picture.start), right = size_t(read.scene.objects[0]->faces[4].picture.start);
    bytes[bottom + 18] = uint8_t(bytes[bottom + 18] - 4);
    bytes[right + 22] = uint8_t(bytes[right + 22] - 1);
    WriteFileAtomic(bad, bytes);

    boxes.Queue(Answer::No);
    Load(bad, kLoadPreset);
    GLTSObject& book = *window->Objects.At(0);
    GLTSObject& loadedModel = *window->Objects.At(3);
    auto caption = [&](GLTSObject& page) { return window->PC2->tabText(window->PC2->indexOf(&page)).toStdString(); };
    EXPECT_EQ(Messages(), (std::vector<std::string>{kSaveQuestion, std::string(kUnshownPictures) + "\nFloor\nBackground\n" +
                                                                     caption(book) + " Top\n" + caption(book) + " Bottom\n" +
                                                                     caption(book) + " R\n" + caption(loadedModel) + " model"}));
    EXPECT_EQ(book.Faces[2]->Tag, 0);
    EXPECT_EQ(window->ImageBackground->Tag, 0);
    EXPECT_EQ(window->ImageFloor->Tag, 0);
    EXPECT_GT(window->Objects.At(1)->Faces[0]->Tag, 0) << "the other faces load";

    SaveSilently(again);
    EXPECT_EQ(ReadFileBytes(again), bytes);

    // A colour the user gives the face afterwards replaces the kept picture.
    SetFaceColor(*book.Faces[2], RGB(9, 8, 7), 0xFF0000, *window->Textures);
    SaveSilently(again);
    auto resaved = ReadFileBytes(again);
    const auto reread = project::ReadProject(resaved);
    EXPECT_FALSE(reread.scene.objects[0]->faces[2].picture.Present());
    EXPECT_TRUE(reread.scene.backgroundPicture.Present());

    // The next project's background of the same colour has no picture of its own.
    project::Scene plain;
    plain.backgroundColour = read.scene.backgroundColour;
    std::string ini = project::ProjectIniText(plain, "");
    std::vector<uint8_t> file(ini.begin(), ini.end());
    for (uint32_t v : {0u, uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(v >> (8 * i)));
    WriteFileAtomic(dir.file("plain.qv7kb"), file);
    boxes.Queue(Answer::No);
    Load(dir.file("plain.qv7kb"), kLoadPreset);
    SaveSilently(again);
    resaved = ReadFileBytes(again);
    EXPECT_FALSE(project::ReadProject(resaved).scene.backgroundPicture.Present());
}

// Records how many bytes each project picture is loaded from.
class RecordingStore : public GLTextureStore {
public:
    LoadedTexture LoadBmpBytes(const std::vector<uint8_t>& bytes, const std::string& name, int textureId) override
    {
        sizes.push_back(bytes.size());
        return GLTextureStore::LoadBmpBytes(bytes, name, textureId);
    }
    std::vector<size_t> sizes;
};

// A picture several faces name is decoded once (a few kilobytes of RLE codes
// may declare 16384 x 16384 pixels); the other faces load what it became, a
// 24-bit 4096 x 2 BMP here.
TEST_F(ProjectLoad, APictureSeveralFacesNameIsDecodedOnce)
{
    std::vector<uint8_t> rle = EncodeBmpHeader(Bitmap(5000, 3, PixelFormat::pf8bit));
    rle[30] = 1; // RLE8: three empty rows, then the end
    rle.insert(rle.end(), {0, 0, 0, 0, 0, 0, 0, 1});
    project::Scene s;
    s.objects[0] = project::Object{};
    for (int j : {0, 2, 5})
        s.objects[0]->faces[size_t(j)] = {1, clWhite, {0, int64_t(rle.size())}, nullptr};
    WriteFileAtomic(dir.file("p.qv7kb"), ProjectBytes({rle}, s));
    auto store = std::make_unique<RecordingStore>();
    const RecordingStore& recorded = *store;
    window->Textures = std::move(store);

    Load(dir.file("p.qv7kb"), kLoadPreset);
    EXPECT_EQ(recorded.sizes, (std::vector<size_t>{rle.size(), 54 + 4096 * 3 * 2, 54 + 4096 * 3 * 2}));
}

// A model that loads keeps the picture of a material that does not.
TEST_F(ProjectLoad, UndecodableMaterialPictureIsSavedBackUnchanged)
{
    ASSERT_EQ(window->AddObject(kKindModel, k3dsModels + "test1.3ds"), 0);
    const std::string good = dir.file("good.qv7kb"), bad = dir.file("bad.qv7kb"), again = dir.file("again.qv7kb");
    SaveSilently(good);
    auto bytes = ReadFileBytes(good);
    const auto read = project::ReadProject(bytes);
    const auto& materials = read.scene.objects[0]->materials;
    ASSERT_EQ(materials.size(), 3u);
    for (const auto& m : materials)
        ASSERT_TRUE(m.picture.Present());
    const project::Blob cut = materials[1].picture;
    std::fill(bytes.begin() + cut.start, bytes.begin() + cut.start + cut.size, 0x5A);
    // One that decodes, but whose header is a row short of its data, would show garbled.
    ASSERT_NE(materials[2].picture.start, materials[0].picture.start);
    bytes[size_t(materials[2].picture.start) + 22] = uint8_t(bytes[size_t(materials[2].picture.start) + 22] - 1);
    WriteFileAtomic(bad, bytes);

    boxes.Queue(Answer::No);
    Load(bad, kLoadPreset);
    GLTSObject& page = *window->Objects.At(0);
    const auto& shown = page.Model->Model().materials;
    EXPECT_TRUE(shown[1].mapFile.empty());
    EXPECT_TRUE(shown[2].mapFile.empty());
    EXPECT_FALSE(shown[0].mapFile.empty());
    const std::string caption = window->PC2->tabText(0).toStdString();
    EXPECT_EQ(Messages(), (std::vector<std::string>{kSaveQuestion, std::string(kUnshownPictures) + "\n" + caption +
                                                                     " " + shown[1].name + " -#1\n" + caption + " " +
                                                                     shown[2].name + " -#2"}));
    SaveSilently(again);
    EXPECT_EQ(ReadFileBytes(again), bytes);
}

// A model object whose stored model is empty is named like an undecodable
// picture, and the object stays.
TEST_F(ProjectLoad, EmptyModelBytesAreNamedAndTheObjectKept)
{
    ASSERT_EQ(window->AddObject(kKindBox), 0);
    ASSERT_EQ(window->AddObject(kKindModel, k3dsModels + "cubes_with_alpha.3DS"), 1);
    const std::string good = dir.file("good.qv7kb"), empty = dir.file("empty.qv7kb");
    SaveSilently(good);
    auto bytes = ReadFileBytes(good);
    const project::Blob model = project::ReadProject(bytes).scene.objects[1]->model;
    ASSERT_TRUE(model.Present());
    // The same text length: the size's digits become zeros, so the model's
    // bytes are left to no setting as well.
    std::string text(bytes.begin(), bytes.end());
    const std::string key = "File3dsSize=" + std::to_string(model.size);
    const size_t at = text.find(key);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(text.find(key, at + 1), std::string::npos);
    std::fill(bytes.begin() + int64_t(at + key.size() - std::to_string(model.size).size()),
              bytes.begin() + int64_t(at + key.size()), uint8_t('0'));
    ASSERT_FALSE(project::ReadProject(bytes).scene.objects[1]->model.Present());
    WriteFileAtomic(empty, bytes);

    boxes.Queue(Answer::No);
    Load(empty, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1}));
    const std::string caption = window->PC2->tabText(window->PC2->indexOf(window->Objects.At(1))).toStdString();
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              kSaveQuestion,
                              "The project is damaged: " + std::to_string(model.size) +
                                  " bytes of it belong to no setting. They are kept and saved with the project.",
                              std::string(kUnshownPictures) + "\n" + caption + " model"}));
}

// The model comes back from a work file of another name; the object keeps its own.
TEST_F(ProjectLoad, ModelObjectKeepsItsNameThroughSaveAndLoad)
{
    const std::string model = dir.file("cube_.3ds"), path = dir.file("named.qv7kb");
    fs::copy_file(k3dsModels + "cubes_with_alpha.3DS", model);
    for (int i = 0; i < 8; ++i)
        window->AddObject(kKindBox);
    ASSERT_EQ(window->AddObject(kKindModel, model), 8);
    auto caption = [&] { return window->PC2->tabText(window->PC2->indexOf(window->Objects.At(8))).toStdString(); };
    ASSERT_EQ(caption(), "3D cube_(#8)");
    SaveSilently(path);

    boxes.Queue(Answer::No);
    Load(path, kLoadPreset);
    EXPECT_EQ(caption(), "3D cube_(#8)");
    ASSERT_FALSE(window->menuObjects->actions().isEmpty());
    EXPECT_EQ(window->menuObjects->actions().back()->text().toStdString(), "3D cube_(#8)");

    // A second round keeps it too.
    SaveSilently(path);
    boxes.Queue(Answer::No);
    Load(path, kLoadPreset);
    EXPECT_EQ(caption(), "3D cube_(#8)");
}

// A model comes back from a work file; a project that names no model (as the
// format's first writer always did) must not take that work file's name,
// nor must a copy of a loaded model.
TEST_F(ProjectLoad, ModelObjectsAreNeverNamedAfterAWorkFile)
{
    const std::string model = dir.file("cube_.3ds");
    fs::copy_file(k3dsModels + "cubes_with_alpha.3DS", model);
    project::Scene s;
    for (int slot : {3, 6}) {
        project::Object o;
        o.kind = project::kKindModel;
        o.name = slot == 3 ? "cube_.3ds" : "";
        o.modelPath = model;
        s.objects[size_t(slot)] = o;
    }
    const std::string nameless = dir.file("nameless.qv7kb"), again = dir.file("again.qv7kb");
    project::WriteProject(nameless, s, {TextureFolder(), "2026-12-07 06:00:00"});
    Load(nameless, kLoadPreset);
    ASSERT_EQ(OccupiedSlots(), (std::vector<int>{0, 1}));
    auto caption = [&](int slot) {
        return window->PC2->tabText(window->PC2->indexOf(window->Objects.At(slot))).toStdString();
    };
    // Copies of both: the named one's copy is named after the same model file.
    for (int slot : {0, 1}) {
        window->PC2->setCurrentWidget(window->Objects.At(slot));
        ASSERT_EQ(window->ObjectCmds->CopyObject(), slot + 2);
    }
    const char* const captions[] = {"3D cube_(#0)", "3D (#1)", "3D cube_(#2)", "3D (#3)"};
    std::vector<std::string> items;
    for (QAction* item : window->menuObjects->actions())
        items.push_back(item->text().toStdString());
    EXPECT_EQ(items, std::vector<std::string>(std::begin(captions), std::end(captions)));
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(caption(slot), captions[slot]);

    SaveSilently(again);
    const auto bytes = ReadFileBytes(again);
    const project::Scene read = project::ReadProject(bytes).scene;
    const char* const names[] = {"cube_.3ds", "", "cube_.3ds", ""};
    for (int slot = 0; slot < 4; ++slot)
        EXPECT_EQ(read.objects[size_t(slot)]->name, names[slot]) << "slot " << slot;
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.find("temp."), std::string::npos);
}

// An atlas under many materials is written once and loads as one texture.
TEST_F(ProjectLoad, MaterialsSharingAPictureShareItThroughSaveAndLoad)
{
    const std::string path = dir.file("atlas.qv7kb");
    size_t count = 0;
    for (int slot = 0; slot < 2; ++slot) { // the model twice in the scene
        ASSERT_EQ(window->AddObject(kKindModel, k3dsModels + "cubes_with_alpha.3DS"), slot);
        GLTSObject& page = *window->Objects.At(slot);
        count = page.Model->Model().materials.size();
        ASSERT_GE(count, 3u);
        page.MaterialPictures.assign(count, std::string(PRISMCASE_SOURCE_DIR) + "/data/Cdf.bmp");
        page.FillModelLists();
    }
    SaveSilently(path);

    const auto scene = project::ReadProject(ReadFileBytes(path)).scene;
    const auto& first = scene.objects[0]->materials;
    for (size_t m = 0; m < count; ++m) {
        EXPECT_EQ(first[m].picture.start, first[0].picture.start) << m;
        EXPECT_EQ(scene.objects[1]->materials[m].picture.start, first[0].picture.start) << m;
    }
    boxes.Queue(Answer::No);
    Load(path, kLoadPreset);
    const auto& loaded = window->Objects.At(0)->Model->Model().materials;
    ASSERT_GT(loaded[0].textureId, 0);
    for (size_t m = 0; m < count; ++m) {
        EXPECT_EQ(loaded[m].textureId, loaded[0].textureId) << m;
        EXPECT_EQ(window->Objects.At(1)->Model->Model().materials[m].textureId, loaded[0].textureId) << m;
    }
    EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(loaded[0].textureId)));
}

TEST_F(ProjectLoad, InsertFillsTheFreeSlotsAndKeepsTheScene)
{
    for (int i = 0; i < 2; ++i)
        window->AddObject(kKindBox);
    const std::string two = dir.file("two.qv7kb");
    SaveSilently(two);

    window->AddObject(kKindBox);
    window->PC2->setCurrentWidget(window->Objects.At(1));
    window->ObjectCmds->DeleteObject(true);
    ASSERT_EQ(OccupiedSlots(), (std::vector<int>{0, 2}));
    window->TBCameraX->setValue(-250);
    window->TBWidth->setValue(777);

    for (int mode : {kLoadInsertPreset}) {
        Load(two, mode);
        EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1, 2, 3}));
    }
    EXPECT_EQ(window->TBCameraX->value(), -250);
    EXPECT_EQ(window->TBWidth->value(), 777);
    EXPECT_TRUE(boxes.Shown().empty()) << "no save question when inserting";

    openAnswer = two; // "Insert objects from saved project" asks for the file
    window->AInsertObj->trigger();
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
}

TEST_F(ProjectLoad, FullTableIsReportedOnceAndTheRestLeftOut)
{
    window->AddObject(kKindBox);
    window->AddObject(kKindBox);
    const std::string two = dir.file("two.qv7kb");
    SaveSilently(two);
    while (window->Objects.Count() < kMaxObjects - 1)
        window->AddObject(kKindBox);

    Load(two, kLoadInsertPreset);
    EXPECT_EQ(window->Objects.Count(), kMaxObjects);
    EXPECT_EQ(Messages(), (std::vector<std::string>{TableFullMessage()}));
}

TEST_F(ProjectLoad, ReplaceModesPutObjectsIntoTheFirstSlots)
{
    for (int i = 0; i < 3; ++i)
        window->AddObject(kKindBox);
    window->PC2->setCurrentWidget(window->Objects.At(1));
    window->ObjectCmds->DeleteObject(true);
    const std::string gap = dir.file("gap.qv7kb");
    SaveSilently(gap);
    auto file = ReadFileBytes(gap);
    auto read = project::ReadProject(file);
    EXPECT_FALSE(read.scene.objects[1]);
    EXPECT_TRUE(read.scene.objects[2]);

    for (int mode : {kLoadEnhancedBefore, kLoadEnhancedAfter}) {
        Load(gap, mode);
        EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1})) << "mode " << mode;
    }
    EXPECT_TRUE(boxes.Shown().empty()) << "modes 3 and 4 never ask";
}

// Damaged copies of a real project: each is refused with the message before
// anything of the scene changes.
struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
};

void PutI32(std::vector<uint8_t>& f, size_t at, int32_t v)
{
    for (int i = 0; i < 4; ++i)
        f[at + size_t(i)] = uint8_t(uint32_t(v) >> (8 * i));
}

class DamagedProject : public ProjectLoad, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedProject, IsRefusedAndTheSceneStays)
{
    BuildRichScene();
    const std::string good = dir.file("good.qv7kb"), bad = dir.file("bad.qv7kb");
    SaveSilently(good);
    auto bytes = ReadFileBytes(good);
    GetParam().apply(bytes);
    WriteFileAtomic(bad, bytes);

    std::vector<int> occupied = OccupiedSlots();
    int faceTag = window->Objects.At(0)->Faces[2]->Tag;
    try {
        Load(bad, kLoadPreset);
        FAIL() << "the damaged file was loaded";
    } catch (const project::ProjectError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Can not load file:\n" + bad + "\n", 0), 0u) << e.what();
    }
    EXPECT_TRUE(boxes.Shown().empty()) << "nothing is asked about a file that cannot load";
    EXPECT_EQ(OccupiedSlots(), occupied);
    EXPECT_EQ(window->Objects.At(0)->Faces[2]->Tag, faceTag);
    EXPECT_EQ(window->TBCameraX->value(), 333);
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedProject,
    testing::Values(Damage{"EmptyFile", [](auto& f) { f.clear(); }},
                    Damage{"SevenBytes", [](auto& f) { f.resize(7); }},
                    Damage{"CutInTheBlobs", [](auto& f) { f.erase(f.begin() + 100, f.begin() + 200); }},
                    Damage{"LastByteGone", [](auto& f) { f.pop_back(); }},
                    Damage{"NegativeBlobSize", [](auto& f) { PutI32(f, f.size() - 8, -5); }},
                    Damage{"HugeIniSize", [](auto& f) { PutI32(f, f.size() - 4, INT32_MAX); }},
                    Damage{"BlobRangePastTheEnd",
                           [](auto& f) {
                               // A face picture starting before the file, keeping the INI length.
                               std::string s(f.begin(), f.end());
                               size_t at = s.find("Ipstart3=");
                               ASSERT_NE(at, std::string::npos);
                               f[at + 9] = '-';
                           }},
                    Damage{"NoKnownSection",
                           [](auto& f) {
                               std::string s(f.begin(), f.end());
                               for (size_t at = s.find('['); at != std::string::npos; at = s.find('[', at + 1))
                                   f[at + 1] = 'x';
                           }}),
    [](const auto& info) { return std::string(info.param.name); });

// Peak memory of this process in bytes.
int64_t PeakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024;
}

TEST_F(ProjectLoad, HugeFileThatIsNotAProjectIsRefusedWithoutBeingRead)
{
    window->AddObject(kKindBox);
    const std::string huge = dir.file("huge.qv7kb");
    const int64_t size = int64_t(1536) << 20;
    { std::ofstream(huge, std::ios::binary) << "not a project"; }
    fs::resize_file(huge, uintmax_t(size)); // sparse: no disk space taken
    const int64_t before = PeakMemory();
    try {
        Load(huge, kLoadPreset);
        FAIL() << "the file was loaded";
    } catch (const project::ProjectError& e) {
        EXPECT_EQ(std::string(e.what()), "Can not load file:\n" + huge + "\nThe file's last 8 bytes do not describe its contents.");
    }
    EXPECT_LT(PeakMemory() - before, int64_t(64) << 20);
    EXPECT_EQ(OccupiedSlots(), std::vector<int>{0});
}

// A lone carriage return inside the INI text breaks a key: the picture it
// named is no longer shown, but its bytes are not lost. The user hears of it
// once; the enhanced render's reload of the saved scene says nothing.
TEST_F(ProjectLoad, BytesOfABrokenKeyAreKeptAndSavedAgain)
{
    BuildRichScene();
    const std::string good = dir.file("good.qv7kb"), bad = dir.file("bad.qv7kb"), again = dir.file("again.qv7kb");
    SaveSilently(good);
    const auto bytes = ReadFileBytes(good);
    const project::Blob top = project::ReadProject(bytes).scene.objects[0]->faces[2].picture;
    ASSERT_TRUE(top.Present());
    const size_t b = size_t(bytes.size()) - 8 - (bytes[bytes.size() - 4] | bytes[bytes.size() - 3] << 8 | bytes[bytes.size() - 2] << 16);
    std::string ini(bytes.begin() + std::ptrdiff_t(b), bytes.end() - 8);
    const size_t key = ini.find("Ipsize2=");
    ASSERT_NE(key, std::string::npos);
    ini.insert(key + 4, "\r");
    std::vector<uint8_t> damaged(bytes.begin(), bytes.begin() + std::ptrdiff_t(b));
    damaged.insert(damaged.end(), ini.begin(), ini.end());
    for (uint32_t x : {uint32_t(b), uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            damaged.push_back(uint8_t(x >> (8 * i)));
    WriteFileAtomic(bad, damaged);

    boxes.Queue(Answer::No);
    Load(bad, kLoadPreset);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kSaveQuestion, "The project is damaged: these settings cannot be "
                                                                       "read: [0] Ipsi\\x0Dze2. " + std::to_string(top.size) +
                                                                       " bytes of it belong to no setting. They are "
                                                                       "kept and saved with the project."}));
    EXPECT_EQ(window->Objects.At(0)->Faces[2]->Tag, 0);
    SaveSilently(again);
    const auto saved = ReadFileBytes(again);
    const auto picture = std::vector<uint8_t>(bytes.begin() + std::ptrdiff_t(top.start),
                                              bytes.begin() + std::ptrdiff_t(top.start + top.size));
    EXPECT_NE(std::search(saved.begin(), saved.end(), picture.begin(), picture.end()), saved.end());
    const size_t shown = boxes.Shown().size();
    Load(again, kLoadEnhancedAfter);
    EXPECT_EQ(boxes.Shown().size(), shown);
}

// The whole project is judged before the scene changes: a picture that would
// pass the scene's texture budget refuses it, by name.
TEST_F(ProjectLoad, AProjectBeyondTheTextureBudgetIsRefusedBeforeTheSceneChanges)
{
    BuildRichScene();
    const std::string path = dir.file("p.qv7kb");
    SaveSilently(path);
    TextureMemory& memory = TextureMemory::Scene();
    const int64_t old = memory.Budget();
    project::FileProjectSource file(path);
    const project::ProjectNeeds needs =
        project::JudgeProject(file, project::ReadProject(file).scene, [](int s, int i) { return std::to_string(s * 10 + i); });
    ASSERT_GE(needs.pictures.size(), 4u);
    int64_t total = 0;
    for (const auto& p : needs.pictures)
        total += p.textureBytes;
    // The scene's own textures go before the load: room for the project's is enough.
    memory.SetBudget(total);
    boxes.Queue(Answer::No);
    Load(path, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1, 2, 3}));
    const int background = window->ImageBackground->Tag;
    EXPECT_GT(background, 0);
    memory.SetBudget(total - 1);
    try {
        Load(path, kLoadPreset);
        ADD_FAILURE() << "the project was loaded";
    } catch (const project::ProjectError& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Can not load file:\n" + path + "\nThe picture \"", 0), 0u) << text;
        EXPECT_NE(text.find("at most " + MegabytesText(total - 1)), std::string::npos) << text;
    }
    memory.SetBudget(old);
    EXPECT_EQ(Messages(), std::vector<std::string>{kSaveQuestion}); // asked by the first load only
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(window->ImageBackground->Tag, background);
}

TEST_F(ProjectLoad, StartUpNamesTheFileAndTheReason)
{
    const std::string bad = dir.file("bad.qv7kb");
    WriteFileAtomic(bad, {1, 2, 3});
    window.reset();
    window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{QString::fromStdString(bad)});
    window->FormCreate();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Can not load file:\n" + bad + "\nThe file is too short.");
    EXPECT_EQ(window->Objects.Count(), 0);
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
}

// A file name that is not UTF-8, given on the command line, opens its project.
TEST_F(ProjectLoad, StartUpOpensAFileWhoseNameIsNotUtf8)
{
    window->AddObject(kKindBox);
    window->AddObject(kKindCD);
    const std::string path = dir.file("sc\xe8ne \xff.qv7kb");
    SaveSilently(path);
    ASSERT_TRUE(fs::exists(path));
    window.reset();
    window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{PathToQString(path)});
    window->FormCreate();
    EXPECT_TRUE(boxes.Shown().empty()) << boxes.Shown().at(0).text;
    EXPECT_EQ(OccupiedSlots(), (std::vector<int>{0, 1}));
}

// Runs the event loop until done() or about ten seconds have passed.
template <class F>
bool SpinUntil(F done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// A hand-over while a dialog waits for an answer: the dialog stays in front
// and the project loads once it is answered.
TEST_F(ProjectLoad, HandOverKeepsAnOpenDialogInFront)
{
    window->AddObject(kKindBox);
    const std::string path = dir.file("handed.qv7kb");
    SaveSilently(path);
    window->ObjectCmds->DeleteObject(true);
    window->show();
    QDialog dialog(window.get());
    dialog.setModal(true);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(SpinUntil([&] { return QApplication::activeWindow() == &dialog; }));

    window->QueueHandedOverProject(path);
    QElapsedTimer settle;
    settle.start();
    SpinUntil([&] { return settle.elapsed() > 300; });
    EXPECT_EQ(QApplication::activeWindow(), &dialog);
    EXPECT_EQ(window->Objects.Count(), 0) << "the load waits for the dialog";

    dialog.accept();
    EXPECT_TRUE(SpinUntil([&] { return window->Objects.Count() == 1; }));
}

TEST_F(ProjectLoad, YesToTheSaveQuestionThenNoSaveKeepsTheScene)
{
    BuildRichScene();
    const std::string other = dir.file("other.qv7kb");
    SaveSilently(other);
    auto occupied = OccupiedSlots();

    // Cancelled save dialog.
    boxes.Queue(Answer::Yes);
    saveAnswer.reset();
    Load(other, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), occupied);
    EXPECT_EQ(window->SaveAsTemplate->Tag, 1);

    // A save that fails: a picture's work file is gone.
    fs::remove(TextureFolder() + std::to_string(window->Objects.At(0)->Faces[2]->Tag));
    boxes.Queue(Answer::Yes);
    saveAnswer = dir.file("target.qv7kb");
    Load(other, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), occupied);
    EXPECT_EQ(window->TBCameraX->value(), 333);
    EXPECT_FALSE(fs::exists(dir.file("target.qv7kb")));
    EXPECT_EQ(boxes.Shown().size(), 3u) << "two questions and the save's error";
}

TEST_F(ProjectLoad, SaveFixesTheExtensionAndAsksBeforeOverwriting)
{
    window->AddObject(kKindBox);
    saveAnswer = dir.file("scene.txt");
    window->ASaveTemplate->trigger();
    const std::string written = dir.file("scene.qv7kb");
    ASSERT_TRUE(fs::exists(written));
    EXPECT_FALSE(fs::exists(dir.file("scene.txt")));
    EXPECT_EQ(window->SaveAsTemplate->Tag, 0);
    auto before = ReadFileBytes(written);

    window->AddObject(kKindCD);
    boxes.Queue(Answer::No);
    window->ASaveTemplate->trigger();
    EXPECT_EQ(boxes.Shown().back().text,
              "File:\n" + written + "\nhas been existed. Do you want to overwrite current file?");
    EXPECT_EQ(boxes.Shown().back().caption, "Question");
    EXPECT_EQ(ReadFileBytes(written), before);
    EXPECT_EQ(window->SaveAsTemplate->Tag, 1);

    boxes.Queue(Answer::Yes);
    window->ASaveTemplate->trigger();
    EXPECT_NE(ReadFileBytes(written), before);
    EXPECT_EQ(window->SaveAsTemplate->Tag, 0);
}

// "Load Project" opens where a dialog last saved or loaded, not in the
// working directory.
TEST_F(ProjectLoad, LoadDialogOpensInTheFolderLastSavedToOrLoadedFrom)
{
    fs::create_directories(dir.file("saved"));
    fs::create_directories(dir.file("loaded"));
    window->AddObject(kKindBox);
    saveAnswer = dir.file("saved/a.qv7kb");
    window->ASaveTemplate->trigger();
    ProjectCommands real(*window); // its dialogs are the real ones
    auto shownFolder = [&] {
        QString shown;
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                shown = d->directory().absolutePath();
                d->reject();
            }
        });
        EXPECT_FALSE(real.ChooseOpenFile());
        return shown.toStdString();
    };
    EXPECT_EQ(shownFolder(), dir.file("saved"));
    fs::copy_file(dir.file("saved/a.qv7kb"), dir.file("loaded/b.qv7kb"));
    openAnswer = dir.file("loaded/b.qv7kb");
    boxes.Queue(Answer::No); // save the current project first?
    window->ALoadTemplate->trigger();
    EXPECT_EQ(shownFolder(), dir.file("loaded"));
}

// "Save Project", and "Yes" to saving first, open on the project the scene
// was loaded from or last saved to; the program's own projects start anew.
TEST_F(ProjectLoad, SaveDialogOpensOnTheProjectLoadedOrLastSaved)
{
    fs::create_directories(dir.file("saved"));
    fs::create_directories(dir.file("loaded"));
    const std::string a = dir.file("saved/a.qv7kb"), b = dir.file("loaded/b.qv7kb"), c = dir.file("saved/c.qv7kb");
    window->AddObject(kKindBox);
    SaveSilently(b);
    std::vector<std::string> proposals;
    projects->ChooseSaveFile = [&](const std::string& proposed) {
        proposals.push_back(proposed);
        return saveAnswer;
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> proposed; // what each save dialog opened on
    };
    const std::string clear = std::string(PRISMCASE_SOURCE_DIR) + "/data/Clear.qv7kb";
    const Step steps[] = {
        {"a new scene", [&] { saveAnswer = a; window->ASaveTemplate->trigger(); }, {""}},
        {"after saving", [&] { saveAnswer.reset(); window->ASaveTemplate->trigger(); }, {a}},
        {"after loading",
         [&] {
             openAnswer = b;
             boxes.Queue(Answer::No);
             window->ALoadTemplate->trigger();
             window->ASaveTemplate->trigger();
         },
         {b}},
        {"yes to saving first",
         [&] {
             boxes.Queue(Answer::Yes);
             saveAnswer = c;
             Load(a, kLoadPreset);
             saveAnswer.reset();
             window->ASaveTemplate->trigger();
         },
         {b, a}},
        {"inserting keeps it",
         [&] {
             Load(b, kLoadInsertPreset);
             window->ASaveTemplate->trigger();
         },
         {a}},
        {"a template is not the project",
         [&] {
             saveAnswer.reset();
             window->SaveAsTemplate->trigger();
             window->ASaveTemplate->trigger();
         },
         {UserTemplatesFolder(), a}},
        {"the program's own project",
         [&] {
             boxes.Queue(Answer::No);
             Load(clear, kLoadPreset);
             window->AddObject(kKindBox);
             window->ASaveTemplate->trigger();
         },
         {""}},
    };
    for (const Step& s : steps) {
        proposals.clear();
        s.act();
        EXPECT_EQ(proposals, s.proposed) << s.what;
    }

    // The real dialog shows the proposal's folder and name.
    ProjectCommands real(*window);
    QString folder, name;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            folder = d->directory().absolutePath();
            name = d->selectedFiles().value(0);
            d->reject();
        }
    });
    EXPECT_FALSE(real.ChooseSaveFile(b));
    EXPECT_EQ(folder.toStdString(), dir.file("loaded"));
    EXPECT_EQ(name.toStdString(), b);
}

// A picture number in the file names no texture of ours: without its bytes
// the floor shows its colour.
TEST_F(ProjectLoad, SavedPictureNumbersAreNotTextures)
{
    project::Scene s;
    s.floorTextureId = 7;
    s.floorColour = RGB(1, 2, 3);
    s.backgroundTextureId = 8;
    std::string ini = project::ProjectIniText(s, "");
    std::vector<uint8_t> file(ini.begin(), ini.end());
    for (uint32_t v : {0u, uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            file.push_back(uint8_t(v >> (8 * i)));
    WriteFileAtomic(dir.file("numbers.qv7kb"), file);
    window->ImageFloor->Tag = 5;

    Load(dir.file("numbers.qv7kb"), kLoadPreset);
    EXPECT_EQ(window->ImageFloor->Tag, 0);
    EXPECT_EQ(window->ImageFloor->BrushColor, RGB(1, 2, 3));
    EXPECT_EQ(window->ImageBackground->Tag, 0);
}

TEST_F(ProjectLoad, UnknownKindIsNamedOnceAndTheOthersLoad)
{
    window->AddObject(kKindBox);
    window->AddObject(kKindBox);
    const std::string path = dir.file("kinds.qv7kb");
    SaveSilently(path);
    auto bytes = ReadFileBytes(path);
    std::string text(bytes.begin(), bytes.end());
    size_t at = text.find("OType=0", text.find("[1]"));
    ASSERT_NE(at, std::string::npos);
    bytes[at + 6] = '9'; // same length, so the trailer still adds up
    WriteFileAtomic(path, bytes);
    window->ObjectCmds->DeleteObject(true);
    window->ObjectCmds->DeleteObject(true);

    Load(path, kLoadPreset);
    EXPECT_EQ(OccupiedSlots(), std::vector<int>{0});
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("[1]"), std::string::npos) << boxes.Shown()[0].text;
}

TEST_F(ProjectLoad, CancelledOpenDialogChangesNothing)
{
    window->AddObject(kKindBox);
    openAnswer.reset();
    window->ALoadTemplate->trigger();
    window->AInsertObj->trigger();
    EXPECT_EQ(OccupiedSlots(), std::vector<int>{0});
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
}

TEST_F(ProjectLoad, ProgramDataFilesLoad)
{
    const std::string data = std::string(PRISMCASE_SOURCE_DIR) + "/data/";
    Load(data + "Default.qv7kb", kLoadPreset);
    EXPECT_GE(window->Objects.Count(), 2);
    boxes.Queue(Answer::No);
    Load(data + "Clear.qv7kb", kLoadPreset);
    EXPECT_EQ(window->Objects.Count(), 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{kSaveQuestion});

    // Resaving the default project with its own date gives its bytes back.
    auto original = ReadFileBytes(data + "Default.qv7kb");
    auto read = project::ReadProject(original);
    Load(data + "Default.qv7kb", kLoadPreset);
    projects->SaveDate = [&] { return read.scene.date; };
    SaveSilently(dir.file("again.qv7kb"));
    EXPECT_EQ(ReadFileBytes(dir.file("again.qv7kb")), original);

    // So does a 3D text that an 8-bit program wrote in Windows-1252.
    const auto title = ReadFileBytes(std::string(PRISMCASE_BINARY_DIR) + "/templates/3D Text Title.qv7kb");
    const size_t blobs = title[title.size() - 8] | title[title.size() - 7] << 8;
    std::string ini(title.begin() + std::ptrdiff_t(blobs), title.end() - 8);
    const std::string text = "Prism\x99\xA0\x93Pro\x94 \x80" "9"; // a no-break space among them
    ini.replace(ini.find("Text3dSize="), 11 + std::to_string(blobs).size(), "Text3dSize=" + std::to_string(text.size()));
    std::string eightBit = text + ini;
    for (uint32_t x : {uint32_t(text.size()), uint32_t(ini.size())})
        for (int i = 0; i < 4; ++i)
            eightBit += char(x >> (8 * i));
    WriteFileAtomic(dir.file("title.qv7kb"), std::vector<uint8_t>(eightBit.begin(), eightBit.end()));
    boxes.Queue(Answer::No);
    Load(dir.file("title.qv7kb"), kLoadPreset);
    EXPECT_EQ(window->Objects.At(0)->TextMemo->toPlainText().toStdString(), "Prism™ “Pro” €9");
    SaveSilently(dir.file("again.qv7kb"));
    EXPECT_EQ(ReadFileBytes(dir.file("again.qv7kb")), std::vector<uint8_t>(eightBit.begin(), eightBit.end()));
}

} // namespace
} // namespace pc::test

namespace pc::test {
namespace {

// A project with floor and background shows their groups; one with a
// transparent background hides them again.
TEST_F(ProjectWindowTest, LoadedTransparencyShowsOrHidesTheFloorGroups)
{
    ASSERT_TRUE(window->BTransparent->isChecked());
    ASSERT_TRUE(window->GroupBox8->isHidden());
    Load(std::string(PRISMCASE_BINARY_DIR) + "/templates/Book.qv7kb", kLoadPreset);
    ASSERT_FALSE(window->BTransparent->isChecked());
    EXPECT_FALSE(window->GroupBox8->isHidden()) << "floor group";
    EXPECT_FALSE(window->GroupBox9->isHidden()) << "background group";
    boxes.Queue(Answer::No);
    Load(std::string(PRISMCASE_SOURCE_DIR) + "/data/Clear.qv7kb", kLoadPreset);
    EXPECT_EQ(window->GroupBox8->isHidden(), window->BTransparent->isChecked());
}

} // namespace
} // namespace pc::test
