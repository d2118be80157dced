#pragma once
// Round corner box (kind 5): a rounded spine on the left, a rounded top-right
// edge, and optionally a see-through coloured box around it.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

// flat: draw in the caller's colour without face materials (shadows and the
// outer box).
void BuildRoundBox(PrimitiveSink& sink, const ObjectParams& obj, bool flat);
void DrawRoundBox(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

} // namespace pc::scene
