// Turns, flips, the clipboard, floating selections and the layer options.
#include "tests/editor/window/model_fixture.h"

#include <random>

#include "editor/tools/frame_select.h"
#include "editor/tools/image_shape.h"
#include "platform/bmp_file.h"
#include "platform/clipboard.h"

namespace pc::editor::test {
namespace {

// Each pixel's colour tells where it came from.
Bitmap Numbered(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), uint8_t(x / 256 + 4 * (y / 256))));
    return b;
}

class PictureCommands : public ModelTest {
protected:
    void Show(const Bitmap& b)
    {
        model->SetPictureSize(b.Width(), b.Height());
        model->PictureCanvas().Draw(0, 0, b);
    }
};

TEST_F(PictureCommands, RotateAQuarterTurnClockwise)
{
    const Bitmap old = Numbered(300, 200);
    Show(old);
    model->Rotate90();
    ASSERT_EQ(model->Width(), 200);
    ASSERT_EQ(model->Height(), 300);
    ASSERT_EQ(model->Picture().Width(), 200);
    EXPECT_EQ(model->Picture().Pixel(0, 0), old.Pixel(0, 199)); // the old bottom-left
    EXPECT_EQ(model->Picture().Pixel(199, 0), old.Pixel(0, 0));
    EXPECT_EQ(model->Picture().Pixel(199, 299), old.Pixel(299, 0));
    EXPECT_EQ(model->Picture().Pixel(0, 299), old.Pixel(299, 199));
}

TEST_F(PictureCommands, Flips)
{
    const Bitmap old = Numbered(300, 200);
    Show(old);
    model->FlipHorizontal();
    EXPECT_EQ(model->Picture().Pixel(0, 7), old.Pixel(299, 7));
    EXPECT_EQ(model->Picture().Pixel(299, 199), old.Pixel(0, 199));
    model->FlipVertical();
    EXPECT_EQ(model->Picture().Pixel(0, 0), old.Pixel(299, 199));
    EXPECT_EQ(model->Width(), 300);
    // Undo walks back through the commits the commands made.
    model->Undo();
    EXPECT_EQ(model->Picture().Pixel(0, 7), old.Pixel(299, 7));
}

TEST_F(PictureCommands, PastingABiggerPictureAsksToGrow)
{
    clipboard::SetBitmap(Numbered(400, 300));
    boxes.Queue(Answer::Yes);
    model->Paste();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text,
              "Clipboard image is bigger than current image. Do you want to adjust current image size?");
    EXPECT_EQ(boxes.Shown()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(model->Width(), 400);
    EXPECT_EQ(model->Height(), 300);
    ASSERT_NE(dynamic_cast<CImageShape*>(model->CurrentTool()), nullptr);
    EXPECT_EQ(model->CheckedStretch(), StretchAction::Rectangular);
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(399, 299), RGB(143, 43, 5)); // 399 & 255, 299 & 255
}

TEST_F(PictureCommands, GrowingToAPastedPictureStopsAtTheMaximum)
{
    struct Case {
        int w, h, width, height;
    };
    for (Case c : {Case{4101, 5, 4096, 5}, Case{7, 4099, 7, 4096}}) {
        model = std::make_unique<EditorModel>(Folder(), dialogs);
        clipboard::SetBitmap(Numbered(c.w, c.h));
        boxes.Queue(Answer::Yes);
        model->Paste();
        EXPECT_EQ(model->Width(), c.width) << c.w << "x" << c.h;
        EXPECT_EQ(model->Height(), c.height) << c.w << "x" << c.h;
        model->Commit();
        EXPECT_EQ(model->Picture().Width(), c.width) << c.w << "x" << c.h;
        EXPECT_EQ(model->Picture().Height(), c.height) << c.w << "x" << c.h;
    }
}

TEST_F(PictureCommands, RefusingToGrowKeepsTheSizeAndCutsTheLayer)
{
    clipboard::SetBitmap(Numbered(400, 300));
    boxes.Queue(Answer::No);
    model->Paste();
    EXPECT_EQ(model->Width(), 256);
    EXPECT_EQ(model->Height(), 256);
    model->Commit();
    EXPECT_EQ(model->Picture().Width(), 256);
    EXPECT_EQ(model->Picture().Pixel(255, 255), RGB(255, 255, 0));
}

