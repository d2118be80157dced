#include <gtest/gtest.h>

#include <cmath>

#include "app/window/camera_navigation.h"

namespace {

using namespace pc;

CameraBars DesignCamera()
{
    CameraBars c{{-200, -1600, 1600}, {10, 0, 1600},  {400, -1600, 1600}, {0, -1600, 1600},
                 {0, -100, 800},      {0, -1600, 1600}, {37, 30, 75}};
    c.orbitAngle = float(std::atan2(400.0, -200.0));
    return c;
}

LightBars DesignLight()
{
    LightBars l{{300, -800, 800}, {300, 0, 800}, {300, -800, 800}};
    l.orbitAngle = float(std::atan2(300.0, 300.0));
    return l;
}

TEST(BarPosition, TruncatesTowardZeroAndClampsLikeTheTrackBar)
{
    BarPosition b{0, -10, 10};
    b.Set(3.99);
    EXPECT_EQ(b.position, 3);
    b.Set(-3.99);
    EXPECT_EQ(b.position, -3);
    b.Set(10.5);
    EXPECT_EQ(b.position, 10);
    b.Set(-1e30);
    EXPECT_EQ(b.position, -10);
    b.Set(std::nan(""));
    EXPECT_EQ(b.position, -10);
    b.Add(2.5f);
    EXPECT_EQ(b.position, -7);
}

TEST(OrbitArithmetic, RadiusIsAFloatAndWritingTruncatesAfterAddingAHalf)
{
    EXPECT_FLOAT_EQ(OrbitRadius(300, 400), 5.005f);
    EXPECT_FLOAT_EQ(OrbitRadius(0, 0), 0.005f);
    // The float nearest 4.055 lies just below it: 405.99998, written as 405.
    BarPosition x{0, -1600, 1600};
    x.Set(OrbitX(4.055f, 0.0f));
    EXPECT_EQ(x.position, 405);
    // Negative values move toward zero: -202.18 becomes -202.
    x.Set(OrbitX(4.532136f, float(std::atan2(400.0, -200.0))));
    EXPECT_EQ(x.position, -202);
}

TEST(WheelStep, OneNotchMovesTheCameraFiveHundredthsAwayAndTheLightATenth)
{
    CameraBars camera = DesignCamera();
    LightBars light = DesignLight();
    WheelStep(false, 120, camera, light);
    EXPECT_EQ(camera.x.position, -201); // -201.96 toward zero
    EXPECT_EQ(camera.z.position, 405);
    EXPECT_NEAR(OrbitRadius(camera.x.position, camera.z.position) - OrbitRadius(-200, 400), 0.05, 0.01);
    EXPECT_EQ(light.x.position, 300); // untouched off the light page

    WheelStep(true, 120, camera, light);
    EXPECT_EQ(light.x.position, 307);
    EXPECT_EQ(light.z.position, 307);
    EXPECT_NEAR(OrbitRadius(307, 307) - OrbitRadius(300, 300), 0.1, 0.015);

    // Back again, a unit off: truncation drifts toward the axis.
    WheelStep(false, -120, camera, light);
    EXPECT_EQ(camera.x.position, -199);
    EXPECT_EQ(camera.z.position, 400);
}

TEST(Orbit, MouseDragTurnsTheCameraByADegreePerPixelAndRaisesIt)
{
    CameraBars camera = DesignCamera();
    LightBars light = DesignLight();
    ObjectBars object;
    const float start = camera.orbitAngle;
    Orbit(NavTarget::Camera, false, {}, 10, 4, camera, light, object);
    EXPECT_FLOAT_EQ(camera.orbitAngle, float(start + 10.0 / 360 * 2 * 3.14));
    EXPECT_EQ(camera.y.position, 14);
    const double r = OrbitRadius(-200, 400);
    EXPECT_EQ(camera.x.position, int(float(r) * std::cos(double(camera.orbitAngle)) * 100 + 0.5));
    EXPECT_EQ(camera.z.position, int(float(r) * std::sin(double(camera.orbitAngle)) * 100 + 0.5));

    // Height alone leaves x and z where they are; the bar stops at 0.
    Orbit(NavTarget::Camera, false, {}, 0, -100, camera, light, object);
    EXPECT_EQ(camera.y.position, 0);

    // Ctrl raises the point looked at instead.
    Orbit(NavTarget::Camera, false, {.ctrl = true}, 0, 25, camera, light, object);
    EXPECT_EQ(camera.lookAtY.position, 25);
    EXPECT_EQ(camera.y.position, 0);
}

TEST(Orbit, UpAndDownKeysMoveTheCameraInAndOutByATenth)
{
    CameraBars camera = DesignCamera();
    LightBars light = DesignLight();
    ObjectBars object;
    Orbit(NavTarget::Camera, true, {}, 0, 1, camera, light, object);
    EXPECT_NEAR(OrbitRadius(camera.x.position, camera.z.position), OrbitRadius(-200, 400) - 0.1, 0.01);
    EXPECT_EQ(camera.y.position, 10);
    // With Shift the keys raise and lower the camera.
    Orbit(NavTarget::Camera, true, {.shift = true}, 0, 1, camera, light, object);
    EXPECT_EQ(camera.y.position, 11);
}

TEST(Orbit, LightKeysCapTheRadiusAtFourteen)
{
    CameraBars camera = DesignCamera();
    LightBars light{{1500, -2000, 2000}, {300, 0, 800}, {0, -2000, 2000}, 0.0f};
    ObjectBars object;
    Orbit(NavTarget::Light, true, {}, 0, 1, camera, light, object);
    EXPECT_EQ(light.x.position, 1400);
    EXPECT_EQ(light.z.position, 0);
    EXPECT_EQ(light.y.position, 300);

    // Ctrl with keys raises the light; Ctrl with the mouse slides it.
    Orbit(NavTarget::Light, true, {.ctrl = true}, 0, -1, camera, light, object);
    EXPECT_EQ(light.y.position, 301);
    Orbit(NavTarget::Light, false, {.ctrl = true}, 5, 7, camera, light, object);
    EXPECT_EQ(light.x.position, 1405);
    EXPECT_EQ(light.z.position, 7);
    // A vertical mouse drag lowers it.
    Orbit(NavTarget::Light, false, {}, 0, 20, camera, light, object);
    EXPECT_EQ(light.y.position, 281);
}

TEST(Orbit, ObjectDragMovesXAndZOrYWithCtrl)
{
    CameraBars camera = DesignCamera();
    LightBars light = DesignLight();
    ObjectBars object{{180, 0, 360}, {180, 0, 360}, {180, 0, 360}};
    Orbit(NavTarget::Object, false, {}, 3, -2, camera, light, object);
    EXPECT_EQ(object.x.position, 183);
    EXPECT_EQ(object.y.position, 180);
    EXPECT_EQ(object.z.position, 178);
    Orbit(NavTarget::Object, false, {.ctrl = true}, 0, -2, camera, light, object);
    EXPECT_EQ(object.y.position, 182);
    EXPECT_EQ(camera.x.position, -200); // the camera stays
    EXPECT_EQ(ObjectDragRow({}), 2);
    EXPECT_EQ(ObjectDragRow({.alt = true}), 3);
}

TEST(Orbit, TargetFollowsPageObjectAndLock)
{
    EXPECT_EQ(TargetOf(true, false, false), NavTarget::Light);
    EXPECT_EQ(TargetOf(false, true, true), NavTarget::Object);
    EXPECT_EQ(TargetOf(false, true, false), NavTarget::Camera); // none, or drag-locked
    EXPECT_EQ(TargetOf(false, false, true), NavTarget::Camera);
}

TEST(MouseDragStep, ShiftStepsOneUnitAlongTheDominantAxisAndKeepsTheReference)
{
    struct Case {
        int x, y;
        bool shift;
        float dx, dy;
        bool moves;
    } cases[] = {
        {105, 98, true, 1, 0, false}, {101, 90, true, 0, -1, false}, {94, 106, true, -1, 0, false},
        {100, 100, true, 0, 0, false}, {105, 98, false, 5, -2, true},
    };
    for (const Case& c : cases) {
        DragStep s = MouseDragStep(100, 100, c.x, c.y, c.shift);
        EXPECT_EQ(s.dx, c.dx) << c.x << "," << c.y;
        EXPECT_EQ(s.dy, c.dy) << c.x << "," << c.y;
        EXPECT_EQ(s.moveReference, c.moves);
    }
}

TEST(StepForKey, ArrowsOrbitAndPageKeysZoom)
{
    EXPECT_EQ(StepForKey(NavKey::Left).dx, -1);
    EXPECT_EQ(StepForKey(NavKey::Up).dy, 1);
    EXPECT_EQ(StepForKey(NavKey::Down).dy, -1);
    EXPECT_EQ(StepForKey(NavKey::PageDown).wheelDelta, 120);
    EXPECT_EQ(StepForKey(NavKey::PageUp).wheelDelta, -120);
}

TEST(ResetCamera, PutsTheDefaultViewBack)
{
    CameraBars camera = DesignCamera();
    camera.x.position = 900;
    camera.lookAtA.position = 60;
    camera.lookAtY.position = 300;
    ResetCamera(camera);
    EXPECT_EQ(camera.x.position, -200);
    EXPECT_EQ(camera.y.position, 1);
    EXPECT_EQ(camera.z.position, 400);
    EXPECT_EQ(camera.lookAtY.position, 0);
    EXPECT_EQ(camera.lookAtA.position, 37);
    EXPECT_FLOAT_EQ(camera.orbitAngle, float(std::atan2(400.0, -200.0)));
}

} // namespace
