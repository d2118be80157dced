// A 3DS model whose material has a picture, saved in a project, loaded
// again and published: the picture shows on the model in the published file.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <algorithm>

#include "app/window/publish_command.h"
#include "platform/bmp_file.h"
#include "scene/pages/kind_controls.h"
#include "tests/app/window/window_fixture.h"

namespace pc::test {
namespace {

// Pixels in strong colours: the test picture's patches, not the grey of the
// material, the white of an untextured face or the floor.
int ColouredPixels(const Bitmap& picture)
{
    Bitmap rgb = picture;
    rgb.SetPixelFormat(PixelFormat::pf24bit);
    int n = 0;
    for (int y = 0; y < rgb.Height(); ++y) {
        const uint8_t* p = rgb.ScanLine(y);
        for (int x = 0; x < rgb.Width(); ++x, p += 3)
            n += std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 90;
    }
    return n;
}

class ModelPublish : public ProjectWindowTest {
protected:
    Bitmap Published(const std::string& name)
    {
        window->TBWidth->setValue(160);
        window->TBHeight->setValue(120);
        window->RenderNone1->setChecked(true);
        const auto file = window->Publisher->Execute(true, PublishTarget{dir.file(name), PublishType::Bmp});
        EXPECT_TRUE(file);
        return file ? LoadBmpFile(*file) : Bitmap();
    }
};

TEST_F(ModelPublish, TexturedModelShowsItsPictureAfterSaveAndLoad)
{
    const int slot = window->AddObject(kKindModel, k3dsModels + "cube_with_diffuse_texture.3DS");
    ASSERT_GE(slot, 0);
    SaveSilently(dir.file("model.qv7kb"));
    boxes.Queue(Answer::No); // no need to save it again
    Load(dir.file("model.qv7kb"), kLoadPreset);
    ASSERT_EQ(OccupiedSlots(), std::vector<int>{slot});
    const int textured = ColouredPixels(Published("model.bmp"));

    window->Objects.At(slot)->VisibleCheck->setChecked(false);
    const int without = ColouredPixels(Published("empty.bmp"));
    EXPECT_GT(textured - without, 400) << textured << " coloured pixels with the model, " << without << " without";
}

} // namespace
} // namespace pc::test
