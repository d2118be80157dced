#pragma once
// Curved surface (kind 6): a bicubic Bezier patch whose two inner columns
// make a wave and whose corners can be pulled.
#include <array>

#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

// The 4 x 4 control points, row by y, column by x, three floats each.
std::array<float, 48> CurvedSurfaceGrid(const ObjectParams& obj);
void DrawCurvedSurface(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

} // namespace pc::scene
