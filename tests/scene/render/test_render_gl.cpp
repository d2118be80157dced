// Whole frames on OSMesa at small sizes, probed at gluProject positions.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/gl_context.h"
#include "scene/geometry/draw_object.h"
#include "scene/render/render_demo_scene.h"
#include "scene/render/jitter.h"
#include "scene/render/render_frame.h"
#include "scene/geometry/vector_math.h"

#include <algorithm>

namespace pc::scene {
namespace {

constexpr int kSize = 96;

struct Pixel {
    int r, g, b, a;
};

class Frame {
public:
    Frame() : ctx_(GLContext::Create())
    {
        ctx_->Bind(kSize, kSize, true);
    }

    void Render(const SceneParams& scene, int passIndex = -1, int passCount = 0)
    {
        SetSceneProjection(kSize, kSize, scene.TBCameraLookAtA);
        RenderFrame(scene, state_, passIndex, passCount);
        ctx_->Finish();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    std::vector<uint8_t> Bytes() const
    {
        return {ctx_->Pixels(), ctx_->Pixels() + size_t(kSize) * kSize * 4};
    }

    // Window position of a point given in an object's coordinates (or in
    // floor coordinates with obj null), using the frame's camera.
    bool Project(const ObjectParams* obj, Vec3 p, int& x, int& y) const
    {
        GLdouble model[16], proj[16];
        GLint viewport[4];
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glTranslatef(0, -0.6f, 0);
        if (obj) {
            GlSink sink;
            ApplyObjectTransform(sink, *obj);
        }
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, viewport);
        GLdouble wx, wy, wz;
        if (!gluProject(p.x, p.y, p.z, model, proj, viewport, &wx, &wy, &wz))
            return false;
        x = int(std::lround(wx));
        y = int(std::lround(wy));
        return x >= 0 && y >= 0 && x < kSize && y < kSize;
    }

    // Pixel at GL window coordinates (origin bottom left).
    Pixel At(int x, int y) const
    {
        const uint8_t* p = ctx_->Pixels() + (size_t(kSize - 1 - y) * kSize + size_t(x)) * 4;
        return {p[2], p[1], p[0], p[3]};
    }

    Pixel AtPoint(const ObjectParams* obj, Vec3 p) const
    {
        int x = 0, y = 0;
        EXPECT_TRUE(Project(obj, p, x, y)) << "probe off screen";
        return At(std::clamp(x, 0, kSize - 1), std::clamp(y, 0, kSize - 1));
    }

