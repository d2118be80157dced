// EMF and WMF files that Inkscape wrote from drawings Debian ships, played
// and compared with Inkscape's own PNG render of the same drawing (see
// tests/data/metafiles/inkscape/README.md). Both pictures are shrunk to 96
// pixels wide by plain box averaging and compared in grey; the bound of each
// drawing was set from its WMF, which holds only polygons.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/file_io.h"
#include "scene/pictures/metafile_player.h"

namespace pc {
namespace {

const std::string kDir = std::string(PRISMCASE_SOURCE_DIR) + "/tests/data/metafiles/inkscape/";
constexpr int kSide = 96;

struct Grey {
    int width = 0, height = 0;
    std::vector<double> v; // row by row
    double at(int x, int y) const { return v[size_t(y) * width + x]; }
};

Grey ReadPngGrey(const std::string& path)
{
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    Grey g;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        return g;
    img.format = PNG_FORMAT_RGB;
    const png_color white{255, 255, 255};
    std::vector<uint8_t> buf(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, &white, buf.data(), 0, nullptr))
        return g;
    g.width = int(img.width);
    g.height = int(img.height);
    for (size_t i = 0; i + 2 < buf.size(); i += 3)
        g.v.push_back((buf[i] + buf[i + 1] + buf[i + 2]) / 3.0);
    return g;
}

Grey GreyOf(const Bitmap& b)
{
    Grey g{b.Width(), b.Height(), {}};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            g.v.push_back((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3.0);
        }
    return g;
}

// Each target pixel is the mean of the source pixels its box covers.
Grey Shrink(const Grey& s, int w, int h)
{
    Grey out{w, h, {}};
    for (int y = 0; y < h; ++y) {
        const int y0 = y * s.height / h, y1 = std::max(y0 + 1, (y + 1) * s.height / h);
        for (int x = 0; x < w; ++x) {
            const int x0 = x * s.width / w, x1 = std::max(x0 + 1, (x + 1) * s.width / w);
            double sum = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    sum += s.at(sx, sy);
            out.v.push_back(sum / ((y1 - y0) * (x1 - x0)));
        }
    }
    return out;
}

struct InkscapeCase {
    const char* name;
    double bound; // mean grey difference, from 0 to 255
};

// Bounds: one and a half times the WMF's difference here, plus one level.
const InkscapeCase kDrawings[] = {
    {"tiger", 8},
    {"live-path-effects-gears", 2},
    {"art-nouveau-P3", 3.6},
    {"i18n-lines", 10.5},
};

void PrintTo(const InkscapeCase& c, std::ostream* os) { *os << c.name; }

class InkscapeMetafile : public testing::TestWithParam<InkscapeCase> {};

TEST_P(InkscapeMetafile, LooksLikeInkscapesOwnRender)
{
    const std::string base = kDir + GetParam().name;
    const Grey ref = ReadPngGrey(base + ".png");
    ASSERT_GT(ref.width, 0) << base << ".png";
    const int h = std::max(1, int(std::lround(double(ref.height) * kSide / ref.width)));
    const Grey want = Shrink(ref, kSide, h);
    for (const char* ext : {".emf", ".wmf"}) {
        const Grey ours = Shrink(GreyOf(PlayMetafile(ReadFileBytes(base + ext))), kSide, h);
        double diff = 0;
        for (size_t i = 0; i < want.v.size(); ++i)
            diff += std::abs(want.v[i] - ours.v[i]);
        diff /= double(want.v.size());
        RecordProperty(std::string("difference") + ext, std::to_string(diff));
        EXPECT_LE(diff, GetParam().bound) << ext;
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, InkscapeMetafile, testing::ValuesIn(kDrawings),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             std::erase(n, '-');
                             return n;
                         });

} // namespace
} // namespace pc
