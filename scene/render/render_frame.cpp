#include "scene/render/render_frame.h"

#include <GL/glu.h>
#include <optional>

#include "scene/geometry/vector_math.h"
#include "scene/render/jitter.h"

namespace pc::scene {
namespace {

// Jitter is given in pixels of the viewport: the projection is moved by that
// much in normalised device coordinates, so every pass stays within one
// pixel whatever the aspect and the depth. Restores the projection when done.
class JitteredProjection {
public:
    explicit JitteredProjection(const JitterPoint& p)
    {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        const float w = viewport[2] > 0 ? float(viewport[2]) : 1.0f;
        const float h = viewport[3] > 0 ? float(viewport[3]) : 1.0f;
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(2.0f * p.x / w, 2.0f * p.y / h, 0);
        glMultMatrixf(projection);
        glMatrixMode(GL_MODELVIEW);
    }
    ~JitteredProjection()
    {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    JitteredProjection(const JitteredProjection&) = delete;
    JitteredProjection& operator=(const JitteredProjection&) = delete;
};

// +y, unless the camera looks straight up or down, where +y would leave the
// view undefined: then the up a camera just in front (+z) of this one has,
// so the view turns smoothly into this one.
Vec3 CameraUp(const Vec3& eye, const Vec3& centre)
{
    if (eye.x != centre.x || eye.z != centre.z)
        return {0, 1, 0};
    return {0, 0, eye.y >= centre.y ? -1.0f : 1.0f};
}

} // namespace

void RenderFrame(const SceneParams& scene, FrameState& state, int passIndex, int passCount)
{
    // The floor colour must be the clear colour of this very frame, or a
    // publish starts with the previous frame's colour (and alpha).
    if (scene.ImageFloor.Tag == 0) {
        state.FloorColor = scene.ImageFloor.BrushColor;
        glClearColor(ColorFraction(GetRValue(state.FloorColor)), ColorFraction(GetGValue(state.FloorColor)),
                     ColorFraction(GetBValue(state.FloorColor)), 0);
    }
    glClearDepth(1.0);
    glClearStencil(0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    const Vec3 eye{SceneValue(scene.TBCameraX), SceneValue(scene.TBCameraY), SceneValue(scene.TBCameraZ)};
    const Vec3 centre{SceneValue(scene.TBCameraLookAtX), SceneValue(scene.TBCameraLookAtY),
                      SceneValue(scene.TBCameraLookAtZ)};
    const Vec3 up = CameraUp(eye, centre);
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);

    if (scene.ACCUM1) {
        const auto table = JitterTable(4);
        glClearAccum(0, 0, 0, 0);
        glClear(GL_ACCUM_BUFFER_BIT);
        for (const JitterPoint& p : table) {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glPushMatrix();
            {
                JitteredProjection jittered(p);
                DrawScene(scene, state);
            }
            glPopMatrix();
            glAccum(GL_ACCUM, 1.0f / float(table.size()));
        }
        glAccum(GL_RETURN, 1.0f);
        return;
    }
    std::optional<JitteredProjection> jittered;
    if (auto shift = JitterShift(passIndex, passCount))
        jittered.emplace(*shift);
    DrawScene(scene, state);
}

void SetSceneProjection(int width, int height, int viewAngle)
{
    if (height == 0)
        height = 1;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(viewAngle, double(width) / double(height), 0.01, 60);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace pc::scene
