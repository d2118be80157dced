// Jitter tables: every shift stays inside one pixel.
#include <gtest/gtest.h>

#include <cmath>

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
