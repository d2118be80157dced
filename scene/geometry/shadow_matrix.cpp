#include "scene/geometry/shadow_matrix.h"

#include "scene/geometry/vector_math.h"

namespace pc::scene {

std::optional<Matrix4> ShadowMatrix(const float floorPoints[9], const std::array<float, 4>& light)
{
    Vec3 n = PlaneNormal(floorPoints);
    float d = -(n.x * floorPoints[6] + n.y * floorPoints[7] + n.z * floorPoints[8]);
    const float plane[4] = {n.x, n.y, n.z, d};
    float dot = plane[0] * light[0] + plane[1] * light[1] + plane[2] * light[2] + plane[3] * light[3];
    if (!(dot > 1e-6f))
        return std::nullopt;
    Matrix4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            m[c * 4 + r] = (r == c ? dot : 0.0f) - light[r] * plane[c];
    return m;
}

} // namespace pc::scene
