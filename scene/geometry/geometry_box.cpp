#include "scene/geometry/geometry_box.h"

#include "scene/geometry/geometry_material.h"

namespace pc::scene {

// Each picture reads the right way round from outside its face: seen from
// behind, the back's left edge is at +x.
const CornerTex kBoxFaces[kFaceCount][4] = {
    {{-1, -1, +1, 0, 0}, {+1, -1, +1, 1, 0}, {+1, +1, +1, 1, 1}, {-1, +1, +1, 0, 1}}, // front
    {{-1, -1, -1, 1, 0}, {-1, +1, -1, 1, 1}, {+1, +1, -1, 0, 1}, {+1, -1, -1, 0, 0}}, // back
    {{-1, +1, -1, 0, 1}, {-1, +1, +1, 0, 0}, {+1, +1, +1, 1, 0}, {+1, +1, -1, 1, 1}}, // top
    {{-1, -1, -1, 0, 0}, {+1, -1, -1, 1, 0}, {+1, -1, +1, 1, 1}, {-1, -1, +1, 0, 1}}, // bottom
    {{+1, -1, -1, 1, 0}, {+1, +1, -1, 1, 1}, {+1, +1, +1, 0, 1}, {+1, -1, +1, 0, 0}}, // right
    {{-1, -1, -1, 0, 0}, {-1, -1, +1, 1, 0}, {-1, +1, +1, 1, 1}, {-1, +1, -1, 0, 1}}, // left
};

Vec3 BoxHalfExtents(const ObjectParams& obj)
{
    return {HalfExtent(obj.At(kRowSize, kColX)), HalfExtent(obj.At(kRowSize, kColY)),
            HalfExtent(obj.At(kRowSize, kColZ))};
}

void EmitQuad(PrimitiveSink& sink, const Vec3 (&corners)[4], const float (&tex)[4][2], const Vec3& normal)
{
    sink.Begin(GL_QUADS);
    sink.Normal(normal.x, normal.y, normal.z);
    for (int i = 0; i < 4; ++i) {
        sink.TexCoord(tex[i][0], tex[i][1]);
        sink.Vertex(corners[i].x, corners[i].y, corners[i].z);
    }
    sink.End();
}

void DrawBox(PrimitiveSink& sink, const ObjectParams& obj, bool shadow)
{
    Vec3 e = BoxHalfExtents(obj);
    for (int face = 0; face < kFaceCount; ++face) {
        Vec3 corners[4];
        float tex[4][2];
        for (int i = 0; i < 4; ++i) {
            const CornerTex& c = kBoxFaces[face][i];
            corners[i] = {c.sx * e.x, c.sy * e.y, c.sz * e.z};
            tex[i][0] = c.s;
            tex[i][1] = c.t;
        }
        BindFaceMaterial(sink, obj, face, shadow);
        EmitQuad(sink, corners, tex, PlaneNormal3(corners[0], corners[1], corners[2]));
    }
}

} // namespace pc::scene
