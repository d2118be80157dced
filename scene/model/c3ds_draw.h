#pragma once
// Drawing of a loaded 3DS model with its materials and textures.
#include <functional>

#include "scene/model/c3ds.h"

namespace pc {

// Colour, texture and blending of a face with a material: its map's texture
// on white, or its colour without texture; both with the material's alpha,
// blended over what lies behind.
void BindModelMaterial(const C3DS::tMaterialInfo& material);

// Draws every mesh whose visible size is not 0, scaled by (sx, sy, sz).
// Faces without a material (-1) are coloured by bindNoMaterial, which the
// object supplies from its own face picture. In the shadow pass no colour,
// texture or blending is set: the caller has set them.
void Draw3DSModel(const C3DS::t3DModel& model, float sx, float sy, float sz, bool shadow,
                  const std::function<void()>& bindNoMaterial);

} // namespace pc
