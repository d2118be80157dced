#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSlider>
#include <filesystem>
#include <png.h>

#include "app/publish/bmp32_adjust.h"
#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/publish_command.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "platform/message_box.h"
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

} // namespace
