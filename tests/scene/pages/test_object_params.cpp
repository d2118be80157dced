// What the geometry reads of the pages.
#include <QCheckBox>
#include <QPlainTextEdit>

#include "pages_fixture.h"
#include "platform/track_bar.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_params.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

TEST_F(PagesTest, SceneParamsFollowThePages)
{
    commands.AddObject(kKindBook);
    commands.AddObject(kKindText);
    commands.AddObject(kKindModel, k3dsModels + "cubes_with_alpha.3DS");
    GLTSObject& book = Page(0);
    book.SetPosition(kRowRotation, kColY, 90);
    book.VisibleCheck->setChecked(false);
    Page(1).TextMemo->setPlainText("Two\nlines");
    Page(2).KindTrackbars[4]->SetPosition(33);
    tabs.setCurrentIndex(0);
    commands.DeleteObject(true); // slot 0 free again
    commands.AddObject(kKindCD);
    commands.DeleteObject(true);

    scene::SceneParams params;
    params.Objects[5] = scene::ObjectParams{}; // stale
    FillObjectParams(table, params);
    EXPECT_FALSE(params.Objects[0]);
    EXPECT_FALSE(params.Objects[5]);
    ASSERT_TRUE(params.Objects[1] && params.Objects[2]);
    const scene::ObjectParams& text = *params.Objects[1];
    EXPECT_EQ(text.ObjectKind, kKindText);
    EXPECT_EQ(text.Text, "Two\nlines");
    EXPECT_EQ(text.FontName, "Arial");
    EXPECT_EQ(text.At(scene::kRowKeep4, scene::kColZ), 30);
    EXPECT_EQ(text.At(scene::kRowPosition, scene::kColX), 0); // slot 1 on the grid
    EXPECT_EQ(text.Faces[0].BrushColor, Page(1).Faces[0]->BrushColor);
    const scene::ObjectParams& model = *params.Objects[2];
    EXPECT_EQ(model.Model, Page(2).Model.get());
    EXPECT_EQ(model.KindTrackbars[4], 33);

    commands.AddObject(kKindBook);
    GLTSObject& again = Page(0);
    again.SetPosition(kRowRotation, kColY, 90);
    again.VisibleCheck->setChecked(false);
    FillObjectParams(table, params);
    ASSERT_TRUE(params.Objects[0]);
    EXPECT_FALSE(params.Objects[0]->Visible);
    EXPECT_EQ(params.Objects[0]->At(scene::kRowRotation, scene::kColY), 90);
    EXPECT_EQ(params.Objects[0]->At(scene::kRowSize, scene::kColZ), 36);
    EXPECT_EQ(int(params.Objects[0]->Faces[2].Tag), again.Faces[2]->Tag);
    EXPECT_NE(params.Objects[0]->Faces[2].Tag, 0u);
}

} // namespace
} // namespace pc::test
