#include <gtest/gtest.h>

#include <QCheckBox>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QComboBox>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <png.h>

#include "app/publish/bmp32_adjust.h"
#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/preview_panel.h"
#include "app/window/project_commands.h"
#include "app/window/publish_command.h"
#include "app/window/settings_commands.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/gl_context.h"
#include "platform/jpeg_file.h"
#include "platform/message_box.h"
#include "scene/model/c3ds.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"
#include "tests/support/test_data.h"
#include "tests/support/test_settings.h"

namespace {

using namespace pc;

// RGBA rows of a PNG, read by libpng.
std::vector<std::vector<uint8_t>> ReadPngRgba(const std::string& path, int& w, int& h)
{
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    std::vector<std::vector<uint8_t>> rows;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        return rows;
    img.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> buf(PNG_IMAGE_SIZE(img));
    png_image_finish_read(&img, nullptr, buf.data(), 0, nullptr);
    w = int(img.width);
    h = int(img.height);
    for (int y = 0; y < h; ++y)
        rows.emplace_back(buf.begin() + y * w * 4, buf.begin() + (y + 1) * w * 4);
    return rows;
}

class PublishWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<TFormMainQV7K>(std::make_unique<test::EmptySceneSettings>(), QStringList{});
        w->show();
        w->FormCreate();
        w->TBWidth->setValue(96);
        w->TBHeight->setValue(64);
        w->Publisher->RunAdjustDialog = [](TBmp32Adj&) {}; // closed without OK
        w->Publisher->OpenViewer = [this](const std::string& f) { viewed.push_back(f); };
    }
    std::optional<std::string> Publish(const std::string& name, PublishType type)
    {
        return w->Publisher->Execute(true, PublishTarget{dir.file(name), type});
    }
    // The scene published with the method as a BMP, read back.
    Bitmap Shot(TaggedAction* method)
    {
        method->setChecked(true);
        const auto file = Publish("shot.bmp", PublishType::Bmp);
        return file ? LoadBmpFile(*file) : Bitmap();
    }
    // White walls and floor and no shadow, for dark objects to stand out.
    void WhiteRoom()
    {
        w->ImageFloor->BrushColor = clWhite;
        w->ImageBackground->BrushColor = clWhite;
        w->CBShadowVisible->setChecked(false);
    }
    // The pixels of rows top to bottom - 1 whose red lies below level.
    static int Darker(const Bitmap& b, int top, int bottom, int level)
    {
        int n = 0;
        for (int y = top; y < std::min(bottom, b.Height()); ++y)
            for (int x = 0; x < b.Width(); ++x)
                n += GetRValue(b.Pixel(x, y)) < level;
        return n;
    }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    test::TempDir dir;
    std::unique_ptr<TFormMainQV7K> w;
    std::vector<std::string> viewed;
};

TEST_F(PublishWindowTest, EveryMethodWritesExactlyTheOutputSize)
{
    w->ImageFloor->BrushColor = RGB(30, 120, 200);
    for (TaggedAction* method : {w->RenderMixer, w->SoftAccum1, w->Halftone1, w->RenderNone1, w->Interpolation1}) {
        method->setChecked(true);
        auto file = Publish("shot.bmp", PublishType::Bmp);
        ASSERT_TRUE(file) << method->text().toStdString();
        Bitmap b = LoadBmpFile(*file);
        EXPECT_EQ(b.Width(), 96);
        EXPECT_EQ(b.Height(), 64);
        EXPECT_EQ(w->APublish->Tag, 0);
        // The floor colour fills the lower part of an empty scene.
        TColor c = b.Pixel(48, 60);
        EXPECT_NEAR(GetBValue(c), 200, 12) << method->text().toStdString();
    }
    EXPECT_TRUE(viewed.empty()); // silent publishes never open the viewer
}

// A black pole on white, published at 200 x 2000: the jitter stays within a
// rendered pixel however tall the picture, so the edges spread little. Its
// width: the pixels of the middle 100 rows that are not quite white, per row.
TEST_F(PublishWindowTest, ThinPoleInATallPictureKeepsItsWidthInEveryMethod)
{
    WhiteRoom();
    w->TBCameraX->setValue(0);
    w->TBCameraY->setValue(0);
    w->TBCameraZ->setValue(400);
    w->TBWidth->setValue(200);
    w->TBHeight->setValue(2000);
    ASSERT_EQ(w->AddObject(kKindBox), 0);
    GLTSObject& pole = *w->Objects.At(0);
    pole.SetPosition(kRowSize, kColX, 0);
    pole.SetPosition(kRowSize, kColY, 360);
    pole.SetPosition(kRowSize, kColZ, 0);
    for (FacePicture* f : pole.Faces)
        f->BrushColor = clBlack;
    const auto width = [&](TaggedAction* method) { return Darker(Shot(method), 950, 1050, 240) / 100; };
    const int none = width(w->RenderNone1);
    EXPECT_GE(none, 3);
    EXPECT_LE(width(w->SoftAccum1), none + 2);
    EXPECT_LE(width(w->RenderMixer), none + 8);
}

