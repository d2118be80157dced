// The lowest point of an object (surfaces, model meshes, text) and the sizes
// its face pictures spread over, against the geometry's own formulas.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/font_outline.h"
#include "scene/geometry/object_extent.h"
#include "scene/model/c3ds.h"

namespace pc::scene {
namespace {

ObjectParams Placed(int kind, int positionY, std::array<int, 3> turn = {0, 0, 0})
{
    ObjectParams o;
    o.ObjectKind = kind;
    o.At(kRowPosition, kColY) = positionY;
    for (int axis = 0; axis < 3; ++axis)
        o.At(kRowRotation, axis) = turn[size_t(axis)];
    return o;
}

struct LowCase {
    const char* name;
    ObjectParams object;
    double lowest;
};

TEST(LowestPoint, SurfacesTurnedAndPlaced)
{
    ObjectParams tall = Placed(kBox, 200);
    tall.At(kRowSize, kColY) = 207;
    ObjectParams lying = Placed(kBox, 171, {90, 0, 0}); // Size Z 180 now stands up and down
    ObjectParams corner = Placed(kBox, 135, {0, 0, 45});
    corner.At(kRowSize, kColX) = corner.At(kRowSize, kColY) = 89;
    ObjectParams disc = Placed(kCD, 175);
    disc.At(kRowSize, kColX) = 163;
    disc.At(kRowSize, kColY) = 20;
    const LowCase cases[] = {
        {"tall box", tall, 65.0 / 90 - 208.0 / 360},
        {"box on its back", lying, 36.0 / 90 - 181.0 / 360},
        {"box on its corner", corner, -std::sqrt(2.0) * 90 / 360},
        // The ring's points lie 0.1 rad apart, none exactly at the bottom.
        {"upright disc", disc, 40.0 / 90 - 164.0 / 360 * std::cos(M_PI - 3.1)},
    };
    for (const LowCase& c : cases)
        EXPECT_NEAR(LowestPoint(c.object), c.lowest, 1e-4) << c.name;
}

TEST(LowestPoint, ModelMeshesScaledByAllAndVisibleSize)
{
    C3DS model;
    C3DS::t3DObject mesh;
    mesh.verts = {{0, -1, 0}, {1, 1, 0}, {-1, 0.5f, 3}};
    mesh.visibleSize = 0.5f;
    model.Model().objects = {mesh, mesh};
    model.Model().objects[1].visibleSize = 0; // hidden: does not count
    model.Model().objects[1].verts[0].y = -9;
    ObjectParams o = Placed(kModel3DS, 225);
    o.Model = &model;
    o.At(kRowSize, kColY) = 270;
    o.At(kRowSize, kColD) = 90;
    // Size Y / 180 x Size D / 180 = 0.75, visible size 0.5.
    EXPECT_NEAR(LowestPoint(o), 1.0 - 0.75 * 0.5, 1e-5);
    o.At(kRowRotation, kColX) = 180; // upside down: the top vertex comes lowest
    EXPECT_NEAR(LowestPoint(o), 1.0 - 0.75 * 0.5, 1e-5);
    o.At(kRowRotation, kColX) = 90; // z of 3 turns down
    EXPECT_NEAR(LowestPoint(o), 1.0 - 3 * 0.5 * 0.5, 1e-5);
}

TEST(LowestPoint, TextFromItsBaselineDownItsLines)
{
    const auto font = OutlineFont::Open("Liberation Sans");
    const float capital = font->Outline('H', 0).metrics.gmfBlackBoxY;
    ObjectParams o = Placed(kText3D, 180);
    o.FontName = "Liberation Sans";
    o.At(kRowSize, kColY) = 90; // half an em per unit
    o.Text = "HI";
    EXPECT_NEAR(LowestPoint(o), 0.5, 1e-5);
    o.Text = "HH\r\nHH";
    EXPECT_NEAR(LowestPoint(o), 0.5 - 1.2 * capital * 0.5, 1e-5);
    o.Text = "H\nH\nH"; // lone line feeds go down too
    EXPECT_NEAR(LowestPoint(o), 0.5 - 2.4 * capital * 0.5, 1e-5);
}

TEST(FaceSizes, InProportionToTheFaces)
{
    ObjectParams box = Placed(kBox, 135);
    box.At(kRowSize, kColX) = 149;
    box.At(kRowSize, kColY) = 209;
    box.At(kRowSize, kColZ) = 59;
    const FaceSizes b = FaceSizesOf(box);
    EXPECT_EQ(b[kFront], (std::array<double, 2>{300, 420}));
    EXPECT_EQ(b[kBack], (std::array<double, 2>{300, 420}));
    EXPECT_EQ(b[kTop], (std::array<double, 2>{300, 120}));
    EXPECT_EQ(b[kLeft], (std::array<double, 2>{120, 420}));

    // A thick book's spine with no extra radius is a half circle.
    ObjectParams atlas = box;
    atlas.ObjectKind = kThickBook;
    atlas.At(kRowKeep4, kColZ) = 0;
    EXPECT_NEAR(FaceSizesOf(atlas)[kLeft][0], M_PI * 60, 1e-9);
    EXPECT_EQ(FaceSizesOf(atlas)[kLeft][1], 420);

    ObjectParams disc = Placed(kCD, 175);
    disc.At(kRowSize, kColX) = 163;
    EXPECT_EQ(FaceSizesOf(disc)[kFront], (std::array<double, 2>{328, 328}));
    EXPECT_EQ(FaceSizesOf(Placed(kText3D, 135))[kFront], (std::array<double, 2>{0, 0}));
}

} // namespace
} // namespace pc::scene
