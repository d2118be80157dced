// Box-like kinds show their covers in one colour from every distance and
// angle the camera track bars reach: the inner copy of a book cover never
// shows through the 24-bit depth buffer.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <sstream>
#include <string>

#include "platform/gl_context.h"
#include "scene/geometry/draw_object.h"
#include "scene/geometry/primitive_sink.h"
#include "scene/geometry/vector_math.h"
#include "scene/render/render_frame.h"

namespace pc::scene {
namespace {

constexpr int kSize = 200;

struct Camera {
    int x, y, z, viewAngle;
};

struct CoverFace {
    const char* name;
    Vec3 normal;
};

bool Red(const uint8_t* bgra) { return bgra[2] > 60 && bgra[1] < bgra[2] / 2 && bgra[0] < bgra[2] / 2; }

class CoverDepth : public testing::TestWithParam<ObjectKind> {};

// Every point of a 9 x 9 grid inside each cover that faces the camera is
// drawn in the cover's red.
TEST_P(CoverDepth, CoverShowsOneColourAtEveryDistance)
{
    auto ctx = GLContext::Create();
    ctx->Bind(kSize, kSize, true);
    SceneParams s;
    s.DrawAxis = false;
    s.DrawLight = false;
    s.AmbientStrength = 100;
    s.ImageFloor.BrushColor = RGB(0, 160, 0);
    s.ImageBackground.BrushColor = RGB(0, 0, 160);
    ObjectParams book;
    book.ObjectKind = GetParam();
    book.At(kRowSize, kColZ) = GetParam() == kNoteBook ? 20 : 36;
    book.At(kRowSize, kColD) = 20; // the note book's wire
    for (auto& f : book.Faces)
        f.BrushColor = RGB(220, 0, 0);
    s.Objects[0] = book;
    const Vec3 e{HalfExtent(book.At(kRowSize, kColX)), HalfExtent(book.At(kRowSize, kColY)),
                 HalfExtent(book.At(kRowSize, kColZ))};
    const CoverFace covers[] = {{"front", {0, 0, 1}}, {"back", {0, 0, -1}}, {"spine", {-1, 0, 0}}};
    // From 2 to the far corner of the track bars, all around, low and high;
    // far cameras look through a narrow angle so the book fills the frame.
    const Camera cameras[] = {{0, 150, 200, 37},      {0, 150, 800, 20},     {0, 300, 1600, 8},
                              {1600, 400, 1600, 6},   {-1600, 1600, 1600, 5}, {0, 10, -1600, 8},
                              {-1600, 100, 0, 8},     {-900, 1600, -900, 6}};
    FrameState state;
    for (const Camera& c : cameras) {
        s.TBCameraX = c.x;
        s.TBCameraY = c.y;
        s.TBCameraZ = c.z;
        s.TBCameraLookAtA = c.viewAngle;
        SetSceneProjection(kSize, kSize, s.TBCameraLookAtA);
        RenderFrame(s, state, -1, 0);
        ctx->Finish();

        GLdouble model[16], proj[16];
        GLint viewport[4];
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(0, -0.6f, 0); // the floor's drop below the world origin
        GlSink sink;
        ApplyObjectTransform(sink, book);
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, viewport);

        int checked = 0;
        std::ostringstream wrong;
        for (const CoverFace& f : covers) {
            if (GetParam() == kNoteBook && f.normal.x != 0)
                continue; // the wire winds round the spine
            // Faces turned away from the eye are not seen.
            const double px = f.normal.x * e.x, pz = f.normal.z * e.z;
            const double eye[3] = {model[0] * px + model[8] * pz + model[12], model[1] * px + model[9] * pz + model[13],
                                   model[2] * px + model[10] * pz + model[14]};
            const double n[3] = {model[0] * f.normal.x + model[8] * f.normal.z,
                                 model[1] * f.normal.x + model[9] * f.normal.z,
                                 model[2] * f.normal.x + model[10] * f.normal.z};
            if (eye[0] * n[0] + eye[1] * n[1] + eye[2] * n[2] > -1e-3)
                continue;
            const double step = GetParam() == kRoundBox ? 0.15 : 0.2; // clear of rounded corners
            for (int i = -4; i <= 4; ++i)
                for (int j = -4; j <= 4; ++j) {
                    const double u = i * step, v = j * step;
                    const double x = f.normal.x != 0 ? px : u * e.x;
                    const double z = f.normal.z != 0 ? pz : u * e.z;
                    const double y = v * e.y;
                    GLdouble wx, wy, wz;
                    gluProject(x, y, z, model, proj, viewport, &wx, &wy, &wz);
                    const int ix = int(std::lround(wx)), iy = int(std::lround(wy));
                    if (ix < 0 || iy < 0 || ix >= kSize || iy >= kSize)
                        continue;
                    ++checked;
                    const uint8_t* p = ctx->Pixels() + (size_t(kSize - 1 - iy) * kSize + size_t(ix)) * 4;
                    if (!Red(p))
                        wrong << f.name << " (" << ix << "," << iy << ")=" << int(p[2]) << "," << int(p[1]) << ","
                              << int(p[0]) << " ";
                }
        }
        const bool spineOnly = c.z == 0; // which the note book's wire hides
        if (!(spineOnly && GetParam() == kNoteBook))
            EXPECT_GT(checked, 60) << "camera " << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(wrong.str(), "") << "camera " << c.x << "," << c.y << "," << c.z;
    }
}

std::string KindName(const testing::TestParamInfo<ObjectKind>& info)
{
    static const char* const names[] = {"Box", "Book", "CD", "NoteBook", "ThickBook", "RoundBox"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Kinds, CoverDepth, testing::Values(kBook, kNoteBook, kBox, kThickBook, kRoundBox), KindName);

} // namespace
} // namespace pc::scene
