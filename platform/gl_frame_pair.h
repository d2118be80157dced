#pragma once
// Two off-screen frames in flight on the current context: one is drawn while
// the one before it is still being rasterised and read back, so the
// rasteriser never waits for the thread that feeds it.
#include <array>
#include <cstdint>
#include <vector>

namespace pc {

class GLFramePair {
public:
    // Makes two framebuffer objects of width x height (BGRA colour, one shared
    // depth and stencil buffer) on the context current on this thread. Throws
    // Error("Could not Make Current") when they cannot be made.
    GLFramePair(int width, int height);
    // The context they were made on must be current.
    ~GLFramePair();
    GLFramePair(const GLFramePair&) = delete;
    GLFramePair& operator=(const GLFramePair&) = delete;

    // Drawing goes into frame index (0 or 1) from here on.
    void Draw(int index);
    // glViewport for the frames: with the upper-left origin they use, y
    // counts from the other edge.
    void Viewport(int x, int y, int width, int height);
    // Hands what was drawn into the current frame to the rasteriser without
    // waiting for it.
    void Submit();
    // Waits for frame index and reads it: rows top-down, B,G,R,A per pixel.
    // The pixels stay until this frame is read again.
    const uint8_t* Read(int index);

    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    void Release();

    int width_, height_;
    int drawing_ = 0;
    unsigned framebuffers_[2] = {0, 0};
    unsigned colour_[2] = {0, 0};
    unsigned depthStencil_ = 0;
    std::array<void*, 2> fences_{};
    std::vector<uint8_t> pixels_[2];
};

} // namespace pc
