// Publishing the sample scene at 1920 x 1080: one plain frame, "None"
// (one pass), "Auto" (24 jittered passes blended), and a transparent "None"
// (a black and a white render, then the alpha). Prints the per-pass cost of
// "Auto" against one frame and the transparent publish against an opaque one.
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "app/publish/alpha_extraction.h"
#include "app/publish/tiled_render.h"
#include "platform/gl_context.h"
#include "scene/render/render_demo_scene.h"
#include "scene/render/render_frame.h"

namespace {

constexpr int kW = 1920, kH = 1080;

std::map<std::string, double> seconds; // per iteration

// The sample scene lives in one context; renders go to contexts sharing it.
struct SampleScene {
    std::unique_ptr<pc::GLContext> main = pc::GLContext::Create();
    pc::scene::SceneParams params;
    SampleScene()
    {
        main->Bind(16, 16, true);
        params = pc::scene::BuildDemoScene();
        params.Publishing = true;
        params.DrawLight = false;
        params.DrawAxis = false;
    }
};

// Released by main: a GL context must go while the GL library is still loaded,
// not among the static destructors.
std::unique_ptr<SampleScene> scene;

SampleScene& Scene()
{
    if (!scene)
        scene = std::make_unique<SampleScene>();
    return *scene;
}

class SampleHost : public pc::RenderHost {
public:
    explicit SampleHost(pc::scene::SceneParams params) : params_(std::move(params)) {}
    void BeginOffscreen(int w, int h) override
    {
        ctx_ = pc::GLContext::Create({}, Scene().main.get());
        ctx_->Bind(w, h, false);
    }
    void SetTileView(int frameW, int frameH, int x, int y) override
    {
        pc::scene::SetSceneProjection(frameW, frameH, params_.TBCameraLookAtA);
        glViewport(-x, -y, frameW, frameH);
    }
    void RenderPass(int i, int n) override { pc::scene::RenderFrame(params_, frame_, i, n); }
    const uint8_t* Pixels() override
    {
        ctx_->Finish();
        return ctx_->Pixels();
    }
    void EndOffscreen() override { ctx_.reset(); }
    void ProcessEvents() override {}
    bool Cancelled() const override { return false; }
    void Progress(int, int) override {}

private:
    pc::scene::SceneParams params_;
    pc::scene::FrameState frame_;
    std::unique_ptr<pc::GLContext> ctx_;
};

template <class F>
void Timed(benchmark::State& st, const std::string& name, F&& f)
{
    double total = 0;
    for (auto _ : st) {
        auto t0 = std::chrono::steady_clock::now();
        f();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    seconds[name] = total / double(st.iterations());
}

pc::Bitmap Publish(pc::AntiAlias method, std::optional<pc::TColor> floor = std::nullopt)
{
    auto params = Scene().params;
    if (floor) {
        params.ImageFloor = {0, *floor};
        params.ImageBackground = {0, *floor};
    }
    SampleHost host(params);
    return pc::RenderToBitmap(host, kW, kH, kW, kH, method).picture;
}

void BM_OneFrame(benchmark::State& st)
{
    Scene();
    Timed(st, "frame", [] {
        SampleHost host(Scene().params);
        host.BeginOffscreen(kW, kH);
        host.SetTileView(kW, kH, 0, 0);
        host.RenderPass(-1, 0);
        benchmark::DoNotOptimize(host.Pixels());
        host.EndOffscreen();
    });
}

void BM_PublishNone(benchmark::State& st)
{
    Scene();
    Timed(st, "none", [] { benchmark::DoNotOptimize(Publish(pc::AntiAlias::None)); });
}

void BM_PublishAuto(benchmark::State& st)
{
    Scene();
    Timed(st, "auto", [] { benchmark::DoNotOptimize(Publish(pc::AntiAlias::Auto)); });
}

void BM_PublishTransparentNone(benchmark::State& st)
{
    Scene();
    Timed(st, "transparent", [] {
        pc::Bitmap black = Publish(pc::AntiAlias::None, pc::clBlack);
        pc::Bitmap white = Publish(pc::AntiAlias::None, pc::clWhite);
        pc::Bitmap out;
        benchmark::DoNotOptimize(pc::AlphaFromWhiteBlack(white, black, out));
    });
}

BENCHMARK(BM_OneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PublishNone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PublishAuto)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_PublishTransparentNone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scene.reset();
    if (seconds.count("frame") && seconds.count("auto"))
        std::printf("Auto, cost of one of its 24 passes / one frame: %.3f (goal <= 1.15)\n",
                    seconds["auto"] / 24.0 / seconds["frame"]);
    if (seconds.count("none") && seconds.count("transparent"))
        std::printf("transparent publish / opaque publish: %.3f (goal <= 2.1)\n", seconds["transparent"] / seconds["none"]);
    return 0;
}
