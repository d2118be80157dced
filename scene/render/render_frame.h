#pragma once
// One frame of the scene into the current GL context.
#include "scene/geometry/scene_params.h"
#include "scene/render/scene_passes.h"

namespace pc::scene {

// The idle render and the change handlers pass (-1, 0); tiled publishing
// passes each jitter pass (index, count) and accumulates the results itself.
// The projection is the caller's (SetSceneProjection).
void RenderFrame(const SceneParams& scene, FrameState& state, int passIndex, int passCount);

// Viewport and perspective for a preview or off-screen buffer: the field of
// view TBCameraLookAtA in degrees, near 0.01, far 60. A height of 0 counts as 1.
void SetSceneProjection(int width, int height, int viewAngle);

} // namespace pc::scene
