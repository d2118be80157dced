// Area resampling against the exact area average, worked out in integers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/resample.h"

namespace {

// An asymmetric picture: no row, column or channel repeats another.
pc::Bitmap Pattern(int w, int h, pc::PixelFormat pf = pc::PixelFormat::pf24bit)
{
    pc::Bitmap b(w, h, pf);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, pc::RGB(uint8_t((x * 37 + y * 11) % 256), uint8_t((x * x + y * 53 + 7) % 256),
                                     uint8_t((x * 5 + y * y * 3 + 200) % 256)));
    return b;
}

// Overlap of output cell d and source cell s along one axis, in units of
// 1 / (dst length) of a source pixel: the output cell spans [d src, (d + 1) src],
// the source cell [s dst, (s + 1) dst].
int64_t Overlap(int d, int s, int src, int dst)
{
    const int64_t lo = std::max<int64_t>(int64_t(d) * src, int64_t(s) * dst);
    const int64_t hi = std::min<int64_t>(int64_t(d + 1) * src, int64_t(s + 1) * dst);
    return std::max<int64_t>(0, hi - lo);
}

struct Size {
    int sw, sh, w, h;
};

class ResampleExact : public testing::TestWithParam<Size> {};

// Every channel is the covered area's mean rounded to nearest. Where the exact
// mean lies within 1/32 of a half the 16-bit weights may tip either way.
TEST_P(ResampleExact, EachPixelIsTheRoundedAreaMean)
{
    const Size s = GetParam();
    const pc::Bitmap src = Pattern(s.sw, s.sh);
    const pc::Bitmap out = pc::ResampleArea(src, s.w, s.h);
    ASSERT_EQ(out.Width(), s.w);
    ASSERT_EQ(out.Height(), s.h);
    ASSERT_EQ(out.Bits(), 24);
    const int64_t area = int64_t(s.sw) * s.sh;
    int pinned = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = 0; x < s.w; ++x)
            for (int c = 0; c < 3; ++c) {
                int64_t sum = 0; // in units of 1 / (w h) of a source pixel's area
                for (int sy = 0; sy < s.sh; ++sy) {
                    const int64_t oy = Overlap(y, sy, s.sh, s.h);
                    for (int sx = 0; oy && sx < s.sw; ++sx)
                        sum += int64_t(src.ScanLine(sy)[sx * 3 + c]) * Overlap(x, sx, s.sw, s.w) * oy;
                }
                const int64_t rounded = (2 * sum + area) / (2 * area);
                const int64_t twiceFraction = 64 * (sum % area); // 32 x (fraction * 2)
                const bool nearHalf = std::abs(twiceFraction - 32 * area) < 2 * area;
                const int got = out.ScanLine(y)[x * 3 + c];
                if (nearHalf) {
                    EXPECT_TRUE(got == sum / area || got == sum / area + 1) << x << "," << y << " channel " << c;
                } else {
                    EXPECT_EQ(got, rounded) << x << "," << y << " channel " << c;
                    ++pinned;
                }
            }
    if (s.w * s.h >= 10)
        EXPECT_GT(pinned, s.w * s.h * 3 * 3 / 4) << "too few values pinned exactly";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ResampleExact,
                         testing::Values(Size{4, 2, 1, 1}, Size{4, 1, 3, 1}, Size{7, 5, 3, 2}, Size{3, 3, 7, 5},
                                         Size{5, 7, 2, 9}, Size{33, 17, 10, 6}, Size{700, 3, 1, 2},
                                         Size{3, 1000, 2, 1}, Size{701, 2, 3, 1}, Size{1, 1, 5, 3},
                                         Size{9, 11, 8, 10}),
                         [](const auto& info) {
                             const Size& s = info.param;
                             return std::to_string(s.sw) + "x" + std::to_string(s.sh) + "to" + std::to_string(s.w) +
                                    "x" + std::to_string(s.h);
                         });

TEST(ResampleArea, ThirtyTwoBitSourceIsReadAsItsColours)
{
    pc::Bitmap src = Pattern(13, 7, pc::PixelFormat::pf32bit);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            src.ScanLine(y)[x * 4 + 3] = uint8_t(x * 19); // alpha plays no part
    pc::Bitmap same = pc::ResampleArea(src, 13, 7);
    ASSERT_EQ(same.Bits(), 24);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(same.Pixel(x, y), src.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(pc::ResampleArea(src, 5, 3), pc::ResampleArea(Pattern(13, 7), 5, 3));
}

} // namespace
