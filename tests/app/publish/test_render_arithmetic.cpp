#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <cmath>

#include "app/publish/alpha_extraction.h"
#include "app/publish/pass_blend.h"
#include "app/publish/render_plan.h"
#include "platform/resample.h"

namespace {

using pc::AntiAlias;

TEST(RenderPlan, ScaleAndPassesPerMethodOnAFullHdDesktop)
{
    struct Case { AntiAlias method; float scale; int passes; };
    const float limit = float(std::sqrt(2.0 * 1920 * 1080 / (400.0 * 400.0)));
    for (auto c : {Case{AntiAlias::Halftone, limit, 1}, Case{AntiAlias::Auto, 2.7f, 24},
                   Case{AntiAlias::Accumulation, 1.0f, 24}, Case{AntiAlias::None, 1.0f, 1}}) {
        auto p = pc::PlanRender(400, 400, 1920, 1080, c.method);
        EXPECT_FLOAT_EQ(p.scale, c.scale) << int(c.method);
        EXPECT_EQ(p.passes, c.passes);
        EXPECT_EQ(p.renderW, int(400 * c.scale));
    }
    EXPECT_NEAR(limit, 5.09f, 0.01f);
}

// Portrait and landscape outputs of odd sizes on a 1920 x 1080 desktop: the
// rendered sides are trunc(side x scale), everything in 32-bit floats,
// worked out outside the program.
TEST(RenderPlan, RenderedSidesOfPortraitAndLandscapeOutputs)
{
    struct Case {
        int w, h;
        AntiAlias method;
        int rw, rh;
    } cases[] = {
        {300, 400, AntiAlias::Auto, 810, 1080},       // scale 1080 / 400
        {400, 300, AntiAlias::Auto, 1440, 1080},      // scale 1080 / 300
        {301, 401, AntiAlias::Auto, 810, 1080},       // scale 1080 / 401
        {99, 1001, AntiAlias::Auto, 106, 1080},       // scale 1080 / 1001
        {1001, 99, AntiAlias::Auto, 1920, 189},       // scale 1920 / 1001
        {300, 400, AntiAlias::Halftone, 1619, 2159},  // scale 2159 / 400
        {150, 200, AntiAlias::Halftone, 1619, 2159},  // scale 2159 / 200
        {200, 150, AntiAlias::Halftone, 2351, 1763},  // the area limit sqrt(2 x 1920 x 1080 / 30000)
        {1001, 99, AntiAlias::Halftone, 3839, 379},   // scale 3839 / 1001: the width limits it
        {300, 400, AntiAlias::None, 300, 400},        // fits twice the desktop: scale 1
        {3001, 4001, AntiAlias::None, 1619, 2159},    // scale 2159 / 4001
        {4001, 3001, AntiAlias::Accumulation, 2351, 1763}, // the area limit
    };
    for (const Case& c : cases) {
        auto p = pc::PlanRender(c.w, c.h, 1920, 1080, c.method);
        EXPECT_EQ(p.renderW, c.rw) << c.w << "x" << c.h << " method " << int(c.method);
        EXPECT_EQ(p.renderH, c.rh) << c.w << "x" << c.h << " method " << int(c.method);
    }
}

TEST(RenderPlan, LargeOutputsRenderBelowSizeAndNeverZero)
{
    auto big = pc::PlanRender(4096, 4096, 1920, 1080, AntiAlias::None);
    EXPECT_LT(big.scale, 1.0f);
    EXPECT_LT(big.renderW, 4096);
    auto thin = pc::PlanRender(4096, 1, 1920, 1080, AntiAlias::Auto);
    EXPECT_GE(thin.renderW, 1);
    EXPECT_GE(thin.renderH, 1);
    auto thin2 = pc::PlanRender(1, 4096, 640, 480, AntiAlias::Halftone);
    EXPECT_GE(thin2.renderW, 1);
}

TEST(RenderPlan, TilesCoverThePictureWithEdgeTilesAtTheirOwnSize)
{
    auto tiles = pc::PlanTiles(2500, 1300, 1920, 1080);
    ASSERT_EQ(tiles.size(), 4u);
    EXPECT_EQ(tiles[1].left, 1920);
    EXPECT_EQ(tiles[1].width, 580);
    EXPECT_EQ(tiles[2].top, 1080);
    EXPECT_EQ(tiles[2].height, 220);
    EXPECT_EQ(tiles[0].readY, 1300 - 1080); // GL rows count from the bottom
    EXPECT_EQ(tiles[2].readY, 0);
    int64_t area = 0;
    for (auto& t : tiles)
        area += int64_t(t.width) * t.height;
    EXPECT_EQ(area, 2500 * 1300);
}

TEST(RenderPlan, EnhancedModeFactor)
{
    struct Case { int w, h; float k; int lw, lh; };
    for (auto c : {Case{400, 300, 8, 3200, 2400}, Case{512, 512, 8, 4096, 4096}, Case{1000, 600, 4, 4000, 2400},
                   Case{4096, 100, 1, 4096, 100}}) {
        auto p = pc::PlanLargeRender(c.w, c.h);
        EXPECT_FLOAT_EQ(p.factor, c.k) << c.w << "x" << c.h;
        EXPECT_EQ(p.width, c.lw);
        EXPECT_EQ(p.height, c.lh);
    }
}

TEST(PassBlend, WeightedBlendKeepsAConstantSceneExact)
{
    pc::Bitmap pic(2, 1);
    const uint8_t pass[8] = {10, 20, 30, 255, 200, 100, 50, 255};
    for (int i = 0; i < 24; ++i)
        pc::BlendPassRow(pic, 0, 0, pass, 2, i, 24);
    EXPECT_EQ(pic.Pixel(0, 0), pc::RGB(30, 20, 10));
    EXPECT_EQ(pic.Pixel(1, 0), pc::RGB(50, 100, 200));

    // The last pass enters with weight 1/24, the first is almost blended away.
    pc::Bitmap p2(1, 1);
    const uint8_t white[4] = {240, 240, 240, 255}, black[4] = {0, 0, 0, 255};
    pc::BlendPassRow(p2, 0, 0, white, 1, 0, 24);
    for (int i = 1; i < 24; ++i)
        pc::BlendPassRow(p2, 0, 0, black, 1, i, 24);
    EXPECT_LT(pc::GetRValue(p2.Pixel(0, 0)), 10);
}

// The blend is (new (n - i) + old i) / n rounded down, for every pair of
// bytes, every pass count up to 66 and the first, middle and last blended pass.
TEST(PassBlend, EqualsTheDivisionForEveryByteAndPassCount)
{
    // Row `old` holds that old value everywhere; the pass row runs through every new value.
    std::vector<uint8_t> pass(256 * 4);
    for (int v = 0; v < 256; ++v)
        for (int c = 0; c < 4; ++c)
            pass[size_t(v) * 4 + size_t(c)] = uint8_t(v);
    for (int n = 2; n <= 66; ++n)
        for (int k : {1, n / 2, n - 1}) {
            pc::Bitmap pic(256, 256);
            int wrong = 0;
            for (int old = 0; old < 256; ++old) {
                uint8_t* row = pic.ScanLine(old);
                std::fill(row, row + 256 * 3, uint8_t(old));
                pc::BlendPassRow(pic, old, 0, pass.data(), 256, k, n);
                for (int v = 0; v < 256 * 3; ++v)
                    wrong += row[v] != (v / 3 * (n - k) + old * k) / n;
            }
            ASSERT_EQ(wrong, 0) << n << " passes, pass " << k;
        }
}

TEST(AlphaExtraction, PixelCases)
{
    pc::Bitmap white(3, 1), black(3, 1), out;
    white.SetPixel(0, 0, pc::RGB(10, 200, 30)); // opaque: the same on both
    black.SetPixel(0, 0, pc::RGB(10, 200, 30));
    white.SetPixel(1, 0, pc::RGB(255, 255, 255)); // background
    black.SetPixel(1, 0, pc::RGB(0, 0, 0));
    white.SetPixel(2, 0, pc::RGB(191, 191, 191)); // half-transparent grey
    black.SetPixel(2, 0, pc::RGB(64, 64, 64));
    ASSERT_TRUE(pc::AlphaFromWhiteBlack(white, black, out));
    ASSERT_EQ(out.Format(), pc::PixelFormat::pf32bit);
    const uint8_t* p = out.ScanLine(0);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{30, 200, 10, 255}));
    EXPECT_EQ((std::vector<int>{p[4], p[5], p[6], p[7]}), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ((std::vector<int>{p[8], p[9], p[10], p[11]}), (std::vector<int>{127, 127, 127, 128}));

    pc::Bitmap other(2, 2), untouched(1, 1);
    untouched.SetPixel(0, 0, pc::RGB(1, 2, 3));
    EXPECT_FALSE(pc::AlphaFromWhiteBlack(white, other, untouched));
    EXPECT_EQ(untouched.Pixel(0, 0), pc::RGB(1, 2, 3));
}

