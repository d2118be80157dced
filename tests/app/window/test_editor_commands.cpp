// The main window's hand-over to the bitmap editor: the picture of a face
// edited and cropped through "tempimage.bmp", and the published picture.
#include <gtest/gtest.h>

#include <QAction>
#include <QSlider>
#include <filesystem>
#include <fstream>

#include "app/window/editor_commands.h"
#include "app/window/main_window.h"
#include "app/window/publish_command.h"
#include "editor/window/image_form.h"
#include "platform/bmp_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/object_page.h"
#include "tests/editor/window/model_fixture.h"
#include "tests/support/test_settings.h"

namespace pc::test {
namespace {

using editor::EditorModel;
using editor::TImageForm;
using editor::ToolAction;

void Drag(EditorModel& m, Point a, Point b)
{
    m.MouseDown({a});
    m.MouseMove({b});
    m.MouseUp({b});
}

class EditorCommandsTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolderForTesting(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
        w = std::make_unique<TFormMainQV7K>(std::make_unique<EmptySceneSettings>(), QStringList{});
        w->show();
        w->FormCreate();
    }
    void TearDown() override
    {
        w.reset();
        SetProgramFolderForTesting("");
    }
    // A book's front face as the picture the popup was opened for.
    FacePicture& Face()
    {
        if (!w->Objects.At(0))
            w->ABook->trigger();
        FacePicture& face = *w->Objects.At(0)->Faces[2];
        w->CurrentFace = &face;
        return face;
    }
    Bitmap WorkPicture(const FacePicture& face) { return LoadBmpFile(TextureFolder() + std::to_string(face.Tag)); }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    editor::test::ScriptedDialogs dialogs;
    std::unique_ptr<TFormMainQV7K> w;
};

TEST_F(EditorCommandsTest, TheCommandsAreOffered)
{
    EXPECT_TRUE(w->Editcurrentpicture1->isEnabled());
    EXPECT_TRUE(w->CropCurrentPicture1->isEnabled());
    EXPECT_TRUE(w->EditPublished->isEnabled());
}

TEST_F(EditorCommandsTest, AnEditedPictureComesBackIntoTheFace)
{
    FacePicture& face = Face();
    ASSERT_GT(face.Tag, 0);
    const Bitmap before = WorkPicture(face);
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        EditorModel& m = form.Model();
        EXPECT_EQ(m.Width(), before.Width());
        m.SetPenColor(RGB(255, 0, 0));
        m.ChooseTool(ToolAction::Rectangle);
        Drag(m, {2, 2}, {20, 20});
        // Saved elsewhere: closing asks nothing, and the face still takes it.
        dialogs.saves.push_back(editor::SaveChoice{WorkFolder() + "copy"});
        form.ASaveas->trigger();
        form.close();
    };
    w->EditorCmds->Dialogs = &dialogs;
    w->Editcurrentpicture1->trigger();
    EXPECT_TRUE(boxes.Shown().empty());
    const Bitmap after = WorkPicture(face);
    EXPECT_TRUE(after == LoadBmpFile(WorkFolder() + "copy.bmp"));
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(after.Pixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(after.Pixel(19, 10), RGB(255, 0, 0));
}

TEST_F(EditorCommandsTest, RefusingToSaveLeavesTheFaceAlone)
{
    FacePicture& face = Face();
    const Bitmap before = WorkPicture(face);
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        form.Model().Rotate90();
        boxes.Queue(Answer::No);
        form.close();
    };
    w->Editcurrentpicture1->trigger();
    EXPECT_TRUE(WorkPicture(face) == before);
}

