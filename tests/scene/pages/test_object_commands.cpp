// Adding, deleting and copying objects through the commands the window uses.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <filesystem>

#include "pages_fixture.h"
#include "platform/track_bar.h"
#include "scene/pages/face_commands.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

using ObjectCommandsTest = PagesTest;

TEST_F(ObjectCommandsTest, ObjectsFillTheGridSlotBySlot)
{
    // X and Z positions of slots 0..9: centre first, slot 9 back in the centre.
    const std::vector<GridPlace> expected = {{180, 180}, {0, 180},   {360, 180}, {180, 0},   {0, 0},
                                             {360, 0},   {180, 360}, {0, 360},   {360, 360}, {180, 180}};
    for (int i = 0; i < int(expected.size()); ++i) {
        ASSERT_EQ(commands.AddObject(kKindBox), i);
        EXPECT_EQ(Page(i).Position(kRowPosition, kColX), expected[i].x) << "slot " << i;
        EXPECT_EQ(Page(i).Position(kRowPosition, kColZ), expected[i].z) << "slot " << i;
        EXPECT_EQ(Page(i).Tag, i);
        EXPECT_EQ(commands.CurrentSlot(), i);
    }
    EXPECT_EQ(host.added.size(), expected.size());
}

TEST_F(ObjectCommandsTest, TheThirtyThirdObjectIsRefused)
{
    for (int i = 0; i < kMaxObjects; ++i)
        ASSERT_EQ(commands.AddObject(kKindBox), i);
    EXPECT_EQ(commands.AddObject(kKindCD), -1);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "At most 32 objects can be created.");
    EXPECT_EQ(tabs.count(), kMaxObjects);
    EXPECT_EQ(table.Count(), kMaxObjects);
}

TEST_F(ObjectCommandsTest, DeleteFreesTheSlotAndItsWorkFiles)
{
    for (int i = 0; i < 5; ++i)
        commands.AddObject(kKindBook); // books get page pictures: three work files each
    GLTSObject& doomed = Page(2);
    std::vector<int> ids;
    for (FacePicture* f : doomed.Faces)
        if (f->Tag)
            ids.push_back(f->Tag);
    ASSERT_EQ(ids.size(), 3u);
    for (int id : ids)
        ASSERT_TRUE(fs::exists(TextureFolder() + std::to_string(id)));

    tabs.setCurrentWidget(&doomed);
    boxes.Queue(Answer::Yes);
    commands.DeleteObject();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Are you sure to delete current object Book (#2)?");
    EXPECT_EQ(boxes.Shown()[0].caption, "Confirm?");
    EXPECT_EQ(table.At(2), nullptr);
    EXPECT_EQ(tabs.count(), 4);
    EXPECT_EQ(host.removed, std::vector<int>{2});
    for (int id : ids) {
        EXPECT_FALSE(fs::exists(TextureFolder() + std::to_string(id)));
        EXPECT_EQ(std::count(textures.released.begin(), textures.released.end(), id), 1) << "released once";
    }

    // The freed slot is taken first, with its place on the grid.
    EXPECT_EQ(commands.AddObject(kKindBox), 2);
    EXPECT_EQ(Page(2).Position(kRowPosition, kColX), 360);
    EXPECT_EQ(Page(2).Position(kRowPosition, kColZ), 180);
}

TEST_F(ObjectCommandsTest, DeleteAsksAndStopsOnNo)
{
    commands.AddObject(kKindCD);
    boxes.Queue(Answer::No);
    commands.DeleteObject();
    EXPECT_NE(table.At(0), nullptr);
    commands.DeleteObject(/*silent=*/true);
    EXPECT_EQ(table.At(0), nullptr);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(commands.CurrentSlot(), -1);

    commands.DeleteObject();
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].text, "No object exists!");
    commands.DeleteObject(true); // silent: not a word
    EXPECT_EQ(boxes.Shown().size(), 2u);
}

TEST_F(ObjectCommandsTest, DefaultPicturesDressBooksAndCDs)
{
    struct Case {
        int kind;
        std::vector<int> pictured;
    };
    for (const Case& c : std::vector<Case>{{kKindBook, {2, 3, 4}}, {kKindNoteBook, {2, 3, 4}}, {kKindCD, {0}},
                                           {kKindBox, {}}, {kKindThickBook, {}}}) {
        int slot = commands.AddObject(c.kind);
        for (int i = 0; i < 6; ++i) {
            bool pictured = std::count(c.pictured.begin(), c.pictured.end(), i) > 0;
            EXPECT_EQ(Page(slot).Faces[i]->Tag != 0, pictured) << "kind " << c.kind << " face " << i;
            if (pictured)
                EXPECT_EQ(Page(slot).Faces[i]->BrushColor, clWhite);
        }
    }
}

TEST_F(ObjectCommandsTest, MissingDefaultPictureKeepsFaceAndSwatchInAgreement)
{
    commands.SetDefaultPictureFolder("/nonexistent/");
    int slot = commands.AddObject(kKindCD);
    FacePicture& front = *Page(slot).Faces[0];
    EXPECT_EQ(front.Tag, 0);
    // The colour the geometry draws is the one the swatch shows.
    EXPECT_EQ(front.CanvasPixel(front.width() / 2, 3), front.BrushColor);
    EXPECT_NE(front.BrushColor, clWhite);
}

