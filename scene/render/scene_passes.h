#pragma once
// The passes of one frame. Each pass sets every fixed-function state it
// relies on and restores what it changes, so none depends on what another
// left behind. All draw in floor coordinates: the floor is the plane y = 0.
#include <optional>

#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"
#include "scene/geometry/shadow_matrix.h"

namespace pc::scene {

// What survives from one frame to the next.
struct FrameState {
    TColor FloorColor = clWhite; // the last solid floor colour, also the clear colour
    float FloorAlpha = 0.5f;
};

// Background walls and the floor with its fade.
void DrawFloor(PrimitiveSink& sink, const SceneParams& scene, FrameState& state);

// The floor and walls write 1 into the stencil buffer, nothing else.
void FloorMaskPass(const SceneParams& scene, FrameState& state);
// Objects mirrored under the floor, only where the stencil holds 1.
void ReflectionPass(const SceneParams& scene);
// The floor, see-through by its alpha, over the reflection.
void FloorPass(const SceneParams& scene, FrameState& state);
// Number of soft-shadow passes beyond the first.
int ShadowPassCount(const SceneParams& scene);
// Soft shadow on the floor: growing, fading projections, each floor pixel
// darkened once. Nothing when the light gives no shadow matrix.
void ShadowPass(const SceneParams& scene, FrameState& state);
void LightMarkerPass(const SceneParams& scene);
// The objects themselves, cut at the floor.
void ObjectPass(const SceneParams& scene);
void AxisPass();

// The light as the scene uses it: directional, (x, y, z, 0).
std::array<float, 4> LightPosition(const SceneParams& scene);
std::optional<Matrix4> SceneShadowMatrix(const SceneParams& scene);

// Everything after the camera.
void DrawScene(const SceneParams& scene, FrameState& state);

} // namespace pc::scene
