// The grips of the crop frame and the floating layer: which grip a press
// takes, and where a rectangular drag of each grip puts the corners.
#include <gtest/gtest.h>

#include "editor/tools/quad_grips.h"

namespace pc::editor {
namespace {

// Skewed, so every corner and every edge middle is somewhere else.
const Quad kQuad{Point{10, 20}, Point{51, 23}, Point{54, 73}, Point{7, 70}};

TEST(QuadGrips, APressTakesTheGripStrictlyWithinFivePixels)
{
    struct Case {
        Point p;
        int handle;
    };
    // Edge middles, truncated: 12 (30, 21), 23 (52, 48), 34 (30, 71), 41 (8, 45).
    for (Case c : {Case{{14, 16}, 1}, Case{{47, 27}, 2}, Case{{58, 69}, 3}, Case{{3, 74}, 4}, Case{{34, 17}, 12},
                   Case{{48, 52}, 23}, Case{{26, 75}, 34}, Case{{12, 41}, 41}, Case{{15, 20}, -1},
                   Case{{30, 26}, -1}, Case{{30, 46}, -1}})
        EXPECT_EQ(HitGrip(kQuad, c.p), c.handle) << c.p.x << "," << c.p.y;
    // A corner wins over an edge middle as near.
    EXPECT_EQ(HitGrip(Quad{Point{0, 0}, Point{4, 0}, Point{4, 4}, Point{0, 4}}, Point{2, 0}), 1);
}

TEST(QuadGrips, ARectangularDragMovesTheGripAndOnlyItsNeighboursOnOneAxisEach)
{
    struct Case {
        int handle;
        Quad want;
    };
    const Point p{33, 41};
    for (const Case& c : {Case{1, {Point{33, 41}, Point{51, 41}, Point{54, 73}, Point{33, 70}}},
                          Case{2, {Point{10, 41}, Point{33, 41}, Point{33, 73}, Point{7, 70}}},
                          Case{3, {Point{10, 20}, Point{33, 23}, Point{33, 41}, Point{7, 41}}},
                          Case{4, {Point{33, 20}, Point{51, 23}, Point{54, 41}, Point{33, 41}}},
                          Case{12, {Point{10, 40}, Point{51, 43}, Point{54, 73}, Point{7, 70}}},
                          Case{23, {Point{10, 20}, Point{32, 23}, Point{35, 73}, Point{7, 70}}},
                          Case{34, {Point{10, 20}, Point{51, 23}, Point{54, 43}, Point{7, 40}}},
                          Case{41, {Point{35, 20}, Point{51, 23}, Point{54, 73}, Point{32, 70}}},
                          Case{-1, kQuad}}) {
        Quad q = kQuad;
        DragRectangular(q, c.handle, p);
        for (size_t k = 0; k < 4; ++k)
            EXPECT_EQ(q[k], c.want[k]) << "handle " << c.handle << " corner " << k + 1;
    }
}

} // namespace
} // namespace pc::editor
