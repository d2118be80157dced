// Object geometry through the recording sink: shapes, counts and key
// vertices per kind, without a GL context.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/geometry/draw_object.h"
#include "scene/geometry/geometry_book.h"
#include "scene/geometry/geometry_curved_surface.h"
#include "scene/geometry/geometry_material.h"
#include "scene/geometry/geometry_spine.h"
#include "scene/geometry/primitive_sink_recording.h"
#include "scene/render/scene_passes.h"

namespace pc::scene {
namespace {

ObjectParams Object(int kind)
{
    ObjectParams o;
    o.ObjectKind = kind;
    return o;
}

RecordingSink Draw(const ObjectParams& o, bool shadow = false, float wireWidth = 3)
{
    RecordingSink sink;
    DrawObject(sink, o, shadow, wireWidth);
    return sink;
}

float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct KindCase {
    const char* name;
    int kind;
};

class EveryKind : public testing::TestWithParam<KindCase> {};

// Every kind emits balanced, finite geometry near its size, in and out of
// the shadow pass, and sets no colour or texture in the shadow pass.
TEST_P(EveryKind, EmitsBalancedFiniteGeometry)
{
    for (bool shadow : {false, true}) {
        ObjectParams o = Object(GetParam().kind);
        o.Faces[0].Tag = 7;
        RecordingSink sink = Draw(o, shadow);
        EXPECT_EQ(sink.unbalanced, 0);
        EXPECT_GT(sink.VertexCount() + sink.patches.size(), 0u);
        for (const auto& p : sink.primitives)
            for (const auto& v : p.vertices) {
                ASSERT_TRUE(std::isfinite(v.position.x) && std::isfinite(v.position.y) && std::isfinite(v.position.z));
                EXPECT_LT(std::fabs(v.position.x), 2.5f);
                EXPECT_LT(std::fabs(v.position.y), 2.5f);
                EXPECT_LT(std::fabs(v.position.z), 2.5f);
            }
        if (shadow) {
            EXPECT_TRUE(sink.boundTextures.empty()) << "shadow pass bound a texture";
            for (const auto& p : sink.primitives)
                for (const auto& v : p.vertices)
                    EXPECT_EQ(v.color, (Rgba{1, 1, 1, 1})) << "shadow pass set a colour";
        }
        EXPECT_EQ(sink.diffuse, (Rgba{1, 1, 1, 1}));
        EXPECT_EQ(sink.shininess, 70);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind,
                         testing::Values(KindCase{"Box", kBox}, KindCase{"Book", kBook}, KindCase{"CD", kCD},
                                         KindCase{"NoteBook", kNoteBook}, KindCase{"ThickBook", kThickBook},
                                         KindCase{"RoundBox", kRoundBox}, KindCase{"CurvedSurface", kCurvedSurface}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Box, SixOutwardQuadsAtTheHalfExtents)
{
    ObjectParams o = Object(kBox);
    o.At(kRowSize, kColX) = 359; // half-extent 1
    o.At(kRowSize, kColY) = 179; // 0.5
    o.At(kRowSize, kColZ) = 35;  // 0.1
    for (int f = 0; f < kFaceCount; ++f)
        o.Faces[f].Tag = unsigned(10 + f);
    RecordingSink sink = Draw(o);
    auto quads = sink.OfMode(GL_QUADS);
    ASSERT_EQ(quads.size(), 6u);
    for (int f = 0; f < kFaceCount; ++f) {
        const auto& vs = quads[size_t(f)]->vertices;
        ASSERT_EQ(vs.size(), 4u);
        Vec3 centre{};
        for (const auto& v : vs) {
            EXPECT_FLOAT_EQ(std::fabs(v.position.x), 1.0f);
            EXPECT_FLOAT_EQ(std::fabs(v.position.y), 0.5f);
            EXPECT_FLOAT_EQ(std::fabs(v.position.z), 0.1f);
            centre = {centre.x + v.position.x, centre.y + v.position.y, centre.z + v.position.z};
            EXPECT_EQ(v.texture, unsigned(10 + f));
        }
        EXPECT_NEAR(Dot(vs[0].normal, Vec3Normalize(centre)), 1.0f, 1e-5f) << "face " << f;
    }
    // The front face is the +z face, its picture upright: (0,0) bottom left.
    EXPECT_GT(quads[0]->vertices[0].position.z, 0);
    EXPECT_LT(quads[0]->vertices[0].position.y, 0);
    EXPECT_EQ(quads[0]->vertices[0].s, 0);
    EXPECT_EQ(quads[0]->vertices[0].t, 0);
}

TEST(Book, InnerCoversOnlyOutsideShadows)
{
    RecordingSink lit = Draw(Object(kBook));
    RecordingSink shadow = Draw(Object(kBook), true);
    EXPECT_EQ(lit.OfMode(GL_QUADS).size(), 9u); // 6 faces + 3 grey insides
    EXPECT_EQ(shadow.OfMode(GL_QUADS).size(), 6u);
    // The inside of the front cover is grey, smaller and faces inwards.
    const auto& inner = lit.OfMode(GL_QUADS)[1]->vertices;
    EXPECT_EQ(inner[0].color, (Rgba{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(inner[0].normal.z, -1);
    EXPECT_NEAR(inner[0].position.z, 0.99f * 181.0f / 360.0f, 1e-6f);
}

TEST(NoteBook, WireWindsAroundTheSpine)
{
    ObjectParams o = Object(kNoteBook);
    o.At(kRowSize, kColD) = 20;
    RecordingSink sink = Draw(o, false, 6.5f);
    auto strips = sink.OfMode(GL_LINE_STRIP);
    ASSERT_EQ(strips.size(), 1u);
    EXPECT_EQ(sink.lineWidth, 6.5f);
    const float x = HalfExtent(180), y = HalfExtent(180), r = 21.0f / 300.0f;
    const auto& vs = strips[0]->vertices;
    EXPECT_NEAR(double(vs.size()), 190, 1);
    for (const auto& v : vs) {
        EXPECT_NEAR(std::hypot(v.position.x + 1.01f * x, v.position.z), r, 1e-5f);
        EXPECT_GE(v.position.y, -0.95f * y - 1e-6f);
        EXPECT_LT(v.position.y, 0.95f * y);
    }
    EXPECT_EQ(vs[0].color, (Rgba{0, 0, 0, 1}));
    // A 150th of the picture's height, never thinner than 3 of its pixels,
    // times the rendered pixels per picture pixel.
    EXPECT_EQ(SpiralWireWidth(900, 1), 6);
    EXPECT_EQ(SpiralWireWidth(300, 1), 3);
    EXPECT_EQ(SpiralWireWidth(180, 8.5f), 25.5f);
    EXPECT_EQ(SpiralWireWidth(2304, 0.5f), 7.5f);
}

TEST(CD, TwoRingsOf63QuadsClosingPastAFullTurn)
{
    ObjectParams o = Object(kCD);
    o.At(kRowSize, kColX) = 149;
    o.At(kRowSize, kColY) = 19;
    RecordingSink sink = Draw(o);
    auto rings = sink.OfMode(GL_QUADS);
    ASSERT_EQ(rings.size(), 2u);
    for (const auto* ring : rings)
        EXPECT_EQ(ring->vertices.size(), 63u * 4u);
    EXPECT_FLOAT_EQ(rings[0]->vertices[0].position.z, 0.01f);
    EXPECT_FLOAT_EQ(rings[1]->vertices[0].position.z, 0.0f);
    // The last outer point lies at 6.299996 rad, slightly past 2 pi.
    const auto& last = rings[0]->vertices.back();
    const float r1 = 150.0f / 360.0f;
    EXPECT_NEAR(std::atan2(last.position.x, last.position.y) + 2 * M_PI, 6.299996, 1e-4);
    EXPECT_NEAR(std::hypot(last.position.x, last.position.y), r1, 1e-6);
    // Neutral texture controls put the outer edge on the picture's inscribed circle.
    EXPECT_NEAR(std::hypot(last.s - 0.5f, last.t - 0.5f), 0.5f, 1e-5f);
}

TEST(SpineArc, RunsFromBackToFrontBulgingLeft)
{
    for (int detail : {0, 180, 360}) {
        ObjectParams o = Object(kThickBook);
        o.At(kRowSize, kColZ) = 36;
        o.At(kRowKeep4, kColY) = detail;
        o.At(kRowKeep4, kColZ) = 10;
        SpineArc arc = BuildSpineArc(o);
        const float x = HalfExtent(180), y = HalfExtent(180), z = HalfExtent(36);
        ASSERT_GE(arc.points.size(), 3u);
        EXPECT_NEAR(arc.points.front().x, -x, 1e-5f);
        EXPECT_NEAR(arc.points.front().z, -z, 1e-5f);
        EXPECT_NEAR(arc.points.back().x, -x, 1e-5f);
        EXPECT_NEAR(arc.points.back().z, z, 1e-5f);
        for (const auto& p : arc.points) {
            EXPECT_LE(p.x, -x + 1e-5f);
            EXPECT_EQ(p.y, y);
        }
        EXPECT_FLOAT_EQ(arc.dv * float(arc.points.size() - 1), 1.0f);
        // More detail, more points.
        EXPECT_NEAR(double(arc.step), (detail + 10) / 1800.0, 1e-12);
    }
}

TEST(SpineArc, HostilePositionsStillEndTheLoop)
{
    ObjectParams o = Object(kThickBook);
    o.At(kRowKeep4, kColY) = -100000;
    o.At(kRowKeep4, kColZ) = -5000;
    SpineArc arc = BuildSpineArc(o);
    EXPECT_LT(arc.points.size(), 1000u);
    for (const auto& p : arc.points)
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.z));
}

TEST(ThickBook, SpineAndForeEdgeFollowTheArc)
{
    ObjectParams o = Object(kThickBook);
    o.At(kRowKeep4, kColX) = 180;
    RecordingSink sink = Draw(o);
    SpineArc arc = BuildSpineArc(o);
    auto quads = sink.OfMode(GL_QUADS);
    ASSERT_EQ(quads.size(), 6u); // front, back, top, bottom, spine, fore-edge
    const size_t segments = arc.points.size() - 1;
    for (size_t i = 2; i < 6; ++i)
        EXPECT_EQ(quads[i]->vertices.size(), segments * 4);
    // The fore-edge is the spine moved across by the page width 2 X f.
    const float w = 2 * HalfExtent(180) * (1 - 180.0f / 3600.0f);
    const auto& spine = quads[4]->vertices;
    const auto& edge = quads[5]->vertices;
    EXPECT_NEAR(edge[3].position.x - spine[0].position.x, w, 1e-5f);
    EXPECT_NEAR(edge[3].position.z, spine[0].position.z, 1e-6f);
    // Spine normals point away from the book, fore-edge normals away on the other side.
    EXPECT_LT(spine[0].normal.x, 0);
    EXPECT_GT(edge[0].normal.x, 0);
}

TEST(RoundBox, OuterBoxOnlyWithBothControlsAndOutsideShadows)
{
    ObjectParams o = Object(kRoundBox);
    o.At(kRowKeep4, kColD) = 120;
    o.At(kRowKeep4, kColX) = 0;
    const size_t plain = Draw(o).VertexCount();
    o.At(kRowKeep4, kColX) = 360;
    o.At(kRowKeep5, kColD) = 1;
    EXPECT_EQ(Draw(o).VertexCount(), plain) << "alpha below 2: no outer box";
    o.At(kRowKeep5, kColD) = 90;
    RecordingSink both = Draw(o);
    EXPECT_EQ(both.VertexCount(), 2 * plain);
    EXPECT_EQ(Draw(o, true).VertexCount(), plain);
    // The outer copy is scaled by 1 + 360 / 3600 and tinted with Keep5 / 360.
    const auto& inner = both.primitives.front().vertices[0];
    const auto& outer = both.primitives[both.primitives.size() / 2].vertices[0];
    EXPECT_NEAR(outer.position.x / inner.position.x, 1.1f, 1e-5f);
    EXPECT_NEAR(outer.color[3], 90.0f / 360.0f, 1e-6f);
    EXPECT_EQ(outer.texture, 0u);
    EXPECT_EQ(both.unbalanced, 0);
}

TEST(RoundBox, CornerReachesTheTopAndTheSide)
{
    ObjectParams o = Object(kRoundBox);
    o.At(kRowKeep4, kColD) = 120;
    o.At(kRowKeep4, kColX) = 0; // no outer box
    RecordingSink sink = Draw(o);
    auto fans = sink.OfMode(GL_TRIANGLE_FAN);
    ASSERT_EQ(fans.size(), 2u);
    const float x = HalfExtent(180), y = HalfExtent(180);
    const float rc = 120.0f * std::min(x, y) / 180.0f;
    const auto& front = fans[0]->vertices;
    EXPECT_NEAR(front[1].position.x, x, 1e-5f); // u = 0: on the side
    EXPECT_NEAR(front[1].position.y, y - rc, 1e-5f);
    EXPECT_NEAR(front.back().position.x, x - rc, 1e-5f); // the final point: on the top
    EXPECT_NEAR(front.back().position.y, y, 1e-5f);
    for (size_t i = 1; i < front.size(); ++i)
        EXPECT_NEAR(std::hypot(front[i].position.x - (x - rc), front[i].position.y - (y - rc)), rc, 1e-5f);
}

struct CornerCase {
    const char* name;
    int corners;           // Keep5 D
    int row, col;          // the corner that moves, -1 for none
    float sign, zSign;
};

class CurvedCorners : public testing::TestWithParam<CornerCase> {};

TEST_P(CurvedCorners, OnlyTheSelectedCornerMoves)
{
    const CornerCase& c = GetParam();
    ObjectParams o = Object(kCurvedSurface);
    ObjectParams still = o;
    o.At(kRowKeep5, kColX) = 270; // dx 0.25
    o.At(kRowKeep5, kColY) = 90;  // dy -0.25
    o.At(kRowKeep5, kColZ) = 360; // dz 0.5
    o.At(kRowKeep5, kColD) = c.corners;
    still.At(kRowKeep5, kColD) = 0;
    auto g = CurvedSurfaceGrid(o), base = CurvedSurfaceGrid(still);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const float* p = &g[size_t(row * 12 + col * 3)];
            const float* q = &base[size_t(row * 12 + col * 3)];
            if (row == c.row && col == c.col) {
                EXPECT_FLOAT_EQ(p[0] - q[0], c.sign * 0.25f);
                EXPECT_FLOAT_EQ(p[1] - q[1], c.sign * -0.25f);
                EXPECT_FLOAT_EQ(p[2] - q[2], c.zSign * 0.5f);
            } else {
                EXPECT_EQ(p[0], q[0]) << row << "," << col;
                EXPECT_EQ(p[1], q[1]) << row << "," << col;
                EXPECT_EQ(p[2], q[2]) << row << "," << col;
            }
        }
}

// The bits are read with a cumulative shift: 0, 1, 3 and 6.
INSTANTIATE_TEST_SUITE_P(Corners, CurvedCorners,
                         testing::Values(CornerCase{"None", 0, -1, -1, 0, 0},
                                         CornerCase{"Corner0Up", 2, 3, 3, 1, 1},
                                         CornerCase{"Corner0Down", 3, 3, 3, 1, -1},
                                         CornerCase{"Corner1", 4, 3, 0, 1, 1},
                                         CornerCase{"Corner2", 16, 0, 0, -1, 1},
                                         CornerCase{"Corner3", 128, 0, 3, -1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CurvedSurface, WaveColumnsAndDetailGrid)
{
    ObjectParams o = Object(kCurvedSurface);
    o.At(kRowKeep4, kColX) = 320;
    o.At(kRowKeep4, kColY) = 108;
    o.At(kRowKeep4, kColZ) = 400;
    o.At(kRowKeep4, kColD) = 251;
    o.At(kRowSize, kColZ) = 20;
    o.At(kRowSize, kColD) = 0; // below the track bar's range
    RecordingSink sink = Draw(o);
    ASSERT_EQ(sink.patches.size(), 1u);
    const auto& p = sink.patches[0];
    EXPECT_TRUE(p.autoNormal);
    EXPECT_EQ(p.un, 20);
    EXPECT_EQ(p.vn, 1);
    for (int row = 0; row < 4; ++row) {
        EXPECT_FLOAT_EQ(p.grid[size_t(row * 12 + 3)], (320 - 360) / 90.0f);
        EXPECT_FLOAT_EQ(p.grid[size_t(row * 12 + 5)], (108 - 180) / 90.0f);
        EXPECT_FLOAT_EQ(p.grid[size_t(row * 12 + 6)], (400 - 360) / 90.0f);
        EXPECT_FLOAT_EQ(p.grid[size_t(row * 12 + 8)], (251 - 180) / 90.0f);
        EXPECT_EQ(p.grid[size_t(row * 12 + 2)], 0);
    }
    EXPECT_FALSE(sink.enabled.count(GL_AUTO_NORMAL)) << "auto normals left on";
    EXPECT_FALSE(Draw(o, true).patches[0].autoNormal);
}

TEST(FaceMaterial, SolidColourTextureAndTextAlpha)
{
    ObjectParams o = Object(kBox);
    o.Faces[2].BrushColor = RGB(255, 0, 51);
    RecordingSink sink;
    BindFaceMaterial(sink, o, 2, false);
    sink.Begin(GL_POINTS);
    sink.Vertex(0, 0, 0);
    o.Faces[2].Tag = 9;
    BindFaceMaterial(sink, o, 2, false);
    sink.Vertex(0, 0, 0);
    BindFaceMaterial(sink, o, -1, false); // face 0's picture, alpha 0
    sink.Vertex(0, 0, 0);
    ObjectParams text = Object(kText3D);
    text.At(kRowKeep5, kColX) = 90;
    BindFaceMaterial(sink, text, 0, false);
    sink.Vertex(0, 0, 0);
    sink.End();
    const auto& v = sink.primitives[0].vertices;
    EXPECT_EQ(v[0].color, (Rgba{1, 0, 0.2f, 1}));
    EXPECT_EQ(v[0].texture, 0u);
    EXPECT_EQ(v[1].color, (Rgba{1, 1, 1, 1}));
    EXPECT_EQ(v[1].texture, 9u);
    EXPECT_EQ(v[2].color[3], 0);
    EXPECT_EQ(v[3].color[3], 0.25f);
}

// The floor fades from FloorAlpha at the centre to solid at the inner
// square; with "Diffuse" clear the whole floor takes FloorAlpha.
TEST(Floor, FadeAndDiffuse)
{
    for (bool diffuse : {true, false}) {
        SceneParams s;
        s.CBDiffuse = diffuse;
        s.TBFloor_alpha = 30;
        s.TBFloor_P = 40;
        s.TBFloor_PMax = 100;
        s.ImageFloor.BrushColor = RGB(0, 51, 255);
        FrameState state;
        RecordingSink sink;
        DrawFloor(sink, s, state);
        EXPECT_FLOAT_EQ(state.FloorAlpha, 0.7f);
        auto tris = sink.OfMode(GL_TRIANGLES);
        ASSERT_EQ(tris.size(), 1u);
        const auto& fade = tris[0]->vertices;
        ASSERT_EQ(fade.size(), 12u);
        const float inner = diffuse ? 4.0f : 0.0f;
        EXPECT_EQ(fade[0].color, (Rgba{0, 0.2f, 1, 0.7f}));
        EXPECT_EQ(fade[1].color[3], 1);
        EXPECT_FLOAT_EQ(std::fabs(fade[1].position.x), inner);
        // The walls come first, then the fade, then the ring of four quads.
        auto quads = sink.OfMode(GL_QUADS);
        ASSERT_EQ(quads.size(), 2u);
        EXPECT_EQ(quads[0]->vertices.size(), 16u);
        for (const auto& v : quads[1]->vertices) {
            EXPECT_EQ(v.position.y, 0);
            EXPECT_LE(std::fabs(v.position.x), 20.0f);
            EXPECT_EQ(v.color[3], diffuse ? 1.0f : 0.7f);
            EXPECT_EQ(v.texture, 0u);
        }
    }
    SceneParams textured;
    textured.ImageFloor.Tag = 4;
    textured.TBfsth = 200;
    FrameState state;
    RecordingSink sink;
    DrawFloor(sink, textured, state);
    const auto& v = sink.OfMode(GL_QUADS)[1]->vertices[0]; // (-O, -O)
    EXPECT_EQ(v.texture, 4u);
    EXPECT_EQ(v.color[0], 1);
    EXPECT_FLOAT_EQ(v.s, -20.0f * 2.0f);
}

} // namespace
} // namespace pc::scene
