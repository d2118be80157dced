// Optimising animations of many one-pixel frames that share the global map,
// every second frame repeating the one before, at 15,000 to 120,000 frames:
// load, optimise, save beside load and save alone. Prints the time per frame
// at the largest count over that at the smallest (linear growth keeps it
// near 1) and optimising over copying.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"
#include "timing_reporter.h"

namespace {

using namespace pc::gif;

constexpr int kCounts[] = {15000, 30000, 60000, 120000};

std::vector<uint8_t> Animation(int frames)
{
    TGIFImage gif;
    for (const TGIFColor c : {TGIFColor{0, 0, 0}, TGIFColor{255, 255, 255}, TGIFColor{255, 0, 0}})
        gif.ColorMap().Add(c);
    for (int i = 0; i < frames; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        frame->DoSetBounds(0, 0, 1, 1);
        frame->SetPixel(0, 0, uint8_t(i / 2 % 2));
        auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
        gce->SetDelay(2);
        frame->Extensions().Add(std::move(gce));
        gif.Images().Add(std::move(frame));
    }
    gif.SetWidth(2);
    gif.SetHeight(2);
    ByteWriter w;
    gif.SaveToStream(w);
    return w.take();
}

const std::vector<uint8_t>& File(int frames)
{
    static std::vector<std::vector<uint8_t>> files(std::size(kCounts));
    for (size_t i = 0; i < std::size(kCounts); ++i)
        if (kCounts[i] == frames) {
            if (files[i].empty())
                files[i] = Animation(frames);
            return files[i];
        }
    std::abort();
}

void Run(benchmark::State& state, bool optimize)
{
    const std::vector<uint8_t>& file = File(int(state.range(0)));
    for (auto _ : state) {
        TGIFImage gif;
        pc::ByteReader r(file);
        gif.LoadFromStream(r);
        if (optimize)
            gif.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup) |
                             OptimizeOption(ooColorMap),
                         TColorReduction::rmNone, TDitherMode::dmNearest, 8);
        ByteWriter w;
        gif.SaveToStream(w);
        benchmark::DoNotOptimize(w.bytes().data());
    }
}

void Optimize(benchmark::State& state)
{
    Run(state, true);
}

void Copy(benchmark::State& state)
{
    Run(state, false);
}

void Counts(benchmark::internal::Benchmark* b)
{
    for (int n : kCounts)
        b->Arg(n);
}

BENCHMARK(Optimize)->Apply(Counts)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Apply(Counts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const int first = kCounts[0], last = kCounts[std::size(kCounts) - 1];
    auto at = [&](const char* name, int n) { return reporter.Real(std::string(name) + "/" + std::to_string(n)); };
    if (at("Optimize", first) > 0)
        std::printf("optimize: time per frame at %d over %d frames = %.2f (goal <= 1.50)\n", last, first,
                    (at("Optimize", last) / last) / (at("Optimize", first) / first));
    for (int n : kCounts)
        if (at("Copy", n) > 0)
            std::printf("%d frames: optimize / copy = %.2f (goal <= 3.00)\n", n, at("Optimize", n) / at("Copy", n));
    benchmark::Shutdown();
    return 0;
}
