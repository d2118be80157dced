// The editor's flood fill on 4096 x 4096 pictures beside a naive
// pixel-by-pixel fill (a stack of single pixels, four neighbours each),
// for an open area and for a maze of random walls. Each iteration fills
// the area back and forth between two colours. Prints our time over the
// naive fill's, and our time per fill (goal: under a second).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "editor/tools/flood_fill.h"
#include "timing_reporter.h"

namespace {

using pc::Bitmap;
using pc::TColor;

constexpr int kSide = 4096;
constexpr TColor kA = pc::RGB(255, 255, 255), kB = pc::RGB(250, 20, 20), kWall = 0;

Bitmap MakePicture(int kind)
{
    Bitmap b(kSide, kSide);
    b.Fill(kA);
    if (kind == 1) {
        // One pixel in five a wall: the open area winds around them.
        std::mt19937 rng(5);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                if (rng() % 5 == 0 && (x + y) % 7 != 0)
                    b.SetPixel(x, y, kWall);
    }
    return b;
}

Bitmap& Picture(int kind)
{
    static Bitmap pictures[2] = {MakePicture(0), MakePicture(1)};
    return pictures[kind];
}

// The reference: exact colour match, one stack entry per pixel.
int64_t NaiveFill(Bitmap& b, int sx, int sy, TColor colour)
{
    const TColor target = b.Pixel(sx, sy);
    if (target == colour)
        return 0;
    const uint8_t want[3] = {pc::GetBValue(target), pc::GetGValue(target), pc::GetRValue(target)};
    const uint8_t put[3] = {pc::GetBValue(colour), pc::GetGValue(colour), pc::GetRValue(colour)};
    auto at = [&](int x, int y) { return b.ScanLine(y) + x * 3; };
    auto matches = [&](int x, int y) {
        const uint8_t* p = at(x, y);
        return p[0] == want[0] && p[1] == want[1] && p[2] == want[2];
    };
    std::vector<std::pair<int, int>> stack{{sx, sy}};
    int64_t n = 0;
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        if (x < 0 || y < 0 || x >= b.Width() || y >= b.Height() || !matches(x, y))
            continue;
        std::copy_n(put, 3, at(x, y));
        ++n;
        stack.push_back({x + 1, y});
        stack.push_back({x - 1, y});
        stack.push_back({x, y + 1});
        stack.push_back({x, y - 1});
    }
    return n;
}

void OurFill(benchmark::State& state)
{
    Bitmap& b = Picture(int(state.range(0)));
    bool toB = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pc::editor::FillArea(b, 0, 0, toB ? kB : kA, 1));
        toB = !toB;
    }
    if (!toB)
        pc::editor::FillArea(b, 0, 0, kA, 1);
}

void NaiveFillBench(benchmark::State& state)
{
    Bitmap& b = Picture(int(state.range(0)));
    bool toB = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NaiveFill(b, 0, 0, toB ? kB : kA));
        toB = !toB;
    }
    if (!toB)
        NaiveFill(b, 0, 0, kA);
}

BENCHMARK(OurFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(NaiveFillBench)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* inputs[] = {"open", "maze"};
    for (int arg = 0; arg < 2; ++arg) {
        const std::string suffix = "/" + std::to_string(arg);
        const double ours = reporter.Real("OurFill" + suffix), theirs = reporter.Real("NaiveFillBench" + suffix);
        if (ours > 0 && theirs > 0)
            std::printf("4096 x 4096 %s: ours %.0f ms (goal < 1000), ours / naive = %.2f\n", inputs[arg],
                        ours * 1000, ours / theirs);
    }
    benchmark::Shutdown();
    return 0;
}
