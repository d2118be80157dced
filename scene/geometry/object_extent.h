#pragma once
// How far a scene object reaches: its lowest point, to stand it on the floor,
// and the sizes of its faces, to draw pictures in their proportions.
#include <array>

#include "scene/geometry/scene_params.h"

namespace pc::scene {

// The lowest y of everything the object draws (its surfaces, model meshes
// and text glyphs), in scene units; the floor is y = 0.
double LowestPoint(const ObjectParams& object);

// Width and height of each face (Front, Back, Top, Bottom, R, L) as its
// picture spreads over it, in 1/360 scene units; 0 for faces the kind lacks.
using FaceSizes = std::array<std::array<double, 2>, 6>;
FaceSizes FaceSizesOf(const ObjectParams& object);

} // namespace pc::scene
