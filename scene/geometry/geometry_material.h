#pragma once
// The colour and texture each face is drawn with.
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/scene_params.h"

namespace pc::scene {

// Every object is drawn with this one front material.
void SetObjectMaterial(PrimitiveSink& sink);

// Colour and texture of face (0..5) of obj; face < 0 means face 0's picture
// with the see-through alpha of the kind. Nothing in a shadow pass, whose
// caller has set the shadow colour.
void BindFaceMaterial(PrimitiveSink& sink, const ObjectParams& obj, int face, bool shadow);

} // namespace pc::scene