    FrameState& State() { return state_; }

private:
    std::unique_ptr<GLContext> ctx_;
    FrameState state_;
};

// A box with a red front face and blue other faces in front of the camera.
SceneParams BoxScene()
{
    SceneParams s;
    s.TBCameraX = 0;
    s.TBCameraY = 150;
    s.TBCameraZ = 400;
    s.TBLightX = 0;
    s.TBLightY = 500;
    s.TBLightZ = 300;
    s.AmbientStrength = 100;
    s.DrawAxis = false;
    s.DrawLight = false;
    s.ImageFloor.BrushColor = RGB(0, 200, 0);
    s.ImageBackground.BrushColor = RGB(200, 200, 200);
    ObjectParams box;
    for (auto& f : box.Faces)
        f.BrushColor = RGB(0, 0, 255);
    box.Faces[kFront].BrushColor = RGB(255, 0, 0);
    s.Objects[0] = box;
    return s;
}

bool Reddish(Pixel p) { return p.r > 120 && p.r > 2 * p.g && p.r > 2 * p.b; }

TEST(RenderFrame, RedFaceShowsWhereTheFrontFaceIs)
{
    Frame f;
    SceneParams s = BoxScene();
    f.Render(s);
    const ObjectParams& box = *s.Objects[0];
    const float e = HalfExtent(180);
    Pixel front = f.AtPoint(&box, {0, 0, e});
    EXPECT_TRUE(Reddish(front)) << front.r << "," << front.g << "," << front.b;
    Pixel top = f.AtPoint(&box, {0, e, 0});
    EXPECT_GT(top.b, 120) << "top face should be blue";
    EXPECT_LT(top.r, 60);
}

TEST(RenderFrame, SameFrameTwiceIsByteIdenticalWhateverCameBefore)
{
    Frame f;
    SceneParams s = BoxScene();
    s.CBShadowVisible = true;
    s.DrawAxis = true;
    s.DrawLight = true;
    f.Render(s);
    auto first = f.Bytes();
    f.Render(s);
    EXPECT_EQ(f.Bytes(), first);
    SceneParams other = s;
    other.CBSmooth = true;
    other.ACCUM1 = true;
    other.Objects[0]->ObjectKind = kRoundBox;
    other.ImageFloor.BrushColor = RGB(10, 10, 10);
    f.Render(other);
    EXPECT_NE(f.Bytes(), first);
    f.State() = FrameState{};
    f.Render(s);
    EXPECT_EQ(f.Bytes(), first) << "a frame depends on state the previous one left";
}

// The first frame already clears to its own floor colour, with alpha 0.
TEST(RenderFrame, ClearsToThisFramesFloorColour)
{
    Frame f;
    SceneParams s = BoxScene();
    s.TBCameraLookAtY = 800; // look up above the walls
    s.TBCameraY = 10;
    s.Objects[0].reset();
    s.ImageFloor.BrushColor = RGB(0, 0, 250);
    f.Render(s);
    Pixel sky = f.At(kSize / 2, kSize - 2);
    EXPECT_EQ(sky.r, 0);
    EXPECT_EQ(sky.g, 0);
    EXPECT_EQ(sky.b, 250);
    EXPECT_EQ(sky.a, 0);
    EXPECT_EQ(f.State().FloorColor, RGB(0, 0, 250));
}

TEST(RenderFrame, ShadowDarkensTheFloorOnlyWhenOn)
{
    SceneParams s = BoxScene();
    s.TBLightX = 300;
    s.TBLightY = 300;
    s.TBLightZ = 0;
    s.TBFloor_alpha = 0; // opaque floor: no reflection shows through
    s.TBShadowStrength = 80;
    s.TBShadowScale = 100;
    s.TBShadowDiffuse = 100;
    // The light comes from +x at 45 degrees: the box (x -0.5..0.5, y 0..1)
    // throws its shadow over x -1.5..0.5 on the floor.
    const Vec3 shadowPoint{-1.0f, 0, 0.3f};
    const Vec3 farFloor{0.9f, 0, 0.8f};

    Frame off;
    off.Render(s);
    s.CBShadowVisible = true;
    Frame on;
    on.Render(s);
    Pixel lit = off.AtPoint(nullptr, shadowPoint);
    Pixel dark = on.AtPoint(nullptr, shadowPoint);
    EXPECT_LT(dark.g + 40, lit.g) << "no shadow where the box's shadow falls";
    Pixel a = off.AtPoint(nullptr, farFloor), b = on.AtPoint(nullptr, farFloor);
    EXPECT_NEAR(a.g, b.g, 2) << "shadow spilled onto open floor";

    // A light on the floor's plane casts no shadow: the frame is the same as without one.
    s.TBLightY = 0;
    on.Render(s);
    auto withShadowOn = on.Bytes();
    s.CBShadowVisible = false;
    on.Render(s);
    EXPECT_EQ(on.Bytes(), withShadowOn);
}

TEST(RenderFrame, NothingOfAnObjectBelowTheFloor)
{
    SceneParams s = BoxScene();
    s.TBCameraY = 60;
    s.TBFloor_PMax = 0; // no floor: below the plane is open, clear colour
    s.CBDiffuse = false;
    s.Objects[0]->At(kRowPosition, kColY) = 135; // centre on the floor plane
    Frame f;
    f.Render(s);
    const ObjectParams& box = *s.Objects[0];
    const float e = HalfExtent(180);
    EXPECT_TRUE(Reddish(f.AtPoint(&box, {0, 0.6f * e, e})));
    Pixel below = f.AtPoint(&box, {0, -0.6f * e, e});
    EXPECT_FALSE(Reddish(below)) << "the part under the floor was drawn";
    EXPECT_EQ(below.g, 200); // the clear colour
}

// With the stencil set on the left half only, the reflection appears there
// and nowhere else.
TEST(ScenePasses, ReflectionStaysInsideTheStencilMask)
{
    SceneParams s = BoxScene();
    s.TBCameraY = 300;
    s.Objects[0]->At(kRowPosition, kColY) = 145;
    auto ctx = GLContext::Create();
    ctx->Bind(kSize, kSize, true);
    SetSceneProjection(kSize, kSize, s.TBCameraLookAtA);
    glClearColor(0, 0, 0, 0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, kSize / 2, kSize);
    glClearStencil(1);
    glClear(GL_STENCIL_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 3, 4, 0, 0, 0, 0, 1, 0);
    glTranslatef(0, -0.6f, 0);
    ReflectionPass(s);
    ctx->Finish();
    int left = 0, right = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const uint8_t* p = ctx->Pixels() + (size_t(y) * kSize + size_t(x)) * 4;
            if (p[0] | p[1] | p[2])
                ++(x < kSize / 2 ? left : right);
        }
    EXPECT_GT(left, 20);
    EXPECT_EQ(right, 0);
}

TEST(RenderFrame, JitterShiftsOnlyValidPasses)
{
    Frame f;
    SceneParams s = BoxScene();
    f.Render(s, -1, 0);
    auto plain = f.Bytes();
    f.Render(s, 4, 5); // past the 4-entry table: unshifted
    EXPECT_EQ(f.Bytes(), plain);
    f.Render(s, 7, 4);
    EXPECT_EQ(f.Bytes(), plain);
    f.Render(s, 0, 2);
    EXPECT_NE(f.Bytes(), plain);
}

// Each jittered pass moves the picture by its table entry in pixels along
// both axes, in a wide frame and in a tall one: it is the plain frame seen
// through GLU's pick matrix centred that far from the middle.
TEST(RenderFrame, JitterMovesEachPassByItsEntryInPixels)
{
    const JitterPoint j4[] = {{-0.208147f, 0.353730f}, {0.203849f, -0.353780f}, {-0.292626f, -0.149945f},
                              {0.296924f, 0.149994f}};
    const SceneParams s = BoxScene();
    for (const auto& size : {std::pair{64, 16}, std::pair{16, 64}}) {
        const int w = size.first, h = size.second;
        auto ctx = GLContext::Create();
        ctx->Bind(w, h, true);
        const auto frame = [&](int pass, const JitterPoint* picked) {
            SetSceneProjection(w, h, s.TBCameraLookAtA);
            if (picked) {
                GLint viewport[4] = {0, 0, w, h};
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluPickMatrix(w / 2.0 - picked->x, h / 2.0 - picked->y, w, h, viewport);
                gluPerspective(s.TBCameraLookAtA, double(w) / h, 0.01, 60);
                glMatrixMode(GL_MODELVIEW);
            }
            FrameState state;
            RenderFrame(s, state, pass, 4);
            ctx->Finish();
            return std::vector<uint8_t>(ctx->Pixels(), ctx->Pixels() + size_t(w) * size_t(h) * 4);
        };
        const auto differing = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
            int n = 0;
            for (size_t i = 0; i < a.size(); i += 4)
                n += std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 24;
            return n;
        };
        const auto plain = frame(-1, nullptr);
        for (int pass = 0; pass < 4; ++pass) {
            const auto jittered = frame(pass, nullptr);
            const auto picked = frame(-1, &j4[pass]);
            EXPECT_GT(differing(jittered, plain), 4) << w << "x" << h << " pass " << pass << " did not move";
            EXPECT_LE(differing(jittered, picked), 1) << w << "x" << h << " pass " << pass;
        }
    }
}

