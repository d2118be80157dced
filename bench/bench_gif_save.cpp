// Saving animations of many one-pixel frames, ours beside giflib in one run,
// at 10,000 to 80,000 frames, with and without a local map per frame. Prints
// the time per frame at the largest count over that at the smallest (linear
// growth keeps it near 1) and our time over giflib's.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <memory>
#include <string>

#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"
#include "timing_reporter.h"

namespace {

constexpr int kCounts[] = {10000, 20000, 40000, 80000};

// A 4 x 4 screen of one-pixel frames, each with a delay; local maps on request.
std::unique_ptr<pc::gif::TGIFImage> Animation(int frames, bool localMaps)
{
    using namespace pc::gif;
    auto gif = std::make_unique<TGIFImage>();
    gif->ColorMap().Add({0, 0, 0});
    gif->ColorMap().Add({255, 255, 255});
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(gif.get());
        frame->DoSetBounds(i % 4, (i / 4) % 4, 1, 1);
        if (localMaps) {
            frame->ColorMap().Add({uint8_t(i), 0, 0});
            frame->ColorMap().Add({0, uint8_t(i), 0});
        }
        frame->SetPixel(0, 0, uint8_t(i & 1));
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        gce->SetDelay(2);
        frame->Extensions().Add(std::move(gce));
        gif->Images().Add(std::move(frame));
    }
    return gif;
}

int WriteMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

std::vector<uint8_t> GiflibSave(int frames, bool localMaps)
{
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteMem, &err);
    EGifSetGifVersion(gif, true);
    GifColorType global[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* globalMap = GifMakeMapObject(2, global);
    EGifPutScreenDesc(gif, 4, 4, 1, 0, globalMap);
    GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 2, NO_TRANSPARENT_COLOR};
    GifByteType ext[4];
    for (int i = 0; i < frames; ++i) {
        EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        ColorMapObject* local = nullptr;
        if (localMaps) {
            GifColorType colors[2] = {{uint8_t(i), 0, 0}, {0, uint8_t(i), 0}};
            local = GifMakeMapObject(2, colors);
        }
        EGifPutImageDesc(gif, i % 4, (i / 4) % 4, 1, 1, false, local);
        GifPixelType pixel = GifPixelType(i & 1);
        EGifPutLine(gif, &pixel, 1);
        if (local)
            GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(globalMap);
    return out;
}

void OurSave(benchmark::State& state)
{
    auto gif = Animation(int(state.range(0)), state.range(1) != 0);
    size_t bytes = 0;
    for (auto _ : state) {
        pc::gif::ByteWriter w;
        gif->SaveToStream(w);
        bytes = w.size();
        benchmark::DoNotOptimize(w.bytes().data());
    }
    state.counters["bytes"] = double(bytes);
}

void GiflibSaveBench(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(GiflibSave(int(state.range(0)), state.range(1) != 0).data());
}

void Counts(benchmark::internal::Benchmark* b)
{
    for (int local : {0, 1})
        for (int n : kCounts)
            b->Args({n, local});
}

BENCHMARK(OurSave)->Apply(Counts)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibSaveBench)->Apply(Counts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const int first = kCounts[0], last = kCounts[std::size(kCounts) - 1];
    for (int local : {0, 1}) {
        const char* maps = local ? "with local maps" : "without local maps";
        auto at = [&](const char* name, int n) {
            return reporter.Real(std::string(name) + "/" + std::to_string(n) + "/" + std::to_string(local));
        };
        const double small = at("OurSave", first), large = at("OurSave", last);
        if (small > 0)
            std::printf("save %s: time per frame at %d over %d frames = %.2f (goal <= 1.50)\n", maps, last, first,
                        (large / last) / (small / first));
        if (at("GiflibSaveBench", last) > 0)
            std::printf("save %s, %d frames: ours / giflib = %.2f\n", maps, last, large / at("GiflibSaveBench", last));
    }
    benchmark::Shutdown();
    return 0;
}
