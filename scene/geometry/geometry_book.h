#pragma once
// Book (kind 1) and note book (kind 3): covers with grey insides, an inset
// page block, and for the note book a spiral wire along the spine.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

void DrawBook(PrimitiveSink& sink, const ObjectParams& obj, bool notebook, bool shadow, float wireWidth);
void DrawSpiralWire(PrimitiveSink& sink, const ObjectParams& obj, bool shadow, float wireWidth);

// The wire's line width in rendered pixels: a 150th of the picture's height,
// at least 3 of its pixels, so it looks the same in every method and size.
float SpiralWireWidth(int pictureHeight, float pixelScale);

} // namespace pc::scene
