#include <gtest/gtest.h>

#include "platform/screen_placement.h"

namespace {

TEST(CentredOnScreen, MiddleOfTheAreaWithinItsEdges)
{
    struct Case {
        QSize size, minimum;
        QRect area;
        QRect placed;
    } cases[] = {
        {{516, 462}, {500, 0}, {0, 0, 1920, 1080}, {702, 309, 516, 462}},
        {{517, 463}, {500, 0}, {0, 0, 1920, 1080}, {701, 308, 517, 463}},    // odd: halves toward zero
        {{960, 640}, {660, 550}, {1920, 30, 1280, 994}, {2080, 207, 960, 640}}, // a second screen, a panel on top
        {{960, 640}, {660, 550}, {0, 0, 800, 600}, {0, 0, 800, 600}},           // shrunk to the screen
        {{960, 640}, {660, 550}, {10, 20, 640, 480}, {10, 20, 660, 550}},       // never below its minimum
        {{300, 200}, {0, 0}, {-1280, 0, 1280, 1024}, {-790, 412, 300, 200}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pc::CentredOnScreen(c.size, c.minimum, c.area), c.placed)
            << c.size.width() << "x" << c.size.height() << " in " << c.area.x() << "," << c.area.y();
}

} // namespace