TEST_F(ObjectCommandsTest, CopyNudgesPositionZAndTakesTheRest)
{
    struct Case {
        int z, expected;
    };
    for (Case c : {Case{180, 300}, Case{300, 61}, Case{0, 120}, Case{360, 91}}) {
        commands.AddObject(kKindRoundBox);
        GLTSObject& src = *commands.ShownObject();
        src.SetPosition(kRowPosition, kColZ, c.z);
        src.SetPosition(kRowPosition, kColX, 17);
        src.SetPosition(kRowRotation, kColY, 99);
        src.SetPosition(kRowKeep5, kColD, 3);
        src.VisibleCheck->setChecked(false);
        int slot = commands.CopyObject();
        ASSERT_GE(slot, 0);
        GLTSObject& dst = Page(slot);
        EXPECT_EQ(dst.Position(kRowPosition, kColZ), c.expected) << "from " << c.z;
        EXPECT_EQ(dst.Position(kRowPosition, kColX), 17);
        EXPECT_EQ(dst.Position(kRowRotation, kColY), 99);
        EXPECT_EQ(dst.Position(kRowKeep5, kColD), 3);
        EXPECT_FALSE(dst.VisibleCheck->isChecked());
        EXPECT_EQ(commands.ShownObject(), &dst);
    }
}

TEST_F(ObjectCommandsTest, CopyLoadsNewTexturesFromTheSourceWorkFiles)
{
    commands.AddObject(kKindBook);
    GLTSObject& src = *commands.ShownObject();
    src.Faces[0]->BrushColor = RGB(1, 2, 3);
    int slot = commands.CopyObject();
    GLTSObject& dst = Page(slot);
    for (int i : {2, 3, 4}) {
        ASSERT_NE(dst.Faces[i]->Tag, 0);
        EXPECT_NE(dst.Faces[i]->Tag, src.Faces[i]->Tag);
        EXPECT_EQ(LoadBmpFile(TextureFolder() + std::to_string(dst.Faces[i]->Tag)),
                  LoadBmpFile(TextureFolder() + std::to_string(src.Faces[i]->Tag)));
    }
    EXPECT_EQ(dst.Faces[0]->Tag, 0);
    EXPECT_EQ(dst.Faces[0]->BrushColor, RGB(1, 2, 3));
    // Deleting the source leaves the copy's pictures alone.
    tabs.setCurrentWidget(&src);
    commands.DeleteObject(true);
    for (int i : {2, 3, 4})
        EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(dst.Faces[i]->Tag)));
}

TEST_F(ObjectCommandsTest, CopyOfTextTakesTextAndFont)
{
    commands.AddObject(kKindText);
    GLTSObject& src = *commands.ShownObject();
    src.TextMemo->setPlainText(QString::fromUtf8("Hello\u00A0\nWorld")); // the no-break space too
    QFont f = src.TextMemo->font();
    f.setFamily("Liberation Serif");
    f.setBold(true);
    src.TextMemo->setFont(f);
    GLTSObject& dst = Page(commands.CopyObject());
    EXPECT_EQ(dst.TextMemo->document()->toRawText(), QString::fromUtf8("Hello\u00A0\u2029World"));
    EXPECT_EQ(dst.TextMemo->font(), f);
}

TEST_F(ObjectCommandsTest, CopyWithNothingShownDoesNothing)
{
    EXPECT_EQ(commands.CopyObject(), -1);
    EXPECT_EQ(tabs.count(), 0);
}

TEST_F(ObjectCommandsTest, CancelledModelDialogCreatesNothing)
{
    host.modelAnswer.reset();
    EXPECT_EQ(commands.AddObject(kKindModel), -1);
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ObjectCommandsTest, DeletingEveryObjectGivesEveryTextureBack)
{
    commands.AddObject(kKindBook);
    commands.AddObject(kKindCD);
    ASSERT_EQ(textures.live.size(), 4u);
    while (tabs.count())
        commands.DeleteObject(true);
    EXPECT_TRUE(textures.live.empty());
}

TEST_F(ObjectCommandsTest, APageGoingWithItsControlGivesItsTexturesBack)
{
    auto control = std::make_unique<QTabWidget>();
    auto* page = new GLTSObject(control.get(), textures);
    LoadFacePicture(*page->Faces[1], std::string(PRISMCASE_SOURCE_DIR) + "/data/Pagesv.bmp", textures, clBlack);
    int id = page->Faces[1]->Tag;
    ASSERT_GT(id, 0);
    control.reset();
    EXPECT_EQ(textures.released, std::vector<int>{id});
}

// A store that fails with something other than a picture error.
class BrokenStore : public FileTextureStore {
public:
    LoadedTexture Load(const std::string&, int) override { throw std::runtime_error("out of texture memory"); }
};

TEST(ObjectCommandsFailure, AFailedBuildLeavesNoHalfBuiltPage)
{
    BrokenStore textures;
    RecordingHost host;
    ObjectTable table;
    QTabWidget tabs;
    ObjectCommands commands(tabs, table, textures, host);
    commands.SetDefaultPictureFolder(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
    EXPECT_THROW(commands.AddObject(kKindCD), std::runtime_error);
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(tabs.count(), 0);
    EXPECT_TRUE(host.added.empty());
    EXPECT_EQ(commands.AddObject(kKindBox), 0); // the slot is free again
}

TEST(CameraPullBack, MovesOutToSevenOnTheSameBearing)
{
    // X -200, Z 400: distance 4.47 + 0.005 is inside 5.
    double angle = std::atan2(400.0, -200.0);
    auto moved = CameraPullBack(-200, 400, angle);
    ASSERT_TRUE(moved);
    EXPECT_NEAR(std::hypot(moved->first, moved->second), 700, 1);
    EXPECT_NEAR(std::atan2(double(moved->second), double(moved->first)), angle, 0.01);
    EXPECT_FALSE(CameraPullBack(300, 400, std::atan2(400.0, 300.0))); // distance 5 already
}

} // namespace
} // namespace pc::test
