// The shadow projection, vector helpers and the object
// transform, the last checked against GL's own matrices.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

#include "platform/gl_context.h"
#include "scene/geometry/draw_object.h"
#include "scene/geometry/primitive_sink_recording.h"
#include "scene/geometry/shadow_matrix.h"
#include "scene/geometry/vector_math.h"

namespace pc::scene {
namespace {

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