// The note book's wire is sized by the published picture, not by the
// preview: about as many dark pixels whichever method renders it.
TEST_F(PublishWindowTest, NoteBookWireIsTheSameInEveryMethod)
{
    WhiteRoom();
    w->TBFloor_alpha->setValue(0); // an opaque floor hides the reflection
    w->TBWidth->setValue(320);
    w->TBHeight->setValue(180);
    ASSERT_EQ(w->AddObject(kKindNoteBook), 0);
    for (FacePicture* f : w->Objects.At(0)->Faces) {
        f->Tag = 0;
        f->BrushColor = clWhite;
    }
    // The wire of 3 pixels winds along most of the book's 100-odd rows.
    const int none = Darker(Shot(w->RenderNone1), 0, 180, 80);
    EXPECT_GT(none, 250);
    for (TaggedAction* method : {w->Halftone1, w->Interpolation1, w->RenderMixer})
        EXPECT_NEAR(Darker(Shot(method), 0, 180, 80), none, none / 4) << method->text().toStdString();
}

// Tiles of 40 pixels, three across and two up, assemble the picture one
// buffer draws, in the frame pair and in the context's own buffer.
TEST_F(PublishWindowTest, TilesAssembleThePictureOneBufferDraws)
{
    w->ImageFloor->BrushColor = RGB(30, 120, 200);
    w->ImageBackground->BrushColor = RGB(240, 20, 20);
    ASSERT_EQ(w->AddObject(kKindBox), 0);
    for (bool accumulate : {false, true}) {
        w->ACCUM1->setChecked(accumulate);
        const Bitmap whole = Shot(w->RenderNone1);
        w->Publisher->MaxTile = 40;
        const Bitmap tiled = Shot(w->RenderNone1);
        w->Publisher->MaxTile = 4096;
        ASSERT_EQ(tiled.Height(), 64);
        int differ = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x)
                differ += std::abs(GetGValue(whole.Pixel(x, y)) - GetGValue(tiled.Pixel(x, y))) > 8;
        EXPECT_LT(differ, 96 * 64 / 100) << accumulate;
    }
}

// Accumulation draws into the off-screen context's own buffer, not into the
// frame pair; its picture is the same way up.
TEST_F(PublishWindowTest, AccumulationModeDrawsInTheContextsOwnBufferTheSameWayUp)
{
    w->ImageFloor->BrushColor = RGB(30, 120, 200);
    w->ImageBackground->BrushColor = RGB(240, 20, 20);
    for (TaggedAction* method : {w->RenderNone1, w->RenderMixer}) {
        method->setChecked(true);
        for (bool accumulate : {false, true}) {
            w->ACCUM1->setChecked(accumulate);
            auto file = Publish("up.bmp", PublishType::Bmp);
            ASSERT_TRUE(file);
            Bitmap b = LoadBmpFile(*file);
            ASSERT_EQ(b.Height(), 64);
            EXPECT_NEAR(GetBValue(b.Pixel(48, 60)), 200, 12) << accumulate; // floor below
            EXPECT_NEAR(GetRValue(b.Pixel(48, 2)), 240, 12) << accumulate;  // walls above
        }
    }
}

TEST_F(PublishWindowTest, TransparentPngHasNoFloorOrWalls)
{
    w->BTransparent->setChecked(true);
    w->RenderNone1->setChecked(true);
    auto file = Publish("t.png", PublishType::Png24);
    ASSERT_TRUE(file);
    int pw = 0, ph = 0;
    auto rows = ReadPngRgba(*file, pw, ph);
    ASSERT_EQ(pw, 96);
    ASSERT_EQ(ph, 64);
    EXPECT_EQ(rows[0][3], 0);
    EXPECT_EQ(rows[63][95 * 4 + 3], 0);

    // JPEG ignores the transparency and keeps the floor.
    auto jpg = Publish("t.jpg", PublishType::Jpeg);
    ASSERT_TRUE(jpg);
    EXPECT_EQ(LoadJpegFile(*jpg).Width(), 96);
}

