// Jitter tables: every shift stays inside one pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/render/jitter.h"

namespace pc::scene {
namespace {

TEST(Jitter, TablesStayInsideOnePixel)
{
    for (int n : {2, 3, 4, 8, 15, 24, 66}) {
        auto table = JitterTable(n);
        EXPECT_EQ(table.size(), size_t(n));
        float sx = 0, sy = 0;
        for (const auto& p : table) {
            EXPECT_LE(std::fabs(p.x), 0.5f) << n;
            EXPECT_LE(std::fabs(p.y), 0.5f) << n;
            sx += p.x;
            sy += p.y;
        }
        // Centred on the pixel: the mean offset is small.
        EXPECT_LT(std::fabs(sx / float(n)), 0.1f) << n;
        EXPECT_LT(std::fabs(sy / float(n)), 0.1f) << n;
    }
    EXPECT_EQ(JitterTable(5).size(), 4u);
    EXPECT_EQ(JitterTable(0).size(), 4u);
}

// Each published table starts with these points.
TEST(Jitter, TablesStartWithThePublishedPoints)
{
    struct Case { int n; float x, y; };
    for (auto c : {Case{8, -0.334818f, 0.435331f}, Case{15, 0.285561f, 0.188437f}, Case{24, 0.030245f, 0.136384f},
                   Case{66, 0.266377f, -0.218171f}}) {
        auto table = JitterTable(c.n);
        ASSERT_EQ(table.size(), size_t(c.n));
        EXPECT_FLOAT_EQ(table[0].x, c.x) << c.n;
        EXPECT_FLOAT_EQ(table[0].y, c.y) << c.n;
    }
}

// The short tables are published whole.
TEST(Jitter, ShortTablesAreThePublishedOnesWhole)
{
    const std::vector<JitterPoint> j2 = {{0.246490f, 0.249999f}, {-0.246490f, -0.249999f}};
    const std::vector<JitterPoint> j3 = {{-0.373411f, -0.250550f}, {0.256263f, 0.368119f}, {0.117148f, -0.117570f}};
    const std::vector<JitterPoint> j4 = {{-0.208147f, 0.353730f}, {0.203849f, -0.353780f}, {-0.292626f, -0.149945f},
                                         {0.296924f, 0.149994f}};
    for (const auto* want : {&j2, &j3, &j4}) {
        auto table = JitterTable(int(want->size()));
        ASSERT_EQ(table.size(), want->size());
        for (size_t i = 0; i < table.size(); ++i) {
            EXPECT_FLOAT_EQ(table[i].x, (*want)[i].x) << want->size() << " passes, entry " << i;
            EXPECT_FLOAT_EQ(table[i].y, (*want)[i].y) << want->size() << " passes, entry " << i;
        }
    }
}

// Every table spreads its points over the pixel: no two closer than a third
// of the spacing of an even n-point grid (a mistyped entry lands on or near
// another one, or outside the pixel).
TEST(Jitter, EveryTableSpreadsItsPointsOverThePixel)
{
    for (int n : {2, 3, 4, 8, 15, 24, 66}) {
        auto table = JitterTable(n);
        float closest = 2;
        for (size_t i = 0; i < table.size(); ++i)
            for (size_t j = i + 1; j < table.size(); ++j)
                closest = std::min(closest, std::hypot(table[i].x - table[j].x, table[i].y - table[j].y));
        EXPECT_GT(closest, 1.0f / std::sqrt(float(n)) / 3) << n << " passes";
    }
}

TEST(Jitter, NoShiftOutsideTheTableOrTheCount)
{
    EXPECT_FALSE(JitterShift(-1, 0));
    EXPECT_FALSE(JitterShift(0, 1));
    EXPECT_FALSE(JitterShift(3, 3));
    EXPECT_FALSE(JitterShift(-1, 4));
    // Five passes use the four-entry table: the fifth pass is not shifted
    // rather than read past the table's end.
    EXPECT_TRUE(JitterShift(3, 5));
    EXPECT_FALSE(JitterShift(4, 5));
    auto p = JitterShift(1, 2);
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->x, -0.246490f);
}

} // namespace
} // namespace pc::scene
