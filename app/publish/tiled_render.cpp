#include "app/publish/tiled_render.h"

#include <algorithm>

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
        host.BeginOffscreen(std::min(maxTile, rw), std::min(maxTile, rh));
        OffscreenGuard guard{host};
        const int bufferW = std::min(maxTile, rw), bufferH = std::min(maxTile, rh);
        for (const Tile& t : tiles) {
            for (int pass = 0; pass < n; ++pass) {
                if (host.Cancelled())
                    break;
                // The buffer's bottom-left pixel shows frame position (readX, readY);
                // a narrower edge tile uses the bottom-left part of the buffer.
                host.SetTileView(rw, rh, t.readX, t.readY - (bufferH - t.height));
                host.RenderPass(pass, n);
                const uint8_t* pixels = host.Pixels();
                host.ProcessEvents();
                for (int r = 0; r < t.height; ++r) {
                    if (host.Cancelled())
                        break;
                    // Buffer rows run bottom-up; the tile's top row is buffer row height - 1.
                    const uint8_t* row = pixels + size_t(bufferH - 1 - r) * size_t(bufferW) * 4;
                    BlendPassRow(picture, t.top + r, t.left, row, t.width, pass, n);
                }
                host.Progress(++done, progressMax);
            }
        }
    }
    if (host.Cancelled()) {
        result.cancelled = true;
        return result;
    }
    result.picture = (rw == W && rh == H) ? std::move(picture) : ResampleArea(picture, W, H);
    return result;
}

} // namespace pc
