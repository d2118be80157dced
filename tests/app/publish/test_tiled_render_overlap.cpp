#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "app/publish/pass_blend.h"
#include "app/publish/render_plan.h"
#include "app/publish/tiled_render.h"
#include "platform/resample.h"

namespace {

// Hands out pass pixels that depend on the frame position and the pass, from
// two plain buffers, without GL. A pass is drawn into a scratch frame and
// lands in its buffer on submit, rewriting all of it, so a blend still
// reading that buffer would take the next pass's values.
class FakeHost : public pc::RenderHost {
public:
    int throwAtPass = -1;
    int cancelAfterPasses = -1;
    int passesRendered = 0;
    std::vector<int> buffersUsed;
    std::vector<std::pair<int, int>> progress;
    bool begun = false;

    static uint32_t Value(int fx, int fy, int pass)
    {
        const uint32_t b = uint32_t(fx * 3 + pass * 11), g = uint32_t(fy * 5 + pass * 7),
                       r = uint32_t((fx ^ fy) + pass * 13);
        return (b & 255) | (g & 255) << 8 | (r & 255) << 16 | 0xff000000u;
    }

    void BeginOffscreen(int w, int h) override
    {
        w_ = w;
        h_ = h;
        begun = true;
    }
    void SelectBuffer(int index) override
    {
        selected_ = index;
        buffersUsed.push_back(index);
    }
    void SetTileView(int, int, int x, int y) override
    {
        x_ = x;
        y_ = y;
    }
    void RenderPass(int pass, int) override
    {
        if (pass == throwAtPass)
            throw std::runtime_error("pass failed");
        // Rows top-down: row by shows GL frame row y + h - 1 - by.
        drawn_.resize(size_t(w_) * size_t(h_));
        for (int by = 0; by < h_; ++by)
            for (int bx = 0; bx < w_; ++bx)
                drawn_[size_t(by) * size_t(w_) + size_t(bx)] = Value(x_ + bx, y_ + h_ - 1 - by, pass);
        ++passesRendered;
    }
    void Submit() override { buffers_[selected_] = drawn_; }
    void BeginReading() override {}
    void EndReading() override {}
    const uint8_t* Pixels(int index) override { return reinterpret_cast<const uint8_t*>(buffers_[index].data()); }
    void EndOffscreen() override
    {
        for (auto& b : buffers_)
            std::vector<uint32_t>().swap(b);
        std::vector<uint32_t>().swap(drawn_);
        begun = false;
    }
    void ProcessEvents() override {}
    bool Cancelled() const override { return cancelAfterPasses >= 0 && passesRendered >= cancelAfterPasses; }
    void Progress(int position, int maximum) override { progress.emplace_back(position, maximum); }

private:
    std::vector<uint32_t> buffers_[2], drawn_;
    int selected_ = 0, w_ = 0, h_ = 0, x_ = 0, y_ = 0;
};

// The picture as drawing and blending one pass after the other gives it.
pc::Bitmap SerialPicture(int W, int H, int desktopW, int desktopH, pc::AntiAlias method, int maxTile)
{
    const pc::RenderPlan plan = pc::PlanRender(W, H, desktopW, desktopH, method);
    const int rw = plan.renderW, rh = plan.renderH;
    pc::Bitmap picture(rw, rh, pc::PixelFormat::pf24bit);
    std::vector<uint32_t> row;
    for (const pc::Tile& t : pc::PlanTiles(rw, rh, std::min(maxTile, rw), std::min(maxTile, rh)))
        for (int pass = 0; pass < plan.passes; ++pass)
            for (int r = 0; r < t.height; ++r) {
                row.assign(size_t(t.width), 0);
                for (int x = 0; x < t.width; ++x)
                    row[size_t(x)] = FakeHost::Value(t.readX + x, t.readY + t.height - 1 - r, pass);
                pc::BlendPassRow(picture, t.top + r, t.left, reinterpret_cast<const uint8_t*>(row.data()), t.width,
                                 pass, plan.passes);
            }
    return (rw == W && rh == H) ? picture : pc::ResampleArea(picture, W, H);
}

struct OverlapCase {
    const char* name;
    int W, H, desktopW, desktopH;
    pc::AntiAlias method;
    int maxTile;
    int tiles, passes;
};

void PrintTo(const OverlapCase& c, std::ostream* os) { *os << c.name; }

class OverlappedRender : public testing::TestWithParam<OverlapCase> {};

TEST_P(OverlappedRender, SameBytesAsOnePassAfterTheOther)
{
    const OverlapCase& c = GetParam();
    FakeHost host;
    auto r = pc::RenderToBitmap(host, c.W, c.H, c.desktopW, c.desktopH, c.method, c.maxTile);
    ASSERT_FALSE(r.cancelled);
    ASSERT_EQ(r.picture.Width(), c.W);
    ASSERT_EQ(r.picture.Height(), c.H);
    EXPECT_TRUE(r.picture == SerialPicture(c.W, c.H, c.desktopW, c.desktopH, c.method, c.maxTile));

    const int steps = c.tiles * c.passes;
    ASSERT_EQ(host.passesRendered, steps);
    for (size_t i = 0; i < host.buffersUsed.size(); ++i)
        EXPECT_EQ(host.buffersUsed[i], int(i % 2)) << "step " << i << " draws into the buffer not being blended";
    ASSERT_EQ(host.progress.size(), size_t(steps));
    EXPECT_EQ(host.progress.back(), std::make_pair(steps, steps));
    EXPECT_FALSE(host.begun);
}

INSTANTIATE_TEST_SUITE_P(
    TiledRender, OverlappedRender,
    testing::Values(
        // Rendered at the output size, edge tiles of 88 x 144.
        OverlapCase{"AccumulationInSixTiles", 600, 400, 1920, 1080, pc::AntiAlias::Accumulation, 256, 6, 24},
        // Supersampled to 600 x 400 and shrunk.
        OverlapCase{"AutoShrunk", 300, 200, 600, 400, pc::AntiAlias::Auto, 256, 6, 24},
        OverlapCase{"AutoOneTile", 300, 200, 600, 400, pc::AntiAlias::Auto, 4096, 1, 24},
        OverlapCase{"NoneInTiles", 150, 100, 1920, 1080, pc::AntiAlias::None, 37, 15, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// A failing pass while the previous one is still being blended: the error
// reaches the caller after the blend and the off-screen render have ended
// (under AddressSanitizer a blend outliving the buffers is caught).
TEST(TiledRender, ErrorInAPassEndsTheRenderAndReachesTheCaller)
{
    for (int failing : {0, 1, 7}) {
        FakeHost host;
        host.throwAtPass = failing;
        EXPECT_THROW(pc::RenderToBitmap(host, 600, 400, 1920, 1080, pc::AntiAlias::Accumulation), std::runtime_error)
            << "pass " << failing;
        EXPECT_EQ(host.passesRendered, failing);
        EXPECT_FALSE(host.begun);
    }
}

TEST(TiledRender, CancelWhileBlendingGivesNoPicture)
{
    FakeHost host;
    host.cancelAfterPasses = 3;
    auto r = pc::RenderToBitmap(host, 600, 400, 1920, 1080, pc::AntiAlias::Auto, 256);
    EXPECT_TRUE(r.cancelled);
    EXPECT_TRUE(r.picture.Empty());
    EXPECT_EQ(host.passesRendered, 3);
    EXPECT_FALSE(host.begun);
}

} // namespace
