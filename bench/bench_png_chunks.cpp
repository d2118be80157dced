// Loading a picture whose header is followed by many empty ancillary chunks,
// with and without a gAMA after them; libpng reads the same files beside us.
// Goal: load time grows linearly with the chunk count (time ratio per
// doubling near 2), and the gAMA costs at most a few times the load without it.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/png/png_object.h"
#include "libpng_memory_reader.h"
#include "timing_reporter.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(uint8_t(v >> shift));
}

void Chunk(Bytes& out, const char* name, const Bytes& data)
{
    Put32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), name, name + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

// An 8 x 8 grey picture with `count` empty "prIv" chunks after its header.
Bytes ManyChunks(int64_t count, bool gamma)
{
    Bytes file = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Chunk(file, "IHDR", {0, 0, 0, 8, 0, 0, 0, 8, 8, 0, 0, 0, 0});
    for (int64_t i = 0; i < count; ++i)
        Chunk(file, "prIv", {});
    if (gamma)
        Chunk(file, "gAMA", {0, 1, 0x86, 0xA0});
    Bytes raw(8 * 9, 0);
    uLongf packedSize = compressBound(uLong(raw.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), uLong(raw.size()));
    packed.resize(packedSize);
    Chunk(file, "IDAT", packed);
    Chunk(file, "IEND", {});
    return file;
}

void LibpngLoad(const Bytes& file)
{
    LibpngMemoryReader reader(file);
    png_structp png = reader.png;
    png_read_info(png, reader.info);
    Bytes rows(64);
    for (int y = 0; y < 8; ++y)
        png_read_row(png, rows.data() + 8 * y, nullptr);
    png_read_end(png, nullptr);
}

void Ours(benchmark::State& state, bool gamma)
{
    Bytes file = ManyChunks(state.range(0), gamma);
    for (auto _ : state) {
        pc::png::TPNGObject png;
        png.LoadFromStream(file);
        benchmark::DoNotOptimize(png.GammaTable[128]);
    }
    state.SetComplexityN(state.range(0));
}

void Libpng(benchmark::State& state, bool gamma)
{
    Bytes file = ManyChunks(state.range(0), gamma);
    for (auto _ : state)
        LibpngLoad(file);
    state.SetComplexityN(state.range(0));
}

constexpr int64_t kFewest = 12500, kMost = 200000;

void Counts(benchmark::internal::Benchmark* b)
{
    for (int64_t n = kFewest; n <= kMost; n *= 2)
        b->Arg(n);
}

} // namespace

int main(int argc, char** argv)
{
    for (bool gamma : {false, true}) {
        std::string tail = gamma ? "/gAMA" : "/plain";
        benchmark::RegisterBenchmark(("chunks/prismcase" + tail).c_str(), Ours, gamma)
            ->Apply(Counts)
            ->Complexity(benchmark::oN)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("chunks/libpng" + tail).c_str(), Libpng, gamma)
            ->Apply(Counts)
            ->Complexity(benchmark::oN)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nchunks  time per doubling (goal near 2)  gAMA / plain (goal <= 3)  prismcase / libpng\n");
    for (int64_t n = kFewest * 2; n <= kMost; n *= 2) {
        auto at = [&](const std::string& who, const char* tail, int64_t count) {
            return reporter.Real("chunks/" + who + tail + "/" + std::to_string(count));
        };
        double now = at("prismcase", "/gAMA", n), before = at("prismcase", "/gAMA", n / 2);
        double plain = at("prismcase", "/plain", n), peer = at("libpng", "/gAMA", n);
        if (now <= 0 || before <= 0 || plain <= 0 || peer <= 0)
            continue;
        std::printf("%6lld  %30.2f  %24.2f  %18.2f\n", static_cast<long long>(n), now / before, now / plain,
                    now / peer);
    }
    benchmark::Shutdown();
    return 0;
}
