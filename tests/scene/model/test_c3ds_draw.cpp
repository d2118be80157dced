// A real model drawn on OSMesa: each mesh in its material's colour, hidden
// meshes absent, the shadow pass in the caller's colour.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/gl_context.h"
#include "scene/model/c3ds_draw.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

constexpr int kSize = 64;

class ModelDrawing : public testing::Test {
protected:
    void SetUp() override
    {
        ctx_ = GLContext::Create();
        ctx_->Bind(kSize, kSize, false);
        ASSERT_TRUE(model_.Load(test::k3dsModels + "cubes_with_alpha.3DS"));
        model_.Unitize();
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.2, 1.2, -1.2, 1.2, -5, 5);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
    }

    // Shows only mesh `only` and returns the colour at the projection of its centre.
    // Mesh `before`, when given, is drawn too, ahead of it.
    std::array<int, 3> DrawOnly(size_t only, bool shadow, const std::function<void()>& noMaterial = {},
                                size_t before = SIZE_MAX)
    {
        auto& objects = model_.Model().objects;
        for (size_t i = 0; i < objects.size(); ++i)
            objects[i].visibleSize = i == only || i == before ? 1.0f : 0.0f;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3ub(10, 20, 30);
        Draw3DSModel(model_.Model(), 1, 1, 1, shadow, noMaterial);
        ctx_->Finish();

        double cx = 0, cy = 0, cz = 0;
        for (const auto& v : objects[only].verts)
            cx += v.x, cy += v.y, cz += v.z;
        double n = double(objects[only].verts.size());
        double model[16], proj[16], wx, wy, wz;
        int view[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        gluProject(cx / n, cy / n, cz / n, model, proj, view, &wx, &wy, &wz);
        const uint8_t* p = ctx_->Pixels() + (int(wy) * kSize + int(wx)) * 4;
        return {p[2], p[1], p[0]};
    }

    std::unique_ptr<GLContext> ctx_;
    C3DS model_;
};

TEST_F(ModelDrawing, OpaqueMeshesShowTheirMaterialColour)
{
    // Meshes 0, 2, 3 have untextured opaque materials.
    for (size_t mesh : {0u, 2u, 3u}) {
        const auto& mat = model_.Model().materials[mesh];
        auto got = DrawOnly(mesh, false);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(got[k], mat.color[k], 2) << "mesh " << mesh;
    }
}

TEST_F(ModelDrawing, TransparentMaterialBlendsWithWhatIsBehind)
{
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE); // one layer of the cube only
    auto got = DrawOnly(4, false);
    const auto& mat = model_.Model().materials[4];
    ASSERT_EQ(mat.alpha, 211);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(got[k], mat.color[k] * 211 / 255, 3);
}

// A face without material whose colour comes with blending off does not
// make the next material opaque.
TEST_F(ModelDrawing, TransparentMaterialBlendsAfterAFaceWithoutMaterial)
{
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    for (auto& f : model_.Model().objects[0].faces)
        f.material = -1;
    auto got = DrawOnly(4, false, [] { glDisable(GL_BLEND); }, 0);
    const auto& mat = model_.Model().materials[4];
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(got[k], mat.color[k] * 211 / 255, 3);
}

TEST_F(ModelDrawing, HiddenMeshesAreSkipped)
{
    auto& objects = model_.Model().objects;
    for (auto& o : objects)
        o.visibleSize = 0;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Draw3DSModel(model_.Model(), 1, 1, 1, false, {});
    ctx_->Finish();
    const uint8_t* p = ctx_->Pixels();
    for (int i = 0; i < kSize * kSize; ++i)
        ASSERT_EQ(p[i * 4] | p[i * 4 + 1] | p[i * 4 + 2], 0) << "pixel " << i;
}

TEST_F(ModelDrawing, ShadowPassKeepsTheCallersColour)
{
    auto got = DrawOnly(0, true);
    EXPECT_EQ(got, (std::array<int, 3>{10, 20, 30}));
}

TEST_F(ModelDrawing, FacesWithoutMaterialAskTheObject)
{
    for (auto& o : model_.Model().objects)
        for (auto& f : o.faces)
            f.material = -1;
    int calls = 0;
    auto got = DrawOnly(2, false, [&] {
        ++calls;
        glColor3ub(0, 255, 0);
    });
    EXPECT_GE(calls, 1);
    EXPECT_EQ(got, (std::array<int, 3>{0, 255, 0}));
}

} // namespace
} // namespace pc
