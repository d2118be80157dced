#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "codecs/gif/color_reduction.h"
#include "codecs/gif/dither_engine.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/web_palette.h"
#include "tests/codecs/gif_color/photos.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc;
using namespace pc::gif;

const TDitherMode kDiffusing[] = {TDitherMode::dmFloydSteinberg, TDitherMode::dmStucki, TDitherMode::dmSierra,
                                  TDitherMode::dmJaJuNI, TDitherMode::dmSteveArche, TDitherMode::dmBurkes};

std::string ModeName(TDitherMode mode)
{
    static const char* names[] = {"Nearest", "FloydSteinberg", "Stucki", "Sierra", "JaJuNI", "SteveArche", "Burkes"};
    return names[int(mode)];
}

struct ModeCase : ::testing::TestWithParam<TDitherMode> {};
std::string ModeCaseName(const ::testing::TestParamInfo<TDitherMode>& info) { return ModeName(info.param); }

// Maps every colour to itself, except that one chosen call answers `error`
// levels darker in red: that pixel's error is then the only one spread.
class ProbeLookup final : public TColorLookup {
public:
    ProbeLookup(int errorCall, int error) : TColorLookup(256), errorCall_(errorCall), error_(error) {}
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override
    {
        lastRed = red;
        r = uint8_t(calls_++ == errorCall_ ? red - error_ : red);
        g = green;
        b = blue;
        return 0;
    }
    int lastRed = 0;

private:
    int calls_ = 0;
    int errorCall_, error_;
};

constexpr int kBase = 220; // room for the largest error and weight

// Share of the probe error each pixel received, keyed (x, y); zeros left
// out. The engine steps over the pixel `skip`.
std::map<std::pair<int, int>, int> SpreadOf(TDitherMode mode, int width, int height, int errorCall, int error,
                                            std::pair<int, int> skip = {-1, -1})
{
    ProbeLookup lookup(errorCall, error);
    auto engine = CreateDitherEngine(mode, width, lookup);
    std::map<std::pair<int, int>, int> received;
    for (int y = 0; y < height; ++y) {
        for (int x = engine->Column(); x >= 0 && x < width; x = engine->Column()) {
            if (std::pair(x, y) == skip) {
                engine->StepOver();
                continue;
            }
            uint8_t r, g, b;
            engine->DitherPixel(kBase, kBase, kBase, r, g, b);
            if (lookup.lastRed != kBase)
                received[{x, y}] = lookup.lastRed - kBase;
        }
        engine->NextLine();
    }
    return received;
}

int Divisor(TDitherMode mode)
{
    switch (mode) {
    case TDitherMode::dmFloydSteinberg: return 16;
    case TDitherMode::dmStucki: return 42;
    case TDitherMode::dmSierra:
    case TDitherMode::dmBurkes: return 32;
    case TDitherMode::dmJaJuNI: return 48;
    default: return 200;
    }
}

// The error of one pixel off the edges must land, whole, on later pixels
// only, and the right-to-left rows mirror the left-to-right ones.
TEST_P(ModeCase, SpreadsTheWholeErrorForwardAndMirrorsOnReturnRows)
{
    const TDitherMode mode = GetParam();
    const int d = Divisor(mode);
    const int width = 11, x0 = 5;
    auto ltr = SpreadOf(mode, width, 6, x0, d);
    auto rtl = SpreadOf(mode, width, 7, width + x0, d); // row 1 runs backwards: column width-1-x0
    int total = 0;
    for (auto [pos, share] : ltr) {
        auto [x, y] = pos;
        EXPECT_TRUE(y > 0 || x > x0) << "reached a visited pixel " << x << "," << y;
        EXPECT_LE(y, 3);
        total += share;
        auto mirrored = rtl.find({width - 1 - x, y + 1});
        ASSERT_NE(mirrored, rtl.end()) << x << "," << y;
        EXPECT_EQ(mirrored->second, share);
    }
    EXPECT_EQ(total, d);
    EXPECT_EQ(ltr.size(), rtl.size());
}

