// The pages on the real main window: the "Add" commands, copy and delete
// through its actions, with GL textures made from the default pictures.
#include <gtest/gtest.h>

#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <filesystem>

#include "app/window/main_window.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

TEST(WindowObjects, AddCopyAndDeleteThroughTheActions)
{
    SetProgramFolderForTesting(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    auto window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{});
    window->FormCreate();

    window->ABook->trigger();
    ASSERT_NE(window->Objects.At(0), nullptr);
    GLTSObject& book = *window->Objects.At(0);
    for (int face : {2, 3, 4}) {
        ASSERT_GT(book.Faces[face]->Tag, 0) << "a GL texture for face " << face;
        EXPECT_TRUE(fs::exists(TextureFolder() + std::to_string(book.Faces[face]->Tag)));
    }
    ASSERT_EQ(window->menuObjects->actions().size(), 1);
    EXPECT_EQ(window->menuObjects->actions()[0]->text(), "Book (#0)");

    // The second object pulls the camera out to distance 7.
    int cameraX = window->TBCameraX->value(), cameraZ = window->TBCameraZ->value();
    window->ACopyObj->trigger();
    ASSERT_NE(window->Objects.At(1), nullptr);
    EXPECT_EQ(window->PC2->count(), 2);
    if (std::hypot(cameraX, cameraZ) / 100 + 0.005 < 5)
        EXPECT_NEAR(std::hypot(window->TBCameraX->value(), window->TBCameraZ->value()), 700, 2);

    std::string copyFile = TextureFolder() + std::to_string(window->Objects.At(1)->Faces[2]->Tag);
    window->PC2->setCurrentIndex(1);
    boxes.Queue(Answer::Yes);
    window->Delete->trigger();
    EXPECT_EQ(window->Objects.At(1), nullptr);
    EXPECT_FALSE(fs::exists(copyFile));
    EXPECT_EQ(window->menuObjects->actions().size(), 1);
    EXPECT_EQ(boxes.Shown().size(), 1u);

    std::string work = WorkFolder();
    window.reset();
    EXPECT_FALSE(fs::exists(work));
    SetProgramFolderForTesting("");
}

} // namespace
} // namespace pc::test
