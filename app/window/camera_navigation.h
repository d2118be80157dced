#pragma once
// Navigation of the camera, the light and the current object by mouse drags,
// the wheel and the arrow keys. Every gesture only moves track-bar positions;
// the scene is drawn from them. The arithmetic keeps the program's own
// precision: radii and orbit angles are 32-bit floats, expressions double.
#include <optional>

namespace pc {

// A track-bar position with its range; every write clamps as the bar does.
struct BarPosition {
    int position = 0;
    int min = 0;
    int max = 0;

    void Set(double value); // truncated toward zero, then clamped
    void Add(double delta) { Set(double(position) + delta); }
};

struct CameraBars {
    BarPosition x, y, z, lookAtX, lookAtY, lookAtZ, lookAtA;
    float orbitAngle = 2.0f; // radians; x = r cos, z = r sin
};

struct LightBars {
    BarPosition x, y, z;
    float orbitAngle = 0.0f;
};

// X, Y and Z of one row of the current object's parameter table.
struct ObjectBars {
    BarPosition x, y, z;
};

struct NavModifiers {
    bool shift = false;
    bool alt = false;
    bool ctrl = false;
};

// The page the gesture acts on: the light page moves the light; the objects
// page moves the current object when it has one that is not drag-locked;
// anything else moves the camera.
enum class NavTarget { Camera, Light, Object };

NavTarget TargetOf(bool lightPage, bool objectsPage, bool objectMovable);

// Horizontal distance of a position pair from the vertical axis, in scene
// units plus 0.005.
float OrbitRadius(int x, int z);
// The x (cos) and z (sin) positions of a point at radius r and angle.
double OrbitX(float r, float angle);
double OrbitZ(float r, float angle);
// An orbit angle turned by dx degrees (with 3.14 for pi).
float TurnAngle(float angle, float dxDegrees);

// The object-table row a drag moves: Position, or Rotation with Alt.
int ObjectDragRow(NavModifiers mods);

// One navigation step; dx is horizontal, dy vertical (mouse: pixels, down
// positive; keys: +1 / -1 with Up positive). `object` is used only when the
// target is Object.
void Orbit(NavTarget target, bool fromKeys, NavModifiers mods, float dx, float dy, CameraBars& camera,
           LightBars& light, ObjectBars& object);

// A wheel turn of delta (+120 one notch away from the centre).
void WheelStep(bool lightPage, int delta, CameraBars& camera, LightBars& light);

// The "Default" camera.
void ResetCamera(CameraBars& camera);

// A mouse move while dragging: the step and whether the reference point
// follows the pointer. With Shift the step is one unit along the dominant
// axis of the offset from the reference point, which stays where it is.
struct DragStep {
    float dx = 0;
    float dy = 0;
    bool moveReference = true;
};
DragStep MouseDragStep(int lastX, int lastY, int x, int y, bool shift);

// A navigation key of the preview: arrows orbit, Page Up/Down zoom.
enum class NavKey { Left, Right, Up, Down, PageUp, PageDown };
struct KeyStep {
    float dx = 0;
    float dy = 0;
    int wheelDelta = 0; // 0 for an orbit step
};
KeyStep StepForKey(NavKey key);

} // namespace pc
