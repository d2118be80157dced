#pragma once
// Thick book (kind 4): flat covers, a rounded spine and a page block that
// follows the spine's curve.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"
#include "scene/geometry/geometry_spine.h"

namespace pc::scene {

void DrawThickBook(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

// The spine strip, full height 2Y, one quad per arc segment; shared with the
// round corner box.
void DrawSpineStrip(PrimitiveSink& sink, const SpineArc& arc, float halfHeight);

} // namespace pc::scene
