// The floor and background boxes take pictures and colours from the same
// popup as the faces, and the scene draws what they hold.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QMenu>
#include <QTest>
#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"
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

// Either mouse button on a face, the floor or the background picture opens
// the one picture menu for that picture.
TEST(BoxPictures, EitherButtonOnAnyPictureOpensThePictureMenu)
{
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    TFormMainQV7K w(std::make_unique<test::EmptySceneSettings>(), {});
    w.show();
    w.FormCreate();
    w.BTransparent->click(); // shows the floor and background groups
    ASSERT_GE(w.AddObject(kKindBox), 0);
    QWidget* face = w.Objects.At(0)->Faces[0];
    const struct {
        QWidget* picture;
        Qt::MouseButton button;
    } clicks[] = {{face, Qt::LeftButton},          {face, Qt::RightButton},
                  {w.ImageFloor, Qt::LeftButton},  {w.ImageFloor, Qt::RightButton},
                  {w.ImageBackground, Qt::LeftButton}, {w.ImageBackground, Qt::RightButton}};
    for (const auto& c : clicks) {
        w.PMTexture->hide();
        w.CurrentFace = nullptr;
        w.CurrentBox = nullptr;
        QTest::mouseClick(c.picture, c.button, {}, QPoint(7, 5));
        EXPECT_TRUE(w.PMTexture->isVisible()) << c.picture->objectName().toStdString() << " " << c.button;
        QWidget* current = w.CurrentFace ? static_cast<QWidget*>(w.CurrentFace) : w.CurrentBox;
        EXPECT_EQ(current, c.picture) << c.picture->objectName().toStdString() << " " << c.button;
    }
    w.PMTexture->hide();
}

} // namespace
