#pragma once
// The box (kind 0) and the corner layout the book kinds share with it.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"
#include "scene/geometry/vector_math.h"

namespace pc::scene {

struct CornerTex {
    int sx, sy, sz; // corner (sx X, sy Y, sz Z)
    float s, t;
};

// Per face 0..5, the four corners in drawing order with texture coordinates.
extern const CornerTex kBoxFaces[kFaceCount][4];

// Half-extents of the box-like kinds: (Size + 1) / 360 per axis.
Vec3 BoxHalfExtents(const ObjectParams& obj);

// One quad with one normal.
void EmitQuad(PrimitiveSink& sink, const Vec3 (&corners)[4], const float (&tex)[4][2], const Vec3& normal);

void DrawBox(PrimitiveSink& sink, const ObjectParams& obj, bool shadow);

} // namespace pc::scene
