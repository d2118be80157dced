// Commits, history files, undo and redo across tools.
#include "tests/editor/window/model_fixture.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "editor/window/history_folder.h"
#include "editor/window/picture_files.h"
#include "platform/bmp_file.h"

namespace pc::editor::test {
namespace {

TEST_F(ModelTest, TwelveCommitsKeepFileZeroAndTheNineNewest)
{
    for (int i = 0; i < 12; ++i) {
        model->ChooseTool(ToolAction::Rectangle);
        Drag({10 + i * 5, 10}, {20 + i * 5, 60});
    }
    EXPECT_EQ(HistoryNumbers(), (std::vector<int>{0, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(model->History().Index(), 12);
}

TEST_F(ModelTest, EveryUndoChangesThePictureAndACommitEndsTheRedoChain)
{
    for (int i = 0; i < 12; ++i) {
        model->ChooseTool(ToolAction::Rectangle);
        Drag({10 + i * 5, 10}, {20 + i * 5, 60});
    }
    int undos = 0;
    while (model->CanUndo()) {
        const Bitmap before = model->Picture();
        model->Undo();
        if (model->Picture() == before)
            break;
        ++undos;
    }
    // The tool's one figure goes to the history first, which drops file 3;
    // then files 11 down to 4 are each a different picture.
    EXPECT_EQ(undos, 8);
    EXPECT_FALSE(model->CanUndo());
    ASSERT_TRUE(model->CanRedo());
    const Bitmap oldest = model->Picture();
    model->Redo();
    EXPECT_FALSE(model->Picture() == oldest);
    model->Undo();
    EXPECT_TRUE(model->Picture() == oldest);

    model->ChooseTool(ToolAction::Line); // a commit of nothing new keeps the chain
    EXPECT_TRUE(model->History().Exists(model->History().Index() + 1));
    Drag({200, 200}, {230, 230});
    model->ChooseTool(ToolAction::Rectangle); // a new picture ends it
    model->Undo();
    model->Redo();
    EXPECT_FALSE(model->CanRedo());
    EXPECT_FALSE(model->History().Exists(model->History().Index() + 1));
}

// Rectangle i of a run: apart from the others, at odd corners.
Rect Box(int i)
{
    return Rect{7 + 23 * i, 11 + 5 * i, 7 + 23 * i + 17, 11 + 5 * i + 29};
}

// A white 256 x 256 picture with the outlines (right and bottom edges
// exclusive) of the given boxes in black.
Bitmap Outlines(const std::vector<Rect>& boxes)
{
    Bitmap b(256, 256);
    b.Fill(clWhite);
    for (const Rect& r : boxes)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1)
                    b.SetPixel(x, y, clBlack);
    return b;
}

class DrawnRun : public ModelTest {
protected:
    // Draws boxes first..first+count-1, each committed by the next tool
    // choice; ends with a tool that draws nothing.
    void DrawBoxes(int first, int count)
    {
        for (int i = first; i < first + count; ++i) {
            model->ChooseTool(ToolAction::Rectangle);
            Drag({Box(i).left, Box(i).top}, {Box(i).right, Box(i).bottom});
            drawn.push_back(Box(i));
        }
        model->ChooseTool(ToolAction::Circle);
    }
    Bitmap FirstBoxes(int n) const { return Outlines({drawn.begin(), drawn.begin() + n}); }
    std::vector<Rect> drawn;
};

TEST_F(DrawnRun, NUndosThenNRedosGiveBackEveryPicture)
{
    DrawBoxes(0, 9);
    ASSERT_TRUE(model->Picture() == FirstBoxes(9));
    const std::vector<int> files = HistoryNumbers();
    for (int n = 1; n <= 9; ++n) {
        for (int k = 1; k <= n; ++k) {
            model->Undo();
            ASSERT_TRUE(model->Picture() == FirstBoxes(9 - k)) << n << " undos, undo " << k;
        }
        for (int k = n - 1; k >= 0; --k) {
            ASSERT_TRUE(model->CanRedo()) << n << " redos, " << k << " to go";
            model->Redo();
            ASSERT_TRUE(model->Picture() == FirstBoxes(9 - k)) << n << " redos, " << k << " to go";
        }
        EXPECT_FALSE(model->CanRedo());
        EXPECT_EQ(HistoryNumbers(), files) << n;
    }
}

TEST_F(DrawnRun, ToolChoicesThatDrawNothingWriteNoFile)
{
    DrawBoxes(0, 2);
    const std::vector<int> files = HistoryNumbers();
    for (ToolAction t : {ToolAction::Line, ToolAction::Ellipse, ToolAction::Crop, ToolAction::Select})
        model->ChooseTool(t);
    EXPECT_EQ(HistoryNumbers(), files);
    model->Undo();
    EXPECT_TRUE(model->Picture() == FirstBoxes(1));
}

TEST_F(DrawnRun, APictureTurnedAfterUndosIsKeptByRedoAndUndo)
{
    DrawBoxes(0, 3);
    model->Undo();
    model->Undo();
    model->FlipVertical();
    Bitmap flipped(256, 256);
    const Bitmap one = FirstBoxes(1);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            flipped.SetPixel(x, y, one.Pixel(x, 255 - y));
    ASSERT_TRUE(model->Picture() == flipped);
    model->Redo(); // the turn is newer than what the undos left to redo
    EXPECT_TRUE(model->Picture() == flipped);
    EXPECT_FALSE(model->CanRedo());
    model->Undo();
    EXPECT_TRUE(model->Picture() == one);
    model->Redo();
    EXPECT_TRUE(model->Picture() == flipped);
}

TEST_F(DrawnRun, ASaveAfterUndosDiscardsTheStatesAboveIt)
{
    DrawBoxes(0, 3);
    model->Undo();
    model->Undo();
    model->ChooseTool(ToolAction::Rectangle);
    Drag({Box(5).left, Box(5).top}, {Box(5).right, Box(5).bottom});
    dialogs.saves.push_back(SaveChoice{Folder() + "saved", kSaveBmp});
    model->SaveAs(); // the save commits boxes 0 and 5
    model->Undo();
    ASSERT_TRUE(model->Picture() == FirstBoxes(1));
    model->Redo();
    EXPECT_TRUE(model->Picture() == Outlines({Box(0), Box(5)}));
    EXPECT_FALSE(model->CanRedo());
    model->Redo();
    EXPECT_TRUE(model->Picture() == Outlines({Box(0), Box(5)}));
}

TEST_F(ModelTest, TheFirstUndoAfterAToolSwitchShowsAChange)
{
    model->ChooseTool(ToolAction::Rectangle);
    const Bitmap blank = model->Picture();
    Drag({10, 10}, {50, 50});
    model->ChooseTool(ToolAction::Ellipse); // commits the rectangle
    const Bitmap withRectangle = model->Picture();
    model->Undo();
    EXPECT_TRUE(model->Picture() == blank);
    model->Redo();
    EXPECT_TRUE(model->Picture() == withRectangle);
    EXPECT_EQ(model->CurrentTool(), nullptr); // later undos walk the files
}

TEST_F(ModelTest, TheToolRingUndoesSingleStrokesFirst)
{
    model->ChooseTool(ToolAction::Rectangle);
    Drag({10, 10}, {50, 50});
    const Bitmap one = model->Picture();
    Drag({60, 60}, {90, 90});
    model->Undo();
    EXPECT_TRUE(model->Picture() == one);
    ASSERT_NE(model->CurrentTool(), nullptr); // the ring did it
    model->Redo();
    EXPECT_EQ(model->Picture().Pixel(60, 75), clBlack);
}

TEST_F(ModelTest, TheHistoryHoldsThePictureCutToItsSize)
{
    model->SetPictureSize(100, 80);
    EXPECT_EQ(model->Picture().Width(), 256); // cut only at the commit
    model->ChooseTool(ToolAction::Line);
    const Bitmap written = LoadBmpFile(model->History().Path(model->History().Index() - 1));
    EXPECT_EQ(written.Width(), 100);
    EXPECT_EQ(written.Height(), 80);
    EXPECT_EQ(model->Picture().Width(), 100);
}

TEST_F(ModelTest, AResizeDoneFirstIsUndoneAndAnUndoOfNothingIsOff)
{
    Bitmap g(97, 61);
    for (int y = 0; y < 61; ++y)
        for (int x = 0; x < 97; ++x)
            g.SetPixel(x, y, RGB(uint8_t(x), uint8_t(2 * y), 7));
    SaveBmpFile(Folder() + "in.bmp", g);
    model->Open(Folder() + "in.bmp");
    model->ChooseTool(ToolAction::Line);
    EXPECT_FALSE(model->CanUndo());

    // A typed size is undone at once, and after the commit that cuts it.
    for (const bool committed : {true, false}) {
        model->Open(Folder() + "in.bmp");
        model->SetPictureSize(53, 61);
        if (committed) {
            model->ChooseTool(ToolAction::Rectangle);
            ASSERT_EQ(model->Picture().Width(), 53);
        }
        ASSERT_TRUE(model->CanUndo()) << committed;
        model->Undo();
        EXPECT_TRUE(model->Picture() == g) << committed;
        EXPECT_EQ(model->Width(), 97) << committed;
    }
}

TEST_F(ModelTest, AWorkFolderWithoutRoomGivesWayToAHistoryFolderOfItsOwn)
{
    std::ofstream(Folder() + "plain") << "a file, not a folder";
    const std::string cache = Folder() + "cache";
    const char* old = std::getenv("XDG_CACHE_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    std::string made;
    {
        const HistoryFolder roomy(Folder(), 1);
        EXPECT_EQ(roomy.Path(), Folder());
        const HistoryFolder own(Folder() + "plain/work/", 1);
        made = own.Path();
        EXPECT_EQ(made.rfind(cache + "/prismcase/", 0), 0u) << made;
        EXPECT_TRUE(std::filesystem::is_directory(made));
    }
    EXPECT_FALSE(std::filesystem::exists(made));
    old ? setenv("XDG_CACHE_HOME", saved.c_str(), 1) : unsetenv("XDG_CACHE_HOME");
}

// Undo and redo are off, and using them leaves the picture shown.
void ExpectNothingToUndoOrRedo(EditorModel& model)
{
    const Bitmap shown = model.Picture();
    EXPECT_FALSE(model.CanUndo());
    EXPECT_FALSE(model.CanRedo());
    model.Undo();
    EXPECT_TRUE(model.Picture() == shown);
    model.Redo();
    EXPECT_TRUE(model.Picture() == shown);
}

TEST_F(ModelTest, AFailedWriteTurnsUndoOffAndNoStalePictureComesBack)
{
    model->ChooseTool(ToolAction::Rectangle);
    Drag({10, 10}, {50, 50});
    model->ChooseTool(ToolAction::Rectangle); // files 0 and 1
    Drag({60, 60}, {90, 90});
    {
        const pc::test::FileSizeLimit limit(1000); // a history file takes 196662 bytes
        model->ChooseTool(ToolAction::Line);
    }
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(HistoryNumbers().empty());
    // Files of the same names that another window writes are not this history.
    Bitmap stale(256, 256);
    stale.Fill(RGB(1, 2, 3));
    for (int n = 0; n <= 3; ++n)
        SaveBmpFile(model->History().Path(n), stale);
    ExpectNothingToUndoOrRedo(*model);
}

TEST_F(ModelTest, EveryHistoryFileLeftFromBeforeGoesAtTheStart)
{
    for (const char* name : {"history0", "history20", "history21", "history137", "history7a", "historyx", "history"})
        std::ofstream(Folder() + name) << "left";
    const HistoryFiles fresh(Folder());
    std::vector<std::string> kept;
    for (const auto& e : std::filesystem::directory_iterator(Folder()))
        kept.push_back(e.path().filename().string());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(kept, (std::vector<std::string>{"history", "history7a", "historyx"}));
}

TEST_F(ModelTest, ANewPictureHasNoUndoBackToThePictureBefore)
{
    for (int i = 0; i < 2; ++i) {
        model->ChooseTool(ToolAction::Rectangle);
        Drag({10 + i * 20, 10}, {25 + i * 20, 40});
    }
    model->ChooseTool(ToolAction::Line);
    boxes.Queue(Answer::No);
    model->New();
    ExpectNothingToUndoOrRedo(*model);
    EXPECT_EQ(model->Picture().Pixel(10, 10), clWhite);
}

TEST_F(ModelTest, ClosingRemovesTheHistoryFiles)
{
    for (int i = 0; i < 3; ++i) {
        model->ChooseTool(ToolAction::Line);
        Drag({10, 10 + i * 7}, {90, 50});
    }
    model->ChooseTool(ToolAction::Line);
    EXPECT_EQ(HistoryNumbers().size(), 4u);
    boxes.Queue(Answer::No);
    EXPECT_TRUE(model->Close());
    EXPECT_TRUE(HistoryNumbers().empty());
}

} // namespace
} // namespace pc::editor::test
