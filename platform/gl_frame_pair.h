#pragma once
// Two off-screen frames for drawing on one thread and reading back on
// another. The reading thread has a context of its own: a read there waits
// only for what was handed to the rasteriser before it, so the drawing thread
// can feed the next frame meanwhile and the rasteriser never waits for it.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace pc {

class GLContext;

class GLFramePair {
public:
    // Makes two framebuffer objects of width x height (BGRA colour, one shared
    // depth and stencil buffer) on drawing, which must be current, and the
    // context the reader will use. Throws Error("Could not Make Current")
    // when they cannot be made.
    GLFramePair(GLContext& drawing, int width, int height);
    // Whether the GL library has what the pair needs (OpenGL 4.5).
    static bool Available();
    // Makes drawing current again to delete the objects; no Reader may be
    // left.
    ~GLFramePair();
    GLFramePair(const GLFramePair&) = delete;
    GLFramePair& operator=(const GLFramePair&) = delete;

    // Makes the drawing context current; drawing goes into frame index (0
    // or 1) from here on.
    void Draw(int index);
    // glViewport for the frames: with the upper-left origin they use, y
    // counts from the other edge.
    void Viewport(int x, int y, int width, int height);
    // Hands what was drawn into the current frame to the rasteriser without
    // waiting for it. A frame is submitted again only after it was read.
    void Submit();

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Lives on the reading thread, one at a time.
    class Reader {
    public:
        // Makes the pair's reading context current on this thread.
        explicit Reader(GLFramePair& frames);
        ~Reader();
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        // Waits for submitted frame index and reads it: rows top-down,
        // B,G,R,A per pixel, valid until the next Read.
        const uint8_t* Read(int index);

    private:
        GLFramePair& frames_;
        unsigned framebuffers_[2] = {0, 0};
        std::vector<uint8_t> pixels_;
    };

private:
    void Release();

    int width_, height_;
    int drawing_ = 0;
    unsigned framebuffers_[2] = {0, 0};
    unsigned colour_[2] = {0, 0};
    unsigned depthStencil_ = 0;
    std::array<void*, 2> fences_{}; // made by Submit, ended by the Reader
    GLContext& drawingContext_;
    std::unique_ptr<GLContext> reading_;
};

} // namespace pc
