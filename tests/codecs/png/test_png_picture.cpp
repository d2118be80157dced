// The picture object: row coding details, filters, IDAT sizes, settings,
// alpha creation, drawing and pixel access.
#include <gtest/gtest.h>

#include <zlib.h>

#include <random>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_filters.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_transparency_chunk.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/codecs/png/png_builder.h"
#include "platform/bmp_file.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::Bytes;
using test::PngBuilder;

// Every IDAT chunk of a file: (length, data).
std::vector<Bytes> Idats(const Bytes& file)
{
    std::vector<Bytes> out;
    for (size_t pos = 8; pos + 12 <= file.size();) {
        uint32_t len = uint32_t(file[pos]) << 24 | file[pos + 1] << 16 | file[pos + 2] << 8 | file[pos + 3];
        if (std::string(file.begin() + long(pos) + 4, file.begin() + long(pos) + 8) == "IDAT")
            out.emplace_back(file.begin() + long(pos) + 8, file.begin() + long(pos) + 8 + len);
        pos += 12 + len;
    }
    return out;
}

Bytes Inflate(const Bytes& stream)
{
    Bytes out(1 << 20);
    uLongf size = uLongf(out.size());
    EXPECT_EQ(uncompress(out.data(), &size, stream.data(), uLong(stream.size())), Z_OK);
    out.resize(size);
    return out;
}

TEST(PngRows, TwoBitGreyIsReplicatedIntoTheFourBitDib)
{
    TPNGObject png;
    png.LoadFromStream(PngBuilder().Ihdr(4, 1, 2, 0).Idats(test::Deflate({0, 0x1B})).Iend().bytes());
    EXPECT_EQ(png.Scanline(0)[0], 0x05);
    EXPECT_EQ(png.Scanline(0)[1], 0xAF);
}

// The DIB holds the samples as stored; gamma applies only to what is shown.
TEST(PngRows, SixteenBitRgbStoresTheHighBytesAndShowsThemThroughGamma)
{
    TPNGObject png;
    png.LoadFromStream(PngBuilder()
                           .Ihdr(1, 1, 16, 2)
                           .Chunk("gAMA", test::Be32(100000))
                           .Idats(test::Deflate({0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}))
                           .Iend()
                           .bytes());
    const uint8_t* p = png.Scanline(0);
    EXPECT_EQ(p[0], 0x9A);
    EXPECT_EQ(p[1], 0x56);
    EXPECT_EQ(p[2], 0x12);
    EXPECT_EQ(png.GammaTable[0x12], 0x4C);
    EXPECT_EQ(png.Pixels(0, 0), RGB(0x4C, png.GammaTable[0x56], png.GammaTable[0x9A]));
}

// Filtering then unfiltering gives the row back, for every filter and pixel size.
TEST(PngFilters, UnfilterUndoesFilter)
{
    std::mt19937 rng(3);
    for (int bpp : {1, 2, 3, 4, 6, 8})
        for (uint8_t f = 0; f < 5; ++f) {
            Bytes raw(61), prev(61), out(61);
            for (auto& b : raw) b = uint8_t(rng());
            for (auto& b : prev) b = uint8_t(rng());
            FilterRow(f, raw.data(), prev.data(), out.data(), raw.size(), bpp);
            UnfilterRow(f, out.data(), prev.data(), out.size(), bpp);
            EXPECT_EQ(out, raw) << "filter " << int(f) << " bpp " << bpp;
        }
}

struct ChoiceCase {
    const char* name;
    FilterSet set;
    Bytes raw, previous;
    uint8_t want;
};
const ChoiceCase kChoices[] = {
    {"LoneFilterAlwaysUsed", 1 << kFilterPaeth, {1, 2, 3, 4, 5}, {0, 0, 0, 0, 0}, kFilterPaeth},
    {"AllZeroScoresGiveNone", (1 << kFilterSub) | (1 << kFilterUp), {1, 3, 6, 10, 15}, {0, 0, 0, 0, 0}, kFilterNone},
    {"EqualBytesPickNone", kAllFilters, {7, 7, 7, 7, 7, 7}, {1, 2, 3, 4, 5, 6}, kFilterNone},
    {"RampPicksSub", kAllFilters, {1, 3, 5, 7, 9, 11}, {9, 1, 7, 2, 8, 3}, kFilterSub},
    {"EmptySetIsNone", 0, {1, 2, 3}, {0, 0, 0}, kFilterNone},
};

class FilterChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(FilterChoice, PicksTheExpectedFilter)
{
    const ChoiceCase& c = GetParam();
    std::vector<Bytes> store(5, Bytes(c.raw.size()));
    uint8_t* outputs[5];
    for (int i = 0; i < 5; ++i)
        outputs[i] = store[size_t(i)].data();
    EXPECT_EQ(ChooseFilter(c.set, c.raw.data(), c.previous.data(), outputs, c.raw.size(), 1), c.want);
}

