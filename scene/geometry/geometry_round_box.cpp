#include "scene/geometry/geometry_round_box.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "scene/geometry/geometry_box.h"
#include "scene/geometry/geometry_material.h"
#include "scene/geometry/geometry_spine.h"
#include "scene/geometry/geometry_thick_book.h"

namespace pc::scene {
namespace {

void Vtx(PrimitiveSink& sink, float x, float y, float z, float s, float t)
{
    sink.TexCoord(s, t);
    sink.Vertex(x, y, z);
}

struct Corner {
    std::vector<Vec3> points; // at z = +Z
    std::vector<double> angles;
};

// The quarter circle of the top-right edge, from the +x side up to the top.
Corner BuildCorner(const Vec3& e, float rc, double step)
{
    Corner c;
    for (int m = 0;; ++m) {
        double u = m * step;
        if (!(u < kArcPi / 2))
            break;
        c.points.push_back({float(rc * std::cos(u) + e.x - rc), float(rc * std::sin(u) + e.y - rc), e.z});
        c.angles.push_back(u);
    }
    c.points.push_back({e.x - rc, e.y, e.z});
    c.angles.push_back(kArcPi / 2);
    return c;
}

} // namespace

void BuildRoundBox(PrimitiveSink& sink, const ObjectParams& obj, bool flat)
{
    const Vec3 e = BoxHalfExtents(obj);
    const SpineArc arc = BuildSpineArc(obj);
    const float rc = float(obj.At(kRowKeep4, kColD)) * std::min(e.y, e.x) / 180.0f;
    const Corner corner = BuildCorner(e, rc, arc.step);
    const float a = rc / (2 * e.x), b = rc / (2 * e.y);
    const float dv = arc.dv;
    const size_t segments = arc.points.size() - 1;
    const size_t cornerCount = corner.points.size();

    // Front.
    BindFaceMaterial(sink, obj, kFront, flat);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 0, 1);
    Vtx(sink, -e.x, e.y, e.z, 0, 1);
    Vtx(sink, -e.x, -e.y, e.z, 0, 0);
    Vtx(sink, e.x - rc, -e.y, e.z, 1 - a, 0);
    Vtx(sink, e.x - rc, e.y, e.z, 1 - a, 1);
    Vtx(sink, e.x - rc, e.y - rc, e.z, 1 - a, 1 - b);
    Vtx(sink, e.x - rc, -e.y, e.z, 1 - a, 0);
    Vtx(sink, e.x, -e.y, e.z, 1, 0);
    Vtx(sink, e.x, e.y - rc, e.z, 1, 1 - b);
    sink.End();
    sink.Begin(GL_TRIANGLE_FAN);
    Vtx(sink, e.x - rc, e.y - rc, e.z, 1 - a, 1 - b);
    for (size_t m = 0; m < cornerCount; ++m) {
        const Vec3& c = corner.points[m];
        double u = corner.angles[m];
        Vtx(sink, c.x, c.y, c.z, float(a * std::cos(u) + 1 - a), float(b * std::sin(u) + 1 - b));
    }
    sink.End();

