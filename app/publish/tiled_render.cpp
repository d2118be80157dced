#include "app/publish/tiled_render.h"

#include <algorithm>
#include <future>

#include "app/publish/pass_blend.h"
#include "platform/resample.h"

namespace pc {

namespace {

// Ends the off-screen render however the render ends.
struct OffscreenGuard {
    RenderHost& host;
    ~OffscreenGuard() { host.EndOffscreen(); }
};

} // namespace

TiledRenderResult RenderToBitmap(RenderHost& host, int W, int H, int desktopW, int desktopH, AntiAlias method,
                                 int maxTile)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    const RenderPlan plan = PlanRender(W, H, desktopW, desktopH, method);
    const int rw = plan.renderW, rh = plan.renderH, n = plan.passes;
    const auto tiles = PlanTiles(rw, rh, std::min(maxTile, rw), std::min(maxTile, rh));
    const int progressMax = int(tiles.size()) * n;
    int done = 0;

    TiledRenderResult result;
    Bitmap picture(rw, rh, PixelFormat::pf24bit); // black until the first pass
    {
        const int bufferW = std::min(maxTile, rw), bufferH = std::min(maxTile, rh);
        host.BeginOffscreen(bufferW, bufferH);
        OffscreenGuard guard{host};
        // The blend of the previous pass. It is waited for before the next
        // blend starts (passes enter the picture in order), and so before its
        // buffer is drawn into again; declared after the guard, so that an
        // exception waits for it before the buffers go.
        std::future<void> blending;
        int step = 0;
        for (const Tile& t : tiles) {
            for (int pass = 0; pass < n; ++pass, ++step) {
                if (host.Cancelled())
                    break;
                host.SelectBuffer(step % 2);
                // The buffer's bottom-left pixel shows frame position (readX, readY);
                // a narrower edge tile uses the bottom-left part of the buffer.
                host.SetTileView(rw, rh, t.readX, t.readY - (bufferH - t.height));
                host.RenderPass(pass, n);
                const uint8_t* pixels = host.Pixels();
                host.ProcessEvents();
                if (blending.valid())
                    blending.get();
                blending = std::async(std::launch::async, [&picture, t, pixels, bufferW, bufferH, pass, n] {
                    // Buffer rows run bottom-up; the tile's top row is buffer row height - 1.
                    for (int r = 0; r < t.height; ++r)
                        BlendPassRow(picture, t.top + r, t.left,
                                     pixels + size_t(bufferH - 1 - r) * size_t(bufferW) * 4, t.width, pass, n);
                });
                host.Progress(++done, progressMax);
            }
        }
        if (blending.valid())
            blending.get();
    }
    if (host.Cancelled()) {
        result.cancelled = true;
        return result;
    }
    result.picture = (rw == W && rh == H) ? std::move(picture) : ResampleArea(picture, W, H);
    return result;
}

} // namespace pc
