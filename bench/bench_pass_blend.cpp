// One 1920 x 1080 pass blended into the picture: the program's blend beside
// the plain division it replaces.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/publish/pass_blend.h"

namespace {

constexpr int kW = 1920, kH = 1080, kPasses = 24;

std::vector<uint8_t> PassPixels()
{
    std::vector<uint8_t> px(size_t(kW) * kH * 4);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = uint8_t(i * 2654435761u >> 24);
    return px;
}

void DivisionBlendRow(pc::Bitmap& picture, int row, const uint8_t* src, int width, int pass, int passes)
{
    uint8_t* d = picture.ScanLine(row);
    const unsigned n = unsigned(passes), wn = n - unsigned(pass), wo = unsigned(pass);
    for (int x = 0; x < width * 3; x += 3, src += 4) {
        d[x] = uint8_t((src[0] * wn + d[x] * wo) / n);
        d[x + 1] = uint8_t((src[1] * wn + d[x + 1] * wo) / n);
        d[x + 2] = uint8_t((src[2] * wn + d[x + 2] * wo) / n);
    }
}

void BM_BlendPass(benchmark::State& state)
{
    const auto px = PassPixels();
    pc::Bitmap picture(kW, kH, pc::PixelFormat::pf24bit);
    int pass = 1;
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            pc::BlendPassRow(picture, y, 0, px.data() + size_t(y) * kW * 4, kW, pass, kPasses);
        pass = pass % (kPasses - 1) + 1;
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
}

void BM_DivisionBlendPass(benchmark::State& state)
{
    const auto px = PassPixels();
    pc::Bitmap picture(kW, kH, pc::PixelFormat::pf24bit);
    int pass = 1;
    for (auto _ : state) {
        for (int y = 0; y < kH; ++y)
            DivisionBlendRow(picture, y, px.data() + size_t(y) * kW * 4, kW, pass, kPasses);
        pass = pass % (kPasses - 1) + 1;
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
}

BENCHMARK(BM_BlendPass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivisionBlendPass)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