TEST_F(PictureCommands, ASmallPictureIsPastedWithoutAQuestion)
{
    clipboard::SetBitmap(Numbered(100, 100));
    model->Paste();
    EXPECT_TRUE(boxes.Shown().empty());
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(99, 99), RGB(99, 99, 0));
    EXPECT_EQ(model->Picture().Pixel(100, 100), clWhite);
}

TEST_F(PictureCommands, APasteIntoASelectionIsStretchedToIt)
{
    Bitmap halves(20, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            halves.SetPixel(x, y, x < 10 ? RGB(255, 0, 0) : RGB(0, 0, 255));
    clipboard::SetBitmap(halves);
    model->ChooseTool(ToolAction::Select);
    Drag({10, 20}, {60, 60});
    model->Paste();
    EXPECT_TRUE(boxes.Shown().empty());
    model->Commit();
    const Bitmap& p = model->Picture();
    EXPECT_EQ(p.Pixel(12, 22), RGB(255, 0, 0));
    EXPECT_EQ(p.Pixel(58, 58), RGB(0, 0, 255));
    EXPECT_EQ(p.Pixel(59, 59), RGB(0, 0, 255)); // 50 x 40 from (10, 20)
    EXPECT_EQ(p.Pixel(60, 45), clWhite);
    EXPECT_EQ(p.Pixel(30, 60), clWhite);
    EXPECT_EQ(p.Pixel(9, 30), clWhite);
}

TEST_F(PictureCommands, CutFillsWithTheBrushColourAndRedoRepeatsIt)
{
    const Bitmap old = Numbered(120, 100);
    Show(old);
    model->SetBrushColor(RGB(10, 200, 30));
    model->SetBrushStyle(BrushStyle::Clear);
    model->ChooseTool(ToolAction::Select);
    Drag({20, 20}, {60, 50});
    model->Cut();
    EXPECT_EQ(model->Picture().Pixel(40, 35), RGB(10, 200, 30));
    const std::optional<Bitmap> clip = clipboard::GetBitmap();
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->Width(), 40);
    EXPECT_EQ(clip->Pixel(0, 0), old.Pixel(20, 20)); // the frame is not in the copy
    EXPECT_EQ(clip->Pixel(39, 29), old.Pixel(59, 49));
    // A second cut: undo and redo step through the tool's own states.
    Drag({70, 20}, {100, 50});
    model->Cut();
    EXPECT_EQ(model->Picture().Pixel(80, 35), RGB(10, 200, 30));
    model->Undo();
    EXPECT_EQ(model->Picture().Pixel(80, 35), old.Pixel(80, 35));
    EXPECT_EQ(model->Picture().Pixel(40, 35), RGB(10, 200, 30));
    model->Redo();
    EXPECT_EQ(model->Picture().Pixel(80, 35), RGB(10, 200, 30));
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(20, 20), RGB(10, 200, 30)); // no frame left behind
    EXPECT_EQ(model->Picture().Pixel(19, 19), old.Pixel(19, 19));
}

TEST_F(PictureCommands, FloatingASelectionMovesItAsALayer)
{
    const Bitmap old = Numbered(120, 100);
    Show(old);
    model->ChooseTool(ToolAction::Select);
    Drag({10, 10}, {30, 30});
    model->Stretch(StretchAction::Free);
    ASSERT_NE(dynamic_cast<CImageShape*>(model->CurrentTool()), nullptr);
    EXPECT_EQ(model->CheckedStretch(), StretchAction::Free);
    Drag({20, 20}, {70, 60}); // moved by (50, 40)
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(65, 55), old.Pixel(15, 15));
    EXPECT_EQ(model->Picture().Pixel(15, 15), clWhite); // filled with the brush colour
    model->Undo(); // one step, never the hole without the layer over it
    EXPECT_TRUE(model->Picture() == old);
}

TEST_F(PictureCommands, StretchWithoutSelectionOrLayerIsRefused)
{
    model->ChooseTool(ToolAction::Select);
    EXPECT_FALSE(model->StretchEnabled());
    EXPECT_THROW(model->Stretch(StretchAction::Rotational), Error);
}

TEST_F(PictureCommands, SelectingFromALayerStartsInsideIt)
{
    clipboard::SetBitmap(Numbered(200, 100));
    model->ChooseTool(ToolAction::Select);
    Drag({30, 40}, {230, 140});
    model->Paste();
    model->Select();
    auto* s = dynamic_cast<CFrameSelect*>(model->CurrentTool());
    ASSERT_NE(s, nullptr);
    const Rect r = s->Selection();
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.Width(), 180);
    EXPECT_EQ(r.Height(), 80);
}

