// Saving: every suite picture written four ways passes pngcheck and pngfix
// and reads back to the same DIB, alpha and palette; bitmaps assigned and
// saved read back in libpng as the colours they had.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/codecs/png/png_builder.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::Bytes;

struct SaveMode {
    const char* name;
    uint8_t interlace;
    FilterSet filters;
};
const SaveMode kModes[] = {
    {"PlainSub", 0, 1 << kFilterSub},
    {"PlainAllFilters", 0, kAllFilters},
    {"Adam7Sub", 1, 1 << kFilterSub},
    {"Adam7AllFilters", 1, kAllFilters},
};

// Exit code of a checker run on a file, quietly.
int Check(const std::string& tool, const std::string& path)
{
    return std::system((tool + " -q '" + path + "' > /dev/null 2>&1").c_str());
}

void ExpectSamePicture(const TPNGObject& a, const TPNGObject& b)
{
    const TChunkIHDR& x = a.Header();
    const TChunkIHDR& y = b.Header();
    EXPECT_EQ(x.ColorType, y.ColorType);
    EXPECT_TRUE(x.Image == y.Image) << "DIB differs";
    EXPECT_EQ(x.Alpha, y.Alpha);
    if (x.HasPalette) {
        for (int i = 0; i < 1 << x.DibBits(); ++i)
            EXPECT_EQ(x.ColorTable[size_t(i)], y.ColorTable[size_t(i)]) << "palette entry " << i;
    }
    EXPECT_EQ(a.TransparencyMode(), b.TransparencyMode());
    EXPECT_EQ(a.TransparentColor(), b.TransparentColor());
}

// One case per folder of the suite and way of saving.
class SuiteRoundTrip : public testing::TestWithParam<std::tuple<std::string, SaveMode>> {};

TEST_P(SuiteRoundTrip, PassesCheckersAndReadsBackUnchanged)
{
    const auto& [folder, mode] = GetParam();
    test::TempDir dir;
    for (const auto& path : test::ValidSuiteFilesIn(folder)) {
        SCOPED_TRACE(path);
        TPNGObject original;
        original.LoadFromFile(path);
        original.InterlaceMethod = mode.interlace;
        original.Filters = mode.filters;
        std::string out = dir.file(std::filesystem::path(path).filename().string());
        original.SaveToFile(out);

        EXPECT_EQ(Check("pngcheck", out), 0) << "pngcheck refuses " << out;
        EXPECT_EQ(Check("pngfix", out), 0) << "pngfix refuses " << out;

        TPNGObject back;
        back.LoadFromFile(out);
        EXPECT_EQ(back.InterlaceMethod, mode.interlace);
        ExpectSamePicture(original, back);
        test::ExpectSamePixels(back, test::DecodeWithLibpng(ReadFileBytes(out)));
    }
}

INSTANTIATE_TEST_SUITE_P(Suite, SuiteRoundTrip,
                         testing::Combine(testing::ValuesIn(test::ValidSuiteFolders()), testing::ValuesIn(kModes)),
                         [](const auto& info) {
                             return test::CaseName(std::get<0>(info.param) + "_" + std::get<1>(info.param).name);
                         });

// A load and a save without edits keeps every sample and every transparent
// pixel, whatever the gamma: libpng (which leaves gamma alone unless asked)
// reads the saved file exactly as it reads the original.
TEST(PngSave, LoadAndSaveKeepsWhatLibpngReads)
{
    int changed = 0;
    for (const auto& path : test::ValidSuiteFiles()) {
        SCOPED_TRACE(path);
        Bytes file = test::ReadAll(path);
        TPNGObject png;
        png.LoadFromStream(file);
        auto before = test::DecodeWithLibpng(file);
        auto after = test::DecodeWithLibpng(png.SaveToBytes());
        ASSERT_EQ(after.width, before.width);
        ASSERT_EQ(after.height, before.height);
        size_t differ = 0, first = 0;
        for (size_t i = before.rgba.size(); i-- > 0;)
            if (after.rgba[i] != before.rgba[i]) {
                ++differ;
                first = i;
            }
        if (differ > 0) {
            ++changed;
            ADD_FAILURE() << differ << " samples differ, the first at pixel " << first / 4 << " channel "
                          << first % 4 << ": " << int(after.rgba[first]) << " for " << int(before.rgba[first]);
        }
    }
    EXPECT_EQ(changed, 0);
}

