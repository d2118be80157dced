#include "scene/render/scene_passes.h"

#include <GL/glu.h>

#include <memory>

#include "scene/geometry/draw_object.h"
#include "scene/geometry/geometry_book.h"

namespace pc::scene {
namespace {

constexpr float kFloorDrop = 0.6f; // the floor lies this far below the world origin
constexpr float kWall = 25;

// glPushAttrib/glPopAttrib and the matrix around one pass. The current
// colour, normal and texture coordinate are left out: every pass sets its
// own, and Mesa restoring them after immediate-mode drawing leaves display
// lists called later (3D text glyphs) drawing black.
class PassGuard {
public:
    PassGuard()
    {
        glPushAttrib(GL_ALL_ATTRIB_BITS & ~GL_CURRENT_BIT);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
    }
    ~PassGuard()
    {
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glPopAttrib();
    }
    PassGuard(const PassGuard&) = delete;
    PassGuard& operator=(const PassGuard&) = delete;
};

void SetLight(const SceneParams& scene)
{
    auto light = LightPosition(scene);
    glLightfv(GL_LIGHT0, GL_POSITION, light.data());
}

void SetClipPlane(double y)
{
    const GLdouble plane[4] = {0, y, 0, 0};
    glClipPlane(GL_CLIP_PLANE0, plane);
    glEnable(GL_CLIP_PLANE0);
}

template <typename Fn>
void ForEachVisible(const SceneParams& scene, Fn fn)
{
    for (const auto& obj : scene.Objects)
        if (obj && obj->Visible)
            fn(*obj);
}

void SurfaceColor(PrimitiveSink& sink, const Surface& surface, float alpha)
{
    if (surface.Tag != 0) {
        sink.Color(1, 1, 1, alpha);
        sink.BindTexture(surface.Tag);
    } else {
        sink.Color(ColorFraction(GetRValue(surface.BrushColor)), ColorFraction(GetGValue(surface.BrushColor)),
                   ColorFraction(GetBValue(surface.BrushColor)), alpha);
        sink.BindTexture(0);
    }
}

void DrawWalls(PrimitiveSink& sink, const SceneParams& scene)
{
    SurfaceColor(sink, scene.ImageBackground, 1);
    const float h = SceneValue(scene.TBbth), v = SceneValue(scene.TBbtv);
    static constexpr struct {
        float n[3];
        float c[4][3]; // top-left, bottom-left, bottom-right, top-right
    } kWalls[4] = {
        {{0, 0, 1}, {{-kWall, kWall, -kWall}, {-kWall, 0, -kWall}, {kWall, 0, -kWall}, {kWall, kWall, -kWall}}},
        {{0, 0, -1}, {{kWall, kWall, kWall}, {kWall, 0, kWall}, {-kWall, 0, kWall}, {-kWall, kWall, kWall}}},
        {{-1, 0, 0}, {{kWall, kWall, -kWall}, {kWall, 0, -kWall}, {kWall, 0, kWall}, {kWall, kWall, kWall}}},
        {{1, 0, 0}, {{-kWall, kWall, kWall}, {-kWall, 0, kWall}, {-kWall, 0, -kWall}, {-kWall, kWall, -kWall}}},
    };
    const float tex[4][2] = {{-h, v}, {-h, -v}, {h, -v}, {h, v}};
    sink.Begin(GL_QUADS);
    for (const auto& wall : kWalls) {
        sink.Normal(wall.n[0], wall.n[1], wall.n[2]);
        for (int i = 0; i < 4; ++i) {
            sink.TexCoord(tex[i][0], tex[i][1]);
            sink.Vertex(wall.c[i][0], wall.c[i][1], wall.c[i][2]);
        }
    }
    sink.End();
}

} // namespace

std::array<float, 4> LightPosition(const SceneParams& scene)
{
    return {SceneValue(scene.TBLightX), SceneValue(scene.TBLightY), SceneValue(scene.TBLightZ), 0};
}

std::optional<Matrix4> SceneShadowMatrix(const SceneParams& scene)
{
    return ShadowMatrix(kFloorPlane, LightPosition(scene));
}

void DrawFloor(PrimitiveSink& sink, const SceneParams& scene, FrameState& state)
{
    const float outer = float(scene.TBFloor_PMax) * 0.2f;
    const float inner = scene.CBDiffuse ? float(scene.TBFloor_P) * 0.1f : 0.0f;
    state.FloorAlpha = float(100 - scene.TBFloor_alpha) * 0.01f;

    DrawWalls(sink, scene);

    const float h = SceneValue(scene.TBfsth), v = SceneValue(scene.TBfstv);
    const Surface& floor = scene.ImageFloor;
    const float r = floor.Tag ? 1 : ColorFraction(GetRValue(floor.BrushColor));
    const float g = floor.Tag ? 1 : ColorFraction(GetGValue(floor.BrushColor));
    const float b = floor.Tag ? 1 : ColorFraction(GetBValue(floor.BrushColor));
    auto vertex = [&](float x, float z, float alpha) {
        sink.Color(r, g, b, alpha);
        sink.TexCoord(x * h, -z * v);
        sink.Vertex(x, 0, z);
    };

    sink.BindTexture(floor.Tag);
    sink.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    sink.Enable(GL_BLEND);
    sink.Normal(0, 1, 0);

    // The fade: see-through at the centre, solid at the inner square's edge.
    const float corners[5][2] = {{-inner, -inner}, {inner, -inner}, {inner, inner}, {-inner, inner}, {-inner, -inner}};
    sink.Begin(GL_TRIANGLES);
    for (int i = 0; i < 4; ++i) {
        vertex(0, 0, state.FloorAlpha);
        vertex(corners[i][0], corners[i][1], 1);
        vertex(corners[i + 1][0], corners[i + 1][1], 1);
    }
    sink.End();

    // The rest of the floor around it, x0..x1 by z0..z1.
    const float ringAlpha = scene.CBDiffuse ? 1.0f : state.FloorAlpha;
    const float rings[4][4] = {{-outer, -inner, -outer, outer},
                               {-inner, inner, -outer, -inner},
                               {inner, outer, -outer, outer},
                               {-inner, inner, inner, outer}};
    sink.Begin(GL_QUADS);
    for (const auto& q : rings) {
        vertex(q[0], q[2], ringAlpha);
        vertex(q[0], q[3], ringAlpha);
        vertex(q[1], q[3], ringAlpha);
        vertex(q[1], q[2], ringAlpha);
    }
    sink.End();
}

void FloorMaskPass(const SceneParams& scene, FrameState& state)
{
    PassGuard guard;
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    GlSink sink;
    DrawFloor(sink, scene, state);
}

void ReflectionPass(const SceneParams& scene)
{
    PassGuard guard;
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    SetClipPlane(-1); // keep what lies under the floor
    SetLight(scene);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE); // text and models are scaled unevenly
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GlSink sink;
    ForEachVisible(scene, [&](const ObjectParams& obj) {
        glPushMatrix();
        glScalef(1, -1, 1);
        ApplyObjectTransform(sink, obj);
        glColor4f(1, 1, 1, 1);
        DrawObject(sink, obj, false, SpiralWireWidth(scene.PictureHeight, scene.PixelScale));
        glPopMatrix();
    });
}