TEST_F(PictureCommands, LayerAlphaAndTransparentColour)
{
    Bitmap layer(20, 20);
    layer.Fill(RGB(0, 0, 0));
    layer.SetPixel(0, 0, clWhite);
    for (int x = 10; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            layer.SetPixel(x, y, clWhite);
    clipboard::SetBitmap(layer);
    model->ChooseTool(ToolAction::Picture);
    EXPECT_EQ(model->Page(), EditorPage::Picture);
    model->LoadLayerFromClipboard();
    EXPECT_EQ(model->LayerTransparentColor(), clWhite); // the picture's first pixel
    model->SetLayerAlpha(50);
    EXPECT_EQ(model->Picture().Pixel(5, 5), RGB(127, 127, 127));
    model->SetLayerTransparent(true);
    EXPECT_EQ(model->Picture().Pixel(15, 5), clWhite);
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(5, 5), RGB(127, 127, 127));
}

TEST_F(PictureCommands, AFloatingPictureFromAFile)
{
    const Bitmap layer = Numbered(30, 20);
    SaveBmpFile(dir.file("layer.bmp"), layer);
    dialogs.opens.push_back(std::nullopt);
    EXPECT_FALSE(model->LoadLayerFromFile());
    dialogs.opens.push_back(dir.file("layer.bmp"));
    ASSERT_TRUE(model->LoadLayerFromFile());
    EXPECT_EQ(model->LayerPreview().Width(), 30);
    EXPECT_EQ(model->LayerTransparentColor(), layer.Pixel(0, 0));
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(29, 19), layer.Pixel(29, 19));
    EXPECT_EQ(model->Picture().Pixel(30, 19), clWhite);
}

TEST_F(PictureCommands, ThePasteCommandsNeedAClipboardBitmap)
{
    clipboard::SetData("Other", {1, 2, 3});
    EXPECT_FALSE(model->CanPaste());
    model->Paste();
    EXPECT_EQ(model->History().Index(), 0); // not even a commit
    EXPECT_THROW(model->LoadLayerFromClipboard(), Error);
}

TEST_F(PictureCommands, FiltersWorkOnTheSelection)
{
    model->ChooseTool(ToolAction::Select);
    EXPECT_FALSE(model->CanUseSelection());
    Drag({10, 10}, {40, 40});
    EXPECT_TRUE(model->CanUseSelection());
    model->ApplyFilter(FilterKind::Carve);
    model->Commit();
    EXPECT_EQ(model->Picture().Pixel(25, 25), RGB(128, 128, 128)); // a uniform area carves to grey
    EXPECT_EQ(model->Picture().Pixel(45, 45), clWhite);
}

TEST_F(PictureCommands, ALayerPastedInPlaceLeavesThePictureAsItWas)
{
    std::mt19937 rng(17);
    Bitmap old(131, 97);
    for (int y = 0; y < 97; ++y)
        for (int x = 0; x < 131; ++x)
            old.SetPixel(x, y, TColor(rng() & 0xFFFFFF));
    Show(old);
    for (Point size : {Point{2, 3}, Point{17, 5}, Point{31, 64}, Point{33, 29}, Point{57, 80}, Point{99, 41}}) {
        model->ChooseTool(ToolAction::Select);
        Drag({13, 9}, {13 + size.x, 9 + size.y});
        model->Copy();
        model->Paste();
        ASSERT_NE(dynamic_cast<CImageShape*>(model->CurrentTool()), nullptr);
        model->Commit();
        ASSERT_EQ(model->Picture(), old) << size.x << "x" << size.y;
    }
}

TEST_F(PictureCommands, TheCropFollowsAPictureGrownWhileItIsOn)
{
    model->ChooseTool(ToolAction::Crop);
    model->SetPictureSize(300, 300);
    model->Commit();
    ASSERT_EQ(model->Picture().Width(), 300);
    ASSERT_EQ(model->Picture().Height(), 300);
    Bitmap white(300, 300);
    white.Fill(clWhite);
    EXPECT_EQ(model->Picture(), white);
    // A side dragged after the change keeps the other sides where the picture ends.
    model->ChooseTool(ToolAction::Crop);
    model->SetPictureSize(341, 300);
    Drag({170, 0}, {170, 11}); // the middle of the top side
    model->Commit();
    EXPECT_EQ(model->Width(), 341);
    EXPECT_EQ(model->Height(), 289);
    EXPECT_EQ(model->Picture().Width(), 341);
}

} // namespace
} // namespace pc::editor::test