// 8-bit values widen to 16 bits by repeating the byte: white stays white.
TEST(PngSave, SixteenBitSamplesRepeatTheirHighByte)
{
    for (const char* name : {"basic/basn0g16.png", "basic/basn2c16.png", "basic/basn6a16.png"}) {
        SCOPED_TRACE(name);
        TPNGObject png;
        png.LoadFromFile(test::kPngSuite + name);
        auto samples = test::DecodeWithLibpng16(png.SaveToBytes());
        for (uint16_t s : samples)
            ASSERT_EQ(s >> 8, s & 0xFF);
    }
}

// Real BMP pictures of each depth assigned and saved: libpng reads back the
// bitmap's own colours, and the right colour type.
struct BitmapCase {
    const char* name;
    const char* file;
    PixelFormat format;
    int colorType, bitDepth;
};
const BitmapCase kBitmaps[] = {
    {"Palette8", "palette.bmp", PixelFormat::pf8bit, 3, 8},
    {"Rgb24", "sample.bmp", PixelFormat::pf24bit, 2, 8},
    {"Rgb32", "svg.bmp", PixelFormat::pf32bit, 2, 8},
    {"Mono1", "sample.bmp", PixelFormat::pf1bit, 3, 1},
    {"Palette4", "sample.bmp", PixelFormat::pf4bit, 3, 4},
};

class BitmapAssign : public testing::TestWithParam<BitmapCase> {};

TEST_P(BitmapAssign, SavesTheBitmapsColours)
{
    const BitmapCase& c = GetParam();
    Bitmap bmp = LoadBmpFile(test::kSdlImages + c.file);
    if (bmp.Format() != c.format)
        bmp.SetPixelFormat(c.format);
    TPNGObject png;
    png.AssignBitmap(bmp);
    auto bytes = png.SaveToBytes();
    auto ref = test::DecodeWithLibpng(bytes);
    EXPECT_EQ(ref.colorType, c.colorType);
    EXPECT_EQ(ref.bitDepth, c.bitDepth);
    ASSERT_EQ(ref.width, bmp.Width());
    ASSERT_EQ(ref.height, bmp.Height());
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const uint8_t* p = ref.At(x, y);
            ASSERT_EQ(RGB(p[0], p[1], p[2]), bmp.Pixel(x, y) & 0xFFFFFF) << x << "," << y;
        }
    Bitmap back = png.ToBitmap();
    EXPECT_EQ(back.Format(), c.format == PixelFormat::pf32bit ? PixelFormat::pf24bit : c.format);
}

INSTANTIATE_TEST_SUITE_P(Sdl, BitmapAssign, testing::ValuesIn(kBitmaps),
                         [](const auto& info) { return std::string(info.param.name); });

// Publishing's road: an RGB picture given an alpha channel saves as RGBA.
TEST(PngSave, CreatedAlphaIsWrittenAsRgba)
{
    Bitmap bmp = LoadBmpFile(test::kSdlImages + "svg.bmp");
    TPNGObject png;
    png.AssignBitmap(bmp);
    png.CreateAlpha();
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            png.AlphaScanline(y)[x] = bmp.ScanLine(y)[4 * x + 3];
    auto ref = test::DecodeWithLibpng(png.SaveToBytes());
    EXPECT_EQ(ref.colorType, 6);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            ASSERT_EQ(ref.At(x, y)[3], bmp.ScanLine(y)[4 * x + 3]);
}

// A transparent colour set on an assigned bitmap is what libpng makes transparent.
TEST(PngSave, TransparentColourOfABitmapIsTheKey)
{
    Bitmap bmp = LoadBmpFile(test::kSdlImages + "sample.bmp");
    TColor key = bmp.Pixel(0, 0);
    TPNGObject png;
    png.AssignBitmap(bmp, true, key);
    auto ref = test::DecodeWithLibpng(png.SaveToBytes());
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            ASSERT_EQ(ref.At(x, y)[3] == 0, bmp.Pixel(x, y) == key) << x << "," << y;
}

} // namespace
} // namespace pc::png
