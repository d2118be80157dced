// PNG decode and encode, ours beside libpng with the same settings, on real
// pictures. Prints our time over libpng's (goal: at most 1.2) and, for
// encoding, our output size over libpng's (goal: within 1%).
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "libpng_memory_reader.h"
#include "timing_reporter.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Picture {
    std::string name, path;
};
const std::vector<Picture> kPictures = {
    {"MilkTruck2048", "/usr/share/assimp/models/glTF/CesiumMilkTruck/CesiumMilkTruck.png"},
    {"Photo428x640", "/usr/libexec/installed-tests/gdk-pixbuf/bug725582-testrotate.png"},
    {"Spherical693x570", "/usr/share/assimp/models/ReferenceImages/MappingModes/spherical.png"},
};

// libpng reading into a bottom-up BGR DIB, like ours.
void LibpngDecode(const Bytes& file, pc::Bitmap& out)
{
    LibpngMemoryReader reader(file);
    png_structp png = reader.png;
    png_infop info = reader.info;
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    int w = int(png_get_image_width(png, info)), h = int(png_get_image_height(png, info));
    if (out.Width() != w || out.Height() != h)
        out = pc::Bitmap(w, h);
    for (int y = 0; y < h; ++y)
        png_read_row(png, out.ScanLine(y), nullptr);
    png_read_end(png, nullptr);
}

// libpng writing with our defaults: Sub filter, level 7, default strategy,
// IDATs of 65535 bytes.
Bytes LibpngEncode(const pc::Bitmap& bmp)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, LibpngMemoryReader::Fail, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep d, size_t n) {
            auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
            o->insert(o->end(), d, d + n);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(bmp.Width()), png_uint_32(bmp.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_compression_level(png, 7);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_compression_buffer_size(png, 65535);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < bmp.Height(); ++y)
        png_write_row(png, bmp.ScanLine(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::map<std::string, size_t> gBytes; // encoded size by benchmark name


void DecodeOurs(benchmark::State& state, const Picture& pic)
{
    Bytes file = pc::ReadFileBytes(pic.path);
    for (auto _ : state) {
        pc::png::TPNGObject png;
        png.LoadFromStream(file);
        benchmark::DoNotOptimize(png.Scanline(0));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

void DecodeLibpng(benchmark::State& state, const Picture& pic)
{
    Bytes file = pc::ReadFileBytes(pic.path);
    for (auto _ : state) {
        pc::Bitmap bmp; // allocated per run, as ours is
        LibpngDecode(file, bmp);
        benchmark::DoNotOptimize(bmp.Data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

pc::Bitmap DecodedBitmap(const Picture& pic)
{
    pc::Bitmap bmp;
    LibpngDecode(pc::ReadFileBytes(pic.path), bmp);
    return bmp;
}

void EncodeOurs(benchmark::State& state, const Picture& pic)
{
    pc::png::TPNGObject png;
    png.AssignBitmap(DecodedBitmap(pic));
    size_t size = 0;
    for (auto _ : state)
        size = png.SaveToBytes().size();
    gBytes["encode/" + pic.name + "/prismcase"] = size;
}

void EncodeLibpng(benchmark::State& state, const Picture& pic)
{
    pc::Bitmap bmp = DecodedBitmap(pic);
    size_t size = 0;
    for (auto _ : state)
        size = LibpngEncode(bmp).size();
    gBytes["encode/" + pic.name + "/libpng"] = size;
}

} // namespace

int main(int argc, char** argv)
{
    for (const auto& pic : kPictures) {
        for (const char* op : {"decode", "encode"}) {
            bool decode = std::string(op) == "decode";
            benchmark::RegisterBenchmark((std::string(op) + "/" + pic.name + "/prismcase").c_str(),
                                         decode ? DecodeOurs : EncodeOurs, pic)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((std::string(op) + "/" + pic.name + "/libpng").c_str(),
                                         decode ? DecodeLibpng : EncodeLibpng, pic)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nprismcase / libpng (time goal <= 1.20, size goal within 1%%)\n");
    for (const auto& pic : kPictures)
        for (const char* op : {"decode", "encode"}) {
            std::string base = std::string(op) + "/" + pic.name;
            const double ours = reporter.Real(base + "/prismcase"), theirs = reporter.Real(base + "/libpng");
            if (ours <= 0 || theirs <= 0)
                continue;
            std::printf("%-26s time %.3f", base.c_str(), ours / theirs);
            if (gBytes.count(base + "/prismcase") && gBytes.count(base + "/libpng"))
                std::printf("  size %.4f", double(gBytes[base + "/prismcase"]) / double(gBytes[base + "/libpng"]));
            std::printf("\n");
        }
    benchmark::Shutdown();
    return 0;
}
