// The mouse on the zoomed view acts on the picture pixel the view shows
// under the pointer.
#include <gtest/gtest.h>

#include <algorithm>

#include "editor/window/zoom.h"
#include "editor/window/zoomed_part.h"

namespace pc::editor::test {
namespace {

TEST(ZoomMapping, AViewPixelMapsToThePicturePixelItLiesIn)
{
    struct Case {
        int percent, side, view, picture;
    };
    // At 400% view pixels 40..43 all show picture pixel 10.
    for (Case c : {Case{400, 64, 42, 10}, Case{400, 64, 43, 10}, Case{400, 64, 44, 11}, Case{400, 64, 83, 20},
                   Case{400, 64, 3, 0}, Case{400, 64, -1, -1}, Case{400, 64, -5, -2}, Case{400, 64, 257, 64},
                   Case{200, 256, 101, 50}, Case{200, 256, 1, 0}, Case{300, 33, 17, 5}, Case{300, 33, 98, 32},
                   Case{1600, 7, 31, 1}, Case{1600, 7, 111, 6}, Case{150, 10, 6, 4}, Case{150, 10, 8, 5},
                   Case{50, 9, 3, 6}, Case{50, 9, 0, 0}, Case{100, 37, 35, 35}}) {
        Zoom z;
        z.Preset(c.percent);
        EXPECT_EQ(z.ToPicture(c.view, c.side), c.picture) << c.percent << "% of " << c.side << " at " << c.view;
    }
}

TEST(ZoomMapping, EveryViewPixelActsOnThePixelTheViewShows)
{
    // Each picture pixel its own colour, so the view names its source.
    constexpr int kW = 37, kH = 23;
    Bitmap pic(kW, kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            pic.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 7));
    for (int percent : {120, 150, 200, 300, 400, 1600, 80, 50, 25}) {
        Zoom z;
        z.Preset(percent);
        const QSize view(std::max(1, z.ViewSide(kW)), std::max(1, z.ViewSide(kH)));
        const QImage shown = ZoomedPart(pic, QSize(kW, kH), view, QRect(QPoint(0, 0), view));
        for (int vy = 0; vy < view.height(); ++vy)
            for (int vx = 0; vx < view.width(); ++vx)
                ASSERT_EQ(shown.pixel(vx, vy), qRgb(z.ToPicture(vx, kW), z.ToPicture(vy, kH), 7))
                    << percent << "% at " << vx << "," << vy;
    }
}

} // namespace
} // namespace pc::editor::test