TEST_F(PublishWindowTest, EightBitTypesMarkTheBackgroundTransparent)
{
    w->BTransparent->setChecked(true);
    w->RenderNone1->setChecked(true);
    w->Publisher->RunAdjustDialog = [](TBmp32Adj& dlg) { dlg.BitBtn1Click(); };
    auto gif = Publish("t.gif", PublishType::Gif);
    ASSERT_TRUE(gif);
    EXPECT_GT(ReadFileBytes(*gif).size(), 20u);
    auto png8 = Publish("t8.png", PublishType::PngCustom);
    ASSERT_TRUE(png8);
    int pw = 0, ph = 0;
    auto rows = ReadPngRgba(*png8, pw, ph);
    ASSERT_EQ(pw, 96);
    EXPECT_EQ(rows[10][10 * 4 + 3], 0);
}

TEST_F(PublishWindowTest, AFailedWriteIsReportedAndLeavesTheWindowIdle)
{
    // A folder where the picture should go: the final rename fails.
    std::filesystem::create_directories(dir.path() / "taken.bmp" / "inside");
    EXPECT_FALSE(Publish("taken.bmp", PublishType::Bmp));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(w->APublish->Tag, 0);
    EXPECT_EQ(w->TBHeightTag, 0);
    EXPECT_TRUE(w->Panel2->isEnabled());
    EXPECT_FALSE(w->PanelP->isVisible());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken.bmp" / "inside"));
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(e.path().filename(), "taken.bmp"); // no temporary file left behind
}

TEST_F(PublishWindowTest, CancelWritesNothing)
{
    w->RenderNone1->setChecked(true);
    w->Publisher->RunAdjustDialog = [this](TBmp32Adj&) { w->RenderCancel->trigger(); };
    EXPECT_FALSE(Publish("c.gif", PublishType::Gif));
    EXPECT_FALSE(FileExists(dir.file("c.gif")));
    EXPECT_EQ(w->APublish->Tag, 0);
}

TEST_F(PublishWindowTest, TheOverwriteQuestionCanRefuse)
{
    auto first = Publish("q.bmp", PublishType::Bmp);
    ASSERT_TRUE(first);
    w->Publisher->ChooseFile = [this](const std::string&, PublishType) {
        return std::optional<PublishTarget>(PublishTarget{dir.file("q"), PublishType::Bmp});
    };
    boxes.Queue(Answer::No);
    EXPECT_FALSE(w->Publisher->Execute());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "Question");
    EXPECT_NE(boxes.Shown()[0].text.find("q.bmp"), std::string::npos);
}

TEST_F(PublishWindowTest, OnlyAWrittenPictureLeavesItsNameForTheNextDialog)
{
    w->RenderNone1->setChecked(true);
    w->ViewRendImage->setChecked(false);
    std::filesystem::create_directories(dir.path() / "taken.bmp");
    struct Step {
        std::string chosen; // empty: the dialog is cancelled
        PublishType type;
        std::string proposed; // what the dialog opens on
        PublishType proposedType;
    };
    const std::string good = dir.file("good.png"), taken = dir.file("taken.bmp");
    const Step steps[] = {
        {good, PublishType::Png24, "picture_name", PublishType::Jpeg},
        {"/proc/nope.jpg", PublishType::Jpeg, good, PublishType::Png24},   // cannot be written there
        {taken, PublishType::Bmp, good, PublishType::Png24},               // a folder of that name
        {"", PublishType::Gif, good, PublishType::Png24},                  // cancelled
        {dir.file("later.bmp"), PublishType::Bmp, good, PublishType::Png24},
        {"", PublishType::Bmp, dir.file("later.bmp"), PublishType::Bmp},
    };
    for (const Step& s : steps) {
        std::string proposed;
        PublishType proposedType{};
        w->Publisher->ChooseFile = [&](const std::string& name, PublishType type) -> std::optional<PublishTarget> {
            proposed = name;
            proposedType = type;
            if (s.chosen.empty())
                return std::nullopt;
            return PublishTarget{s.chosen, s.type};
        };
        w->Publisher->Execute();
        EXPECT_EQ(proposed, s.proposed) << "choosing " << s.chosen;
        EXPECT_EQ(proposedType, s.proposedType) << "choosing " << s.chosen;
    }
    EXPECT_EQ(boxes.Shown().size(), 2u); // the two failed writes
}

