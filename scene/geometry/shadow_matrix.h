#pragma once
// Planar projection of geometry onto the floor from the light.
#include <array>
#include <optional>

namespace pc::scene {

using Matrix4 = std::array<float, 16>; // column-major, as glMultMatrixf takes it

// Three points on the floor: the plane y = 0.
inline constexpr float kFloorPlane[9] = {-30, 0, -20, -30, 0, 20, 40, 0, 20};

// The projection onto the plane through floorPoints from light (x, y, z, w;
// w = 0 for a directional light). Empty when the light lies on the plane's
// side opposite the normal or on the plane itself: no shadow falls on the
// floor's upper side then, and the matrix would flip or collapse it.
std::optional<Matrix4> ShadowMatrix(const float floorPoints[9], const std::array<float, 4>& light);

} // namespace pc::scene
