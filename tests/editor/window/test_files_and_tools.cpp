// Loading, saving and closing; the tool commands and their controls; zoom.
#include "tests/editor/window/model_fixture.h"

#include <filesystem>
#include <fstream>

#include "codecs/png/png_object.h"
#include "editor/tools/crop.h"
#include "editor/window/picture_files.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"

namespace pc::editor::test {
namespace {

namespace fs = std::filesystem;

Bitmap Gradient(int w, int h)
{
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x * 2), uint8_t(y * 3), 90));
    return b;
}

class FileCommands : public ModelTest {
protected:
    std::string Write(const std::string& name, const Bitmap& b)
    {
        const std::string path = dir.file(name);
        SaveBmpFile(path, b);
        return path;
    }
    void LoadSilently(const std::string& path) { model->Open(path); }
};

TEST_F(FileCommands, LoadingTakesThePictureAndItsSizeWithoutAnEdit)
{
    const Bitmap g = Gradient(90, 70);
    LoadSilently(Write("in.bmp", g));
    EXPECT_EQ(model->Width(), 90);
    EXPECT_EQ(model->Height(), 70);
    EXPECT_EQ(model->Picture().Pixel(89, 69), g.Pixel(89, 69));
    EXPECT_FALSE(model->Modified());
    EXPECT_EQ(model->Session().Proposal().fileName, dir.file("in"));
    EXPECT_FALSE(model->Session().SilentTarget()); // a preset load saves through the dialog
    EXPECT_TRUE(model->Close()); // no question without edits
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(FileCommands, LoadingOverASelectionLeavesNoFrameInTheNewPicture)
{
    model->ChooseTool(ToolAction::Select);
    Drag({10, 10}, {50, 50});
    const Bitmap g = Gradient(90, 70);
    LoadSilently(Write("in.bmp", g));
    model->ChooseTool(ToolAction::Line); // the commit
    EXPECT_TRUE(model->Picture() == g);
}

TEST_F(FileCommands, APictureOpensByItsContentAndTextIsAnErrorThatChangesNothing)
{
    const std::string misnamed = dir.file("photo.png");
    SaveJpegFile(misnamed, Gradient(41, 29), 90);
    LoadSilently(misnamed);
    EXPECT_EQ(model->Width(), 41);

    LoadSilently(Write("first.bmp", Gradient(90, 70)));
    const Bitmap before = model->Picture();
    const std::string path = dir.file("notes.txt");
    std::ofstream(path) << "not a picture";
    EXPECT_THROW(model->Open(path), Error);
    EXPECT_TRUE(model->Picture() == before);
    EXPECT_EQ(model->Session().Proposal().fileName, dir.file("first"));
}

TEST_F(FileCommands, AnEmptyOrCutOffFileIsNamedInTheError)
{
    LoadSilently(Write("first.bmp", Gradient(90, 70)));
    const Bitmap before = model->Picture();
    const std::vector<uint8_t> whole = EncodeBmp(Gradient(31, 17));
    // Empty, inside the file header, after the headers, one byte short of
    // the last row's 93 pixel bytes (rows of 96 bytes, the last needs no padding).
    for (size_t length : {size_t(0), size_t(9), size_t(54), size_t(54 + 96 * 16 + 93 - 1)}) {
        const std::string path = dir.file("cut" + std::to_string(length) + ".bmp");
        WriteFileAtomic(path, std::vector<uint8_t>(whole.begin(), whole.begin() + std::ptrdiff_t(length)));
        try {
            model->Open(path);
            ADD_FAILURE() << length << " bytes loaded";
        } catch (const Error& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_TRUE(model->Picture() == before) << length;
    }
    // Judged by its header, never read whole.
    const std::string huge = dir.file("huge.bmp");
    WriteFileAtomic(huge, {'B', 'M'});
    fs::resize_file(huge, uintmax_t(3) << 30);
    try {
        model->Open(huge);
        ADD_FAILURE() << "loaded";
    } catch (const Error& e) {
        EXPECT_EQ(e.what(), "Cannot open " + huge + ": unsupported BMP header size");
    }
}

TEST_F(FileCommands, AJpegChosenByHandIsSavedBesideItAsBmpWithoutAsking)
{
    const std::string jpg = dir.file("photo.jpeg");
    SaveJpegFile(jpg, Gradient(40, 30), 90);
    dialogs.opens.push_back(jpg);
    ASSERT_TRUE(model->Load());
    ASSERT_TRUE(model->Session().SilentTarget());
    model->ChooseTool(ToolAction::Line);
    EXPECT_TRUE(model->Save());
    EXPECT_EQ(dialogs.saveAsked, 0);
    EXPECT_EQ(LoadBmpFile(dir.file("photo.bmp")).Width(), 40);
    EXPECT_FALSE(model->Modified());
}

TEST_F(FileCommands, APictureTooLargeIsShrunkOnlyWhenTheUserAgrees)
{
    // Red left of column 2050, blue from it on: 4100 x 2050 fits as 4096 x 2048.
    // Shrunk, columns 2048 and 2049 are blue; cut, they would be red.
    const TColor red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    Bitmap big(4100, 2050);
    big.Fill(blue);
    for (int y = 0; y < 2050; ++y)
        for (int x = 0; x < 2050; ++x)
            big.SetPixel(x, y, red);
    const std::string path = Write("wide.bmp", big);
    const std::vector<uint8_t> original = ReadFileBytes(path);
    const Bitmap before = model->Picture();

    // 16384 x 9000 at one bit, without pixels: the header alone is judged.
    std::vector<uint8_t> header = EncodeBmpHeader(Bitmap(8, 1, PixelFormat::pf1bit));
    for (int i = 0; i < 4; ++i) {
        header[size_t(18 + i)] = uint8_t(16384 >> (8 * i));
        header[size_t(22 + i)] = uint8_t(9000 >> (8 * i));
    }
    WriteFileAtomic(dir.file("huge.bmp"), header);
    SaveJpegFile(dir.file("wide.jpg"), Gradient(4100, 9), 90);
    for (const auto& [name, size] : {std::pair{"huge.bmp", "16384 x 9000"}, std::pair{"wide.jpg", "4100 x 9"}}) {
        boxes.Queue(Answer::No);
        dialogs.opens.push_back(dir.file(name));
        EXPECT_FALSE(model->Load());
        EXPECT_NE(boxes.Shown().back().text.find(size), std::string::npos) << boxes.Shown().back().text;
    }

    for (Answer answer : {Answer::No, Answer::Yes}) {
        boxes.Queue(answer);
        dialogs.opens.push_back(path);
        EXPECT_EQ(model->Load(), answer == Answer::Yes);
        if (answer == Answer::No) {
            EXPECT_TRUE(model->Picture() == before);
        }
    }
    ASSERT_EQ(boxes.Shown().size(), 4u);
    const std::string& text = boxes.Shown()[2].text;
    EXPECT_NE(text.find(path), std::string::npos) << text;
    EXPECT_NE(text.find("4100 x 2050"), std::string::npos) << text;
    EXPECT_NE(text.find("4096 x 2048"), std::string::npos) << text;
    EXPECT_EQ(model->Width(), 4096);
    EXPECT_EQ(model->Height(), 2048);
    const std::tuple<int, int, TColor> probes[] = {
        {0, 0, red}, {2047, 2047, red}, {2048, 0, blue}, {2049, 1000, blue}, {4095, 2047, blue}};
    for (auto [x, y, c] : probes)
        EXPECT_EQ(model->Picture().Pixel(x, y), c) << x << "," << y;

    // No save without the user naming the file.
    EXPECT_FALSE(model->Session().SilentTarget());
    model->ChooseTool(ToolAction::Line);
    dialogs.saves.push_back(std::nullopt);
    EXPECT_FALSE(model->Save());
    EXPECT_EQ(dialogs.saveAsked, 1);
    EXPECT_EQ(ReadFileBytes(path), original);
}

TEST_F(FileCommands, SaveTypesFollowTheFilterIndex)
{
    model->SetPictureSize(30, 20);
    dialogs.saves.push_back(SaveChoice{dir.file("out.jpeg"), kSaveJpeg});
    ASSERT_TRUE(model->SaveAs());
    EXPECT_EQ(LoadJpegFile(dir.file("out.jpg")).Width(), 30);
    dialogs.saves.push_back(SaveChoice{dir.file("out"), kSavePng});
    ASSERT_TRUE(model->SaveAs());
    png::TPNGObject png;
    png.LoadFromFile(dir.file("out.png"));
    EXPECT_EQ(png.Height(), 20);
}

TEST_F(FileCommands, SaveAsAsksBeforeItOverwritesTheFileWithItsExtension)
{
    const std::tuple<const char*, int, const char*> cases[] = {{"keep", kSaveBmp, "keep.bmp"},
                                                               {"photo", kSaveJpeg, "photo.jpg"}};
    for (const auto& [typed, filter, written] : cases) {
        const std::string path = dir.file(written);
        std::ofstream(path) << "precious";
        for (Answer answer : {Answer::No, Answer::Yes}) {
            dialogs.saves.push_back(SaveChoice{dir.file(typed), filter});
            boxes.Queue(answer);
            EXPECT_EQ(model->SaveAs(), answer == Answer::Yes);
            EXPECT_EQ(boxes.Shown().back().text,
                      "File:\n" + path + "\nhas been existed. Do you want to overwrite current file?");
            EXPECT_EQ(fs::file_size(path) == 8, answer == Answer::No) << written;
        }
    }
}

TEST_F(FileCommands, NoOnClosingGivesTheFaceWhatItsFileWasLastSavedAs)
{
    // "Edit Current Picture": File > Save, more drawing, then No on closing.
    const Bitmap g = Gradient(120, 80);
    const std::string path = Write("tempimage.bmp", g);
    model->OpenFace(path);
    model->ChooseTool(ToolAction::Rectangle);
    Drag({11, 13}, {60, 40});
    ASSERT_TRUE(model->Save());
    EXPECT_TRUE(boxes.Shown().empty()); // the face's own file: no question
    model->ChooseTool(ToolAction::Rectangle);
    Drag({71, 23}, {100, 70});
    boxes.Queue(Answer::No);
    std::optional<Bitmap> face;
    ASSERT_TRUE(model->Close([&](const Bitmap& b) { face = b; }));
    ASSERT_TRUE(face);
    const Bitmap saved = LoadBmpFile(path);
    EXPECT_TRUE(*face == saved);
    EXPECT_EQ(saved.Pixel(11, 13), clBlack);
    EXPECT_EQ(saved.Pixel(71, 23), g.Pixel(71, 23));
}

TEST_F(FileCommands, NoUndoPastLoad)
{
    model->ChooseTool(ToolAction::Rectangle);
    Drag({11, 13}, {60, 40});
    model->ChooseTool(ToolAction::Line); // the rectangle is in the history
    const Bitmap g = Gradient(90, 70);
    dialogs.opens.push_back(Write("keep.bmp", g));
    boxes.Queue(Answer::No); // the rectangle is not saved
    ASSERT_TRUE(model->Load());
    EXPECT_FALSE(model->CanUndo());
    model->Undo();
    EXPECT_EQ(model->Picture().Pixel(11, 13), g.Pixel(11, 13));
    ASSERT_TRUE(model->Save()); // silent, over the file loaded
    EXPECT_TRUE(LoadBmpFile(dir.file("keep.bmp")) == g);
}

TEST_F(FileCommands, AHistoryFolderThatFailsTurnsUndoOffOnceAndEditingGoesOn)
{
    std::ofstream(dir.file("plain")) << "a file, not a folder";
    Bitmap white(91, 67);
    white.Fill(clWhite);
    const std::string in = Write("in.bmp", white);
    for (const bool full : {false, true}) {
        model = std::make_unique<EditorModel>(Folder(), dialogs, full ? Folder() : dir.file("plain") + "/work/");
        const size_t shown = boxes.Shown().size();
        // A history file of the picture takes 18546 bytes; the saved PNG far less.
        std::optional<pc::test::FileSizeLimit> limit;
        if (full)
            limit.emplace(8000);
        LoadSilently(in);
        model->ChooseTool(ToolAction::Rectangle);
        Drag({11, 13}, {60, 40});
        model->ChooseTool(ToolAction::Line);
        const std::string out = dir.file(full ? "full" : "unmade");
        dialogs.saves.push_back(SaveChoice{out, kSavePng});
        EXPECT_TRUE(model->SaveAs()) << full;
        limit.reset();
        ASSERT_EQ(boxes.Shown().size(), shown + 1) << full;
        EXPECT_NE(boxes.Shown().back().text.find("Undo is off"), std::string::npos) << boxes.Shown().back().text;
        EXPECT_FALSE(model->CanUndo());
        png::TPNGObject png;
        png.LoadFromFile(out + ".png");
        EXPECT_EQ(png.ToBitmap().Pixel(11, 13), clBlack) << full;
        EXPECT_EQ(png.ToBitmap().Pixel(12, 14), clWhite) << full;
    }
}

TEST_F(FileCommands, ClosingWithACancelledSaveKeepsTheEdits)
{
    model->ChooseTool(ToolAction::Line);
    ASSERT_TRUE(model->Modified());
    boxes.Queue(Answer::Yes);
    dialogs.saves.push_back(std::nullopt);
    EXPECT_FALSE(model->Close());
    EXPECT_TRUE(model->Modified());
    EXPECT_EQ(boxes.Shown()[0].buttons, Buttons::YesNoCancel);
    EXPECT_FALSE(HistoryNumbers().empty());
    boxes.Queue(Answer::Cancel);
    EXPECT_FALSE(model->Close());
    EXPECT_TRUE(model->Modified());
}

TEST_F(FileCommands, AFailedSaveKeepsTheWindowOpenAndTheEditsMarked)
{
    model->ChooseTool(ToolAction::Line);
    fs::create_directory(dir.file("taken.bmp")); // the rename over a folder fails
    dialogs.saves.push_back(SaveChoice{dir.file("taken"), kSaveBmp});
    boxes.Queue(Answer::Yes);
    EXPECT_THROW(model->Close(), Error);
    EXPECT_TRUE(model->Modified());
}

TEST_F(FileCommands, CropHandOverKeepsTheSizeUntouchedAndShrinksWhenDragged)
{
    const std::string path = Write("tempimage.bmp", Gradient(120, 80));
    model->OpenFace(path);
    model->ChooseTool(ToolAction::Crop);
    boxes.Queue(Answer::Yes);
    bool taken = false;
    ASSERT_TRUE(model->Close([&](const Bitmap&) { taken = true; }));
    EXPECT_TRUE(taken);
    Bitmap saved = LoadBmpFile(path);
    EXPECT_EQ(saved.Width(), 120);
    EXPECT_EQ(saved.Height(), 80);

    auto again = std::make_unique<EditorModel>(Folder(), dialogs);
    model = std::move(again);
    model->OpenFace(path);
    model->ChooseTool(ToolAction::Crop);
    Drag({120, 80}, {100, 50}); // the bottom-right corner
    boxes.Queue(Answer::Yes);
    ASSERT_TRUE(model->Close());
    saved = LoadBmpFile(path);
    EXPECT_EQ(saved.Width(), 100);
    EXPECT_EQ(saved.Height(), 50);
    EXPECT_EQ(saved.Pixel(99, 49), Gradient(120, 80).Pixel(99, 49));
}

TEST_F(ModelTest, ToolCommandsSetCursorBarsAndCheckedAction)
{
    struct Case {
        ToolAction action;
        int cursor;
        bool pen, brush;
    };
    for (Case c : {Case{ToolAction::FreeLine, 1, true, false}, Case{ToolAction::Circle, 8, true, true},
                   Case{ToolAction::Eraser, 0, true, true}, Case{ToolAction::FloodFill, 7, true, true},
                   Case{ToolAction::Sobe, 6, true, true}, Case{ToolAction::Select, 8, false, false},
                   Case{ToolAction::Crop, 8, false, false}, Case{ToolAction::Text, 5, false, false}}) {
        model->ChooseTool(c.action);
        EXPECT_EQ(model->CheckedTool(), c.action);
        EXPECT_EQ(model->CursorNumber(), c.cursor) << int(c.action);
        EXPECT_EQ(model->PenBarVisible(), c.pen) << int(c.action);
        EXPECT_EQ(model->BrushBarVisible(), c.brush) << int(c.action);
        EXPECT_EQ(model->PenSizeLabel(), c.action == ToolAction::FloodFill ? "Allowance:" : "Pen Size:");
    }
    EXPECT_EQ(model->Page(), EditorPage::Font);
    model->PageOk();
    EXPECT_EQ(model->Page(), EditorPage::Tool);
    EXPECT_EQ(model->CheckedTool(), ToolAction::Select);
}

TEST_F(ModelTest, ShiftKeepsTheDragOnALineWithItsDirection)
{
    model->ChooseTool(ToolAction::Line);
    model->MouseDown({{100, 100}});
    model->MouseMove({{130, 70}, MouseButton::Left, true});
    EXPECT_EQ(model->PositionText(), "X: 70   Y: 70");
    model->MouseMove({{103, 140}, MouseButton::Left, true});
    EXPECT_EQ(model->PositionText(), "X: 100   Y: 140");
    model->MouseMove({{60, 102}, MouseButton::Left, true});
    EXPECT_EQ(model->PositionText(), "X: 60   Y: 100");
    model->MouseUp({{60, 102}, MouseButton::Left, true});
    EXPECT_EQ(model->Picture().Pixel(80, 100), clBlack);
    EXPECT_EQ(model->Picture().Pixel(80, 101), clWhite);
}

TEST_F(ModelTest, TheBrushEyedropperKeepsTheBrushStyle)
{
    model->PictureCanvas().SetPixel(30, 40, RGB(1, 2, 3));
    model->SetBrushStyle(BrushStyle::Clear);
    model->PickColor(kPickBrush);
    model->MouseMove({{30, 40}});
    EXPECT_EQ(model->ColorText(), std::to_string(RGB(1, 2, 3)));
    model->MouseUp({{30, 40}});
    EXPECT_EQ(model->BrushColor(), RGB(1, 2, 3));
    EXPECT_EQ(model->PictureCanvas().brush.color, RGB(1, 2, 3));
    EXPECT_EQ(model->PictureCanvas().brush.style, BrushStyle::Clear);
    model->MouseUp({{500, 40}}); // outside: nothing to take
    EXPECT_EQ(model->BrushColor(), RGB(1, 2, 3));
}

TEST_F(ModelTest, TextFollowsItsControlsOnlyWithTheTextTool)
{
    model->SetText(u"ignored");
    EXPECT_TRUE(model->Text().empty());
    model->ChooseTool(ToolAction::Text);
    model->SetText(u"Hello");
    auto darkPixels = [&] {
        int dark = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                dark += model->Picture().Pixel(x, y) != clWhite;
        return dark;
    };
    EXPECT_GT(darkPixels(), 20); // placed at the origin
    // Turned clockwise about its top-left corner, the text leaves the picture.
    model->SetTextRotation(90);
    EXPECT_EQ(model->PictureCanvas().font.escapement, -900);
    EXPECT_EQ(darkPixels(), 0);
}

TEST(Zoom, StepsLimitsAndPresets)
{
    Zoom z;
    const double in[] = {1.2, 1.44, 1.728, 2.0736, 2.48832, 2.985984};
    for (double expected : in) {
        z.In();
        EXPECT_NEAR(z.Factor(), expected, 1e-9);
    }
    for (int i = 0; i < 20; ++i)
        z.In();
    EXPECT_EQ(z.Factor(), 16.0);
    EXPECT_FALSE(z.CanZoomIn());
    z.Preset(100);
    EXPECT_FALSE(z.Zoomed());
    z.In();
    z.Out(); // 1.2 * 5/6 lands in (0.9, 1.1): unzoomed
    EXPECT_EQ(z.Factor(), 1.0);
    for (int i = 0; i < 40; ++i)
        z.Out();
    EXPECT_EQ(z.Factor(), 0.05);
    EXPECT_FALSE(z.CanZoomOut());
    z.Preset(200);
    EXPECT_EQ(z.ViewSide(256), 512);
}

} // namespace
} // namespace pc::editor::test
