// The pages on the real main window: the "Add" commands, copy and delete
// through its actions, with GL textures made from the default pictures.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <filesystem>

#include "app/window/main_window.h"
#include "app/window/object_buttons.h"
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

TEST(WindowObjects, TheObjectsPageAddsThroughItsPopupAndDeletesThroughItsButton)
{
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped(boxes);
    auto window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{});
    window->show();
    window->FormCreate();
    ObjectButtons* buttons = ObjectButtonsOf(*window);
    ASSERT_NE(buttons, nullptr);
    ASSERT_TRUE(window->TSObject->isAncestorOf(buttons->BTNew));
    ASSERT_TRUE(window->TSObject->isAncestorOf(buttons->BTDelete));
    EXPECT_EQ(buttons->BTNew->text(), "Add Object");
    EXPECT_EQ(buttons->BTDelete->text(), "Delete Object");

    QStringList items;
    for (QAction* a : buttons->PMNew->actions())
        items << (a->isSeparator() ? "-" : a->text().remove('&'));
    EXPECT_EQ(items, QStringList({"Box", "Round Corner Box", "Book", "Note Book", "Thick Book", "CD", "Curved Surface ",
                                  "Load 3ds Model", "3D Text", "-", "Copy current object",
                                  "Insert objects from saved project", "Insert objects from templates"}));
    EXPECT_EQ(buttons->PMNew->actions()[11], window->AInsertObj);
    EXPECT_EQ(buttons->PMNew->actions()[12], window->AInsertObjFromTemplates);

    window->PC->setCurrentWidget(window->TSObject);
    buttons->BTNew->click();
    EXPECT_TRUE(buttons->PMNew->isVisible());
    EXPECT_EQ(buttons->PMNew->geometry().topLeft(), buttons->BTNew->mapToGlobal(QPoint(0, 0)));
    buttons->PMNew->actions()[1]->trigger(); // "Round Corner Box"
    buttons->PMNew->hide();
    ASSERT_NE(window->Objects.At(0), nullptr);
    EXPECT_EQ(window->Objects.At(0)->ObjectKind, kKindRoundBox);

    boxes.Queue(Answer::Yes);
    buttons->BTDelete->click();
    EXPECT_EQ(window->Objects.At(0), nullptr);
    EXPECT_EQ(window->PC2->count(), 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "Confirm?");
}

} // namespace
} // namespace pc::test
