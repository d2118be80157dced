// Bit transparency follows the stored data: the palette index, or the full
// grey or RGB sample (all 16 bits of a 16-bit key), never the colour shown,
// so neither a twin palette colour nor gamma makes a second value vanish.
// Drawing, the alphas, a re-saved file and libpng all agree.
#include <gtest/gtest.h>

#include "codecs/png/png_object.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/codecs/png/png_builder.h"

namespace pc::png {
namespace {

using test::Bytes;
using test::PngBuilder;

struct KeyCase {
    const char* name;
    uint32_t width;
    uint8_t depth, type;
    std::vector<std::pair<std::string, Bytes>> chunks; // between IHDR and IDAT
    Bytes row;                                         // one row, filter byte first
    Bytes alphas;                                      // what every decoder must make of it
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

const Bytes kLinearGamma = test::Be32(100000);

const KeyCase kCases[] = {
    {"PaletteTwinOfTheClearEntryStaysOpaque", 2, 8, 3,
     {{"PLTE", {10, 20, 30, 10, 20, 30}}, {"tRNS", {0}}}, {0, 0, 1}, {0, 255}},
    {"Grey16KeyComparesTheLowByte", 3, 16, 0,
     {{"tRNS", {0x12, 0x34}}}, {0, 0x12, 0x34, 0x12, 0xFF, 0x12, 0x33}, {0, 255, 255}},
    {"Rgb16KeyComparesTheLowBytes", 3, 16, 2,
     {{"tRNS", {0, 1, 0, 2, 0, 3}}},
     {0, 0, 1, 0, 2, 0, 3, 0, 1, 0, 2, 0, 4, 0, 0, 0, 0, 0, 0},
     {0, 255, 255}},
    {"Grey8KeyUnderGammaOnlyItsOwnSample", 2, 8, 0,
     {{"gAMA", kLinearGamma}, {"tRNS", {0, 254}}}, {0, 254, 255}, {0, 255}},
    {"Rgb8KeyUnderGammaOnlyItsOwnSample", 2, 8, 2,
     {{"gAMA", kLinearGamma}, {"tRNS", {0, 254, 0, 254, 0, 254}}}, {0, 254, 254, 254, 255, 255, 255}, {0, 255}},
    {"Grey2KeyOnItsSample", 4, 2, 0, {{"tRNS", {0, 2}}}, {0, 0x1B}, {255, 255, 0, 255}},
    // Bits above the depth are ignored, as libpng does.
    {"Grey2KeyAboveTheDepth", 4, 2, 0, {{"tRNS", {0, 5}}}, {0, 0x1B}, {255, 0, 255, 255}},
    {"Grey8KeyAboveTheDepth", 2, 8, 0, {{"tRNS", {1, 7}}}, {0, 7, 1}, {0, 255}},
};

Bytes File(const KeyCase& c)
{
    PngBuilder b;
    b.Ihdr(c.width, 1, c.depth, c.type);
    for (const auto& [name, data] : c.chunks)
        b.Chunk(name, data);
    return b.Idats(test::Deflate(c.row)).Iend().bytes();
}

Bytes LibpngAlphas(const Bytes& file)
{
    auto pic = test::DecodeWithLibpng(file);
    Bytes out;
    for (int x = 0; x < pic.width; ++x)
        out.push_back(pic.At(x, 0)[3]);
    return out;
}

std::vector<uint8_t> AlphasOf(const TPNGObject& png)
{
    const auto a = png.Alphas();
    return {a.begin(), a.end()};
}

class KeyByStoredSample : public testing::TestWithParam<KeyCase> {};

TEST_P(KeyByStoredSample, HidesExactlyTheKeyedPixels)
{
    const KeyCase& c = GetParam();
    Bytes file = File(c);
    ASSERT_EQ(LibpngAlphas(file), c.alphas) << "the case itself is wrong";
    TPNGObject png;
    png.LoadFromStream(file);
    EXPECT_EQ(png.TransparencyMode(), TPNGTransparencyMode::ptmBit);
    EXPECT_EQ(AlphasOf(png), c.alphas);

    const TColor ground = RGB(1, 2, 3);
    Bitmap target(int(c.width), 1);
    target.Fill(ground);
    png.Draw(target, {0, 0, int(c.width), 1});
    for (int x = 0; x < int(c.width); ++x)
        EXPECT_EQ(target.Pixel(x, 0), c.alphas[size_t(x)] ? png.Pixels(x, 0) : ground) << "pixel " << x;

    for (uint8_t interlace : {0, 1}) {
        SCOPED_TRACE(interlace ? "Adam7" : "plain");
        png.InterlaceMethod = interlace;
        Bytes saved = png.SaveToBytes();
        EXPECT_EQ(LibpngAlphas(saved), c.alphas);
        TPNGObject back;
        back.LoadFromStream(saved);
        EXPECT_EQ(AlphasOf(back), c.alphas);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyByStoredSample, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An alpha channel made from a key takes the same pixels.
TEST(PngKeyToAlpha, SixteenBitKeyBecomesAlphaOnItsPixelsOnly)
{
    const KeyCase& c = kCases[1];
    TPNGObject png;
    png.LoadFromStream(File(c));
    png.CreateAlpha();
    EXPECT_EQ(png.TransparencyMode(), TPNGTransparencyMode::ptmPartial);
    EXPECT_EQ(AlphasOf(png), c.alphas);
    EXPECT_EQ(LibpngAlphas(png.SaveToBytes()), c.alphas);
}

} // namespace
} // namespace pc::png
