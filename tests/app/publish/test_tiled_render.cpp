#include <gtest/gtest.h>

#include <GL/gl.h>

#include "app/publish/tiled_render.h"
#include "platform/gl_context.h"
#include "platform/gl_frame_pair.h"

namespace {

// Draws a frame-sized pattern in frame pixel coordinates: four coloured
// quadrants and a diagonal of small squares, so any misplaced tile shows.
class PatternHost : public pc::RenderHost {
public:
    int passesRendered = 0;
    int cancelAfterPasses = -1;
    std::vector<int> passColours; // red of the clear colour per pass, empty: fixed

    void BeginOffscreen(int w, int h) override
    {
        ctx_ = pc::GLContext::Create();
        ctx_->Bind(1, 1, false);
        frames_ = std::make_unique<pc::GLFramePair>(*ctx_, w, h);
        begun_ = true;
    }
    void SelectBuffer(int index) override { frames_->Draw(index); }
    void SetTileView(int frameW, int frameH, int x, int y) override
    {
        frames_->Viewport(-x, -y, frameW, frameH);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, frameW, 0, frameH, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        frameW_ = frameW;
        frameH_ = frameH;
    }
    void RenderPass(int pass, int) override
    {
        float red = passColours.empty() ? 0.0f : float(passColours[size_t(pass)]) / 255.0f;
        glClearColor(red, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const float hw = frameW_ / 2.0f, hh = frameH_ / 2.0f;
        glColor3ub(0, 200, 0);
        glRectf(0, hh, hw, float(frameH_)); // top-left quadrant (GL y up)
        glColor3ub(0, 0, 220);
        glRectf(hw, 0, float(frameW_), hh); // bottom-right
        glColor3ub(250, 250, 0);
        for (int i = 0; i < frameW_; i += 7)
            glRectf(float(i), float(i * frameH_ / frameW_), float(i + 3), float(i * frameH_ / frameW_ + 3));
        ++passesRendered;
    }
    void Submit() override { frames_->Submit(); }
    void BeginReading() override { reader_ = std::make_unique<pc::GLFramePair::Reader>(*frames_); }
    void EndReading() override { reader_.reset(); }
    const uint8_t* Pixels(int index) override { return reader_->Read(index); }
    void EndOffscreen() override
    {
        frames_.reset();
        ctx_.reset();
        begun_ = false;
    }
    void ProcessEvents() override {}
    bool Cancelled() const override { return cancelAfterPasses >= 0 && passesRendered >= cancelAfterPasses; }
    void Progress(int, int) override {}
    bool Begun() const { return begun_; }

private:
    std::unique_ptr<pc::GLContext> ctx_;
    std::unique_ptr<pc::GLFramePair> frames_;
    std::unique_ptr<pc::GLFramePair::Reader> reader_;
    int frameW_ = 0, frameH_ = 0;
    bool begun_ = false;
};

TEST(TiledRender, TilesAssembleTheSamePictureAsOneBuffer)
{
    // "None" on a small desktop renders at the output size; tiles of 37 pixels
    // leave narrow edge tiles on both axes.
    PatternHost whole, tiled;
    auto a = pc::RenderToBitmap(whole, 150, 100, 1920, 1080, pc::AntiAlias::None);
    auto b = pc::RenderToBitmap(tiled, 150, 100, 1920, 1080, pc::AntiAlias::None, 37);
    ASSERT_FALSE(a.cancelled);
    ASSERT_EQ(a.picture.Width(), 150);
    ASSERT_EQ(a.picture.Height(), 100);
    EXPECT_EQ(a.picture, b.picture);
    EXPECT_EQ(tiled.passesRendered, 5 * 3);
    EXPECT_EQ(a.picture.Pixel(10, 10), pc::RGB(0, 200, 0));  // top-left quadrant is the top of the picture
    EXPECT_EQ(a.picture.Pixel(140, 90), pc::RGB(0, 0, 220)); // bottom-right
    EXPECT_EQ(a.picture.Pixel(140, 10), pc::RGB(0, 0, 0));
}

TEST(TiledRender, SupersampledPicturesComeOutAtTheOutputSize)
{
    PatternHost host;
    auto r = pc::RenderToBitmap(host, 64, 48, 640, 480, pc::AntiAlias::Halftone, 100);
    ASSERT_EQ(r.picture.Width(), 64);
    ASSERT_EQ(r.picture.Height(), 48);
    EXPECT_EQ(r.picture.Pixel(5, 5), pc::RGB(0, 200, 0));
    EXPECT_EQ(r.picture.Pixel(60, 44), pc::RGB(0, 0, 220));
}

TEST(TiledRender, TwentyFourPassesBlendWithDecreasingWeight)
{
    PatternHost host;
    host.passColours.assign(24, 0);
    host.passColours[23] = 240; // only the last pass has a red background
    auto r = pc::RenderToBitmap(host, 40, 30, 1920, 1080, pc::AntiAlias::Accumulation);
    EXPECT_EQ(host.passesRendered, 24);
    EXPECT_EQ(pc::GetRValue(r.picture.Pixel(39, 0)), 240 / 24); // weight 1/24
}

TEST(TiledRender, CancelStopsAndEndsTheOffscreenRender)
{
    PatternHost host;
    host.cancelAfterPasses = 2;
    auto r = pc::RenderToBitmap(host, 150, 100, 1920, 1080, pc::AntiAlias::None, 37);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.picture.Empty());
    EXPECT_EQ(host.passesRendered, 2);
    EXPECT_FALSE(host.Begun());
}

} // namespace
