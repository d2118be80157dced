#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "app/publish/color_adjust.h"

namespace {

// A 32-bit picture: a colourful opaque gradient with a transparent border and
// pure black opaque pixels in its middle.
pc::Bitmap Sample()
{
    pc::Bitmap bmp(40, 30, pc::PixelFormat::pf32bit);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            uint8_t* p = bmp.ScanLine(y) + x * 4;
            bool border = x < 4 || y < 4 || x >= 36 || y >= 26;
            bool black = x >= 18 && x < 22 && y >= 13 && y < 17;
            p[0] = black ? 0 : uint8_t(x * 6);
            p[1] = black ? 0 : uint8_t(y * 8);
            p[2] = black ? 0 : uint8_t(255 - x * 6);
            p[3] = border ? (x == 0 ? 0 : 100) : 255;
        }
    return bmp;
}

TEST(ColorAdjust, CompositeKeepsOpaqueColoursExactly)
{
    auto src = Sample();
    auto out = pc::CompositeOverColour(src, pc::RGB(255, 255, 255));
    EXPECT_EQ(out.Pixel(10, 10), pc::RGB(255 - 60, 80, 60));
    EXPECT_EQ(out.Pixel(0, 10), pc::clWhite);
    auto white = src;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            white.ScanLine(y)[x * 4] = white.ScanLine(y)[x * 4 + 1] = white.ScanLine(y)[x * 4 + 2] = 255;
    EXPECT_EQ(pc::CompositeOverColour(white, 0).Pixel(20, 20), pc::clWhite); // 255 stays 255
}

// Every alpha over white and over a colour, against the nearest whole level of
// the exact mix: a half-transparent pixel is not a level darker than it should be.
TEST(ColorAdjust, CompositeIsTheRoundedMixForEveryAlpha)
{
    const int values[] = {0, 1, 37, 128, 200, 254, 255};
    pc::Bitmap src(256, 7, pc::PixelFormat::pf32bit);
    for (int y = 0; y < 7; ++y)
        for (int a = 0; a < 256; ++a) {
            uint8_t* p = src.ScanLine(y) + a * 4;
            p[0] = uint8_t(values[y]);
            p[1] = uint8_t(values[(y + 3) % 7]);
            p[2] = uint8_t(values[(y + 5) % 7]);
            p[3] = uint8_t(a);
        }
    for (pc::TColor bg : {pc::clWhite, pc::RGB(3, 140, 251)}) {
        const int bgc[3] = {pc::GetBValue(bg), pc::GetGValue(bg), pc::GetRValue(bg)};
        const pc::Bitmap out = pc::CompositeOverColour(src, bg);
        int wrong = 0;
        for (int y = 0; y < 7; ++y)
            for (int a = 0; a < 256; ++a)
                for (int c = 0; c < 3; ++c) {
                    const double mix = (src.ScanLine(y)[a * 4 + c] * a + bgc[c] * (255 - a)) / 255.0;
                    wrong += out.ScanLine(y)[a * 3 + c] != int(std::floor(mix + 0.5));
                }
        EXPECT_EQ(wrong, 0) << "over " << std::hex << bg;
    }
}

TEST(ColorAdjust, ThresholdsReserveBlackForTransparency)
{
    auto src = Sample();
    struct Case { int threshold; bool borderTransparent; bool edgeTransparent; };
    for (auto c : {Case{-1, false, false}, Case{0, false, false}, Case{101, true, true}, Case{255, true, true}}) {
        auto out = pc::ConvertTo8Bit(src, pc::clWhite, c.threshold);
        ASSERT_EQ(out.Bits(), 8);
        ASSERT_EQ(out.Palette().size(), 256u);
        int key = pc::TransparentIndex(out);
        ASSERT_GE(key, 0);
        EXPECT_EQ(int(out.RawPixel(1, 10)) == key, c.borderTransparent) << c.threshold; // alpha 100
        EXPECT_EQ(int(out.RawPixel(0, 10)) == key, c.edgeTransparent || c.threshold > 0) << c.threshold; // alpha 0
        // Opaque pixels never use the transparent entry.
        for (int y = 4; y < 26; ++y)
            for (int x = 4; x < 36; ++x)
                ASSERT_NE(int(out.RawPixel(x, y)), key);
    }
}

// An 8-bit picture with the given palette, pixel x holding index x.
pc::Bitmap Indexed(std::vector<pc::RGBQuad> palette, int width)
{
    pc::Bitmap b(width, 1, pc::PixelFormat::pf8bit);
    b.Palette() = std::move(palette);
    for (int x = 0; x < width; ++x)
        b.SetRawPixel(x, 0, uint32_t(x));
    return b;
}

