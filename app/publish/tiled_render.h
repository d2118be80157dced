#pragma once
// Rendering the scene into a picture of the output size: supersampled by the
// plan's scale, in tiles, each tile in one or 24 jittered passes blended into
// the picture, then resampled to the output size by area averaging.
#include <functional>

#include "app/publish/render_plan.h"
#include "platform/bitmap.h"

namespace pc {

// What the tiled render needs from the program: an off-screen buffer sharing
// the window context's textures, the scene, and the event loop.
class RenderHost {
public:
    virtual ~RenderHost() = default;
    // Makes an off-screen context current on a bottom-up BGRA buffer of w x h.
    virtual void BeginOffscreen(int w, int h) = 0;
    // Projection of a frameW x frameH picture whose part starting at GL
    // window position (x, y) falls on the buffer.
    virtual void SetTileView(int frameW, int frameH, int x, int y) = 0;
    virtual void RenderPass(int passIndex, int passCount) = 0;
    // Finishes the frame; rows bottom-up, 4 bytes per pixel.
    virtual const uint8_t* Pixels() = 0;
    virtual void EndOffscreen() = 0;
    // Lets the window handle pending events (Cancel among them).
    virtual void ProcessEvents() = 0;
    virtual bool Cancelled() const = 0;
    virtual void Progress(int position, int maximum) = 0;
};

struct TiledRenderResult {
    Bitmap picture; // W x H, 24-bit; empty when cancelled
    bool cancelled = false;
};

// Tiles are at most maxTile pixels on a side (the off-screen buffer's limit).
TiledRenderResult RenderToBitmap(RenderHost& host, int W, int H, int desktopW, int desktopH, AntiAlias method,
                                 int maxTile = 4096);

} // namespace pc
