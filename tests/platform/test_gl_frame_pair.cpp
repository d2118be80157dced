#include <gtest/gtest.h>

#include <GL/gl.h>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/gl_context.h"
#include "platform/gl_frame_pair.h"

namespace {

constexpr int kW = 97, kH = 61; // odd sizes: no row or column lines up by chance

// Many small overlapping translucent triangles at sub-pixel positions, with
// depth: every pixel whose centre lies on an edge shows which triangle the
// rasteriser gave it, and blending shows it twice over if it gave it to both.
void DrawTriangles(int viewX, int viewY, int viewW, int viewH, void (*viewport)(int, int, int, int))
{
    viewport(viewX, viewY, viewW, viewH);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, viewW, 0, viewH, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.1f, 0.2f, 0.3f, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < 600; ++i) {
        const float cx = next() * float(viewW), cy = next() * float(viewH);
        glColor4f(next(), next(), next(), 0.5f);
        for (int v = 0; v < 3; ++v) {
            float x = cx + (next() - 0.5f) * 24, y = cy + (next() - 0.5f) * 24;
            if (i % 3 == 0) {
                // On pixel centres: edges through sample points.
                x = float(int(x)) + 0.5f;
                y = float(int(y)) + 0.5f;
                glVertex3f(x, y, next() * 2 - 1);
            } else {
                // Divided by w: positions that round on their way to the grid.
                const float w = 0.5f + next() * 3;
                glVertex4f(x * w, y * w, (next() * 2 - 1) * w, w);
            }
        }
    }
    glEnd();
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
}

void PlainViewport(int x, int y, int w, int h) { glViewport(x, y, w, h); }

pc::GLFramePair* current = nullptr;
void PairViewport(int x, int y, int w, int h) { current->Viewport(x, y, w, h); }

// Drawn into a window-like, top-down buffer of the context itself.
std::vector<uint8_t> OwnBuffer(int viewX, int viewY, int viewW, int viewH)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(kW, kH, true);
    DrawTriangles(viewX, viewY, viewW, viewH, PlainViewport);
    ctx->Finish();
    return {ctx->Pixels(), ctx->Pixels() + size_t(kW) * kH * 4};
}

// Frames are read on a thread of their own, as a publish reads them.
std::vector<std::vector<uint8_t>> ReadOnAThread(pc::GLFramePair& pair, std::vector<int> indexes)
{
    std::vector<std::vector<uint8_t>> frames;
    std::thread([&] {
        pc::GLFramePair::Reader reader(pair);
        for (int index : indexes) {
            const uint8_t* p = reader.Read(index);
            frames.emplace_back(p, p + size_t(pair.Width()) * size_t(pair.Height()) * 4);
        }
    }).join();
    return frames;
}

std::vector<uint8_t> PairFrame(int viewX, int viewY, int viewW, int viewH)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(1, 1, false);
    pc::GLFramePair pair(*ctx, kW, kH);
    current = &pair;
    pair.Draw(1);
    DrawTriangles(viewX, viewY, viewW, viewH, PairViewport);
    pair.Submit();
    return ReadOnAThread(pair, {1})[0];
}

TEST(GLFramePair, DrawsTheSameBytesAsTheContextsOwnBuffer)
{
    // The whole frame, then a frame larger than the buffer seen through it
    // at an offset, as a tile of a bigger picture is.
    const int views[][4] = {{0, 0, kW, kH}, {-13, -29, 150, 120}};
    for (const auto& v : views) {
        auto own = OwnBuffer(v[0], v[1], v[2], v[3]);
        auto pair = PairFrame(v[0], v[1], v[2], v[3]);
        ASSERT_EQ(own.size(), pair.size());
        size_t differing = 0;
        for (size_t i = 0; i < own.size(); i += 4)
            differing += std::memcmp(&own[i], &pair[i], 3) != 0;
        EXPECT_EQ(differing, 0u) << "view at " << v[0] << "," << v[1];
    }
}

void Clear(float r, float g, float b)
{
    glClearColor(r, g, b, 1);
    glClear(GL_COLOR_BUFFER_BIT);
}

// Frame 1 is drawn while frame 0 is still unread; each read shows its own
// frame.
TEST(GLFramePair, TwoFramesInFlightKeepTheirOwnPixels)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(1, 1, false);
    pc::GLFramePair pair(*ctx, 8, 4);
    pair.Draw(0);
    pair.Viewport(0, 0, 8, 4);
    Clear(1, 0, 0);
    pair.Submit();
    pair.Draw(1);
    Clear(0, 1, 0);
    pair.Submit();
    auto frames = ReadOnAThread(pair, {0, 1});
    EXPECT_EQ(frames[0][2], 255);
    EXPECT_EQ(frames[0][1], 0);
    EXPECT_EQ(frames[1][1], 255);
    EXPECT_EQ(frames[1][8 * 4 * 4 - 4 + 2], 0); // the last pixel too

    pair.Draw(0);
    Clear(0, 0, 1);
    pair.Submit();
    EXPECT_EQ(ReadOnAThread(pair, {0})[0][0], 255);
}

// Depth and stencil are shared by the two frames and cleared by each.
TEST(GLFramePair, FramesHaveDepthAndStencil)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(1, 1, false);
    pc::GLFramePair pair(*ctx, 4, 4);
    pair.Draw(0);
    GLint depth = 0, stencil = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    EXPECT_GE(depth, 24);
    EXPECT_GE(stencil, 8);
}

TEST(GLFramePair, RefusesImpossibleSizes)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(1, 1, false);
    EXPECT_THROW(pc::GLFramePair(*ctx, 0, 4), std::exception);
    EXPECT_THROW(pc::GLFramePair(*ctx, 4, 16385), std::exception);
    EXPECT_THROW(pc::GLFramePair(*ctx, 4, 4).Draw(2), std::exception);
}

} // namespace