// Weights 7 ahead, 3 behind-below, 5 below, 1 ahead-below, and nothing
// else: a consumed error must not come back when later errors are zero.
TEST(FloydSteinberg, SpreadsToTheFourNeighboursOnly)
{
    auto spread = SpreadOf(TDitherMode::dmFloydSteinberg, 6, 4, 2, 16);
    std::map<std::pair<int, int>, int> expected = {{{3, 0}, 7}, {{1, 1}, 3}, {{2, 1}, 5}, {{3, 1}, 1}};
    EXPECT_EQ(spread, expected);

    auto fromEdge = SpreadOf(TDitherMode::dmFloydSteinberg, 6, 4, 0, 16);
    std::map<std::pair<int, int>, int> expectedEdge = {{{1, 0}, 7}, {{0, 1}, 5}, {{1, 1}, 1}};
    EXPECT_EQ(fromEdge, expectedEdge);

    auto returnRow = SpreadOf(TDitherMode::dmFloydSteinberg, 6, 4, 6 + 3, 16); // row 1, column 2
    std::map<std::pair<int, int>, int> expectedReturn = {{{1, 1}, 7}, {{3, 2}, 3}, {{2, 2}, 5}, {{1, 2}, 1}};
    EXPECT_EQ(returnRow, expectedReturn);
}

// A transparent pixel passed over takes nothing and gives nothing; the
// shares of its neighbours stay where they belong.
TEST(FloydSteinberg, SteppingOverAPixelDropsOnlyItsShare)
{
    auto spread = SpreadOf(TDitherMode::dmFloydSteinberg, 6, 4, 2, 16, {3, 0});
    std::map<std::pair<int, int>, int> expected = {{{1, 1}, 3}, {{2, 1}, 5}, {{3, 1}, 1}};
    EXPECT_EQ(spread, expected);
}

TEST_P(ModeCase, SerpentineOrderAndWidthOne)
{
    for (int width : {1, 2, 9}) {
        TNetscapeColorLookup lookup;
        auto engine = CreateDitherEngine(GetParam(), width, lookup);
        for (int row = 0; row < 5; ++row) {
            int expectedColumn = row % 2 == 0 ? 0 : width - 1;
            for (int i = 0; i < width; ++i) {
                ASSERT_EQ(engine->Column(), expectedColumn) << "width " << width << " row " << row;
                uint8_t r, g, b;
                ASSERT_LT(engine->DitherPixel(uint8_t(40 * row), 128, 250, r, g, b), 216);
                expectedColumn += engine->Direction();
            }
            EXPECT_TRUE(engine->Column() < 0 || engine->Column() >= width);
            engine->NextLine();
        }
    }
}

Bitmap UniformGrey(int width, int height, uint8_t level)
{
    Bitmap bitmap(width, height, PixelFormat::pf24bit);
    bitmap.Fill(RGB(level, level, level));
    return bitmap;
}

double MeanRed(const Bitmap& indexed)
{
    double sum = 0;
    for (int y = 0; y < indexed.Height(); ++y)
        for (int x = 0; x < indexed.Width(); ++x)
            sum += GetRValue(indexed.Pixel(x, y));
    return sum / (double(indexed.Width()) * indexed.Height());
}

TEST(NearestDither, UniformGreyTakesTheNearestWebLevel)
{
    // 128 lies 25 below 153 and 26 above 102.
    Bitmap reduced = ReduceColors(UniformGrey(40, 30, 128), TColorReduction::rmNetscape, TDitherMode::dmNearest, 8);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(reduced.Pixel(x, y), RGB(153, 153, 153));
}

TEST_P(ModeCase, UniformGreyMixesNeighbouringLevelsAroundItsMean)
{
    Bitmap reduced = ReduceColors(UniformGrey(256, 48, 128), TColorReduction::rmNetscape, GetParam(), 8);
    std::map<TColor, int> used;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 256; ++x)
            used[reduced.Pixel(x, y)]++;
    EXPECT_TRUE(used.count(RGB(102, 102, 102)) && used.count(RGB(153, 153, 153)));
    EXPECT_EQ(used.size(), 2u);
    EXPECT_NEAR(MeanRed(reduced), 128.0, 1.0);
}

