#pragma once
// Three-float vectors and the plane normals the geometry and the shadow use.
namespace pc::scene {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

inline constexpr Vec3 Vec3Zero{0, 0, 0};

Vec3 Vec3Sub(const Vec3& a, const Vec3& b);
Vec3 Vec3Cross(const Vec3& a, const Vec3& b);
float Vec3Dot(const Vec3& a, const Vec3& b);
// A zero vector stays zero rather than turning into NaNs.
Vec3 Vec3Normalize(const Vec3& v);
void Vec3NormalizeInPlace(Vec3& v);
// normalize((p0 - p1) x (p1 - p2)): the outward normal of a counter-clockwise triangle.
Vec3 TriangleNormal(const Vec3& p0, const Vec3& p1, const Vec3& p2);
Vec3 PlaneNormal3(const Vec3& p0, const Vec3& p1, const Vec3& p2);
// The same for three consecutive points in one array of 9 floats.
Vec3 PlaneNormal(const float p[9]);

} // namespace pc::scene
