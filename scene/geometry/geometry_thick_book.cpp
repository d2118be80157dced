#include "scene/geometry/geometry_thick_book.h"

#include <cmath>

#include "scene/geometry/geometry_box.h"
#include "scene/geometry/geometry_material.h"

namespace pc::scene {
namespace {

void Vtx(PrimitiveSink& sink, float x, float y, float z, float s, float t)
{
    sink.TexCoord(s, t);
    sink.Vertex(x, y, z);
}

} // namespace

void DrawSpineStrip(PrimitiveSink& sink, const SpineArc& arc, float halfHeight)
{
    const float dv = arc.dv;
    const float drop = 2 * halfHeight;
    sink.Begin(GL_QUADS);
    for (size_t k = 0; k + 1 < arc.points.size(); ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        sink.Normal(float(std::cos(arc.angles[k])), 0, float(-std::sin(arc.angles[k])));
        Vtx(sink, p.x, p.y, p.z, k * dv, 1);
        Vtx(sink, p.x, p.y - drop, p.z, k * dv, 0);
        Vtx(sink, q.x, q.y - drop, q.z, (k + 1) * dv, 0);
        Vtx(sink, q.x, q.y, q.z, (k + 1) * dv, 1);
    }
    sink.End();
}

void DrawThickBook(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    const Vec3 e = BoxHalfExtents(obj);
    const SpineArc arc = BuildSpineArc(obj);
    const float f = 1.0f - float(obj.At(kRowKeep4, kColX)) / 3600.0f; // page inset
    const float w = 2 * e.x * f;                                       // page width
    const float dv = arc.dv;
    const size_t segments = arc.points.size() - 1;

    BindFaceMaterial(sink, obj, kFront, shadow);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 0, 1);
    Vtx(sink, -e.x, e.y, e.z, 0, 1);
    Vtx(sink, -e.x, -e.y, e.z, 0, 0);
    Vtx(sink, e.x, -e.y, e.z, 1, 0);
    Vtx(sink, e.x, e.y, e.z, 1, 1);
    sink.End();

    BindFaceMaterial(sink, obj, kBack, shadow);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 0, -1);
    Vtx(sink, e.x, e.y, -e.z, 0, 1);
    Vtx(sink, e.x, -e.y, -e.z, 0, 0);
    Vtx(sink, -e.x, -e.y, -e.z, 1, 0);
    Vtx(sink, -e.x, e.y, -e.z, 1, 1);
    sink.End();

    const float top = e.y * f;
    const float bottom = e.y - 2 * e.y * f;

    BindFaceMaterial(sink, obj, kTop, shadow);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 1, 0);
    for (size_t k = 0; k < segments; ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        Vtx(sink, p.x, top, p.z, 0, 1 - k * dv);
        Vtx(sink, q.x, top, q.z, 0, 1 - (k + 1) * dv);
        Vtx(sink, q.x + w, top, q.z, 1, 1 - (k + 1) * dv);
        Vtx(sink, p.x + w, top, p.z, 1, 1 - k * dv);
    }
    sink.End();

    // Seen from below, the picture's top lies at the front (+z), as on the box.
    BindFaceMaterial(sink, obj, kBottom, shadow);
    sink.Begin(GL_QUADS);
    sink.Normal(0, -1, 0);
    for (size_t k = 0; k < segments; ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        Vtx(sink, p.x, bottom, p.z, 0, k * dv);
        Vtx(sink, p.x + w, bottom, p.z, 1, k * dv);
        Vtx(sink, q.x + w, bottom, q.z, 1, (k + 1) * dv);
        Vtx(sink, q.x, bottom, q.z, 0, (k + 1) * dv);
    }
    sink.End();

    BindFaceMaterial(sink, obj, kLeft, shadow);
    DrawSpineStrip(sink, arc, e.y);

    // The fore-edge: the spine's curve carried across the page width.
    BindFaceMaterial(sink, obj, kRight, shadow);
    sink.Begin(GL_QUADS);
    for (size_t k = 0; k < segments; ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        sink.Normal(float(-std::cos(arc.angles[k])), 0, float(std::sin(arc.angles[k])));
        Vtx(sink, q.x + w, top, q.z, 1 - (k + 1) * dv, 1);
        Vtx(sink, q.x + w, bottom, q.z, 1 - (k + 1) * dv, 0);
        Vtx(sink, p.x + w, bottom, p.z, 1 - k * dv, 0);
        Vtx(sink, p.x + w, top, p.z, 1 - k * dv, 1);
    }
    sink.End();
}

} // namespace pc::scene