// Fires once, the first time the event loop runs while an off-screen render
// is under way: between the tiles or passes of a publish.
class MidRender : public QObject {
public:
    MidRender(TFormMainQV7K& w, std::function<void()> act) : w_(w), act_(std::move(act))
    {
        timer_.setInterval(0);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (!w_.OffscreenActive())
                return;
            timer_.stop();
            fired = true;
            act_();
        });
        timer_.start();
    }
    bool fired = false;

private:
    TFormMainQV7K& w_;
    std::function<void()> act_;
    QTimer timer_;
};

TEST_F(PublishWindowTest, LoadAndDeleteDuringAPublishWaitAndThePictureIsWritten)
{
    const std::string modelFile = test::k3dsModels + "cube_with_diffuse_texture.3DS";
    const int slot = w->AddObject(kKindModel, modelFile);
    ASSERT_GE(slot, 0);
    GLTSObject* page = w->Objects.At(slot);
    const C3DS* model = page->Model.get();
    ASSERT_NE(model, nullptr);
    ProjectCommands* projects = ProjectCommandsOf(*w);
    ASSERT_NE(projects, nullptr);
    projects->ChooseOpenFile = [] { return std::optional<std::string>(std::string(PRISMCASE_SOURCE_DIR) + "/data/Default.qv7kb"); };
    boxes.Queue(Answer::No); // "save first?", should the load ever ask
    SettingsCommands* settings = SettingsCommandsOf(*w);
    ASSERT_NE(settings, nullptr);
    settings->SettingsFile = dir.file("settings.ini");
    settings->StartProgram = [](const QStringList&) { return false; };

    std::vector<bool> enabledMidway;
    std::optional<std::string> nested;
    MidRender midway(*w, [&] {
        for (QAction* a : {static_cast<QAction*>(w->ALoadTemplate), static_cast<QAction*>(w->Delete),
                           static_cast<QAction*>(w->ABox), static_cast<QAction*>(w->APublish),
                           static_cast<QAction*>(w->SoftwareRender), static_cast<QAction*>(w->Clear1)})
            enabledMidway.push_back(a->isEnabled());
        w->ALoadTemplate->trigger();
        TagScope silent(w->Delete->Tag, 1);
        w->Delete->trigger();
        w->ABox->trigger();
        nested = w->Publisher->Execute(true, PublishTarget{dir.file("nested.bmp"), PublishType::Bmp});
        QMouseEvent click(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->Label14, &click); // back to software rendering: a relaunch
    });
    w->BTransparent->setChecked(true);
    w->RenderMixer->setChecked(true); // jittered passes: the model is drawn again after the events
    auto file = Publish("busy.png", PublishType::Png24);

    EXPECT_TRUE(midway.fired);
    EXPECT_EQ(enabledMidway, std::vector<bool>(6, false));
    ASSERT_TRUE(file);
    int pw = 0, ph = 0;
    auto rows = ReadPngRgba(*file, pw, ph);
    ASSERT_EQ(pw, 96);
    ASSERT_EQ(ph, 64);
    int opaque = 0;
    for (const auto& row : rows)
        for (int x = 0; x < pw; ++x)
            opaque += row[size_t(x) * 4 + 3] == 255;
    EXPECT_GT(opaque, 0) << "the model is in the picture";
    // Nothing of the scene changed under the render.
    EXPECT_EQ(w->PC2->count(), 1);
    EXPECT_EQ(w->Objects.At(slot), page);
    EXPECT_EQ(page->Model.get(), model);
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(FileExists(dir.file("settings.ini")));
    EXPECT_FALSE(nested) << "one publish at a time";
    EXPECT_FALSE(FileExists(dir.file("nested.bmp")));
    // Afterwards the commands work again.
    EXPECT_TRUE(w->Delete->isEnabled());
    EXPECT_TRUE(w->ALoadTemplate->isEnabled());
    EXPECT_TRUE(w->SoftwareRender->isEnabled());
    w->ABox->trigger();
    EXPECT_EQ(w->PC2->count(), 2);
}

// A command between the passes may make the preview's context current (its
// textures live there); the passes still go to the off-screen frames, and
// the preview draws the scene afterwards rather than black.
TEST_F(PublishWindowTest, ThePreviewContextMadeCurrentMidPublishStillShowsTheScene)
{
    w->ImageFloor->BrushColor = RGB(30, 120, 200);
    w->ImageBackground->BrushColor = RGB(240, 20, 20);
    for (QAction* method : {w->RenderMixer, w->Interpolation1}) {
        SCOPED_TRACE(method->text().toStdString());
        method->setChecked(true);
        MidRender midway(*w, [&] { w->GLContext_->MakeCurrent(); });
        auto file = Publish("mid.bmp", PublishType::Bmp);
        ASSERT_TRUE(midway.fired);
        ASSERT_TRUE(file);
        Bitmap b = LoadBmpFile(*file);
        EXPECT_NEAR(GetRValue(b.Pixel(48, 2)), 240, 12);
        w->AppIdle();
        const QImage& preview = w->Panel1->Frame();
        ASSERT_FALSE(preview.isNull());
        EXPECT_NEAR(qRed(preview.pixel(10, 2)), 240, 12); // walls above
        EXPECT_NEAR(qBlue(preview.pixel(10, preview.height() - 3)), 200, 12); // floor below
    }
}

