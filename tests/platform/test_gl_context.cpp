#include <gtest/gtest.h>

#include <GL/gl.h>

#include "platform/gl_context.h"

namespace {

TEST(GLContext, GivesStencilDepthAndAccumulation)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(8, 8, true);
    auto bits = ctx->QueryBits();
    EXPECT_GE(bits.depth, 24);
    EXPECT_GE(bits.stencil, 8);
    EXPECT_GE(bits.accum, 16);
    EXPECT_NO_THROW(pc::CheckGLWorks());
}

// Top-down buffers have the top row first; bottom-up ones (DIB layout) last.
TEST(GLContext, RowOrderFollowsBind)
{
    for (bool topDown : {true, false}) {
        auto ctx = pc::GLContext::Create();
        ctx->Bind(4, 4, topDown);
        glViewport(0, 0, 4, 4);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 3, 4, 1); // the top row in GL's window coordinates
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ctx->Finish();
        const uint8_t* first = ctx->Pixels();
        EXPECT_EQ(first[2], topDown ? 255 : 0) << "topDown=" << topDown;
    }
}

// Two jittered passes averaged through the accumulation buffer, a clip plane and a stencil test.
TEST(GLContext, AccumulationClipPlaneAndStencil)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(8, 8, true);
    glViewport(0, 0, 8, 8);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 8, 0, 8, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glClearAccum(0, 0, 0, 0);
    glClear(GL_ACCUM_BUFFER_BIT);
    for (int pass = 0; pass < 2; ++pass) {
        glClearColor(pass ? 1.f : 0.f, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glAccum(GL_ACCUM, 0.5f);
    }
    glAccum(GL_RETURN, 1.0f);
    ctx->Finish();
    EXPECT_NEAR(ctx->Pixels()[2], 128, 2);

    glClearColor(0, 0, 0, 1);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    glColorMask(0, 0, 0, 0);
    glRectf(0, 0, 4, 8); // mask: the left half
    glColorMask(1, 1, 1, 1);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    GLdouble plane[4] = {0, 1, 0, -4}; // keep y >= 4
    glClipPlane(GL_CLIP_PLANE0, plane);
    glEnable(GL_CLIP_PLANE0);
    glColor3f(0, 1, 0);
    glRectf(0, 0, 8, 8);
    glDisable(GL_CLIP_PLANE0);
    glDisable(GL_STENCIL_TEST);
    ctx->Finish();
    auto green = [&](int x, int yFromTop) { return ctx->Pixels()[(yFromTop * 8 + x) * 4 + 1]; };
    EXPECT_EQ(green(1, 1), 255); // left, upper: inside mask and plane
    EXPECT_EQ(green(6, 1), 0);   // right: outside the mask
    EXPECT_EQ(green(1, 6), 0);   // lower: clipped
}

// A frame finished in one colour buffer stays there while the other is drawn
// into; depth is shared between the two.
TEST(GLContext, SecondColourBufferKeepsTheFirstFrame)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(4, 4, false);
    auto clear = [&](float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        ctx->Finish();
    };
    clear(1, 0, 0);
    const uint8_t* red = ctx->Pixels();
    ctx->SelectBuffer(1);
    EXPECT_EQ(ctx->SelectedBuffer(), 1);
    clear(0, 1, 0);
    const uint8_t* green = ctx->Pixels();
    ASSERT_NE(red, green);
    ctx->SelectBuffer(0);
    EXPECT_EQ(ctx->Pixels(), red);
    EXPECT_EQ(red[15 * 4 + 2], 255);
    EXPECT_EQ(red[15 * 4 + 1], 0);
    EXPECT_EQ(green[15 * 4 + 1], 255);
    EXPECT_EQ(green[15 * 4 + 2], 0);
    clear(0, 0, 1);
    EXPECT_EQ(red[0], 255) << "buffer 0 drawn again";
    EXPECT_EQ(green[1], 255) << "buffer 1 untouched";

    // A near square's depth, written with buffer 0 current, hides a far one drawn into buffer 1.
    glViewport(0, 0, 4, 4);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 4, 0, 4, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glClearDepth(1.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, 0.5f); // z 0.5 is nearer than -0.5 in window depth
    glVertex3f(2, 0, 0.5f);
    glVertex3f(2, 4, 0.5f);
    glVertex3f(0, 4, 0.5f);
    glEnd();
    ctx->SelectBuffer(1);
    clear(0, 0, 0);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glVertex3f(0, 0, -0.5f);
    glVertex3f(4, 0, -0.5f);
    glVertex3f(4, 4, -0.5f);
    glVertex3f(0, 4, -0.5f);
    glEnd();
    ctx->Finish();
    EXPECT_EQ(green[0], 0) << "hidden behind the square drawn into buffer 0";
    EXPECT_EQ(green[3 * 4], 255) << "beside it";
    glDisable(GL_DEPTH_TEST);

    ctx->Bind(2, 2, false);
    EXPECT_EQ(ctx->SelectedBuffer(), 0) << "a new size starts again on buffer 0";
}

} // namespace
