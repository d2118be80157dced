#pragma once
// Rendering the scene into a picture of the output size: supersampled by the
// plan's scale, in tiles, each tile in one or 24 jittered passes blended into
// the picture, then resampled to the output size by area averaging. A pass is
// read back and blended on a reading thread while the next one is drawn into
// the other of two colour buffers, so reading and blending cost little beyond
// the drawing.
#include <functional>

#include "app/publish/render_plan.h"
#include "platform/bitmap.h"

namespace pc {

// What the tiled render needs from the program: an off-screen buffer sharing
// the window context's textures, the scene, and the event loop. Every call
// comes from the thread that called RenderToBitmap, except BeginReading,
// Pixels and EndReading, which come from the reading thread.
class RenderHost {
public:
    virtual ~RenderHost() = default;
    // Makes an off-screen context current on BGRA buffers of w x h.
    virtual void BeginOffscreen(int w, int h) = 0;
    // Draws what follows into colour buffer index (0 or 1), both of the size
    // given to BeginOffscreen; the other buffer's pixels stay as they are.
    virtual void SelectBuffer(int index) = 0;
    // Projection of a frameW x frameH picture whose part starting at GL
    // window position (x, y) falls on the buffer.
    virtual void SetTileView(int frameW, int frameH, int x, int y) = 0;
    virtual void RenderPass(int passIndex, int passCount) = 0;
    // Hands the selected buffer's frame to the rasteriser; need not wait.
    // The previous frame has been read by then.
    virtual void Submit() = 0;
    // The reading thread's first and last calls.
    virtual void BeginReading() = 0;
    virtual void EndReading() = 0;
    // Waits for buffer index's submitted frame: its pixels, rows top-down,
    // 4 bytes per pixel, valid until the next Pixels call and until that
    // buffer is submitted again.
    virtual const uint8_t* Pixels(int index) = 0;
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
// An exception from the host or from a blend ends the render and reaches the
// caller, after the off-screen render has ended.
TiledRenderResult RenderToBitmap(RenderHost& host, int W, int H, int desktopW, int desktopH, AntiAlias method,
                                 int maxTile = 4096);

} // namespace pc