TEST_F(PublishWindowTest, ClosingDuringAPublishCancelsItAndClosesAfterwards)
{
    w->RenderMixer->setChecked(true);
    MidRender midway(*w, [&] { EXPECT_FALSE(w->close()); });
    EXPECT_FALSE(Publish("closed.bmp", PublishType::Bmp));
    EXPECT_TRUE(midway.fired);
    EXPECT_FALSE(FileExists(dir.file("closed.bmp")));
    EXPECT_TRUE(w->isVisible()); // still open until the publish has unwound
    QCoreApplication::processEvents();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(PublishWindowTest, EightBitPngWithoutTransparencyIsAPalettePng)
{
    w->BTransparent->setChecked(false);
    w->RenderNone1->setChecked(true);
    w->ImageFloor->BrushColor = RGB(30, 120, 200);
    w->Publisher->RunAdjustDialog = [](TBmp32Adj& dlg) {
        dlg.CBPNG->setCurrentIndex(1); // "8bit ( 256 colors )"
        dlg.BitBtn1Click();
    };
    auto file = Publish("p8.png", PublishType::PngCustom);
    ASSERT_TRUE(file);
    std::vector<uint8_t> bytes = ReadFileBytes(*file);
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes[24], 8) << "bit depth";
    EXPECT_EQ(bytes[25], 3) << "colour type: palette";

    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&img, file->c_str()));
    EXPECT_TRUE(img.format & PNG_FORMAT_FLAG_COLORMAP);
    EXPECT_FALSE(img.format & PNG_FORMAT_FLAG_ALPHA);
    png_image_free(&img);
    int pw = 0, ph = 0;
    auto rows = ReadPngRgba(*file, pw, ph);
    ASSERT_EQ(ph, 64);
    // The floor keeps its colour through the quantisation.
    EXPECT_NEAR(rows[60][48 * 4 + 2], 200, 24);
    EXPECT_NEAR(rows[60][48 * 4 + 0], 30, 24);
}

TEST_F(PublishWindowTest, AViewerThatCannotStartIsReported)
{
    w->RenderNone1->setChecked(true);
    w->Publisher->OpenViewer = OpenInDesktopViewer;
    w->Publisher->ChooseFile = [this](const std::string&, PublishType) {
        return std::optional<PublishTarget>(PublishTarget{dir.file("shown.bmp"), PublishType::Bmp});
    };
    ASSERT_TRUE(w->ViewRendImage->isChecked());
    test::TempDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", emptyPath.path().string().c_str()); // no xdg-open to be found
    auto file = w->Publisher->Execute();
    qputenv("PATH", path);
    ASSERT_TRUE(file);
    EXPECT_TRUE(FileExists(*file));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_NE(boxes.Shown()[0].text.find("viewer"), std::string::npos) << boxes.Shown()[0].text;
    EXPECT_NE(boxes.Shown()[0].text.find("shown.bmp"), std::string::npos);
}

} // namespace

namespace {

int destroyedContexts = 0;

// The black and the white render of a transparent publish draw on one
// off-screen context, read back on one reading context, and both are gone
// when the publish ends.
TEST_F(PublishWindowTest, TransparentPublishMakesOneOffscreenContext)
{
    static bool listening = false;
    if (!listening) {
        GLContext::AddDestroyListener([](uint64_t) { ++destroyedContexts; });
        listening = true;
    }
    w->BTransparent->setChecked(true);
    w->RenderNone1->setChecked(true);
    destroyedContexts = 0;
    ASSERT_TRUE(Publish("one.png", PublishType::Png24));
    EXPECT_EQ(destroyedContexts, 2);
    EXPECT_FALSE(w->OffscreenActive());

    w->RenderMixer->setChecked(true); // jittered passes on two buffers
    destroyedContexts = 0;
    ASSERT_TRUE(Publish("two.png", PublishType::Png24));
    EXPECT_EQ(destroyedContexts, 2);
    EXPECT_FALSE(w->OffscreenActive());
}

} // namespace
