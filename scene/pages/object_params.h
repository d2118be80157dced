#pragma once
// What the geometry reads of the object pages, filled from their controls.
#include "scene/geometry/scene_params.h"

namespace pc {

class GLTSObject;
class ObjectTable;

scene::ObjectParams ParamsOf(const GLTSObject& page);
// Every slot of the table: filled for an object, empty for a free slot.
void FillObjectParams(const ObjectTable& table, scene::SceneParams& scene);

} // namespace pc
