#include "app/publish/tiled_render.h"

#include <algorithm>
#include <future>
#include <optional>

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
        // Pass k is drawn and submitted, then pass k - 1 is read back and
        // blended on a worker while the rasteriser works on pass k. The
        // blend of a pass is waited for before the next submit, so a buffer
        // is never drawn into again while its pixels are still blended.
        // Declared after the guard, so that an exception waits for the blend
        // before the buffers go.
        struct Submitted {
            Tile tile;
            int pass, buffer;
        };
        std::optional<Submitted> previous;
        std::future<void> blending;
        auto blendPrevious = [&] {
            const Submitted s = *previous;
            previous.reset();
            const uint8_t* pixels = host.Pixels(s.buffer);
            if (blending.valid())
                blending.get();
            blending = std::async(std::launch::async, [&picture, s, pixels, bufferW, n] {
                for (int r = 0; r < s.tile.height; ++r)
                    BlendPassRow(picture, s.tile.top + r, s.tile.left, pixels + size_t(r) * size_t(bufferW) * 4,
                                 s.tile.width, s.pass, n);
            });
            host.Progress(++done, progressMax);
        };
        int step = 0;
        for (const Tile& t : tiles) {
            for (int pass = 0; pass < n; ++pass, ++step) {
                if (host.Cancelled())
                    break;
                const int buffer = step % 2;
                host.SelectBuffer(buffer);
                // The buffer's bottom-left pixel shows frame position (readX, readY);
                // a narrower edge tile uses the bottom-left part of the buffer.
                host.SetTileView(rw, rh, t.readX, t.readY - (bufferH - t.height));
                host.RenderPass(pass, n);
                if (blending.valid())
                    blending.get();
                host.Submit();
                if (previous)
                    blendPrevious();
                previous = Submitted{t, pass, buffer};
                host.ProcessEvents();
            }
        }
        if (previous && !host.Cancelled())
            blendPrevious();
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
