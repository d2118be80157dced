#pragma once
// OpenGL contexts rendering into client memory (OSMesa). Every context of the
// program, window or off-screen, is one of these; textures and display lists
// carry over to a context created with a share context.
#include <cstdint>
#include <memory>
#include <vector>

namespace pc {

struct GLContextBits {
    int depth = 24;
    int stencil = 8;
    int accum = 16;
};

class GLContext {
public:
    // Throws Error("Create OpenGL Error!") when no context can be made.
    static std::unique_ptr<GLContext> Create(const GLContextBits& bits = {}, GLContext* share = nullptr);
    ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // Sizes the colour buffer and makes this context current on it (buffer 0).
    // topDown: row 0 of Pixels() is the top row (window); otherwise the bottom
    // row, as in a bottom-up DIB (off-screen).
    void Bind(int width, int height, bool topDown);
    // Makes this context current on colour buffer index (0 or 1) of the bound
    // size; buffer 1 is made on first use. Both share depth, stencil and
    // accumulation. A finished frame stays in its buffer while the next one is
    // drawn into the other, so it can be read meanwhile, on another thread.
    void SelectBuffer(int index);
    int SelectedBuffer() const { return selected_; }
    // Makes this context current again on its selected buffer.
    void MakeCurrent();
    static void ReleaseCurrent();
    bool IsCurrent() const;
    // glFinish: after it, Pixels() holds the frame.
    void Finish();

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool TopDown() const { return topDown_; }
    // The selected buffer: 32-bit pixels, bytes B,G,R,A per pixel, rows of
    // Width()*4 bytes. Stays valid until the next Bind.
    const uint8_t* Pixels() const { return buffers_[selected_].data(); }
    uint8_t* Pixels() { return buffers_[selected_].data(); }
    // Colour buffer index (0 or 1), as it was when last finished.
    const uint8_t* Pixels(int index) const { return buffers_[index == 1 ? 1 : 0].data(); }
    const GLContextBits& Bits() const { return bits_; }
    // Bits the implementation really gave (read from GL while current).
    GLContextBits QueryBits() const;
    // A number never reused by another context, for caches keyed by context.
    uint64_t Serial() const { return serial_; }
    // Serial of the context current on this thread, 0 for none.
    static uint64_t CurrentSerial();
    // fn(serial) runs as each context is destroyed, so caches keyed by
    // serial can forget it.
    using DestroyListener = void (*)(uint64_t serial);
    static void AddDestroyListener(DestroyListener fn);

private:
    GLContext() = default;
    void* ctx_ = nullptr;
    std::vector<uint8_t> buffers_[2];
    int selected_ = 0;
    int width_ = 0, height_ = 0;
    bool topDown_ = true;
    GLContextBits bits_;
    uint64_t serial_ = 0;
};

// Clears a tiny context to a known colour and reads it back; throws
// Error("Create OpenGL Error!") when GL does not work.
void CheckGLWorks();

} // namespace pc
