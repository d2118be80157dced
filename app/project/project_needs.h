#pragma once
// What a project will take once loaded, judged from the headers of its
// pictures before anything of it is loaded: the texture memory of each
// picture, and the size of the file its scene saves to. A picture comes back
// as the 24-bit (or its own depth) BMP the converter makes of it, so a file
// of small RLE pictures may save to one far larger than itself.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/project/project_file.h"

namespace pc::project {

// The largest blob area a project file holds.
constexpr int64_t kMaxProjectBlobBytes = INT32_MAX;

struct PictureNeed {
    std::string name;
    int64_t textureBytes = 0;
};

struct ProjectNeeds {
    std::vector<PictureNeed> pictures; // in load order
    int64_t resaveBlobBytes = 0;       // the blob area of the file its scene saves to
};

// Names a picture of object section s: face j (0 to 5), or material m as -1 - m.
using PictureNamer = std::function<std::string(int section, int index)>;

ProjectNeeds JudgeProject(const ProjectSource& source, const Scene& scene, const PictureNamer& name);

// Throws ProjectError when the scene could not be saved again, and the
// texture budget's error when a picture would pass what the scene's textures
// may take (freed: bytes the load gives back first).
void CheckProjectNeeds(const ProjectNeeds& needs, int64_t freed);

} // namespace pc::project