void FloorPass(const SceneParams& scene, FrameState& state)
{
    PassGuard guard;
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_STENCIL_TEST);
    GlSink sink;
    DrawFloor(sink, scene, state);
}

int ShadowPassCount(const SceneParams& scene)
{
    int n = 6;
    if (scene.QuickView)
        n = 3;
    if (scene.LightPageActive)
        n = 15;
    if (scene.Publishing)
        n = 50;
    return n;
}

void ShadowPass(const SceneParams& scene, FrameState& state)
{
    const auto matrix = SceneShadowMatrix(scene);
    if (!scene.CBShadowVisible || !matrix)
        return;
    PassGuard guard;
    GlSink sink;

    // The floor once more, marking it 1 in the stencil.
    glDisable(GL_LIGHTING);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glDisable(GL_DEPTH_TEST);
    DrawFloor(sink, scene, state);

    // Each floor pixel takes the first (smallest, darkest) pass that covers
    // it: EQUAL 1 then INCR keeps later passes from darkening it again.
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);

    const int n = ShadowPassCount(scene);
    const float s = SceneValue(scene.TBShadowScale);
    const float d = SceneValue(scene.TBShadowDiffuse);
    const float a = SceneValue(scene.TBShadowStrength);
    for (int i = 0; i <= n; ++i) {
        const float f = float(i) / float(n);
        const float scale = f * (d - s) + s;
        const float alpha = (1 - f) * a;
        ForEachVisible(scene, [&](const ObjectParams& obj) {
            glPushMatrix();
            glMultMatrixf(matrix->data());
            ApplyObjectTransform(sink, obj);
            glScalef(scale, scale, scale);
            glColor4f(0, 0, 0, alpha);
            DrawObject(sink, obj, true, SpiralWireWidth(scene.PictureHeight, scene.PixelScale));
            glPopMatrix();
        });
    }
}

