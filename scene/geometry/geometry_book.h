#pragma once
// Book (kind 1) and note book (kind 3): covers with grey insides, an inset
// page block, and for the note book a spiral wire along the spine.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

void DrawBook(PrimitiveSink& sink, const ObjectParams& obj, bool notebook, bool shadow, int panelHeight);
void DrawSpiralWire(PrimitiveSink& sink, const ObjectParams& obj, bool shadow, int panelHeight);

} // namespace pc::scene
