#pragma once
// CD (kind 2): two rings of quads, the printed face and the back.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

void DrawCD(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

} // namespace pc::scene