// The accumulated frame is the mean of the jittered passes, each drawn from
// a fresh projection: no pass builds on the shift of the one before.
TEST(RenderFrame, AccumulatedFrameIsTheMeanOfItsJitteredPasses)
{
    SceneParams s = BoxScene();
    const int w = 37, h = 23;
    auto ctx = GLContext::Create();
    ctx->Bind(w, h, true);
    std::vector<int> sum(size_t(w) * size_t(h) * 4);
    for (int pass = 0; pass < 4; ++pass) {
        SetSceneProjection(w, h, s.TBCameraLookAtA);
        FrameState state;
        RenderFrame(s, state, pass, 4);
        ctx->Finish();
        for (size_t i = 0; i < sum.size(); ++i)
            sum[i] += ctx->Pixels()[i];
    }
    s.ACCUM1 = true;
    SetSceneProjection(w, h, s.TBCameraLookAtA);
    FrameState state;
    RenderFrame(s, state, -1, 0);
    ctx->Finish();
    int differing = 0;
    for (size_t i = 0; i < sum.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            differing += std::abs(ctx->Pixels()[i + c] - sum[i + c] / 4.0) > 2.5;
    EXPECT_EQ(differing, 0);
}

// Every object of the sample scene shows at its centre, not the floor.
TEST(RenderFrame, DemoSceneShowsEveryKind)
{
    auto ctx = GLContext::Create();
    ctx->Bind(kSize * 3, kSize * 3, true);
    SceneParams s = BuildDemoScene();
    s.CBShadowVisible = false;
    const int n = kSize * 3;
    SetSceneProjection(n, n, s.TBCameraLookAtA);
    FrameState state;
    RenderFrame(s, state, -1, 0);
    ctx->Finish();
    auto floorAt = [&](const ObjectParams& o) {
        GLdouble model[16], proj[16];
        GLint vp[4];
        glPushMatrix();
        glTranslatef(0, -0.6f, 0);
        GlSink sink;
        ApplyObjectTransform(sink, o);
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glPopMatrix();
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, vp);
        GLdouble wx, wy, wz;
        // The CD has a hole in the middle: probe its ring instead.
        const double y = o.ObjectKind == kCD ? 0.25 : 0;
        gluProject(0, y, 0.02, model, proj, vp, &wx, &wy, &wz);
        const uint8_t* p = ctx->Pixels() + (size_t(n - 1 - int(wy)) * size_t(n) + size_t(wx)) * 4;
        return RGB(p[2], p[1], p[0]);
    };
    for (const auto& o : s.Objects) {
        if (!o)
            continue;
        TColor c = floorAt(*o);
        const int dr = GetRValue(c) - 200, dg = GetGValue(c) - 205, db = GetBValue(c) - 215;
        EXPECT_GT(std::abs(dr) + std::abs(dg) + std::abs(db), 30) << "kind " << o->ObjectKind << " not drawn";
    }
}