INSTANTIATE_TEST_SUITE_P(Filters, FilterChoice, testing::ValuesIn(kChoices),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PngEncode, OnePixelRgbIsOneSubFilteredRow)
{
    Bitmap bmp(1, 1);
    bmp.SetPixel(0, 0, RGB(10, 20, 30));
    TPNGObject png;
    png.AssignBitmap(bmp);
    auto idats = Idats(png.SaveToBytes());
    ASSERT_EQ(idats.size(), 1u);
    EXPECT_EQ(Inflate(idats[0]), (Bytes{1, 10, 20, 30})); // no left neighbour inside one pixel
}

TEST(PngEncode, IdatChunksAreFullExceptTheLast)
{
    Bitmap bmp(300, 300);
    std::mt19937 rng(1);
    for (int64_t i = 0; i < bmp.DataSize(); ++i)
        bmp.Data()[i] = uint8_t(rng());
    TPNGObject png;
    png.AssignBitmap(bmp);
    png.SetCompressionLevel(0);
    png.SetMaxIdatSize(1000); // raised to the minimum
    EXPECT_EQ(png.MaxIdatSize(), 65535);
    auto idats = Idats(png.SaveToBytes());
    ASSERT_GT(idats.size(), 2u);
    for (size_t i = 0; i + 1 < idats.size(); ++i)
        EXPECT_EQ(idats[i].size(), 65535u);
    EXPECT_LE(idats.back().size(), 65535u);
}

TEST(PngEncode, CompressionLevelIsClampedAndStillEncodes)
{
    TPNGObject png;
    png.AssignBitmap(Bitmap(8, 8));
    png.SetCompressionLevel(42);
    EXPECT_EQ(png.CompressionLevel(), 9);
    png.SetCompressionLevel(-3);
    EXPECT_EQ(png.CompressionLevel(), 0);
    EXPECT_NO_THROW(test::DecodeWithLibpng(png.SaveToBytes()));
}

TEST(PngEncode, Adam7OnePixelWritesOnlyTheFirstPass)
{
    TPNGObject png;
    png.AssignBitmap(Bitmap(1, 1));
    png.InterlaceMethod = 1;
    EXPECT_EQ(Inflate(Idats(png.SaveToBytes())[0]).size(), 4u);
}

TEST(PngPicture, EmptyPictureRefusesToSave)
{
    TPNGObject png;
    EXPECT_THROW(png.SaveToBytes(), EPNGHeaderNotPresent);
    EXPECT_EQ(png.Width(), 0);
    EXPECT_TRUE(png.Empty());
}

TEST(PngPicture, FailedSaveKeepsTheOldFile)
{
    test::TempDir dir;
    std::string path = dir.file("keep.png");
    TPNGObject good;
    good.AssignBitmap(Bitmap(2, 2));
    good.SaveToFile(path);
    auto before = test::ReadAll(path);
    TPNGObject empty;
    EXPECT_THROW(empty.SaveToFile(path), EPNGHeaderNotPresent);
    EXPECT_EQ(test::ReadAll(path), before);
}

TEST(PngPicture, PixelsOutsideThePictureAreBlackAndIgnored)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn2c08.png");
    EXPECT_EQ(png.Pixels(png.Width(), 0), 0u);
    EXPECT_EQ(png.Pixels(-1, 0), 0u);
    png.SetPixels(0, png.Height(), clWhite);
    // The picture has a gAMA: the colour shown for samples 1, 2, 3 stores them.
    TColor shown = png.Shown(RGB(1, 2, 3));
    ASSERT_NE(shown, RGB(1, 2, 3));
    png.SetPixels(3, 4, shown);
    EXPECT_EQ(png.Pixels(3, 4), shown);
    EXPECT_EQ(Bytes(png.Scanline(4) + 9, png.Scanline(4) + 12), (Bytes{3, 2, 1}));
}

TEST(PngPicture, PalettePixelsTakeTheNearestOwnEntry)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn3p04.png");
    auto pal = png.GetPalette();
    ASSERT_EQ(pal.size(), 256u);
    TColor target = FromQuad(pal[5]);
    png.SetPixels(0, 0, target);
    EXPECT_EQ(png.Pixels(0, 0), target);
}

TEST(PngAlpha, KeyColourBecomesAlphaZeroAndTheKeyGoes)
{
    Bitmap bmp = LoadBmpFile(test::kSdlImages + "sample.bmp");
    TColor key = bmp.Pixel(0, 0);
    TPNGObject png;
    png.AssignBitmap(bmp, true, key);
    png.CreateAlpha();
    EXPECT_EQ(png.Chunks().FindChunk<TChunktRNS>(), nullptr);
    auto ref = test::DecodeWithLibpng(png.SaveToBytes());
    EXPECT_EQ(ref.colorType, 6);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            ASSERT_EQ(ref.At(x, y)[3], bmp.Pixel(x, y) == key ? 0 : 255);
}