// Colours that are palette entries already come out unchanged by every engine.
TEST_P(ModeCase, ExactColoursSpreadNothing)
{
    auto palette = WebPalette();
    Bitmap source(37, 23, PixelFormat::pf24bit);
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x)
            source.SetPixel(x, y, FromQuad(palette[(x * 7 + y * 13) % 216]));
    Bitmap reduced = ReduceColors(source, TColorReduction::rmNetscape, GetParam(), 8);
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x)
            ASSERT_EQ(reduced.RawPixel(x, y), uint32_t((x * 7 + y * 13) % 216)) << x << "," << y;
}

// Mean difference between the 8x8 block means of two pictures, over the
// three channels.
double BlockMeanError(const Bitmap& photo, const Bitmap& reduced)
{
    double total = 0;
    int blocks = 0;
    for (int by = 0; by + 8 <= photo.Height(); by += 8)
        for (int bx = 0; bx + 8 <= photo.Width(); bx += 8) {
            int diff[3] = {};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x) {
                    TColor a = photo.Pixel(x, y), b = reduced.Pixel(x, y);
                    diff[0] += GetRValue(a) - GetRValue(b);
                    diff[1] += GetGValue(a) - GetGValue(b);
                    diff[2] += GetBValue(a) - GetBValue(b);
                }
            total += (std::abs(diff[0]) + std::abs(diff[1]) + std::abs(diff[2])) / (3.0 * 64);
            ++blocks;
        }
    return total / blocks;
}

Bitmap Greyed(const Bitmap& photo)
{
    Bitmap grey = photo;
    for (int y = 0; y < grey.Height(); ++y)
        for (int x = 0; x < grey.Width(); ++x) {
            TColor c = grey.Pixel(x, y);
            uint8_t level = uint8_t((GetRValue(c) * 77 + GetGValue(c) * 150 + GetBValue(c) * 29) >> 8);
            grey.SetPixel(x, y, RGB(level, level, level));
        }
    return grey;
}

// With any kernel the block means follow the photo's: within 1.5 levels in
// colour with the web palette; in black and white, where the nearest of two
// levels drifts far, within a quarter of that drift.
TEST_P(ModeCase, KeepsTheLocalMeanOfPhotos)
{
    auto paths = pc::test::PhotoPaths();
    if (paths.empty())
        GTEST_SKIP() << "no photos installed";
    for (const std::string& path : paths) {
        Bitmap photo = pc::test::LoadPhoto(path);
        ASSERT_FALSE(photo.Empty()) << path;
        double dithered = BlockMeanError(photo, ReduceColors(photo, TColorReduction::rmNetscape, GetParam(), 8));
        EXPECT_LT(dithered, 1.5) << path;

        Bitmap grey = Greyed(photo);
        double nearestMono = BlockMeanError(grey, ReduceColors(grey, TColorReduction::rmMonochrome, TDitherMode::dmNearest, 8));
        double ditheredMono = BlockMeanError(grey, ReduceColors(grey, TColorReduction::rmMonochrome, GetParam(), 8));
        EXPECT_LT(ditheredMono, 8.0) << path;
        EXPECT_LT(ditheredMono, nearestMono / 4) << path;
        RecordProperty(pc::test::CaseName(path), std::to_string(dithered) + " " + std::to_string(ditheredMono));
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, ModeCase, ::testing::ValuesIn(kDiffusing), ModeCaseName);

TEST(DitherEngine, UnknownModeRaises)
{
    TNetscapeColorLookup lookup;
    EXPECT_THROW(CreateDitherEngine(TDitherMode(7), 10, lookup), GIFException);
    EXPECT_THROW(CreateDitherEngine(TDitherMode(-1), 10, lookup), GIFException);
}

} // namespace
