// Octree quantization to 256 colours beside libimagequant on real photos:
// time per picture and the mean squared error of the result, then the ratios.
#include <benchmark/benchmark.h>
#include <libimagequant.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "codecs/gif/color_reduction.h"
#include "timing_reporter.h"

namespace {

using namespace pc;
using namespace pc::gif;

struct Photo {
    std::string name;
    Bitmap bitmap;        // 24-bit
    std::vector<uint8_t> rgba; // the same pixels for libimagequant
};

std::vector<Photo> LoadPhotos()
{
    const std::vector<std::string> paths = {
        "/usr/share/assimp/models/3DS/IMAGE1.jpg",
        "/usr/share/assimp/models/3DS/IMAGE2.jpg",
        "/usr/share/assimp/models/3DS/CWALL02.jpg",
        "/usr/share/doc/libsixel-examples/examples/images/snake.jpg",
        "/usr/share/doc/libsixel-examples/examples/images/egret.jpg",
    };
    std::vector<Photo> photos;
    for (const std::string& path : paths) {
        QImage image(QString::fromStdString(path));
        if (image.isNull())
            continue;
        image = image.convertToFormat(QImage::Format_RGBA8888);
        Photo photo{std::filesystem::path(path).stem().string(), Bitmap(image.width(), image.height()), {}};
        photo.rgba.resize(size_t(image.width()) * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            const uchar* src = image.constScanLine(y);
            std::copy(src, src + image.width() * 4, photo.rgba.begin() + ptrdiff_t(y) * image.width() * 4);
            uint8_t* dst = photo.bitmap.ScanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                dst[x * 3] = src[x * 4 + 2];
                dst[x * 3 + 1] = src[x * 4 + 1];
                dst[x * 3 + 2] = src[x * 4];
            }
        }
        photos.push_back(std::move(photo));
    }
    return photos;
}

const std::vector<Photo>& Photos()
{
    static const std::vector<Photo> photos = LoadPhotos();
    return photos;
}

// Mean squared error per channel of palette colours against the photo.
double Mse(const Photo& photo, const std::vector<uint8_t>& indices, const std::vector<RGBQuad>& palette)
{
    double sum = 0;
    for (size_t i = 0; i < indices.size(); ++i) {
        const RGBQuad& q = palette[indices[i]];
        int dr = q.red - photo.rgba[i * 4], dg = q.green - photo.rgba[i * 4 + 1], db = q.blue - photo.rgba[i * 4 + 2];
        sum += dr * dr + dg * dg + db * db;
    }
    return sum / (3.0 * double(indices.size()));
}

std::map<std::string, double> gMse;

void BM_Octree(benchmark::State& state, size_t index)
{
    const Photo& photo = Photos()[index];
    Bitmap reduced;
    for (auto _ : state) {
        reduced = ReduceColors(photo.bitmap, TColorReduction::rmQuantize, TDitherMode::dmNearest, 8);
        benchmark::DoNotOptimize(reduced.Data());
    }
    std::vector<uint8_t> indices;
    for (int y = 0; y < reduced.Height(); ++y)
        indices.insert(indices.end(), reduced.ScanLine(y), reduced.ScanLine(y) + reduced.Width());
    double mse = Mse(photo, indices, reduced.Palette());
    gMse["octree/" + photo.name] = mse;
    state.counters["mse"] = mse;
    state.counters["pixels"] = double(indices.size());
}

void BM_LibImageQuant(benchmark::State& state, size_t index)
{
    const Photo& photo = Photos()[index];
    const int width = photo.bitmap.Width(), height = photo.bitmap.Height();
    std::vector<uint8_t> indices(size_t(width) * height);
    std::vector<RGBQuad> palette;
    for (auto _ : state) {
        liq_attr* attr = liq_attr_create();
        liq_set_max_colors(attr, 256);
        liq_image* image = liq_image_create_rgba(attr, photo.rgba.data(), width, height, 0);
        liq_result* result = nullptr;
        if (liq_image_quantize(image, attr, &result) != LIQ_OK) {
            state.SkipWithError("libimagequant failed");
            break;
        }
        liq_set_dithering_level(result, 0); // plain remapping, like the octree run
        liq_write_remapped_image(result, image, indices.data(), indices.size());
        const liq_palette* pal = liq_get_palette(result);
        palette.assign(pal->count, RGBQuad{});
        for (unsigned i = 0; i < pal->count; ++i)
            palette[i] = RGBQuad{pal->entries[i].b, pal->entries[i].g, pal->entries[i].r, 0};
        liq_result_destroy(result);
        liq_image_destroy(image);
        liq_attr_destroy(attr);
    }
    if (palette.empty())
        return;
    double mse = Mse(photo, indices, palette);
    gMse["libimagequant/" + photo.name] = mse;
    state.counters["mse"] = mse;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (Photos().empty()) {
        std::fprintf(stderr, "no photos found\n");
        return 1;
    }
    for (size_t i = 0; i < Photos().size(); ++i) {
        benchmark::RegisterBenchmark(("octree/" + Photos()[i].name).c_str(), BM_Octree, i)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("libimagequant/" + Photos()[i].name).c_str(), BM_LibImageQuant, i)
            ->Unit(benchmark::kMillisecond);
    }
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // libimagequant runs on several threads: wall time and CPU time differ.
    std::printf("\n%-10s %11s %11s %11s %9s %10s\n", "photo", "wall ratio", "cpu ratio", "mse octree", "mse liq", "mse ratio");
    for (const Photo& photo : Photos()) {
        const std::string ours = "octree/" + photo.name, theirs = "libimagequant/" + photo.name;
        if (reporter.Real(ours) <= 0 || reporter.Real(theirs) <= 0 || !gMse.count(ours) || !gMse.count(theirs))
            continue;
        std::printf("%-10s %10.2fx %10.2fx %11.2f %9.2f %9.2fx\n", photo.name.c_str(),
                    reporter.Real(ours) / reporter.Real(theirs), reporter.Cpu(ours) / reporter.Cpu(theirs), gMse[ours],
                    gMse[theirs], gMse[ours] / gMse[theirs]);
    }
    benchmark::Shutdown();
    return 0;
}
