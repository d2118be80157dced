// gl-info: the renderer and the bits of the window context, made the way the
// program makes it.
#include <GL/gl.h>
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/window/main_window.h"
#include "app/probe/probe_registry.h"
#include "app/probe/probe_session.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"

namespace {

int GlInfo(int, char** argv)
{
    pc::probe::ProbeSession session(argv, false);
    pc::TFormMainQV7K& window = session.Window();
    pc::ScriptedMessageBoxes& boxes = session.Boxes();
    for (const auto& shown : boxes.Shown())
        std::fprintf(stderr, "%s\n", shown.text.c_str());
    if (!window.GLContext_ || !window.GLContext_->IsCurrent()) {
        std::fprintf(stderr, "Create OpenGL Error!\n");
        return 1;
    }
    auto bits = window.GLContext_->QueryBits();
    std::printf("renderer: %s\nversion: %s\nvendor: %s\npixel format: %d (%s)\ndepth: %d\nstencil: %d\naccum: %d\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)),
                reinterpret_cast<const char*>(glGetString(GL_VENDOR)), window.PixelFormatNumber,
                window.PixelFormatInfoText.c_str(), bits.depth, bits.stencil, bits.accum);
    return 0;
}

pc::probe::ProbeRegistrar reg("gl-info", "", GlInfo);

} // namespace
