#pragma once
// One scene object: its placement and its geometry by kind.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

// Translation by Position, then rotations about X, Y and Z by Rotation degrees.
void ApplyObjectTransform(PrimitiveSink& sink, const ObjectParams& obj);

// Sets the fixed material and draws the kind's geometry. shadow: the caller
// has set the shadow colour; no colours, materials or textures are set and
// inner faces are skipped. wireWidth: the note book's wire in rendered
// pixels (SpiralWireWidth).
void DrawObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow, float wireWidth);

} // namespace pc::scene
