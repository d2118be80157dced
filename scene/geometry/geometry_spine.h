#pragma once
// The rounded spine shared by the thick book and the round corner box: an arc
// in the plane y = Y from (-X, Y, -Z) to (-X, Y, Z), bulging towards -x.
#include <vector>

#include "scene/geometry/scene_params.h"
#include "scene/geometry/vector_math.h"

namespace pc::scene {

// pi as the arcs have always used it.
inline constexpr double kArcPi = 3.1415925;

struct SpineArc {
    std::vector<Vec3> points;
    std::vector<double> angles; // angle of each point
    double step = 0;            // angle between points, also the corner step
    float dv = 0;               // texture step: 1 / (points - 1)
};

SpineArc BuildSpineArc(const ObjectParams& obj);

} // namespace pc::scene
