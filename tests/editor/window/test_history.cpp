// Commits, history files, undo and redo across tools.
#include "tests/editor/window/model_fixture.h"

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

    model->ChooseTool(ToolAction::Line); // a commit
    EXPECT_FALSE(model->CanRedo());
    EXPECT_FALSE(model->History().Exists(model->History().Index() + 1));
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

TEST_F(ModelTest, ClosingRemovesTheHistoryFiles)
{
    for (int i = 0; i < 3; ++i)
        model->ChooseTool(ToolAction::Line);
    EXPECT_EQ(HistoryNumbers().size(), 3u);
    boxes.Queue(Answer::No);
    EXPECT_TRUE(model->CloseQuery());
    EXPECT_TRUE(HistoryNumbers().empty());
    EXPECT_FALSE(model->PictureChanged());
}

} // namespace
} // namespace pc::editor::test
