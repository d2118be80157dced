#pragma once
// The 3DS page's six material and sub-object track bars and what they hold:
// tag 0 "Texture H", 1 "Texture V", 2 "Texture X", 3 "Texture Y", 4 "Alpha"
// (of the selected material), 5 "Visible Size" (of the selected sub-object).
#include <array>
#include <string>

#include "scene/model/c3ds.h"

namespace pc {

constexpr int kMaterialBars = 5;
constexpr int kVisibleSizeBar = 5;

// Track-bar positions that show a material (tags 0 to 4).
std::array<int, kMaterialBars> MaterialPositions(const C3DS::tMaterialInfo& m);
// Stores the position of the bar with the tag into the material.
void ApplyMaterialPosition(C3DS::tMaterialInfo& m, int tag, int position);

// A picture file named by a model: '\' separators, often an upper-case 8.3
// name. Tried as it stands when absolute, else against the model's folder and
// then the current folder, matching names without regard to case. "" when
// nothing is found.
std::string ResolveMapFile(const std::string& mapFile, const std::string& modelFolder);

} // namespace pc
