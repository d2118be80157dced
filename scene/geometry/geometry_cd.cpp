#include "scene/geometry/geometry_cd.h"

#include <cmath>

#include "scene/geometry/geometry_material.h"

namespace pc::scene {
namespace {

struct Ring {
    float outerRadius, innerRadius;
    float offsetU, offsetV;
    float outerScale, innerScale; // texture scale at each edge
};

// The angle advances in single precision, as the ring always has: 63 quads,
// the last ending at 6.299996 rad, a hair past a full turn so it closes.
// fromBehind: the picture is laid on for a viewer on the -z side, whose right
// is -x, so that it does not read mirrored.
void DrawDiscRing(PrimitiveSink& sink, const Ring& ring, float z, bool fromBehind)
{
    const float across = fromBehind ? -1.0f : 1.0f;
    auto point = [&](float a, float radius, float scale) {
        float x = radius * std::sin(a), y = radius * std::cos(a);
        float k = 0.5f / ring.outerRadius * scale;
        sink.TexCoord(across * x * k + 0.5f + ring.offsetU, y * k + 0.5f + ring.offsetV);
        sink.Vertex(x, y, z);
    };
    sink.Begin(GL_QUADS);
    float previous = 0;
    for (float a = 0.1f; a <= 6.3f; a += 0.1f) {
        point(previous, ring.outerRadius, ring.outerScale);
        point(previous, ring.innerRadius, ring.innerScale);
        point(a, ring.innerRadius, ring.innerScale);
        point(a, ring.outerRadius, ring.outerScale);
        previous = a;
    }
    sink.End();
}

} // namespace

void DrawCD(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    Ring ring{float(obj.At(kRowSize, kColX) + 1) / 360.0f,  float(obj.At(kRowSize, kColY) + 1) / 360.0f,
              float(obj.At(kRowKeep4, kColX) - 180) / 360.0f, float(obj.At(kRowKeep4, kColY) - 180) / 360.0f,
              float(obj.At(kRowKeep4, kColD)) / 180.0f,       float(obj.At(kRowKeep4, kColZ)) / 180.0f};
    BindFaceMaterial(sink, obj, kFront, shadow);
    sink.Normal(0, 0, 1);
    DrawDiscRing(sink, ring, 0.01f, false);
    BindFaceMaterial(sink, obj, kBack, shadow);
    sink.Normal(0, 0, -1);
    DrawDiscRing(sink, ring, 0, true);
}

} // namespace pc::scene
