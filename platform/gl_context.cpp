#include "platform/gl_context.h"

#include <GL/osmesa.h>
#include <GL/gl.h>
#include <algorithm>
#include <atomic>
#include <vector>

#include "platform/errors.h"

namespace pc {

namespace {
std::atomic<uint64_t> nextSerial{1};
thread_local uint64_t currentSerial = 0;

std::vector<GLContext::DestroyListener>& DestroyListeners()
{
    static std::vector<GLContext::DestroyListener> listeners;
    return listeners;
}
} // namespace

uint64_t GLContext::CurrentSerial()
{
    return currentSerial;
}

void GLContext::AddDestroyListener(DestroyListener fn)
{
    auto& l = DestroyListeners();
    if (std::find(l.begin(), l.end(), fn) == l.end())
        l.push_back(fn);
}

std::unique_ptr<GLContext> GLContext::Create(const GLContextBits& bits, GLContext* share)
{
    std::unique_ptr<GLContext> c(new GLContext);
    c->bits_ = bits;
    c->ctx_ = OSMesaCreateContextExt(OSMESA_BGRA, bits.depth, bits.stencil, bits.accum,
                                     share ? static_cast<OSMesaContext>(share->ctx_) : nullptr);
    if (!c->ctx_)
        throw Error("Create OpenGL Error!");
    c->serial_ = nextSerial++;
    return c;
}

GLContext::~GLContext()
{
    if (serial_)
        for (auto fn : DestroyListeners())
            fn(serial_);
    if (ctx_) {
        if (OSMesaGetCurrentContext() == static_cast<OSMesaContext>(ctx_)) {
            OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
            currentSerial = 0;
        }
        OSMesaDestroyContext(static_cast<OSMesaContext>(ctx_));
    }
}

void GLContext::Bind(int width, int height, bool topDown)
{
    if (width < 1)
        width = 1;
    if (height < 1)
        height = 1;
    if (width > 16384 || height > 16384)
        throw Error("Could not Make Current");
    buffers_[0].assign(size_t(width) * size_t(height) * 4, 0);
    std::vector<uint8_t>().swap(buffers_[1]);
    selected_ = 0;
    width_ = width;
    height_ = height;
    topDown_ = topDown;
    MakeCurrent();
}

void GLContext::SelectBuffer(int index)
{
    if (index != 0 && index != 1)
        throw Error("Could not Make Current");
    if (buffers_[0].empty())
        Bind(1, 1, topDown_);
    if (buffers_[index].empty())
        buffers_[index].assign(buffers_[0].size(), 0);
    selected_ = index;
    MakeCurrent();
}

void GLContext::MakeCurrent()
{
    if (buffers_[0].empty())
        Bind(1, 1, topDown_);
    if (!OSMesaMakeCurrent(static_cast<OSMesaContext>(ctx_), Pixels(), GL_UNSIGNED_BYTE, width_, height_))
        throw Error("Could not Make Current");
    currentSerial = serial_;
    OSMesaPixelStore(OSMESA_Y_UP, topDown_ ? 0 : 1);
}

void GLContext::ReleaseCurrent()
{
    OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    currentSerial = 0;
}

bool GLContext::IsCurrent() const
{
    return ctx_ && OSMesaGetCurrentContext() == static_cast<OSMesaContext>(ctx_);
}

void GLContext::Finish()
{
    glFinish();
}

GLContextBits GLContext::QueryBits() const
{
    GLContextBits b{};
    glGetIntegerv(GL_DEPTH_BITS, &b.depth);
    glGetIntegerv(GL_STENCIL_BITS, &b.stencil);
    glGetIntegerv(GL_ACCUM_RED_BITS, &b.accum);
    return b;
}

void CheckGLWorks()
{
    auto ctx = GLContext::Create();
    ctx->Bind(4, 4, true);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ctx->Finish();
    const uint8_t* p = ctx->Pixels();
    bool ok = p[0] == 0 && p[1] == 255 && p[2] == 0 && p[3] == 255;
    GLContext::ReleaseCurrent();
    if (!ok)
        throw Error("Create OpenGL Error!");
}

} // namespace pc
