#pragma once
// A sample scene with one object of each kind, dressed with
// pictures, on a see-through floor with reflection and soft shadow. The
// render-demo probe and the render benchmark draw it.
#include "scene/geometry/scene_params.h"

namespace pc::scene {

// Makes the scene's textures in the current GL context.
SceneParams BuildDemoScene();

} // namespace pc::scene
