#include "scene/geometry/vector_math.h"

#include <cmath>

namespace pc::scene {

Vec3 Vec3Sub(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Vec3Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vec3Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Vec3 Vec3Normalize(const Vec3& v)
{
    float len = std::sqrt(Vec3Dot(v, v));
    if (len == 0)
        len = 1;
    return {v.x / len, v.y / len, v.z / len};
}

void Vec3NormalizeInPlace(Vec3& v) { v = Vec3Normalize(v); }

Vec3 TriangleNormal(const Vec3& p0, const Vec3& p1, const Vec3& p2)
{
    return Vec3Normalize(Vec3Cross(Vec3Sub(p0, p1), Vec3Sub(p1, p2)));
}

Vec3 PlaneNormal3(const Vec3& p0, const Vec3& p1, const Vec3& p2) { return TriangleNormal(p0, p1, p2); }

Vec3 PlaneNormal(const float p[9])
{
    return TriangleNormal({p[0], p[1], p[2]}, {p[3], p[4], p[5]}, {p[6], p[7], p[8]});
}

} // namespace pc::scene
