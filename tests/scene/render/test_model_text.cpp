// The model and 3D-text kinds: their scale, colours and shadow switch
// through the recording sink, and real models and text on OSMesa.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include "platform/gl_context.h"
#include "scene/model/c3ds.h"
#include "scene/geometry/draw_object.h"
#include "scene/geometry/primitive_sink_recording.h"
#include "scene/render/render_frame.h"
#include "tests/support/test_data.h"

namespace pc::scene {
namespace {

ObjectParams TextObject()
{
    ObjectParams o;
    o.ObjectKind = kText3D;
    o.Text = "Hi";
    o.At(kRowSize, kColX) = 90;
    o.At(kRowSize, kColY) = 180;
    o.At(kRowSize, kColZ) = 36;
    o.At(kRowSize, kColD) = 360;
    o.At(kRowKeep5, kColX) = 270; // alpha 0.75
    o.At(kRowKeep5, kColY) = 1;   // casts a shadow
    o.Faces[0].BrushColor = RGB(0, 255, 0);
    return o;
}

TEST(Text3DObject, ScaleColourAndShadowSwitch)
{
    ObjectParams o = TextObject();
    RecordingSink sink;
    DrawObject(sink, o, false, 3);
    ASSERT_EQ(sink.texts.size(), 1u);
    const auto& t = sink.texts[0];
    EXPECT_EQ(t.text, "Hi");
    EXPECT_EQ(t.faceName, "Arial");
    EXPECT_FLOAT_EQ(t.matrix[0], 90.0f / 180 * 2);
    EXPECT_FLOAT_EQ(t.matrix[5], 1.0f * 2);
    EXPECT_FLOAT_EQ(t.matrix[10], 36.0f / 18 * 2);
    EXPECT_EQ(t.color, (Rgba{0, 1, 0, 0.75f}));
    EXPECT_TRUE(t.blend);
    EXPECT_FALSE(sink.enabled.count(GL_BLEND)) << "blending left on";
    EXPECT_FLOAT_EQ(sink.specular[0], 0.1f);
    EXPECT_EQ(sink.unbalanced, 0);

    RecordingSink shadow;
    DrawObject(shadow, o, true, 3);
    EXPECT_EQ(shadow.texts.size(), 1u);
    o.At(kRowKeep5, kColY) = 0;
    RecordingSink none;
    DrawObject(none, o, true, 3);
    EXPECT_TRUE(none.texts.empty()) << "text with its shadow off cast one";
}

TEST(ModelObject, ScaleAndFacesWithoutMaterial)
{
    C3DS model;
    ASSERT_TRUE(model.Load(test::k3dsModels + "fels.3ds"));
    ObjectParams o;
    o.ObjectKind = kModel3DS;
    o.Model = &model;
    o.At(kRowSize, kColX) = 360;
    o.At(kRowSize, kColD) = 90;
    o.KindTrackbars[4] = 180; // "Alpha"
    o.Faces[0].Tag = 5;
    RecordingSink sink;
    DrawObject(sink, o, false, 3);
    ASSERT_EQ(sink.models.size(), 1u);
    const auto& m = sink.models[0];
    EXPECT_EQ(m.model, &model.Model());
    EXPECT_FLOAT_EQ(m.sx, 1.0f);
    EXPECT_FLOAT_EQ(m.sy, 0.5f);
    EXPECT_EQ(m.noMaterialColor, (Rgba{1, 1, 1, 0.5f}));
    EXPECT_EQ(m.noMaterialTexture, 5u);

    o.Model = nullptr; // a page whose model failed to load draws nothing
    RecordingSink empty;
    DrawObject(empty, o, false, 3);
    EXPECT_TRUE(empty.models.empty());
}

class ModelFrame : public testing::Test {
protected:
    static constexpr int kSize = 80;
    void SetUp() override
    {
        ctx_ = GLContext::Create();
        ctx_->Bind(kSize, kSize, true);
        scene_.TBCameraX = 0;
        scene_.TBCameraY = 100;
        scene_.TBCameraZ = 450;
        scene_.DrawAxis = false;
        scene_.DrawLight = false;
        scene_.ImageFloor.BrushColor = RGB(0, 0, 0);
        scene_.ImageBackground.BrushColor = RGB(0, 0, 0);
    }
    std::vector<uint8_t> Render()
    {
        SetSceneProjection(kSize, kSize, scene_.TBCameraLookAtA);
        RenderFrame(scene_, state_, -1, 0);
        ctx_->Finish();
        return {ctx_->Pixels(), ctx_->Pixels() + kSize * kSize * 4};
    }
    // Pixels brighter than the black floor in the middle third of the frame.
    static int LitPixels(const std::vector<uint8_t>& px)
    {
        int n = 0;
        for (int y = kSize / 3; y < kSize * 2 / 3; ++y)
            for (int x = kSize / 3; x < kSize * 2 / 3; ++x) {
                const uint8_t* p = &px[size_t(y * kSize + x) * 4];
                n += p[0] + p[1] + p[2] > 90;
            }
        return n;
    }
    std::unique_ptr<GLContext> ctx_;
    SceneParams scene_;
    FrameState state_;
};

TEST_F(ModelFrame, RealModelAndTextShow)
{
    C3DS model;
    ASSERT_TRUE(model.Load(test::k3dsModels + "fels.3ds"));
    model.Unitize();
    ObjectParams m;
    m.ObjectKind = kModel3DS;
    m.Model = &model;
    m.At(kRowSize, kColD) = 90;
    scene_.Objects[0] = m;
    EXPECT_GT(LitPixels(Render()), 50);

    scene_.Objects[0] = TextObject();
    scene_.Objects[0]->At(kRowPosition, kColX) = 150;
    EXPECT_GT(LitPixels(Render()), 20);
}

// A textured material shows its picture even when the object drawn before
// the model (here the floor, in a plain colour) left texturing off.
TEST_F(ModelFrame, TexturedMaterialShowsItsPictureInAFreshContext)
{
    C3DS model;
    auto& mesh = model.Model().objects.emplace_back();
    mesh.verts = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    mesh.texcoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    mesh.faces = {{0, 1, 2, 0, {0, 0, 1}}, {0, 2, 3, 0, {0, 0, 1}}};
    auto& mat = model.Model().materials.emplace_back();
    mat.mapFile = "green";
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    const uint8_t green[2 * 2 * 4] = {0, 200, 0, 255, 0, 200, 0, 255, 0, 200, 0, 255, 0, 200, 0, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    mat.textureId = int32_t(tex);

    ObjectParams m;
    m.ObjectKind = kModel3DS;
    m.Model = &model;
    m.At(kRowSize, kColD) = 180;
    scene_.Objects[0] = m;
    scene_.AmbientStrength = 100;
    auto px = Render();
    const uint8_t* p = &px[size_t((kSize / 2) * kSize + kSize / 2) * 4];
    // B, G, R: lit green, with no red or blue from an untextured white face.
    EXPECT_LT(p[2], 40) << int(p[2]) << "," << int(p[1]) << "," << int(p[0]);
    EXPECT_LT(p[0], 40);
    EXPECT_GT(p[1], 100);

    // A material whose picture could not be loaded shows its own colour.
    mat.textureId = 0;
    mat.color = {200, 0, 0};
    px = Render();
    p = &px[size_t((kSize / 2) * kSize + kSize / 2) * 4];
    EXPECT_GT(p[2], 100);
    EXPECT_LT(p[1], 40);
    glDeleteTextures(1, &tex);
}

// Two quads, each its own mesh, of one textured material: a blue one
// behind, drawn first, and a red one in front, each taking its colour from
// its half of the texture. The material is opaque.
struct TwoLayerModel {
    C3DS model;
    GLuint texture = 0;
    TwoLayerModel()
    {
        for (int k = 0; k < 2; ++k) {
            auto& mesh = model.Model().objects.emplace_back();
            const float z = k ? 0.5f : -0.5f, u = k ? 0.75f : 0.25f;
            mesh.verts = {{-1, -1, z}, {1, -1, z}, {1, 1, z}, {-1, 1, z}};
            mesh.texcoords = {{u, 0.5f}, {u, 0.5f}, {u, 0.5f}, {u, 0.5f}};
            mesh.faces = {{0, 1, 2, 0, {0, 0, 1}}, {0, 2, 3, 0, {0, 0, 1}}};
        }
        auto& mat = model.Model().materials.emplace_back();
        mat.mapFile = "layers";
        mat.alpha = 255;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        const uint8_t texels[2 * 3] = {0, 0, 255, 255, 0, 0};
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        mat.textureId = int32_t(texture);
    }
    ~TwoLayerModel() { glDeleteTextures(1, &texture); }
};

// Whatever pass came before the objects, a textured opaque model hides what
// lies behind it and shows its picture's colour.
TEST_F(ModelFrame, TexturedModelIsOpaqueWhateverWasDrawnBefore)
{
    TwoLayerModel layers;
    ObjectParams m;
    m.ObjectKind = kModel3DS;
    m.Model = &layers.model;
    m.At(kRowPosition, kColY) = 200;
    m.At(kRowSize, kColD) = 180;
    scene_.Objects[0] = m;
    scene_.AmbientStrength = 100;
    scene_.Publishing = true;
    // The context starts as the window's does: lit, colour tracking on and
    // fed the object pass's colour. A white floor ends on the colour a
    // textured material binds, (1, 1, 1, 1).
    glColor4f(1, 1, 1, 0.5f);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    scene_.ImageFloor.BrushColor = clWhite;
    struct Case {
        const char* name;
        bool shadow, light, axis;
    };
    for (Case c : {Case{"nothing else", false, false, false}, Case{"shadow", true, false, false},
                   Case{"light marker", false, true, false}, Case{"axis", false, false, true},
                   Case{"all", true, true, true}}) {
        scene_.CBShadowVisible = c.shadow;
        scene_.DrawLight = c.light;
        scene_.DrawAxis = c.axis;
        auto px = Render();
        const uint8_t* p = &px[size_t((kSize / 2) * kSize + kSize / 2) * 4];
        EXPECT_GT(p[2], 200) << c.name << ": " << int(p[2]) << "," << int(p[1]) << "," << int(p[0]);
        EXPECT_LT(p[0], 20) << c.name << ": the blue layer behind shows through";
        EXPECT_LT(p[1], 20) << c.name;
    }
}

// A mesh without texture coordinates gets generated ones in the same mode
// whether or not 3D text was drawn before it.
TEST_F(ModelFrame, GeneratedTextureOfAModelDoesNotDependOnText)
{
    C3DS model;
    auto& mesh = model.Model().objects.emplace_back();
    mesh.verts = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    mesh.faces = {{0, 1, 2, 0, {0, 0, 1}}, {0, 2, 3, 0, {0, 0, 1}}};
    auto& mat = model.Model().materials.emplace_back();
    mat.mapFile = "stripes";
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    const uint8_t stripes[4 * 4 * 3] = {255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0,
                                        255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0,
                                        255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0,
                                        255, 255, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, stripes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    mat.textureId = int32_t(tex);

    ObjectParams m;
    m.ObjectKind = kModel3DS;
    m.Model = &model;
    m.At(kRowPosition, kColY) = 180;
    scene_.Objects[1] = m;
    auto alone = Render();
    ObjectParams text = TextObject();
    text.At(kRowPosition, kColX) = 0; // far to the left, off the model
    text.At(kRowPosition, kColZ) = 0;
    scene_.Objects[0] = text;
    Render();
    scene_.Objects[0].reset();
    EXPECT_EQ(Render(), alone);
    glDeleteTextures(1, &tex);
}

} // namespace
} // namespace pc::scene
