// Frame cost of the sample scene (seven objects, textures, floor, reflection
// and soft shadow): the preview at 800 x 600 as the idle render draws it, in
// quick preview, and one 1920 x 1080 publishing frame with 50 shadow passes.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include "platform/gl_context.h"
#include "scene/render/render_demo_scene.h"
#include "scene/render/render_frame.h"

namespace {

void RenderScene(benchmark::State& st, int w, int h, bool quick, bool publishing)
{
    auto ctx = pc::GLContext::Create();
    ctx->Bind(w, h, !publishing);
    pc::scene::SceneParams scene = pc::scene::BuildDemoScene();
    scene.QuickView = quick;
    scene.Publishing = publishing;
    scene.PictureHeight = h;
    pc::scene::FrameState state;
    pc::scene::SetSceneProjection(w, h, scene.TBCameraLookAtA);
    for (auto _ : st) {
        pc::scene::RenderFrame(scene, state, -1, 0);
        ctx->Finish();
    }
    st.counters["fps"] = benchmark::Counter(double(st.iterations()), benchmark::Counter::kIsRate);
}

void BM_PreviewFrame800x600(benchmark::State& st) { RenderScene(st, 800, 600, false, false); }
void BM_QuickPreviewFrame800x600(benchmark::State& st) { RenderScene(st, 800, 600, true, false); }
void BM_PublishFrame1920x1080(benchmark::State& st) { RenderScene(st, 1920, 1080, false, true); }

BENCHMARK(BM_PreviewFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QuickPreviewFrame800x600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PublishFrame1920x1080)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

BENCHMARK_MAIN();