    // Back, mirrored.
    BindFaceMaterial(sink, obj, kBack, flat);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 0, -1);
    Vtx(sink, e.x - rc, e.y, -e.z, a, 1);
    Vtx(sink, e.x - rc, -e.y, -e.z, a, 0);
    Vtx(sink, -e.x, -e.y, -e.z, 1, 0);
    Vtx(sink, -e.x, e.y, -e.z, 1, 1);
    Vtx(sink, e.x, e.y - rc, -e.z, 0, 1 - b);
    Vtx(sink, e.x, -e.y, -e.z, 0, 0);
    Vtx(sink, e.x - rc, -e.y, -e.z, a, 0);
    Vtx(sink, e.x - rc, e.y - rc, -e.z, a, 1 - b);
    sink.End();
    sink.Begin(GL_TRIANGLE_FAN);
    Vtx(sink, e.x - rc, e.y - rc, -e.z, a, 1 - b);
    for (size_t m = cornerCount; m-- > 0;) {
        const Vec3& c = corner.points[m];
        double u = corner.angles[m];
        Vtx(sink, c.x, c.y, -e.z, float((1 - std::cos(u)) * a), float(b * std::sin(u) + 1 - b));
    }
    sink.End();

    // Top, from the spine to where the corner starts.
    BindFaceMaterial(sink, obj, kTop, flat);
    sink.Begin(GL_QUADS);
    sink.Normal(0, 1, 0);
    for (size_t k = 0; k < segments; ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        Vtx(sink, p.x, e.y, p.z, 0, 1 - k * dv);
        Vtx(sink, q.x, e.y, q.z, 0, 1 - (k + 1) * dv);
        Vtx(sink, e.x - rc, e.y, q.z, 1, 1 - (k + 1) * dv);
        Vtx(sink, e.x - rc, e.y, p.z, 1, 1 - k * dv);
    }
    sink.End();

    // Bottom, the full width; seen from below its picture's top is at the front.
    BindFaceMaterial(sink, obj, kBottom, flat);
    sink.Begin(GL_QUADS);
    sink.Normal(0, -1, 0);
    for (size_t k = 0; k < segments; ++k) {
        const Vec3& p = arc.points[k];
        const Vec3& q = arc.points[k + 1];
        Vtx(sink, p.x, -e.y, p.z, 0, k * dv);
        Vtx(sink, e.x, -e.y, p.z, 1, k * dv);
        Vtx(sink, e.x, -e.y, q.z, 1, (k + 1) * dv);
        Vtx(sink, q.x, -e.y, q.z, 0, (k + 1) * dv);
    }
    sink.End();

    BindFaceMaterial(sink, obj, kLeft, flat);
    DrawSpineStrip(sink, arc, e.y);

    // The +x side and the rounded edge over it.
    BindFaceMaterial(sink, obj, kRight, flat);
    const float e4 = b / float(cornerCount - 1);
    sink.Begin(GL_QUADS);
    sink.Normal(1, 0, 0);
    Vtx(sink, e.x, e.y - rc, e.z, 0, 1 - b);
    Vtx(sink, e.x, -e.y, e.z, 0, 0);
    Vtx(sink, e.x, -e.y, -e.z, 1, 0);
    Vtx(sink, e.x, e.y - rc, -e.z, 1, 1 - b);
    for (size_t m = 0; m + 1 < cornerCount; ++m) {
        const Vec3& c = corner.points[m];
        const Vec3& d = corner.points[m + 1];
        double u = corner.angles[m];
        sink.Normal(float(std::cos(u)), float(std::sin(u)), 0);
        Vtx(sink, d.x, d.y, e.z, 0, 1 - b + (m + 1) * e4);
        Vtx(sink, c.x, c.y, e.z, 0, 1 - b + m * e4);
        Vtx(sink, c.x, c.y, -e.z, 1, 1 - b + m * e4);
        Vtx(sink, d.x, d.y, -e.z, 1, 1 - b + (m + 1) * e4);
    }
    sink.End();
}

void DrawRoundBox(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    const int outer = obj.At(kRowKeep4, kColX);
    const int outerAlpha = obj.At(kRowKeep5, kColD);
    if (outer < 2 || outerAlpha < 2 || shadow) {
        BuildRoundBox(sink, obj, shadow);
        return;
    }
    BuildRoundBox(sink, obj, false);
    const float g = 1 + float(outer) / 3600.0f;
    sink.PushMatrix();
    sink.Scale(g, g, g);
    sink.Color(float(obj.At(kRowKeep5, kColX)) / 360.0f, float(obj.At(kRowKeep5, kColY)) / 360.0f,
               float(obj.At(kRowKeep5, kColZ)) / 360.0f, float(outerAlpha) / 360.0f);
    sink.BindTexture(0);
    sink.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    sink.Enable(GL_BLEND);
    BuildRoundBox(sink, obj, true);
    sink.Disable(GL_BLEND);
    sink.PopMatrix();
}

} // namespace pc::scene