// A camera straight above (or below) the point it looks at shows the scene
// as a camera a hair in front of it does, not a blank frame.
TEST(RenderFrame, CameraStraightAboveOrBelowSeesTheScene)
{
    for (int height : {500, -300}) {
        SceneParams s = BoxScene();
        s.TBCameraY = height;
        s.TBCameraZ = 0;
        s.Objects[0]->Faces[kTop].BrushColor = RGB(255, 0, 0);
        s.Objects[0]->At(kRowPosition, kColX) = 230; // off centre, towards +x and +z
        s.Objects[0]->At(kRowPosition, kColZ) = 250;
        Frame straight;
        straight.Render(s);
        s.TBCameraZ = 1;
        Frame nearly; // current from here on
        nearly.Render(s);
        int differing = 0, distinct = 0;
        const Pixel corner = nearly.At(0, 0);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                const Pixel a = straight.At(x, y), b = nearly.At(x, y);
                differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 30;
                distinct += std::abs(b.r - corner.r) + std::abs(b.g - corner.g) + std::abs(b.b - corner.b) > 30;
            }
        EXPECT_GT(distinct, kSize * kSize / 50) << "the reference frame shows nothing but one colour";
        EXPECT_LT(differing, kSize * kSize / 50) << "camera height " << height;
    }
}

} // namespace
} // namespace pc::scene
