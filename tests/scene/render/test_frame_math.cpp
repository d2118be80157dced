// Jitter tables, the shadow projection, vector helpers and the object
// transform, the last checked against GL's own matrices.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "platform/gl_context.h"
#include "scene/draw_object.h"
#include "scene/jitter.h"
#include "scene/primitive_sink_recording.h"
#include "scene/shadow_matrix.h"
#include "scene/vector_math.h"

namespace pc::scene {
namespace {

TEST(Jitter, TablesStayInsideOnePixel)
{
    for (int n : {2, 3, 4, 8, 15, 24, 66}) {
        auto table = JitterTable(n);
        EXPECT_EQ(table.size(), size_t(n));
        float sx = 0, sy = 0;
        for (const auto& p : table) {
            EXPECT_LE(std::fabs(p.x), 0.5f) << n;
            EXPECT_LE(std::fabs(p.y), 0.5f) << n;
            sx += p.x;
            sy += p.y;
        }
        // Centred on the pixel: the mean offset is small.
        EXPECT_LT(std::fabs(sx / float(n)), 0.1f) << n;
        EXPECT_LT(std::fabs(sy / float(n)), 0.1f) << n;
    }
    EXPECT_EQ(JitterTable(5).size(), 4u);
    EXPECT_EQ(JitterTable(0).size(), 4u);
}

// Each published table starts with these points.
TEST(Jitter, TablesStartWithThePublishedPoints)
{
    struct Case { int n; float x, y; };
    for (auto c : {Case{8, -0.334818f, 0.435331f}, Case{15, 0.285561f, 0.188437f}, Case{24, 0.030245f, 0.136384f},
                   Case{66, 0.266377f, -0.218171f}}) {
        auto table = JitterTable(c.n);
        ASSERT_EQ(table.size(), size_t(c.n));
        EXPECT_FLOAT_EQ(table[0].x, c.x) << c.n;
        EXPECT_FLOAT_EQ(table[0].y, c.y) << c.n;
    }
}

TEST(Jitter, NoShiftOutsideTheTableOrTheCount)
{
    EXPECT_FALSE(JitterShift(-1, 0));
    EXPECT_FALSE(JitterShift(0, 1));
    EXPECT_FALSE(JitterShift(3, 3));
    EXPECT_FALSE(JitterShift(-1, 4));
    // Five passes use the four-entry table: the fifth pass is not shifted
    // rather than read past the table's end.
    EXPECT_TRUE(JitterShift(3, 5));
    EXPECT_FALSE(JitterShift(4, 5));
    auto p = JitterShift(1, 2);
    ASSERT_TRUE(p);
    EXPECT_FLOAT_EQ(p->x, -0.246490f);
}

// A point projected by the matrix lands on the floor, on the line through
// it along the light direction.
TEST(ShadowMatrix, ProjectsAlongTheLightOntoTheFloor)
{
    const std::array<float, 4> light{3, 5, -2, 0};
    auto m = ShadowMatrix(kFloorPlane, light);
    ASSERT_TRUE(m);
    for (Vec3 p : {Vec3{0, 1, 0}, Vec3{1.5f, 0.7f, -0.3f}, Vec3{-2, 2, 2}}) {
        Vec3 q = Transform(*m, p);
        EXPECT_NEAR(q.y, 0, 1e-5f);
        const float k = p.y / light[1];
        EXPECT_NEAR(q.x, p.x - k * light[0], 1e-5f);
        EXPECT_NEAR(q.z, p.z - k * light[2], 1e-5f);
    }
}

TEST(ShadowMatrix, NoneForALightOnOrBelowTheFloor)
{
    EXPECT_FALSE(ShadowMatrix(kFloorPlane, {3, 0, 3, 0}));
    EXPECT_FALSE(ShadowMatrix(kFloorPlane, {3, -1, 3, 0}));
    EXPECT_FALSE(ShadowMatrix(kFloorPlane, {0, -2, 0, 1}));
    EXPECT_TRUE(ShadowMatrix(kFloorPlane, {0, 0.01f, 0, 0}));
}

TEST(VectorMath, NormalsAndZeroVectors)
{
    Vec3 n = PlaneNormal(kFloorPlane);
    EXPECT_FLOAT_EQ(n.y, 1);
    Vec3 z = Vec3Normalize(Vec3Zero);
    EXPECT_EQ(z.x, 0);
    EXPECT_EQ(z.y, 0);
    EXPECT_EQ(z.z, 0);
    Vec3 t = TriangleNormal({0, 0, 0}, {1, 0, 0}, {1, 1, 0});
    EXPECT_FLOAT_EQ(t.z, 1);
    EXPECT_FLOAT_EQ(TriangleNormal({0, 0, 0}, {0, 0, 0}, {1, 0, 0}).x, 0); // degenerate: zero, not NaN
}

// The recording sink's placement matches GL's for the same calls, and the
// neutral rotations 180, 180, 180 leave an object unrotated.
TEST(ObjectTransform, MatchesGlAndNeutralIsIdentity)
{
    auto ctx = GLContext::Create();
    ctx->Bind(4, 4, true);
    struct Case {
        int px, py, pz, rx, ry, rz;
    } cases[] = {{180, 135, 180, 180, 180, 180}, {0, 360, 90, 30, 200, 340}, {270, 10, 360, 0, 90, 45}};
    for (const Case& c : cases) {
        ObjectParams o;
        o.At(kRowPosition, kColX) = c.px;
        o.At(kRowPosition, kColY) = c.py;
        o.At(kRowPosition, kColZ) = c.pz;
        o.At(kRowRotation, kColX) = c.rx;
        o.At(kRowRotation, kColY) = c.ry;
        o.At(kRowRotation, kColZ) = c.rz;
        RecordingSink rec;
        ApplyObjectTransform(rec, o);
        GlSink gl;
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        ApplyObjectTransform(gl, o);
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(rec.matrix[size_t(i)], m[i], 1e-5f) << i;
    }
    RecordingSink rec;
    ApplyObjectTransform(rec, ObjectParams{});
    Vec3 p = Transform(rec.matrix, {0.3f, 0.2f, 0.1f});
    EXPECT_NEAR(p.x, 0.3f, 1e-5f);
    EXPECT_NEAR(p.y, 0.2f + 0.5f, 1e-5f); // position 180 lifts by 0.5
    EXPECT_NEAR(p.z, 0.1f, 1e-5f);
}

} // namespace
} // namespace pc::scene
