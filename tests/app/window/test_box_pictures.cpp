// The floor and background boxes take pictures and colours from the same
// popup as the faces, and the scene draws what they hold.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "tests/support/test_data.h"
#include "tests/support/test_settings.h"

namespace {

using namespace pc;

TEST(BoxPictures, FloorTakesAPictureThenAColourAndGivesTheTextureBack)
{
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    test::TempDir dir;
    TFormMainQV7K w(std::make_unique<test::EmptySceneSettings>(), {});
    w.show();
    w.FormCreate();

    Bitmap red(8, 8);
    red.Fill(RGB(230, 20, 20));
    SaveBmpFile(dir.file("red.bmp"), red);
    w.ChoosePictureFile = [&] { return QString::fromStdString(dir.file("red.bmp")); };
    w.ChooseColor = [](TColor) { return std::optional<TColor>(RGB(10, 200, 30)); };

    w.ImageBoxClick(w.ImageFloor);
    w.Picture1Click();
    ASSERT_GT(w.ImageFloor->Tag, 0);
    const std::string work = TextureFolder() + std::to_string(w.ImageFloor->Tag);
    EXPECT_TRUE(std::filesystem::exists(work));
    EXPECT_EQ(w.SceneFromControls().ImageFloor.Tag, unsigned(w.ImageFloor->Tag));

    w.Color1Click();
    EXPECT_EQ(w.ImageFloor->Tag, 0);
    EXPECT_EQ(w.ImageFloor->BrushColor, RGB(10, 200, 30));
    EXPECT_FALSE(std::filesystem::exists(work));
    EXPECT_EQ(w.ImageFloor->CanvasPixel(1, 1), RGB(10, 200, 30)); // the floor is framed in its own colour

    // A picture that does not load is reported and changes nothing.
    w.ImageBoxClick(w.ImageBackground);
    w.ChoosePictureFile = [&] { return QString::fromStdString(dir.file("missing.bmp")); };
    w.Picture1Click();
    EXPECT_EQ(w.ImageBackground->Tag, 0);
    EXPECT_EQ(boxes.Shown().size(), 1u);
}

} // namespace
