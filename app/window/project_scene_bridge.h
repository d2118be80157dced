#pragma once
// Between the main window's scene and a project: what a save writes, and how
// a read project becomes controls, pictures and object pages again.
#include <cstdint>
#include <string>
#include <vector>

#include "app/project/project_file.h"

namespace pc {

class TFormMainQV7K;

// The scene as the window holds it now; pictures are named by their texture
// numbers, whose work files the writer reads.
project::Scene ProjectSceneFromWindow(const TFormMainQV7K& w);

// Camera, light, floor, background and output size from the project; the
// floor and background pictures are loaded afresh from their blobs. A picture
// that does not load is kept for the next save and named in unshown.
void ApplyProjectGlobals(TFormMainQV7K& w, const project::Scene& scene, const project::ProjectSource& file,
                         std::vector<std::string>& unshown);

// Re-creates the project's objects in the first free slots. When the table
// fills, the full-table message is shown once and the rest is left out. Face
// pictures that do not load, and a model blob that gives no model, are kept
// for the next save and named in unshown. Returns the number of objects added.
int AddProjectObjects(TFormMainQV7K& w, const project::Scene& scene, const project::ProjectSource& file,
                      std::vector<std::string>& unshown);

// Model work file of the object in a slot, and its material pictures.
std::string ModelWorkFile(int slot);
std::string MaterialWorkFile(int slot, size_t material);

} // namespace pc
