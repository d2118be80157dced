// The templates the build makes beside the program: each loads, publishes,
// stands on its floor and is saved with the axis and the light marker off.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSlider>
#include <algorithm>
#include <png.h>
#include <sstream>

#include "app/project/project_file.h"
#include "app/templates/template_sheet.h"
#include "app/window/publish_command.h"
#include "platform/bmp_file.h"
#include "scene/geometry/object_extent.h"
#include "scene/model/c3ds.h"
#include "scene/pages/material_values.h"
#include "scene/pages/object_params.h"
#include "tests/app/window/window_fixture.h"

namespace pc::test {
namespace {

const std::string kShipped = std::string(PRISMCASE_BINARY_DIR) + "/templates/";

// The names the build makes, as it passes them: "Software Box|Book|...".
std::vector<std::string> ShippedNames()
{
    std::vector<std::string> names;
    std::stringstream list(PRISMCASE_TEMPLATES);
    for (std::string name; std::getline(list, name, '|');)
        names.push_back(name);
    return names;
}

// Rows and columns holding a pixel of alpha 200 or more: their first and last.
struct Span {
    int top = -1, bottom = -1, left = -1, right = -1;
};

bool PngSize(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    width = int(image.width);
    height = int(image.height);
    png_image_free(&image);
    return true;
}

Span OpaqueSpan(const std::string& path, int& width, int& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Span s;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return s;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return s;
    width = int(image.width);
    height = int(image.height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (pixels[(size_t(y) * size_t(width) + size_t(x)) * 4 + 3] >= 200) {
                s.top = s.top < 0 ? y : s.top;
                s.bottom = y;
                s.left = s.left < 0 ? x : std::min(s.left, x);
                s.right = std::max(s.right, x);
            }
    return s;
}

class ShippedTemplate : public ProjectWindowTest, public testing::WithParamInterface<std::string> {};

TEST_P(ShippedTemplate, LoadsStandsOnItsFloorAndFillsEveryFrameWithAMargin)
{
    const std::string file = kShipped + GetParam() + ".qv7kb";
    const Bitmap preview = LoadPreview(file);
    EXPECT_EQ(preview.Width(), 200);
    EXPECT_EQ(preview.Height(), 200);
    project::FileProjectSource source(file);
    const project::Scene saved = project::ReadProject(source).scene;
    EXPECT_FALSE(saved.drawAxis);
    EXPECT_FALSE(saved.drawLight);
    // A title is measured across, every other product up.
    const bool wide = std::any_of(saved.objects.begin(), saved.objects.end(),
                                  [](const auto& o) { return o && o->kind == project::kKindText; });
    for (const auto& o : saved.objects)
        if (o && o->faces[0].picture.Present()) {
            const Bitmap front = ReadBmp(source.Read(o->faces[0].picture.start, o->faces[0].picture.size));
            EXPECT_GE(std::max(front.Width(), front.Height()), 1024) << o->name;
        }

    Load(file, kLoadPreset);
    ASSERT_TRUE(Messages().empty()) << Messages().front();
    ASSERT_FALSE(OccupiedSlots().empty());
    for (int slot : OccupiedSlots()) {
        // Within one step of the Position Y track bar.
        EXPECT_NEAR(scene::LowestPoint(ParamsOf(*window->Objects.At(slot))), 0.0, 1.0 / 90) << "object " << slot;
    }

    // Square, 4:3 and 16:9 at small sizes. The vertical angle of view keeps
    // the framing, so the square frame, that of the preview, is the tightest.
    window->BTransparent->setChecked(true);
    window->RenderNone1->setChecked(true);
    for (auto [frameW, frameH] : {std::pair{300, 300}, std::pair{400, 300}, std::pair{480, 270}}) {
        window->TBWidth->setValue(frameW);
        window->TBHeight->setValue(frameH);
        const auto png = window->Publisher->Execute(true, PublishTarget{dir.file("shot.png"), PublishType::Png24});
        ASSERT_TRUE(png);
        int width = 0, height = 0;
        const Span s = OpaqueSpan(*png, width, height);
        ASSERT_EQ(height, frameH);
        ASSERT_GE(s.top, 0) << "nothing opaque";
        if (width == height) {
            if (wide)
                EXPECT_GE(s.right - s.left + 1, width / 2);
            else
                EXPECT_GE(s.bottom - s.top + 1, height / 2);
        }
        // Not cut by the frame: a margin of a 25th of the frame on every side.
        EXPECT_GE(s.left, width / 25) << width << "x" << height;
        EXPECT_LT(s.right, width - width / 25) << width << "x" << height;
        EXPECT_GE(s.top, height / 25) << width << "x" << height;
        EXPECT_LT(s.bottom, height - height / 25) << width << "x" << height;
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, ShippedTemplate, testing::ValuesIn(ShippedNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string n = info.param;
                             n.erase(std::remove_if(n.begin(), n.end(), [](char c) { return !std::isalnum(c); }), n.end());
                             return n;
                         });

// The folder the picture and model dialogs open on: cover pictures at full
// size and a 3DS model whose material finds its picture beside it.
TEST(ShippedResource, CoverPicturesAndATexturedModel)
{
    const std::string folder = std::string(PRISMCASE_BINARY_DIR) + "/Resource/";
    for (const char* name : {"Cover Front.png", "Cover Spine.png", "Cover Back.png", "Disc Label.png"}) {
        int width = 0, height = 0;
        ASSERT_TRUE(PngSize(folder + name, width, height)) << name;
        EXPECT_GE(std::max(width, height), 1024) << name;
    }
    C3DS model;
    ASSERT_TRUE(model.Load(folder + "Gift Box.3ds"));
    EXPECT_EQ(model.Problem(), "");
    ASSERT_EQ(model.Model().materials.size(), 1u);
    EXPECT_FALSE(ResolveMapFile(model.Model().materials[0].mapFile, folder).empty());
    ASSERT_FALSE(model.Model().objects.empty());
    for (const auto& mesh : model.Model().objects)
        EXPECT_EQ(mesh.texcoords.size(), mesh.verts.size());
}

} // namespace
} // namespace pc::test