pc::Bitmap Alphas(std::vector<uint8_t> alphas)
{
    pc::Bitmap b(int(alphas.size()), 1, pc::PixelFormat::pf32bit);
    for (size_t x = 0; x < alphas.size(); ++x)
        b.ScanLine(0)[x * 4 + 3] = alphas[x];
    return b;
}

TEST(ColorAdjust, ReservationKeepsAnExistingBlackAndMovesOpaqueBlack)
{
    auto bmp = Indexed({{9, 9, 9, 0}, {0, 0, 0, 0}, {50, 60, 70, 0}}, 3);
    pc::ReserveTransparency(bmp, Alphas({0, 255, 255}), 128);
    EXPECT_EQ(pc::TransparentIndex(bmp), 1);
    EXPECT_EQ(bmp.RawPixel(0, 0), 1u);               // transparent
    EXPECT_EQ(bmp.Pixel(1, 0), pc::kNearBlackEntry); // opaque black stays visible
    EXPECT_EQ(bmp.RawPixel(1, 0), 3u);               // near-black took the next free entry
    EXPECT_EQ(bmp.Pixel(2, 0), pc::RGB(70, 60, 50));
    EXPECT_EQ(bmp.Palette()[4], (pc::RGBQuad{0, 0, 1, 0})); // filler entries count up in red
}

// A palette gives up a colour only for what it has no free entry for: by
// its size and where it holds black (-1: nowhere), where black and near-black
// end up. Pixel 0 is transparent, the rest opaque.
TEST(ColorAdjust, PaletteGivesUpOnlyTheEntriesItHasNoRoomFor)
{
    struct Case { int size, black, transparent, nearBlack; } cases[] = {
        {256, -1, 255, 254}, // full: the last two entries go
        {255, -1, 255, 254}, // one free entry for two
        {255, 7, 7, 255},    // black kept, near-black in the free entry
    };
    std::vector<uint8_t> alphas(255, 255);
    alphas[0] = 0;
    for (const Case& c : cases) {
        std::vector<pc::RGBQuad> pal;
        for (int i = 0; i < c.size; ++i)
            pal.push_back({uint8_t(i), 200, 100, 0});
        if (c.black >= 0)
            pal[size_t(c.black)] = {0, 0, 0, 0};
        auto bmp = Indexed(pal, 255);
        pc::ReserveTransparency(bmp, Alphas(alphas), 255);
        EXPECT_EQ(pc::TransparentIndex(bmp), c.transparent) << c.size << ", black at " << c.black;
        EXPECT_EQ(pc::FromQuad(bmp.Palette()[size_t(c.nearBlack)]), pc::kNearBlackEntry);
        EXPECT_EQ(bmp.RawPixel(0, 0), uint32_t(c.transparent));
        if (c.nearBlack != 254) // entry 254 keeps its colour
            EXPECT_EQ(bmp.Pixel(254, 0), pc::RGB(100, 200, 254)) << c.size << ", black at " << c.black;
    }
}

TEST(ColorAdjust, ReductionStaysCloseToTheSource)
{
    auto src = Sample();
    auto out = pc::ConvertTo8Bit(src, pc::clWhite, -1);
    auto ref = pc::CompositeOverColour(src, pc::clWhite);
    std::set<uint32_t> used;
    double err = 0;
    for (int y = 4; y < 26; ++y)
        for (int x = 4; x < 36; ++x) {
            used.insert(out.RawPixel(x, y));
            pc::TColor a = out.Pixel(x, y), b = ref.Pixel(x, y);
            err += std::abs(pc::GetRValue(a) - pc::GetRValue(b)) + std::abs(pc::GetGValue(a) - pc::GetGValue(b)) +
                   std::abs(pc::GetBValue(a) - pc::GetBValue(b));
        }
    EXPECT_LE(used.size(), 256u);
    EXPECT_LT(err / (22 * 32 * 3), 12.0);
}

TEST(ColorAdjust, PreviewShowsTheTileThroughTransparency)
{
    pc::Bitmap tile(2, 2);
    tile.Fill(pc::RGB(204, 204, 204));
    tile.SetPixel(0, 0, pc::clWhite);
    auto src = Sample();
    auto out = pc::ConvertTo8Bit(src, pc::clWhite, 255);
    auto view = pc::PreviewOver(tile, out, 60, 50, true);
    EXPECT_EQ(view.Pixel(0, 0), pc::clWhite);      // outside the picture
    EXPECT_EQ(view.Pixel(10, 10), pc::clWhite);    // transparent border pixel (10 - 10 = 0: even, even)
    EXPECT_EQ(view.Pixel(11, 10), pc::RGB(204, 204, 204));
    auto blended = pc::PreviewOver(tile, src, 60, 50, false);
    EXPECT_EQ(blended.Pixel(10 + 20, 10 + 15), pc::clBlack); // opaque black stays black
}

} // namespace