void LightMarkerPass(const SceneParams& scene)
{
    if (!scene.DrawLight)
        return;
    PassGuard guard;
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    auto light = LightPosition(scene);
    glTranslatef(light[0], light[1], light[2]);
    glColor3ub(255, 255, 0);
    std::unique_ptr<GLUquadric, void (*)(GLUquadric*)> quadric(gluNewQuadric(), gluDeleteQuadric);
    if (!quadric)
        return;
    gluQuadricNormals(quadric.get(), GLU_SMOOTH);
    gluSphere(quadric.get(), 0.3, 10, 10);
}

void ObjectPass(const SceneParams& scene)
{
    PassGuard guard;
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    SetClipPlane(1); // nothing below the floor
    SetLight(scene);
    glEnable(GL_LIGHTING);
    glEnable(GL_NORMALIZE); // text and models are scaled unevenly
    glDisable(GL_BLEND);
    GlSink sink;
    ForEachVisible(scene, [&](const ObjectParams& obj) {
        glColor4f(1, 1, 1, 0.5f);
        glShadeModel(GL_FLAT);
        glPushMatrix();
        ApplyObjectTransform(sink, obj);
        if (scene.CBSmooth) {
            // A slightly smaller solid copy under an anti-aliased full-size one.
            glPushMatrix();
            glScalef(0.99f, 0.99f, 0.99f);
            DrawObject(sink, obj, false, SpiralWireWidth(scene.PictureHeight, scene.PixelScale));
            glPopMatrix();
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glEnable(GL_BLEND);
            glEnable(GL_POLYGON_SMOOTH);
            DrawObject(sink, obj, false, SpiralWireWidth(scene.PictureHeight, scene.PixelScale));
            glDisable(GL_POLYGON_SMOOTH);
            glDisable(GL_BLEND);
        } else {
            DrawObject(sink, obj, false, SpiralWireWidth(scene.PictureHeight, scene.PixelScale));
        }
        glPopMatrix();
        glShadeModel(GL_SMOOTH);
    });
}

void AxisPass()
{
    PassGuard guard;
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(3);
    glBegin(GL_LINES);
    glColor4f(1, 0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(10, 0, 0);
    glColor4f(0, 1, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 10, 0);
    glColor4f(0, 0, 1, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 10);
    glEnd();
}

void DrawScene(const SceneParams& scene, FrameState& state)
{
    PassGuard guard;
    // What every pass starts from.
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_CULL_FACE);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const float ambient = SceneValue(scene.AmbientStrength);
    const GLfloat model[4] = {ambient, ambient, ambient, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, model);

    glTranslatef(0, -kFloorDrop, 0);
    FloorMaskPass(scene, state);
    ReflectionPass(scene);
    FloorPass(scene, state);
    ShadowPass(scene, state);
    LightMarkerPass(scene);
    ObjectPass(scene);
    if (scene.DrawAxis)
        AxisPass();
}

} // namespace pc::scene
