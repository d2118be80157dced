// Stretching blits, pixel by pixel against a reference worked out in doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "platform/canvas_stretch.h"

namespace {

using pc::Rect;
using pc::StretchMode;

pc::Bitmap Pattern(int w, int h)
{
    pc::Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, pc::RGB(uint8_t(x * 29 + y * 3), uint8_t(y * 41 + x), uint8_t((x * y * 7) % 256)));
    return b;
}

struct Case {
    const char* name;
    Rect dst, src;
    StretchMode mode;
};

// Target pixel (x, y) of the rectangle, the source cells it takes along one
// axis: the nearest one by centre, or every cell it overlaps.
void Cells(int u, int dLen, int sStart, int sLen, StretchMode mode, int& first, int& last)
{
    const double scale = double(sLen) / dLen;
    if (mode == StretchMode::ColorOnColor) {
        first = sStart + int(std::floor((u + 0.5) * scale));
        last = first + 1;
    } else {
        first = sStart + int(std::floor(u * scale));
        last = std::max(first + 1, sStart + int(std::ceil((u + 1) * scale)));
    }
}

class StretchReference : public testing::TestWithParam<Case> {};

TEST_P(StretchReference, EveryTargetPixel)
{
    const Case& c = GetParam();
    const pc::Bitmap src = Pattern(9, 7);
    pc::Bitmap dst(13, 11);
    dst.Fill(pc::RGB(1, 2, 3));
    pc::StretchBlt(dst, c.dst, src, c.src, c.mode);

    const int dw = std::abs(c.dst.Width()), dh = std::abs(c.dst.Height());
    const int sw = std::abs(c.src.Width()), sh = std::abs(c.src.Height());
    const bool flipX = (c.dst.Width() < 0) != (c.src.Width() < 0);
    const bool flipY = (c.dst.Height() < 0) != (c.src.Height() < 0);
    const int dx0 = std::min(c.dst.left, c.dst.right), dy0 = std::min(c.dst.top, c.dst.bottom);
    const int sx0 = std::min(c.src.left, c.src.right), sy0 = std::min(c.src.top, c.src.bottom);
    for (int y = 0; y < dst.Height(); ++y)
        for (int x = 0; x < dst.Width(); ++x) {
            pc::TColor expected = pc::RGB(1, 2, 3);
            const int u = x - dx0, v = y - dy0;
            if (u >= 0 && u < dw && v >= 0 && v < dh) {
                int x0, x1, y0, y1;
                Cells(flipX ? dw - 1 - u : u, dw, sx0, sw, c.mode, x0, x1);
                Cells(flipY ? dh - 1 - v : v, dh, sy0, sh, c.mode, y0, y1);
                x0 = std::clamp(x0, 0, src.Width()), x1 = std::clamp(x1, 0, src.Width());
                y0 = std::clamp(y0, 0, src.Height()), y1 = std::clamp(y1, 0, src.Height());
                long sum[3] = {0, 0, 0}, n = 0;
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx, ++n) {
                        const pc::TColor s = src.Pixel(sx, sy);
                        sum[0] += pc::GetRValue(s), sum[1] += pc::GetGValue(s), sum[2] += pc::GetBValue(s);
                    }
                if (n > 0)
                    expected = pc::RGB(uint8_t((sum[0] + n / 2) / n), uint8_t((sum[1] + n / 2) / n),
                                       uint8_t((sum[2] + n / 2) / n));
            }
            ASSERT_EQ(dst.Pixel(x, y), expected) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Rects, StretchReference,
    testing::Values(Case{"SameSize", {2, 1, 11, 8}, {0, 0, 9, 7}, StretchMode::ColorOnColor},
                    Case{"EnlargeNearest", {0, 0, 13, 11}, {1, 2, 6, 7}, StretchMode::ColorOnColor},
                    Case{"ShrinkNearest", {3, 4, 7, 7}, {0, 0, 9, 7}, StretchMode::ColorOnColor},
                    Case{"ShrinkHalftone", {3, 4, 7, 7}, {0, 0, 9, 7}, StretchMode::Halftone},
                    Case{"ShrinkOddHalftone", {0, 0, 5, 2}, {1, 0, 8, 7}, StretchMode::Halftone},
                    Case{"EnlargeHalftone", {1, 1, 12, 10}, {2, 3, 5, 5}, StretchMode::Halftone},
                    Case{"MirrorX", {10, 0, 1, 5}, {0, 0, 9, 7}, StretchMode::ColorOnColor},
                    Case{"MirrorYBySource", {0, 0, 9, 7}, {0, 7, 9, 0}, StretchMode::Halftone},
                    Case{"ClippedTopLeft", {-4, -3, 8, 6}, {0, 0, 9, 7}, StretchMode::Halftone},
                    Case{"ClippedBottomRight", {6, 5, 20, 17}, {0, 0, 9, 7}, StretchMode::ColorOnColor},
                    Case{"SourcePartlyOutside", {0, 0, 12, 10}, {5, 4, 12, 9}, StretchMode::Halftone}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Rect, ExtentsBeyondIntAreRefused)
{
    EXPECT_EQ((Rect{INT32_MIN, -1, -1, INT32_MAX}).Width(), INT32_MAX);
    EXPECT_THROW((Rect{INT32_MIN, 0, 0, 1}).Width(), pc::BadInput);
    EXPECT_THROW((Rect{0, INT32_MAX, 1, -2}).Height(), pc::BadInput);
}

} // namespace
