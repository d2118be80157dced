#include "scene/geometry/geometry_curved_surface.h"

#include <algorithm>

#include "scene/geometry/geometry_material.h"

namespace pc::scene {

std::array<float, 48> CurvedSurfaceGrid(const ObjectParams& obj)
{
    static constexpr float kSteps[4] = {-1.5f, -0.5f, 0.5f, 1.5f};
    const float sx = 2.0f / 3.0f * float(obj.At(kRowSize, kColX) + 1) / 360.0f;
    const float sy = 2.0f / 3.0f * float(obj.At(kRowSize, kColY) + 1) / 360.0f;
    std::array<float, 48> g{};
    auto at = [&](int row, int col) { return &g[size_t(row * 12 + col * 3)]; };
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float* p = at(row, col);
            p[0] = kSteps[col] * sx;
            p[1] = kSteps[row] * sy;
            p[2] = 0;
        }
    for (int row = 0; row < 4; ++row) {
        at(row, 1)[0] = float(obj.At(kRowKeep4, kColX) - 360) / 90.0f;
        at(row, 1)[2] = float(obj.At(kRowKeep4, kColY) - 180) / 90.0f;
        at(row, 2)[0] = float(obj.At(kRowKeep4, kColZ) - 360) / 90.0f;
        at(row, 2)[2] = float(obj.At(kRowKeep4, kColD) - 180) / 90.0f;
    }

    // Corner pulls. The bits are read with a cumulative shift (0, 1, 3, 6),
    // which is what stored scenes were made with.
    const float dx = float(obj.At(kRowKeep5, kColX) - 180) / 360.0f;
    const float dy = float(obj.At(kRowKeep5, kColY) - 180) / 360.0f;
    const float dz = float(obj.At(kRowKeep5, kColZ) - 180) / 360.0f;
    static constexpr struct {
        int row, col;
        float sign;
    } kCorners[4] = {{3, 3, 1}, {3, 0, 1}, {0, 0, -1}, {0, 3, -1}};
    int m = obj.At(kRowKeep5, kColD);
    for (int k = 0; k < 4; ++k) {
        m >>= k;
        if (m & 2) {
            float z = (m & 1) ? -1.0f : 1.0f;
            float* p = at(kCorners[k].row, kCorners[k].col);
            p[0] += kCorners[k].sign * dx;
            p[1] += kCorners[k].sign * dy;
            p[2] += z * dz;
        }
    }
    return g;
}

void DrawCurvedSurface(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    static constexpr std::array<float, 8> kTexture = {0, 0, 1, 0, 0, 1, 1, 1};
    if (!shadow)
        sink.Enable(GL_AUTO_NORMAL);
    BindFaceMaterial(sink, obj, kFront, shadow);
    // The detail track bars run 1..99; anything else would make an empty or
    // enormous mesh.
    const int un = std::clamp(obj.At(kRowSize, kColZ), 1, 99);
    const int vn = std::clamp(obj.At(kRowSize, kColD), 1, 99);
    sink.BezierPatch(CurvedSurfaceGrid(obj), kTexture, un, vn);
    if (!shadow)
        sink.Disable(GL_AUTO_NORMAL);
}

} // namespace pc::scene
