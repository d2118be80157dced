#include "scene/geometry/geometry_spine.h"

#include <algorithm>
#include <cmath>

#include "scene/geometry/geometry_box.h"

namespace pc::scene {

SpineArc BuildSpineArc(const ObjectParams& obj)
{
    Vec3 e = BoxHalfExtents(obj);
    // Positions outside the track bars' range (a damaged project) must not
    // stall the loop or take the root of a negative number.
    const int depth = std::clamp(obj.At(kRowKeep4, kColZ), 0, 360);
    const int detail = std::clamp(obj.At(kRowKeep4, kColY), 0, 360);
    const double radius = e.z + depth / 360.0;
    const double alpha = std::asin(std::min(1.0, e.z / radius));
    const double centre = radius * std::cos(alpha) - e.x;

    SpineArc arc;
    arc.step = (detail + 10) / 1800.0;
    auto add = [&](double t) {
        arc.points.push_back({float(radius * std::cos(t) + centre), e.y, float(-radius * std::sin(t))});
        arc.angles.push_back(t);
    };
    const double first = kArcPi - alpha, last = kArcPi + alpha;
    for (int k = 0;; ++k) {
        double t = first + k * arc.step;
        if (!(t < last))
            break;
        add(t);
    }
    add(last);
    arc.dv = arc.points.size() > 1 ? 1.0f / float(arc.points.size() - 1) : 1.0f;
    return arc;
}

} // namespace pc::scene
