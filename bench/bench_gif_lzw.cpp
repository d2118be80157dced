// LZW image data, ours beside giflib in one run: encoding and decoding the
// indices of a real photo (Qt's 256-colour conversion of a Debian sample
// picture), of noise, of a render as publishing writes it (the "Software
// Box" template published as an 800 x 600 GIF by the probe) and of a flat
// picture. Prints our time over giflib's for each pair.
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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

Picture GiflibFirstFrame(const std::string& path);

Picture Render()
{
    const std::string out = (std::filesystem::temp_directory_path() / "bench_gif_lzw_render.gif").string();
    const std::string cmd = "QT_QPA_PLATFORM=offscreen GALLIUM_DRIVER=llvmpipe '" PRISMCASE_BINARY_DIR
                            "/prismcase-probe' publish '" PRISMCASE_BINARY_DIR "/templates/Software Box.qv7kb' '" +
                            out + "' --size 800x600 --method none --type gif > /dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "publishing the template failed: %s\n", cmd.c_str());
        std::exit(1);
    }
    Picture p = GiflibFirstFrame(out);
    std::filesystem::remove(out);
    return p;
}

// Large blocks of one colour on a plain background, as a box shot's
// surroundings are, with a band of two-pixel stripes.
Picture Flat()
{
    Picture p{1000, 750, std::vector<uint8_t>(1000 * 750, 7)};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            uint8_t& v = p.pixels[size_t(y) * 1000 + size_t(x)];
            if (x >= 150 && x < 640 && y >= 90 && y < 610)
                v = uint8_t(40 + (x - 150) / 123 + 4 * ((y - 90) / 130));
            else if (y >= 660 && y < 700)
                v = uint8_t(x / 2 % 2 ? 200 : 7);
        }
    return p;
}

const Picture& Get(int which)
{
    static const Picture pictures[] = {Photo(), Noise(), Render(), Flat()};
    return pictures[which];
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

Picture GiflibFirstFrame(const std::string& path)
{
    int err = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &err);
    if (!gif || DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
        std::fprintf(stderr, "giflib cannot read %s\n", path.c_str());
        std::exit(1);
    }
    const SavedImage& f = gif->SavedImages[0];
    Picture p{f.ImageDesc.Width, f.ImageDesc.Height, {}};
    p.pixels.assign(f.RasterBits, f.RasterBits + size_t(p.width) * size_t(p.height));
    DGifCloseFile(gif, &err);
    return p;
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

BENCHMARK(OurEncode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibEncodeBench)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(OurDecode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(GiflibDecodeBench)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* inputs[] = {"photo", "noise", "render", "flat"};
    for (const char* op : {"Encode", "Decode"}) {
        for (int arg = 0; arg < 4; ++arg) {
            std::string suffix = "/" + std::to_string(arg);
            const double ours = reporter.Real(std::string("Our") + op + suffix);
            const double theirs = reporter.Real(std::string("Giflib") + op + "Bench" + suffix);
            if (ours > 0 && theirs > 0)
                std::printf("%s %s: ours / giflib = %.2f (goal <= %s)\n", op, inputs[arg], ours / theirs,
                            arg < 2 ? "1.30" : "1.00");
        }
    }
    benchmark::Shutdown();
    return 0;
}
