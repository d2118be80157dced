// LZW image data, ours beside giflib in one run: encoding and decoding the
// indices of a real photo (Qt's 256-colour conversion of a Debian sample
// picture) and of noise. Prints our time over giflib's for each pair.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QImage>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "codecs/gif/gif_lzw_decoder.h"
#include "codecs/gif/gif_lzw_encoder.h"
#include "timing_reporter.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
};

Picture Photo()
{
    QImage img("/usr/share/doc/libsixel-examples/examples/images/egret.jpg");
    if (img.isNull()) {
        std::fprintf(stderr, "sample photo missing\n");
        std::exit(1);
    }
    img = img.convertToFormat(QImage::Format_Indexed8);
    Picture p{img.width(), img.height(), {}};
    for (int y = 0; y < img.height(); ++y)
        p.pixels.insert(p.pixels.end(), img.constScanLine(y), img.constScanLine(y) + img.width());
    return p;
}

Picture Noise()
{
    Picture p{512, 512, std::vector<uint8_t>(512 * 512)};
    std::mt19937 rng(1);
    for (auto& v : p.pixels)
        v = uint8_t(rng());
    return p;
}

const Picture& Get(int which)
{
    static const Picture photo = Photo(), noise = Noise();
    return which == 0 ? photo : noise;
}

int WriteMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

struct MemIn {
    const std::vector<uint8_t>* data;
    size_t pos;
};

int ReadMem(GifFileType* gif, GifByteType* buf, int n)
{
    auto* in = static_cast<MemIn*>(gif->UserData);
    size_t k = std::min(size_t(n), in->data->size() - in->pos);
    std::memcpy(buf, in->data->data() + in->pos, k);
    in->pos += k;
    return int(k);
}

std::vector<uint8_t> GiflibEncode(const Picture& p)
{
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteMem, &err);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    EGifPutScreenDesc(gif, p.width, p.height, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, p.width, p.height, false, nullptr);
    for (int y = 0; y < p.height; ++y)
        EGifPutLine(gif, const_cast<GifPixelType*>(p.pixels.data() + size_t(y) * size_t(p.width)), p.width);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return out;
}

// Header 6, screen 7, global map 768, image descriptor 10.
constexpr size_t kImageDataStart = 6 + 7 + 768 + 10;

void OurEncode(benchmark::State& state)
{
    const Picture& p = Get(int(state.range(0)));
    for (auto _ : state) {
        pc::gif::ByteWriter out;
        pc::gif::TLZWEncoder enc;
        enc.Encode(out, 8, 256, p.pixels.data(), false, p.height, p.width);
        benchmark::DoNotOptimize(out.bytes().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.pixels.size()));
}

void GiflibEncodeBench(benchmark::State& state)
{
    const Picture& p = Get(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(GiflibEncode(p).data());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.pixels.size()));
}

void OurDecode(benchmark::State& state)
{
    const Picture& p = Get(int(state.range(0)));
    const std::vector<uint8_t> file = GiflibEncode(p);
    const std::span<const uint8_t> data(file.data() + kImageDataStart, file.size() - kImageDataStart);
    std::vector<uint8_t> pixels(p.pixels.size());
    for (auto _ : state) {
        pc::ByteReader r(data);
        pc::gif::LzwDecode(r, pixels.data(), p.width, p.height, false, [](const std::string&) {});
        benchmark::DoNotOptimize(pixels.data());
    }
    if (pixels != p.pixels)
        state.SkipWithError("decoded pixels differ");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.pixels.size()));
}

void GiflibDecodeBench(benchmark::State& state)
{
    const Picture& p = Get(int(state.range(0)));
    const std::vector<uint8_t> file = GiflibEncode(p);
    for (auto _ : state) {
        MemIn in{&file, 0};
        int err = 0;
        GifFileType* gif = DGifOpen(&in, ReadMem, &err);
        DGifSlurp(gif);
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &err);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(p.pixels.size()));
}

BENCHMARK(OurEncode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibEncodeBench)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(OurDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibDecodeBench)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* inputs[] = {"photo", "noise"};
    for (const char* op : {"Encode", "Decode"}) {
        for (int arg = 0; arg < 2; ++arg) {
            std::string suffix = "/" + std::to_string(arg);
            const double ours = reporter.Real(std::string("Our") + op + suffix);
            const double theirs = reporter.Real(std::string("Giflib") + op + "Bench" + suffix);
            if (ours > 0 && theirs > 0)
                std::printf("%s %s: ours / giflib = %.2f (goal <= 1.30)\n", op, inputs[arg], ours / theirs);
        }
    }
    benchmark::Shutdown();
    return 0;
}
