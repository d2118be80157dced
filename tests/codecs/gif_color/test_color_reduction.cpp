#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <set>

#include "codecs/gif/color_dib.h"
#include "codecs/gif/color_palettes.h"
#include "codecs/gif/color_reduction.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/octree_quantizer.h"
#include "codecs/gif/web_palette.h"
#include "tests/codecs/gif_color/photos.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc;
using namespace pc::gif;

std::string MessageOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const GIFException& e) {
        return e.what();
    }
    return "no GIFException";
}

// A smooth gradient with noise: many more colours than any palette holds.
Bitmap Colourful(int width, int height, PixelFormat pf = PixelFormat::pf24bit)
{
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    std::mt19937 rng(3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.SetPixel(x, y, RGB(uint8_t(x * 255 / width), uint8_t(y * 255 / height), uint8_t(rng())));
    bitmap.SetPixelFormat(pf);
    return bitmap;
}

std::set<uint32_t> IndicesUsed(const Bitmap& indexed)
{
    std::set<uint32_t> used;
    for (int y = 0; y < indexed.Height(); ++y)
        for (int x = 0; x < indexed.Width(); ++x)
            used.insert(indexed.RawPixel(x, y));
    return used;
}

struct MethodCase {
    const char* name;
    TColorReduction reduction;
    int bits;    // reduction bits passed
    int maxUsed; // colours the result may hold
};

class Methods : public ::testing::TestWithParam<std::tuple<MethodCase, TDitherMode>> {};

TEST_P(Methods, GiveAnEightBitPictureWithinTheirColourCount)
{
    auto [method, dither] = GetParam();
    Bitmap source = Colourful(67, 41);
    Bitmap before = source;
    Bitmap reduced = ReduceColors(source, method.reduction, dither, method.bits, WebPalette());
    EXPECT_EQ(source, before);
    ASSERT_EQ(reduced.Format(), PixelFormat::pf8bit);
    ASSERT_EQ(reduced.Width(), 67);
    ASSERT_EQ(reduced.Height(), 41);
    ASSERT_LE(int(reduced.Palette().size()), 256);
    auto used = IndicesUsed(reduced);
    EXPECT_LE(int(used.size()), method.maxUsed);
    EXPECT_LT(int(*used.rbegin()), int(reduced.Palette().size()));
}

const MethodCase kMethods[] = {
    {"Windows20", TColorReduction::rmWindows20, 8, 20},
    {"Windows256", TColorReduction::rmWindows256, 8, 256},
    {"WindowsGray", TColorReduction::rmWindowsGray, 8, 4},
    {"Monochrome", TColorReduction::rmMonochrome, 8, 2},
    {"GrayScale", TColorReduction::rmGrayScale, 8, 256},
    {"Netscape", TColorReduction::rmNetscape, 8, 216},
    {"Quantize1", TColorReduction::rmQuantize, 1, 2},
    {"Quantize3", TColorReduction::rmQuantize, 3, 8},
    {"Quantize4", TColorReduction::rmQuantize, 4, 16},
    {"Quantize8", TColorReduction::rmQuantize, 8, 256},
    {"QuantizeWindows", TColorReduction::rmQuantizeWindows, 8, 256},
    {"Palette", TColorReduction::rmPalette, 8, 216},
};

std::string MethodCaseName(const ::testing::TestParamInfo<std::tuple<MethodCase, TDitherMode>>& info)
{
    const char* mode = std::get<1>(info.param) == TDitherMode::dmNearest ? "Nearest"
                       : std::get<1>(info.param) == TDitherMode::dmFloydSteinberg ? "FloydSteinberg"
                                                                                 : "SteveArche";
    return std::string(std::get<0>(info.param).name) + "_" + mode;
}

INSTANTIATE_TEST_SUITE_P(AllMethods, Methods,
                         ::testing::Combine(::testing::ValuesIn(kMethods),
                                            ::testing::Values(TDitherMode::dmNearest, TDitherMode::dmFloydSteinberg,
                                                              TDitherMode::dmSteveArche)),
                         MethodCaseName);

TEST(ReduceColors, NoneGivesATwentyFourBitCopyAndKeepsTheSource)
{
    Bitmap source = Colourful(20, 10, PixelFormat::pf32bit);
    source.SetRawPixel(3, 3, 0x80123456);
    Bitmap before = source;
    Bitmap copy = ReduceColors(source, TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    EXPECT_EQ(source, before);
    ASSERT_EQ(copy.Format(), PixelFormat::pf24bit);
    EXPECT_EQ(copy.Pixel(3, 3), TColor(0x123456));
    EXPECT_TRUE(copy.Palette().empty());
}

// A 32-bit picture with alpha is reduced without touching the caller's copy.
TEST(ReduceColors, ThirtyTwoBitSourceKeepsItsAlpha)
{
    Bitmap source = Colourful(16, 16, PixelFormat::pf32bit);
    source.SetRawPixel(0, 0, 0x7F000000 | clWhite);
    Bitmap before = source;
    Bitmap reduced = ReduceColors(source, TColorReduction::rmNetscape, TDitherMode::dmNearest, 8);
    EXPECT_EQ(source, before);
    EXPECT_EQ(reduced.Pixel(0, 0), clWhite);
}

TEST(ReduceColors, PaletteSourcesAreReadAsTheirColours)
{
    Bitmap source(5, 3, PixelFormat::pf4bit);
    source.Palette() = {ToQuad(RGB(255, 0, 0)), ToQuad(RGB(0, 0, 255))};
    source.SetRawPixel(2, 1, 1);
    Bitmap reduced = ReduceColors(source, TColorReduction::rmNetscape, TDitherMode::dmFloydSteinberg, 8);
    EXPECT_EQ(reduced.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(reduced.Pixel(2, 1), RGB(0, 0, 255));
}

TEST(ReduceColors, CustomPaletteAllBlackGivesIndexZero)
{
    Bitmap reduced = ReduceColors(Colourful(9, 9), TColorReduction::rmPalette, TDitherMode::dmBurkes, 8,
                                  std::vector<RGBQuad>(16, RGBQuad{}));
    EXPECT_EQ(IndicesUsed(reduced), std::set<uint32_t>{0});
}

// Qt's own conversion to a given colour table is an independent reference:
// our nearest colour is never farther than the one Qt picks.
TEST(ReduceColors, CustomPaletteIsNeverFartherThanQtsChoice)
{
    auto paths = pc::test::PhotoPaths();
    if (paths.empty())
        GTEST_SKIP() << "no photos installed";
    std::vector<RGBQuad> palette = HalftonePalette();
    QList<QRgb> table;
    for (const RGBQuad& q : palette)
        table.push_back(qRgb(q.red, q.green, q.blue));
    Bitmap photo = pc::test::LoadPhoto(paths.front());
    QImage image(photo.Width(), photo.Height(), QImage::Format_RGB32);
    for (int y = 0; y < photo.Height(); ++y)
        for (int x = 0; x < photo.Width(); ++x) {
            TColor c = photo.Pixel(x, y);
            image.setPixel(x, y, qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    QImage qt = image.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither | Qt::AvoidDither);
    Bitmap ours = ReduceColors(photo, TColorReduction::rmPalette, TDitherMode::dmNearest, 8, palette);
    auto distance = [](TColor a, QRgb b) {
        int dr = GetRValue(a) - qRed(b), dg = GetGValue(a) - qGreen(b), db = GetBValue(a) - qBlue(b);
        return dr * dr + dg * dg + db * db;
    };
    for (int y = 0; y < photo.Height(); ++y)
        for (int x = 0; x < photo.Width(); ++x) {
            QRgb source = image.pixel(x, y);
            QRgb theirs = qt.pixel(x, y);
            ASSERT_LE(distance(ours.Pixel(x, y), source), distance(RGB(qRed(theirs), qGreen(theirs), qBlue(theirs)), source))
                << x << "," << y;
        }
}

TEST(ReduceColors, BadArgumentsRaise)
{
    Bitmap source = Colourful(8, 8);
    EXPECT_EQ(MessageOf([&] { ReduceColors(source, TColorReduction(10), TDitherMode::dmNearest, 8); }),
              "Invalid reduction method");
    EXPECT_EQ(MessageOf([&] { ReduceColors(source, TColorReduction::rmNetscape, TDitherMode(9), 8); }),
              "Invalid dither mode");
    EXPECT_EQ(MessageOf([&] { ReduceColors(source, TColorReduction::rmPalette, TDitherMode::dmNearest, 8, {}); }),
              "Color table is empty");
    for (int bits : {0, 9, -1})
        EXPECT_EQ(MessageOf([&] { ReduceColors(source, TColorReduction::rmQuantize, TDitherMode::dmNearest, bits); }),
                  "Invalid Bits Per Pixel value");
    EXPECT_EQ(MessageOf([&] { ReduceColors(Bitmap(), TColorReduction::rmNetscape, TDitherMode::dmNearest, 8); }),
              "Invalid image dimensions");
}

TEST(Octree, ThreeColoursComeFirstInTreeOrderThenBlack)
{
    Bitmap source(3, 2, PixelFormat::pf24bit);
    const TColor colours[] = {RGB(200, 10, 10), RGB(10, 200, 10), RGB(10, 10, 200)};
    for (int x = 0; x < 3; ++x) {
        source.SetPixel(x, 0, colours[x]);
        source.SetPixel(x, 1, colours[2 - x]);
    }
    auto palette = CreateOptimizedPalette(source, 256, 8, false);
    ASSERT_EQ(palette.size(), 256u);
    // Child index = red bit << 2 | green bit << 1 | blue bit: blue, green, red.
    EXPECT_EQ(FromQuad(palette[0]), RGB(10, 10, 200));
    EXPECT_EQ(FromQuad(palette[1]), RGB(10, 200, 10));
    EXPECT_EQ(FromQuad(palette[2]), RGB(200, 10, 10));
    for (size_t i = 3; i < palette.size(); ++i)
        ASSERT_EQ(palette[i], RGBQuad{}) << i;
}

TEST(Octree, WindowsColoursFrameTheQuantizedOnes)
{
    auto palette = CreateOptimizedPalette(Colourful(50, 50), 256, 8, true);
    auto reserved = Windows20Palette();
    ASSERT_EQ(palette.size(), 256u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(palette[i], reserved[i]);
        EXPECT_EQ(palette[246 + i], reserved[10 + i]);
    }
    std::set<TColor> quantized;
    for (int i = 10; i < 246; ++i)
        quantized.insert(FromQuad(palette[i]));
    EXPECT_GT(quantized.size(), 200u);
}

// Mean colours of a leaf that holds more pixels than a 32-bit sum allows.
TEST(Octree, SumsOfLargeRendersDoNotOverflow)
{
    TColorQuantizer quantizer(4, 8);
    const int64_t pixels = (int64_t(1) << 31) / 255 + 1000;
    for (int64_t i = 0; i < pixels; ++i)
        quantizer.AddColor(255, 254, 253);
    quantizer.AddColor(0, 0, 0);
    auto table = quantizer.GetColorTable();
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(FromQuad(table[0]), RGB(0, 0, 0));
    EXPECT_EQ(FromQuad(table[1]), RGB(255, 254, 253));
}

TEST(Octree, NeverHoldsMoreLeavesThanAllowed)
{
    for (int maxColors : {1, 2, 7, 16, 255}) {
        TColorQuantizer quantizer(maxColors, 8);
        Bitmap source = Colourful(40, 30);
        TDIBReader reader(source, PixelFormat::pf24bit);
        EXPECT_TRUE(quantizer.ProcessImage(reader));
        EXPECT_LE(quantizer.LeafCount(), maxColors);
        EXPECT_EQ(int(quantizer.GetColorTable().size()), quantizer.LeafCount());
    }
    EXPECT_THROW(TColorQuantizer(0, 8), GIFException);
    EXPECT_THROW(TColorQuantizer(16, 9), GIFException);
}

// A picture of exactly as many colours as asked keeps every one of them;
// one colour more must fold the tree.
TEST(Octree, ExactlyTheAskedNumberOfColoursSurvives)
{
    auto picture = [](int colours) {
        Bitmap bmp(colours, 1, PixelFormat::pf24bit);
        for (int i = 0; i < colours; ++i)
            bmp.SetPixel(i, 0, RGB(uint8_t(i), uint8_t(255 - i), uint8_t(i * 37)));
        return bmp;
    };
    auto distinct = [](const std::vector<RGBQuad>& palette, size_t from, size_t to) {
        std::set<TColor> set;
        for (size_t i = from; i < to; ++i)
            set.insert(FromQuad(palette[i]));
        return set;
    };
    for (int colours : {1, 2, 16, 255, 256}) {
        SCOPED_TRACE(colours);
        const Bitmap source = picture(colours);
        std::set<TColor> expected;
        for (int x = 0; x < colours; ++x)
            expected.insert(source.Pixel(x, 0));
        const auto palette = CreateOptimizedPalette(source, colours, 8, false);
        ASSERT_EQ(palette.size(), size_t(colours));
        EXPECT_EQ(distinct(palette, 0, palette.size()), expected);
        if (colours < 256) {
            TColorQuantizer quantizer(colours, 8);
            quantizer.ProcessImage(TDIBReader(picture(colours + 1), PixelFormat::pf24bit));
            EXPECT_LT(quantizer.LeafCount(), colours + 1);
        }
    }
    // With the Windows colours the tree has 236 entries to fill.
    const Bitmap source = picture(236);
    const auto palette = CreateOptimizedPalette(source, 256, 8, true);
    std::set<TColor> expected;
    for (int x = 0; x < 236; ++x)
        expected.insert(source.Pixel(x, 0));
    EXPECT_EQ(distinct(palette, 10, 246), expected);
}

TEST(Octree, ManyBitmapsShareOnePalette)
{
    Bitmap red(4, 4), blue(4, 4);
    red.Fill(RGB(255, 0, 0));
    blue.Fill(RGB(0, 0, 255));
    const Bitmap* both[] = {&red, &blue};
    auto palette = CreateOptimizedPaletteFromManyBitmaps(both, 16, 8, false);
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(FromQuad(palette[0]), RGB(0, 0, 255));
    EXPECT_EQ(FromQuad(palette[1]), RGB(255, 0, 0));

    EXPECT_EQ(MessageOf([] { CreateOptimizedPaletteFromManyBitmaps({}, 16, 8, false); }), "Invalid bitmap list");
    const Bitmap* withNull[] = {&red, nullptr};
    EXPECT_EQ(MessageOf([&] { CreateOptimizedPaletteFromManyBitmaps(withNull, 16, 8, false); }), "Invalid bitmap list");
}

// On real photos the adaptive palette must beat the fixed web palette.
TEST(Octree, QuantizesPhotosBetterThanTheWebPalette)
{
    auto paths = pc::test::PhotoPaths();
    if (paths.empty())
        GTEST_SKIP() << "no photos installed";
    for (const std::string& path : paths) {
        Bitmap photo = pc::test::LoadPhoto(path);
        double web = pc::test::MeanSquaredError(photo, ReduceColors(photo, TColorReduction::rmNetscape, TDitherMode::dmNearest, 8));
        double octree = pc::test::MeanSquaredError(photo, ReduceColors(photo, TColorReduction::rmQuantize, TDitherMode::dmNearest, 8));
        double octree16 = pc::test::MeanSquaredError(photo, ReduceColors(photo, TColorReduction::rmQuantize, TDitherMode::dmNearest, 4));
        RecordProperty(pc::test::CaseName(path) + "_mse", std::to_string(octree));
        EXPECT_LT(octree, web * 0.6) << path;
        EXPECT_LT(octree, 40.0) << path;
        EXPECT_LT(octree, octree16) << path;
    }
}

TEST(DibWriter, ChecksFormatSizeAndRows)
{
    Bitmap target = Colourful(3, 3);
    Bitmap before = target;
    EXPECT_EQ(MessageOf([&] { TDIBWriter(target, {}, 4, 4, PixelFormat::pf4bit); }), "Unsupported PixelFormat");
    EXPECT_EQ(MessageOf([&] { TDIBWriter(target, {}, 0, 4, PixelFormat::pf8bit); }), "Invalid image dimensions");
    EXPECT_EQ(MessageOf([&] { TDIBWriter(target, {}, 4, -1, PixelFormat::pf8bit); }), "Invalid image dimensions");
    EXPECT_EQ(MessageOf([&] { TDIBWriter(target, {}, 20000, 4, PixelFormat::pf8bit).ScanLine(0); }),
              "Failed to allocate memory for GIF DIB");

    TDIBWriter writer(target, WebPalette(), 2, 5, PixelFormat::pf8bit);
    EXPECT_THROW(writer.ScanLine(2), EInvalidGraphicOperation);
    EXPECT_THROW(writer.ScanLine(-1), EInvalidGraphicOperation);
    writer.ScanLine(1)[4] = 185;
    EXPECT_EQ(target, before); // nothing handed over before Commit
    writer.Commit();
    ASSERT_EQ(target.Format(), PixelFormat::pf8bit);
    EXPECT_EQ(target.Pixel(4, 1), RGB(255, 0, 255));
    EXPECT_EQ(target.Palette().size(), 216u);
}

} // namespace
