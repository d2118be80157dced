// gl-info: the renderer and the bits of the window context.
#include <GL/gl.h>
#include <cstdio>

#include "app/probe/probe_registry.h"
#include "platform/gl_context.h"

namespace {

int GlInfo(int, char**)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(64, 64, true);
    auto bits = ctx->QueryBits();
    std::printf("renderer: %s\nversion: %s\nvendor: %s\ndepth: %d\nstencil: %d\naccum: %d\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                reinterpret_cast<const char*>(glGetString(GL_VENDOR)), bits.depth, bits.stencil, bits.accum);
    return 0;
}

pc::probe::ProbeRegistrar reg("gl-info", "", GlInfo);

} // namespace
