// Every face picture of every kind reads the right way round from outside
// its face: a picture with four coloured quarters, looked at straight on,
// shows each quarter where it is in the picture.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "platform/bitmap.h"
#include "platform/gl_context.h"
#include "scene/geometry/draw_object.h"
#include "scene/geometry/geometry_book.h"
#include "scene/geometry/vector_math.h"
#include "scene/pictures/texture_loader.h"

namespace pc::scene {
namespace {

constexpr int kSize = 64;

// Quarters of the picture as the viewer sees them: top left, top right,
// bottom left, bottom right.
const TColor kQuarters[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

Bitmap QuarterPicture()
{
    const int w = 37, h = 23; // odd sizes: GLU rescales them
    Bitmap b(w, h, PixelFormat::pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const TColor c = kQuarters[(y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1)];
            uint8_t* p = b.ScanLine(y) + 3 * x;
            p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
        }
    return b;
}

struct View {
    Face face;
    Vec3 normal, up; // outward normal, the viewer's up
};

// Seen from below, the top of the picture lies towards the front.
const View kViews[] = {
    {kFront, {0, 0, 1}, {0, 1, 0}}, {kBack, {0, 0, -1}, {0, 1, 0}}, {kTop, {0, 1, 0}, {0, 0, -1}},
    {kBottom, {0, -1, 0}, {0, 0, 1}}, {kRight, {1, 0, 0}, {0, 1, 0}}, {kLeft, {-1, 0, 0}, {0, 1, 0}},
};

struct KindCase {
    const char* name;
    int kind;
    std::vector<Face> faces; // those that carry a picture
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }

ObjectParams Object(int kind)
{
    ObjectParams o;
    o.ObjectKind = kind;
    o.At(kRowSize, kColX) = 200;
    o.At(kRowSize, kColY) = 160;
    o.At(kRowSize, kColZ) = 140;
    o.At(kRowSize, kColD) = 0; // the note book's wire: a thin line along the spine
    if (kind == kCD) {
        o.At(kRowSize, kColY) = 40; // hole radius 0.11, disc radius 0.56; the picture unshifted
        return o;
    }
    o.At(kRowKeep4, kColX) = 0;   // page inset none; no outer round box
    o.At(kRowKeep4, kColZ) = 360; // a flat spine arc
    o.At(kRowKeep4, kColD) = 18;  // small round corner
    return o;
}

class FaceOrientation : public testing::TestWithParam<KindCase> {
protected:
    void SetUp() override
    {
        ctx_ = GLContext::Create();
        ctx_->Bind(kSize, kSize, true);
        Bitmap picture = QuarterPicture();
        CreateTextureFromBitmap(picture, texture_);
    }
    void TearDown() override { glDeleteTextures(1, &texture_); }

    // Renders obj seen straight on from outside view.face (orthographic, so
    // probes need not lie on the surface) and returns the quarter whose colour
    // is nearest to each probe: top left, top right, bottom left, bottom right.
    std::array<int, 4> SeenQuarters(const ObjectParams& obj, const View& view)
    {
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-0.8, 0.8, -0.8, 0.8, 0.1, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(3 * view.normal.x, 3 * view.normal.y, 3 * view.normal.z, 0, 0, 0, view.up.x, view.up.y, view.up.z);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        GlSink sink;
        DrawObject(sink, obj, false, SpiralWireWidth(kSize, 1));
        ctx_->Finish();

        const Vec3 right = Vec3Cross(view.up, view.normal);
        GLdouble model[16], proj[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, viewport);
        std::array<int, 4> seen{};
        const float d = 0.2f; // a quarter of the smallest face side, off its centre
        for (int q = 0; q < 4; ++q) {
            const float u = q < 2 ? d : -d, r = q % 2 ? d : -d;
            GLdouble wx, wy, wz;
            gluProject(r * right.x + u * view.up.x, r * right.y + u * view.up.y, r * right.z + u * view.up.z, model,
                       proj, viewport, &wx, &wy, &wz);
            const int x = int(std::lround(wx)), y = int(std::lround(wy));
            const uint8_t* p = ctx_->Pixels() + (size_t(kSize - 1 - y) * kSize + size_t(x)) * 4;
            int best = -1, bestDistance = 0;
            for (int k = 0; k < 4; ++k) {
                const int dr = p[2] - GetRValue(kQuarters[k]), dg = p[1] - GetGValue(kQuarters[k]),
                          db = p[0] - GetBValue(kQuarters[k]);
                const int distance = dr * dr + dg * dg + db * db;
                if (best < 0 || distance < bestDistance)
                    best = k, bestDistance = distance;
            }
            EXPECT_LT(bestDistance, 3 * 60 * 60) << "probe " << q << " is not on the picture";
            seen[size_t(q)] = best;
        }
        return seen;
    }

    std::unique_ptr<GLContext> ctx_;
    TextureId texture_ = 0;
};

TEST_P(FaceOrientation, EveryPictureReadsTheRightWayRound)
{
    for (Face face : GetParam().faces) {
        ObjectParams obj = Object(GetParam().kind);
        for (auto& f : obj.Faces)
            f.BrushColor = RGB(0, 0, 0);
        obj.Faces[face].Tag = texture_;
        const View& view = kViews[face];
        EXPECT_EQ(SeenQuarters(obj, view), (std::array<int, 4>{0, 1, 2, 3})) << "face " << face;
    }
}

const std::vector<Face> kAllFaces = {kFront, kBack, kTop, kBottom, kRight, kLeft};

INSTANTIATE_TEST_SUITE_P(Kinds, FaceOrientation,
                         testing::Values(KindCase{"Box", kBox, kAllFaces}, KindCase{"Book", kBook, kAllFaces},
                                         KindCase{"NoteBook", kNoteBook, kAllFaces},
                                         KindCase{"CD", kCD, {kFront, kBack}},
                                         KindCase{"ThickBook", kThickBook, kAllFaces},
                                         KindCase{"RoundBox", kRoundBox, kAllFaces}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pc::scene
