// render-demo: the sample scene rendered off-screen into a BMP.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/probe/probe_registry.h"
#include "platform/bitmap.h"
#include "platform/bmp_file.h"
#include "platform/gl_context.h"
#include "scene/render/render_demo_scene.h"
#include "scene/render/render_frame.h"

namespace {

bool ParseSize(const char* text, int& w, int& h)
{
    return std::sscanf(text, "%dx%d", &w, &h) == 2 && w > 0 && h > 0 && w <= 8192 && h <= 8192;
}

int RenderDemo(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "render-demo: missing output file\n");
        return 1;
    }
    int w = 640, h = 480;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--size") != 0) {
            std::fprintf(stderr, "render-demo: unknown argument %s\n", argv[i]);
            return 1;
        }
        if (i + 1 >= argc || !ParseSize(argv[i + 1], w, h)) {
            std::fprintf(stderr, "render-demo: --size wants WIDTHxHEIGHT, 1 to 8192 each\n");
            return 1;
        }
        ++i;
    }
    try {
        auto ctx = pc::GLContext::Create();
        ctx->Bind(w, h, false);
        pc::scene::SceneParams scene = pc::scene::BuildDemoScene();
        scene.PictureHeight = h;
        pc::scene::FrameState state;
        pc::scene::SetSceneProjection(w, h, scene.TBCameraLookAtA);
        pc::scene::RenderFrame(scene, state, -1, 0);
        ctx->Finish();

        pc::Bitmap out(w, h);
        for (int y = 0; y < h; ++y) {
            const uint8_t* src = ctx->Pixels() + size_t(h - 1 - y) * size_t(w) * 4;
            uint8_t* dst = out.ScanLine(y);
            for (int x = 0; x < w; ++x) {
                dst[x * 3 + 0] = src[x * 4 + 0];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4 + 2];
            }
        }
        pc::SaveBmpFile(argv[1], out);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "render-demo: %s\n", e.what());
        return 1;
    }
    return 0;
}

pc::probe::ProbeRegistrar reg("render-demo", "OUT.bmp [--size WxH]", RenderDemo);

} // namespace