TEST_F(EditorCommandsTest, AFaceThatCannotTakeThePictureKeepsTheEditorOpenUntilTheUserLetsItGo)
{
    FacePicture& face = Face();
    const Bitmap before = WorkPicture(face);
    // A file where the texture folder was: writing a texture fails.
    const std::string textures = TextureFolder().substr(0, TextureFolder().size() - 1);
    const std::string aside = WorkFolder() + "aside";
    bool stayedOpen = false;
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        EditorModel& m = form.Model();
        m.SetPenColor(RGB(255, 0, 0));
        m.ChooseTool(ToolAction::Rectangle);
        Drag(m, {3, 2}, {21, 17});
        std::filesystem::rename(textures, aside);
        std::ofstream(textures) << "not a folder";
        boxes.Queue(Answer::Yes);
        form.close();
        stayedOpen = form.isVisible();
        EXPECT_EQ(m.Picture().Pixel(3, 2), RGB(255, 0, 0));
        boxes.Queue(Answer::No); // failed again: stay
        form.close();
        EXPECT_TRUE(form.isVisible());
        std::filesystem::remove(textures);
        std::filesystem::rename(aside, textures);
        form.close(); // saved before: no question, and the face takes it now
        EXPECT_FALSE(form.isVisible());
    };
    w->Editcurrentpicture1->trigger();
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_NE(boxes.Shown()[1].text.find("Texture"), std::string::npos) << boxes.Shown()[1].text;
    EXPECT_EQ(boxes.Shown()[2].text, "The face cannot take the picture: close without it?");
    EXPECT_EQ(WorkPicture(face).Pixel(3, 2), RGB(255, 0, 0));
    EXPECT_EQ(WorkPicture(face).Pixel(25, 20), before.Pixel(25, 20));

    // Saved, then a face that never can take it: No to the changes, the
    // error once, then Yes lets the editor go.
    const Bitmap taken = WorkPicture(face);
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        form.Model().Rotate90();
        form.ASave->trigger();
        form.Model().Rotate90();
        std::filesystem::rename(textures, aside);
        std::ofstream(textures) << "not a folder";
        for (const Answer a : {Answer::No, Answer::No, Answer::Yes})
            boxes.Queue(a);
        form.close();
        form.close();
    };
    w->Editcurrentpicture1->trigger();
    std::filesystem::remove(textures);
    std::filesystem::rename(aside, textures);
    EXPECT_EQ(boxes.AnswersLeft(), 0u);
    EXPECT_TRUE(WorkPicture(face) == taken);
}

TEST_F(EditorCommandsTest, CropWithYesKeepsTheSizeAndADraggedCornerShrinksIt)
{
    FacePicture& face = Face();
    const Bitmap before = WorkPicture(face);
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        EXPECT_TRUE(form.ACrop->isChecked());
        boxes.Queue(Answer::Yes); // a crop is a change: closing always asks
        form.close();
    };
    w->CropCurrentPicture1->trigger();
    EXPECT_EQ(boxes.Shown().size(), 1u);
    Bitmap after = WorkPicture(face);
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(after.Height(), before.Height());

    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        EditorModel& m = form.Model();
        Drag(m, {m.Width(), m.Height()}, {m.Width() - 7, m.Height() - 5});
        boxes.Queue(Answer::Yes);
        form.close();
    };
    w->CropCurrentPicture1->trigger();
    after = WorkPicture(face);
    EXPECT_EQ(after.Width(), before.Width() - 7);
    EXPECT_EQ(after.Height(), before.Height() - 5);
}

TEST_F(EditorCommandsTest, ASolidColourIsHandedOverAtTheBoxProportions)
{
    const Bitmap b = SolidHandOverPicture(RGB(1, 2, 3), 300, 100);
    EXPECT_EQ(b.Width(), 512);
    EXPECT_EQ(b.Height(), 256);
    EXPECT_EQ(b.Pixel(511, 255), RGB(1, 2, 3));
    const Bitmap small = SolidHandOverPicture(clWhite, 60, 65);
    EXPECT_EQ(small.Width(), 491);
    EXPECT_EQ(small.Height(), 512);
}

TEST_F(EditorCommandsTest, ThePublishedPictureOpensInTheEditor)
{
    w->TBWidth->setValue(96);
    w->TBHeight->setValue(64);
    w->RenderNone1->setChecked(true);
    int width = 0, height = 0;
    w->EditorCmds->RunModal = [&](TImageForm& form) {
        form.show();
        width = form.Model().Width();
        height = form.Model().Height();
        // No save name is preset: Save asks for one (cancelled here).
        dialogs.saves.push_back(std::nullopt);
        form.ASave->trigger();
        form.close();
    };
    w->EditorCmds->Dialogs = &dialogs;
    w->EditPublished->trigger();
    EXPECT_EQ(width, 96);
    EXPECT_EQ(height, 64);
    EXPECT_EQ(dialogs.saveAsked, 1);
    EXPECT_TRUE(std::filesystem::exists(EditorCommands::HandOverFile()));
    EXPECT_TRUE(boxes.Shown().empty());
}

} // namespace
} // namespace pc::test
