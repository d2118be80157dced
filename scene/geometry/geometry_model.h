#pragma once
// The two kinds drawn from outside data: a loaded 3DS model (kind 7) and 3D
// text (kind 8).
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

void DrawModelObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);
void DrawTextObject(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

} // namespace pc::scene
