#include "scene/geometry/geometry_book.h"

#include <algorithm>
#include <cmath>

#include "scene/geometry/geometry_box.h"
#include "scene/geometry/geometry_material.h"

namespace pc::scene {
namespace {

constexpr float kInnerScale = 0.99f;

struct FaceCorners {
    Vec3 corners[4];
    float tex[4][2];
};

// Box face corners scaled per side: the -X side by lo, the +X side by hi.
FaceCorners Corners(const Vec3& e, int face, const Vec3& lo, const Vec3& hi)
{
    FaceCorners f;
    for (int i = 0; i < 4; ++i) {
        const CornerTex& c = kBoxFaces[face][i];
        const Vec3& k = c.sx < 0 ? lo : hi;
        f.corners[i] = {c.sx * e.x * k.x, c.sy * e.y * k.y, c.sz * e.z * k.z};
        f.tex[i][0] = c.s;
        f.tex[i][1] = c.t;
    }
    return f;
}

// A cover face at full size, then (outside shadows) its grey inside, a touch
// smaller and facing the other way, still with the face's texture.
void Cover(PrimitiveSink& sink, const ObjectParams& obj, const Vec3& e, int face, const Vec3& normal, bool shadow)
{
    const Vec3 one{1, 1, 1};
    const Vec3 inner{kInnerScale, kInnerScale, kInnerScale};
    BindFaceMaterial(sink, obj, face, shadow);
    FaceCorners outer = Corners(e, face, one, one);
    EmitQuad(sink, outer.corners, outer.tex, normal);
    if (shadow)
        return;
    FaceCorners in = Corners(e, face, inner, inner);
    sink.Color(0.5f, 0.5f, 0.5f, 1);
    // The inside lies a hair behind the cover: pushed back in depth so that
    // the 24-bit depth buffer never lets it show through the cover from afar.
    sink.PolygonOffset(1, 4);
    sink.Enable(GL_POLYGON_OFFSET_FILL);
    EmitQuad(sink, in.corners, in.tex, {-normal.x, -normal.y, -normal.z});
    sink.Disable(GL_POLYGON_OFFSET_FILL);
}

} // namespace

float SpiralWireWidth(int pictureHeight, float pixelScale)
{
    return float(std::max(3, pictureHeight / 150)) * pixelScale;
}

void DrawSpiralWire(PrimitiveSink& sink, const ObjectParams& obj, bool shadow, float wireWidth)
{
    Vec3 e = BoxHalfExtents(obj);
    if (!shadow)
        sink.Color(0, 0, 0, 1);
    sink.LineWidth(wireWidth);
    sink.Normal(-1, 0, 0); // lit as facing out of the spine, not by whatever normal came last

    const double r = (obj.At(kRowSize, kColD) + 1) / 300.0;
    sink.Begin(GL_LINE_STRIP);
    double t = 0;
    for (int k = 0;; ++k) {
        double y = -0.95 * e.y + k * 0.01 * e.y;
        if (!(y < 0.95 * e.y))
            break;
        sink.Vertex(float(-1.01 * e.x - r * std::sin(t)), float(y), float(-r * std::cos(t)));
        t += 0.5;
    }
    sink.End();
}

void DrawBook(PrimitiveSink& sink, const ObjectParams& obj, bool notebook, bool shadow, float wireWidth)
{
    if (notebook)
        DrawSpiralWire(sink, obj, shadow, wireWidth);
    Vec3 e = BoxHalfExtents(obj);
    Cover(sink, obj, e, kFront, {0, 0, 1}, shadow);
    Cover(sink, obj, e, kBack, {0, 0, -1}, shadow);

    // The page block sits inside the covers, flush with the spine side.
    const Vec3 spineSide{0.999f, 0.95f, 0.999f};
    const Vec3 openSide{0.95f, 0.95f, 0.999f};
    const struct {
        int face;
        Vec3 normal;
    } pages[] = {{kTop, {0, 1, 0}}, {kBottom, {0, -1, 0}}, {kRight, {1, 0, 0}}};
    for (const auto& p : pages) {
        BindFaceMaterial(sink, obj, p.face, shadow);
        FaceCorners f = Corners(e, p.face, spineSide, openSide);
        EmitQuad(sink, f.corners, f.tex, p.normal);
    }

    Cover(sink, obj, e, kLeft, {-1, 0, 0}, shadow);
}

} // namespace pc::scene