TEST(PngAlpha, PaletteGetsOneAlphaPerEntryKeepingThoseItHad)
{
    Bytes plte(3 * 5, 9);
    auto file = PngBuilder()
                    .Ihdr(2, 1, 8, 3)
                    .Chunk("PLTE", plte)
                    .Chunk("tRNS", {255, 100})
                    .Idats(test::Deflate({0, 0, 1}))
                    .Iend()
                    .bytes();
    TPNGObject png;
    png.LoadFromStream(file);
    png.CreateAlpha();
    auto* trns = png.Chunks().FindChunk<TChunktRNS>();
    EXPECT_EQ(trns->DataSize(), 5u);
    EXPECT_EQ(Bytes(trns->PaletteValues.begin(), trns->PaletteValues.begin() + 5), (Bytes{255, 100, 255, 255, 255}));
    EXPECT_NO_THROW(test::DecodeWithLibpng(png.SaveToBytes()));
}

TEST(PngAlpha, LowDepthGreyWidensToEightBits)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn0g01.png");
    std::vector<TColor> before;
    for (int x = 0; x < png.Width(); ++x)
        before.push_back(png.Pixels(x, 3));
    png.CreateAlpha();
    EXPECT_EQ(png.Header().ColorType, kGreyAlpha);
    auto ref = test::DecodeWithLibpng(png.SaveToBytes());
    EXPECT_EQ(ref.bitDepth, 8);
    for (int x = 0; x < png.Width(); ++x)
        EXPECT_EQ(png.GammaTable[ref.At(x, 3)[0]], GetRValue(before[size_t(x)]));
}

// Drawing on white: libpng's pixels blended with the same rounding.
TEST(PngDraw, PartialAlphaBlendsOntoTheTarget)
{
    auto file = test::ReadAll(test::kPngSuite + "basic/basn6a08.png");
    TPNGObject png;
    png.LoadFromStream(file);
    Bitmap out(png.Width(), png.Height());
    out.Fill(clWhite);
    png.Draw(out, {0, 0, png.Width(), png.Height()});
    auto ref = test::DecodeWithLibpng(file);
    const auto& gamma = png.GammaTable;
    for (int y = 0; y < ref.height; ++y)
        for (int x = 0; x < ref.width; ++x) {
            const uint8_t* p = ref.At(x, y);
            auto blend = [&](uint8_t s) { return uint8_t((gamma[s] * p[3] + 255 + (255 - p[3]) * 255) >> 8); };
            ASSERT_EQ(out.Pixel(x, y), RGB(blend(p[0]), blend(p[1]), blend(p[2]))) << x << "," << y;
        }
}

TEST(PngDraw, PartialAlphaCoversOnlyThePicturesOwnSize)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn6a08.png");
    Bitmap target(64, 64);
    target.Fill(RGB(1, 2, 3));
    png.Draw(target, {4, 4, 64, 64});
    EXPECT_EQ(target.Pixel(3, 3), RGB(1, 2, 3));
    EXPECT_EQ(target.Pixel(40, 40), RGB(1, 2, 3));
}

TEST(PngDraw, OpaquePictureStretchesToTheRectangle)
{
    Bitmap bmp(2, 1);
    bmp.SetPixel(0, 0, RGB(255, 0, 0));
    bmp.SetPixel(1, 0, RGB(0, 0, 255));
    TPNGObject png;
    png.AssignBitmap(bmp);
    Bitmap target(6, 4);
    png.Draw(target, {1, 1, 5, 3});
    EXPECT_EQ(target.Pixel(0, 0), 0u);
    EXPECT_EQ(target.Pixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(3, 1), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(4, 2), RGB(0, 0, 255));
    EXPECT_EQ(target.Pixel(5, 3), 0u);
}

TEST(PngDraw, KeyColourLeavesTheTarget)
{
    Bitmap bmp(2, 1);
    bmp.SetPixel(0, 0, RGB(255, 0, 255));
    bmp.SetPixel(1, 0, RGB(0, 128, 0));
    TPNGObject png;
    png.AssignBitmap(bmp, true, RGB(255, 0, 255));
    Bitmap target(2, 1);
    target.Fill(RGB(9, 9, 9));
    png.Draw(target, {0, 0, 2, 1});
    EXPECT_EQ(target.Pixel(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(target.Pixel(1, 0), RGB(0, 128, 0));
}

TEST(PngClipboard, PictureGoesThroughTheClipboard)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn2c08.png");
    png.SaveToClipboard();
    TPNGObject back;
    back.LoadFromClipboard();
    ASSERT_EQ(back.Width(), png.Width());
    for (int y = 0; y < png.Height(); y += 7)
        for (int x = 0; x < png.Width(); x += 5)
            EXPECT_EQ(back.Pixels(x, y), png.Pixels(x, y));
}

} // namespace
} // namespace pc::png
