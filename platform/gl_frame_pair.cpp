#include "platform/gl_frame_pair.h"

#include <GL/osmesa.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "platform/errors.h"
#include "platform/gl_context.h"

namespace pc {

namespace {

// Entry points past OpenGL 1.1 come from the context's own library: a
// same-named symbol of another GL library in the process would do nothing.
struct FrameFunctions {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFENCESYNCPROC fenceSync;
    PFNGLCLIENTWAITSYNCPROC clientWaitSync;
    PFNGLDELETESYNCPROC deleteSync;
    PFNGLCLIPCONTROLPROC clipControl;
};

template <class F>
bool Load(F& f, const char* name)
{
    f = reinterpret_cast<F>(OSMesaGetProcAddress(name));
    return f != nullptr;
}

// Null when the library lacks any of them.
const FrameFunctions* Functions()
{
    static const FrameFunctions* loaded = [] {
        static FrameFunctions f{};
        const bool ok = Load(f.genFramebuffers, "glGenFramebuffers") &&
                        Load(f.deleteFramebuffers, "glDeleteFramebuffers") &&
                        Load(f.bindFramebuffer, "glBindFramebuffer") &&
                        Load(f.framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
                        Load(f.checkFramebufferStatus, "glCheckFramebufferStatus") &&
                        Load(f.genRenderbuffers, "glGenRenderbuffers") &&
                        Load(f.deleteRenderbuffers, "glDeleteRenderbuffers") &&
                        Load(f.bindRenderbuffer, "glBindRenderbuffer") &&
                        Load(f.renderbufferStorage, "glRenderbufferStorage") && Load(f.fenceSync, "glFenceSync") &&
                        Load(f.clientWaitSync, "glClientWaitSync") && Load(f.deleteSync, "glDeleteSync") &&
                        Load(f.clipControl, "glClipControl");
        return ok ? &f : nullptr;
    }();
    return loaded;
}

void CheckIndex(int index)
{
    if (index != 0 && index != 1)
        throw Error("Could not Make Current");
}

} // namespace

bool GLFramePair::Available()
{
    return Functions() != nullptr;
}

GLFramePair::GLFramePair(GLContext& drawing, int width, int height)
    : width_(width), height_(height), drawingContext_(drawing)
{
    if (width < 1 || height < 1 || width > 16384 || height > 16384 || !Functions())
        throw Error("Could not Make Current");
    // Colour only, so that its one-pixel buffer is not the drawing context's.
    reading_ = GLContext::Create(GLContextBits{0, 0, 0}, &drawing);
    const FrameFunctions& gl = *Functions();
    gl.genFramebuffers(2, framebuffers_);
    gl.genRenderbuffers(2, colour_);
    gl.genRenderbuffers(1, &depthStencil_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthStencil_);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    bool complete = true;
    for (int i = 0; i < 2; ++i) {
        gl.bindRenderbuffer(GL_RENDERBUFFER, colour_[i]);
        gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffers_[i]);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_[i]);
        gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil_);
        complete = complete && gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    gl.bindRenderbuffer(GL_RENDERBUFFER, 0);
    if (!complete) {
        Release();
        throw Error("Could not Make Current");
    }
    Draw(0);
}

GLFramePair::~GLFramePair()
{
    try {
        drawingContext_.MakeCurrent();
    } catch (const Error&) {
        return; // the objects stay with the contexts' shared objects
    }
    Release();
}

void GLFramePair::Release()
{
    const FrameFunctions& gl = *Functions();
    for (void*& f : fences_)
        if (f) {
            gl.deleteSync(static_cast<GLsync>(f));
            f = nullptr;
        }
    gl.clipControl(GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(2, framebuffers_);
    gl.deleteRenderbuffers(2, colour_);
    gl.deleteRenderbuffers(1, &depthStencil_);
    framebuffers_[0] = framebuffers_[1] = colour_[0] = colour_[1] = depthStencil_ = 0;
    reading_.reset();
}

void GLFramePair::Draw(int index)
{
    CheckIndex(index);
    // Events between frames may have made another context current; binding
    // these names there would leave that context drawing into nothing.
    drawingContext_.MakeCurrent();
    const FrameFunctions& gl = *Functions();
    drawing_ = index;
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffers_[index]);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    // A window's buffer is stored top row first, and the rasteriser's edge
    // rules follow the stored rows. The upper-left clip origin stores these
    // frames the same way, so every edge pixel comes out as in a window.
    gl.clipControl(GL_UPPER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
}

void GLFramePair::Viewport(int x, int y, int width, int height)
{
    glViewport(x, height_ - height - y, width, height);
}

void GLFramePair::Submit()
{
    const FrameFunctions& gl = *Functions();
    void*& fence = fences_[size_t(drawing_)];
    if (fence) // never read
        gl.deleteSync(static_cast<GLsync>(fence));
    fence = gl.fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

GLFramePair::Reader::Reader(GLFramePair& frames) : frames_(frames)
{
    frames_.reading_->MakeCurrent();
    const FrameFunctions& gl = *Functions();
    gl.genFramebuffers(2, framebuffers_);
    for (int i = 0; i < 2; ++i) {
        gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[i]);
        gl.framebufferRenderbuffer(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frames_.colour_[i]);
    }
}

GLFramePair::Reader::~Reader()
{
    const FrameFunctions& gl = *Functions();
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(2, framebuffers_);
    GLContext::ReleaseCurrent();
}

const uint8_t* GLFramePair::Reader::Read(int index)
{
    CheckIndex(index);
    const FrameFunctions& gl = *Functions();
    void*& fence = frames_.fences_[size_t(index)];
    if (fence) {
        gl.clientWaitSync(static_cast<GLsync>(fence), GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        gl.deleteSync(static_cast<GLsync>(fence));
        fence = nullptr;
    }
    pixels_.resize(size_t(frames_.width_) * size_t(frames_.height_) * 4);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffers_[index]);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, frames_.width_, frames_.height_, GL_BGRA, GL_UNSIGNED_BYTE, pixels_.data());
    glPopClientAttrib();
    return pixels_.data();
}

} // namespace pc
