#include "app/window/camera_navigation.h"

#include <cmath>
#include <cstdlib>

namespace pc {

namespace {

constexpr double kPi = 3.14; // the turn rate users are used to rests on this
constexpr float kLightKeyRadiusCap = 14.0f;

void WriteOrbit(BarPosition& x, BarPosition& z, float r, float angle)
{
    x.Set(OrbitX(r, angle));
    z.Set(OrbitZ(r, angle));
}

void OrbitLight(bool fromKeys, NavModifiers mods, float dx, float dy, LightBars& light)
{
    if (mods.ctrl) {
        if (fromKeys) {
            light.y.Add(-dy);
        } else {
            light.x.Add(dx);
            light.z.Add(dy);
        }
        return;
    }
    float r = OrbitRadius(light.x.position, light.z.position);
    if (fromKeys) {
        r = float(r - 0.1 * dy);
        if (r > kLightKeyRadiusCap)
            r = kLightKeyRadiusCap;
    } else {
        light.y.Add(-dy);
    }
    light.orbitAngle = TurnAngle(light.orbitAngle, dx);
    WriteOrbit(light.x, light.z, r, light.orbitAngle);
}

void OrbitCamera(bool fromKeys, NavModifiers mods, float dx, float dy, CameraBars& camera)
{
    float r = OrbitRadius(camera.x.position, camera.z.position);
    bool radiusChanged = false;
    if (mods.ctrl) {
        camera.lookAtY.Add(dy);
    } else if (fromKeys && !mods.shift) {
        r = float(r - 0.1 * dy);
        radiusChanged = dy != 0;
    } else {
        camera.y.Add(dy);
    }
    // Up and Down move the camera in and out as they move the light, so the
    // changed radius is written even without a turn.
    if (dx != 0 || radiusChanged) {
        camera.orbitAngle = TurnAngle(camera.orbitAngle, dx);
        WriteOrbit(camera.x, camera.z, r, camera.orbitAngle);
    }
}

} // namespace

void BarPosition::Set(double value)
{
    if (std::isnan(value))
        return;
    if (value <= double(min))
        position = min;
    else if (value >= double(max))
        position = max;
    else
        position = int(value); // toward zero
}

NavTarget TargetOf(bool lightPage, bool objectsPage, bool objectMovable)
{
    if (lightPage)
        return NavTarget::Light;
    if (objectsPage && objectMovable)
        return NavTarget::Object;
    return NavTarget::Camera;
}

float OrbitRadius(int x, int z)
{
    return float(std::sqrt((double(x) * x + double(z) * z) * 0.0001) + 0.005);
}

double OrbitX(float r, float angle)
{
    return double(r) * std::cos(double(angle)) * 100 + 0.5;
}

double OrbitZ(float r, float angle)
{
    return double(r) * std::sin(double(angle)) * 100 + 0.5;
}

float TurnAngle(float angle, float dxDegrees)
{
    return float(angle + double(dxDegrees) / 360 * 2 * kPi);
}

int ObjectDragRow(NavModifiers mods)
{
    return mods.alt ? 3 : 2;
}

void Orbit(NavTarget target, bool fromKeys, NavModifiers mods, float dx, float dy, CameraBars& camera,
           LightBars& light, ObjectBars& object)
{
    switch (target) {
    case NavTarget::Light: OrbitLight(fromKeys, mods, dx, dy, light); break;
    case NavTarget::Object:
        object.x.Add(dx);
        if (mods.ctrl)
            object.y.Add(-dy);
        else
            object.z.Add(dy);
        break;
    case NavTarget::Camera: OrbitCamera(fromKeys, mods, dx, dy, camera); break;
    }
}

void WheelStep(bool lightPage, int delta, CameraBars& camera, LightBars& light)
{
    if (lightPage) {
        float r = float(OrbitRadius(light.x.position, light.z.position) + delta / 1200.0);
        WriteOrbit(light.x, light.z, r, light.orbitAngle);
    } else {
        float r = float(OrbitRadius(camera.x.position, camera.z.position) + delta / 2400.0);
        WriteOrbit(camera.x, camera.z, r, camera.orbitAngle);
    }
}

void ResetCamera(CameraBars& camera)
{
    camera.x.Set(-200);
    camera.y.Set(1);
    camera.z.Set(400);
    camera.lookAtX.Set(0);
    camera.lookAtY.Set(0);
    camera.lookAtZ.Set(0);
    camera.lookAtA.Set(37);
    camera.orbitAngle = float(std::atan2(double(camera.z.position), double(camera.x.position)));
}

DragStep MouseDragStep(int lastX, int lastY, int x, int y, bool shift)
{
    DragStep step{float(x - lastX), float(y - lastY), !shift};
    if (shift) {
        if (std::fabs(step.dx) >= std::fabs(step.dy)) {
            if (step.dx != 0)
                step.dx = step.dx / std::fabs(step.dx);
            step.dy = 0;
        } else {
            step.dx = 0;
            step.dy = step.dy / std::fabs(step.dy);
        }
    }
    return step;
}

KeyStep StepForKey(NavKey key)
{
    switch (key) {
    case NavKey::Left: return {-1, 0, 0};
    case NavKey::Right: return {1, 0, 0};
    case NavKey::Up: return {0, 1, 0};
    case NavKey::Down: return {0, -1, 0};
    case NavKey::PageUp: return {0, 0, -120};
    case NavKey::PageDown: return {0, 0, 120};
    }
    return {};
}

} // namespace pc