TEST(ResampleArea, AveragesCoveredAreaBothWays)
{
    pc::Bitmap src(4, 2);
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 2; ++y)
            src.SetPixel(x, y, (x < 2) ? pc::RGB(0, 0, 0) : pc::RGB(255, 255, 255));
    auto half = pc::ResampleArea(src, 2, 1);
    EXPECT_EQ(half.Pixel(0, 0), pc::RGB(0, 0, 0));
    EXPECT_EQ(half.Pixel(1, 0), pc::RGB(255, 255, 255));
    auto one = pc::ResampleArea(src, 1, 1); // 127.5 rounds up
    EXPECT_EQ(one.Pixel(0, 0), pc::RGB(128, 128, 128));
    auto third = pc::ResampleArea(src, 3, 1); // the middle pixel straddles the edge: 127.5 again
    EXPECT_EQ(third.Pixel(0, 0), pc::RGB(0, 0, 0));
    EXPECT_EQ(third.Pixel(1, 0), pc::RGB(128, 128, 128));
    EXPECT_EQ(third.Pixel(2, 0), pc::RGB(255, 255, 255));

    pc::Bitmap flat(3, 3);
    flat.Fill(pc::RGB(17, 99, 201));
    auto big = pc::ResampleArea(flat, 7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(big.Pixel(x, y), pc::RGB(17, 99, 201));
}

} // namespace
