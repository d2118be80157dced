// How dark the soft shadow is and how strong the reflection is, pinned to
// the pass arithmetic: the first (smallest) shadow pass darkens a floor
// pixel by the strength and no later pass darkens it again; publishing
// takes 50 passes, the preview 6; the reflection lies under the floor.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <set>

#include "platform/gl_context.h"
#include "scene/render/render_frame.h"

namespace pc::scene {
namespace {

constexpr int kSize = 160;
constexpr int kFloorGreen = 200;

class PassAmounts : public testing::Test {
protected:
    void SetUp() override
    {
        ctx_ = GLContext::Create();
        ctx_->Bind(kSize, kSize, true);
        s_.TBCameraX = 0;
        s_.TBCameraY = 900;
        s_.TBCameraZ = 300;
        s_.DrawAxis = false;
        s_.DrawLight = false;
        s_.ImageFloor.BrushColor = RGB(0, kFloorGreen, 0);
        s_.ImageBackground.BrushColor = RGB(0, 0, 200);
        s_.TBFloor_alpha = 0; // opaque floor
        s_.CBDiffuse = false;
        s_.TBLightX = 200;
        s_.TBLightY = 400;
        s_.TBLightZ = 0;
        s_.TBShadowStrength = 80;
        s_.TBShadowScale = 50;
        s_.TBShadowDiffuse = 150;
        ObjectParams box;
        for (auto& f : box.Faces)
            f.BrushColor = RGB(255, 0, 0);
        s_.Objects[0] = box;
    }

    void Render()
    {
        SetSceneProjection(kSize, kSize, s_.TBCameraLookAtA);
        RenderFrame(s_, state_, -1, 0);
        ctx_->Finish();
    }

    // Green levels of floor pixels darker than the lit floor.
    std::set<int> ShadowLevels() const
    {
        std::set<int> levels;
        for (int i = 0; i < kSize * kSize; ++i) {
            const uint8_t* p = ctx_->Pixels() + size_t(i) * 4;
            if (p[0] == 0 && p[2] == 0 && p[1] < kFloorGreen)
                levels.insert(p[1]);
        }
        return levels;
    }

    std::unique_ptr<GLContext> ctx_;
    SceneParams s_;
    FrameState state_;
};

TEST_F(PassAmounts, ShadowTakesOneLevelPerPassStartingAtTheStrength)
{
    s_.CBShadowVisible = true;
    Render();
    const std::set<int> levels = ShadowLevels();
    // Pass i of 6 leaves the floor at 200 x (1 - (1 - i/6) x 0.8).
    ASSERT_FALSE(levels.empty());
    EXPECT_NEAR(*levels.begin(), kFloorGreen * (1 - 0.8), 1.5) << "darkest shadow";
    std::set<int> expected;
    for (int i = 0; i < 6; ++i)
        expected.insert(int(std::lround(kFloorGreen * (1 - (1 - i / 6.0) * 0.8))));
    for (int g : levels) {
        auto near = expected.lower_bound(g - 1);
        EXPECT_TRUE(near != expected.end() && *near <= g + 1) << "level " << g << " is no single pass's";
    }
    EXPECT_EQ(levels.size(), 6u);
}

TEST_F(PassAmounts, PublishingTakesFiftyPassesQuickPreviewThree)
{
    s_.CBShadowVisible = true;
    s_.Publishing = true;
    Render();
    const size_t published = ShadowLevels().size();
    EXPECT_GE(published, 35u);
    EXPECT_LE(published, 50u);
    EXPECT_NEAR(*ShadowLevels().begin(), kFloorGreen * (1 - 0.8), 1.5);

    s_.Publishing = false;
    s_.QuickView = true;
    Render();
    EXPECT_EQ(ShadowLevels().size(), 3u);
}

TEST_F(PassAmounts, ReflectionLiesUnderTheFloorAtTheFloorsTransparency)
{
    s_.TBFloor_alpha = 50; // the floor lets half of the reflection through
    s_.TBCameraY = 150;
    s_.TBCameraZ = 500;
    s_.Objects[0]->At(kRowPosition, kColY) = 150; // lifted clear of the floor
    Render();
    // Under the floor line, in the middle, the mirrored red box shows through
    // the half-transparent floor: half the floor's green, some red.
    int mixed = 0;
    for (int y = 0; y < kSize / 2; ++y)
        for (int x = kSize / 2 - 3; x <= kSize / 2 + 3; ++x) {
            const uint8_t* p = ctx_->Pixels() + (size_t(kSize - 1 - y) * kSize + size_t(x)) * 4;
            if (p[0] != 0)
                continue;
            if (std::abs(p[1] - kFloorGreen / 2) <= 2 && p[2] > 40)
                ++mixed;
        }
    EXPECT_GT(mixed, 20) << "no reflection under the floor at half strength";
}

} // namespace
} // namespace pc::scene
