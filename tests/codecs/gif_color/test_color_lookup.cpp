#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

#include "codecs/gif/color_lookup.h"
#include "codecs/gif/color_palettes.h"
#include "codecs/gif/web_palette.h"
#include "platform/bitmap.h"

namespace {

using namespace pc;
using namespace pc::gif;

struct Chosen {
    int index;
    TColor color;
};

Chosen LookUp(TColorLookup& lookup, uint8_t red, uint8_t green, uint8_t blue)
{
    uint8_t r = 1, g = 2, b = 3;
    int index = lookup.Lookup(red, green, blue, r, g, b);
    return {index, RGB(r, g, b)};
}

// Each channel goes to the nearest of the six levels (no value lies halfway).
TEST(NetscapeLookup, NearestLevelForEveryValue)
{
    TNetscapeColorLookup lookup;
    for (int v = 0; v < 256; ++v) {
        int nearest = 0;
        for (int level = 0; level <= 255; level += 51)
            if (std::abs(level - v) < std::abs(nearest - v))
                nearest = level;
        const uint8_t n = uint8_t(nearest);
        ASSERT_EQ(LookUp(lookup, uint8_t(v), 0, 0).color, RGB(n, 0, 0)) << v;
        ASSERT_EQ(LookUp(lookup, 0, uint8_t(v), 0).color, RGB(0, n, 0)) << v;
        ASSERT_EQ(LookUp(lookup, 0, 0, uint8_t(v)).color, RGB(0, 0, n)) << v;
    }
}

TEST(NetscapeLookup, LevelThresholds)
{
    TNetscapeColorLookup lookup;
    struct Case {
        uint8_t channel;
        uint8_t level;
    };
    for (Case c : {Case{0, 0}, Case{25, 0}, Case{26, 51}, Case{30, 51}, Case{76, 51}, Case{77, 102}, Case{229, 204},
                   Case{230, 255}, Case{255, 255}}) {
        EXPECT_EQ(LookUp(lookup, c.channel, 0, 0).color, RGB(c.level, 0, 0)) << int(c.channel);
        EXPECT_EQ(LookUp(lookup, 0, c.channel, 0).color, RGB(0, c.level, 0)) << int(c.channel);
        EXPECT_EQ(LookUp(lookup, 0, 0, c.channel).color, RGB(0, 0, c.level)) << int(c.channel);
    }
    EXPECT_EQ(LookUp(lookup, 255, 0, 255).index, 185);
}

// The arithmetic lookup and the palette table must describe the same 216
// distinct colours.
TEST(NetscapeLookup, IndexAndColourAgreeWithThePalette)
{
    TNetscapeColorLookup lookup;
    auto palette = WebPalette();
    ASSERT_EQ(lookup.Colors(), int(palette.size()));
    std::set<TColor> distinct;
    for (const RGBQuad& q : palette)
        distinct.insert(FromQuad(q));
    EXPECT_EQ(distinct.size(), 216u);
    for (int red = 0; red < 256; red += 3)
        for (int green = 0; green < 256; green += 5)
            for (int blue = 0; blue < 256; blue += 7) {
                Chosen c = LookUp(lookup, uint8_t(red), uint8_t(green), uint8_t(blue));
                ASSERT_LT(c.index, 216);
                ASSERT_EQ(c.color, FromQuad(palette[c.index]));
            }
}

TEST(GrayAndMonochromeLookups, WeightedLuminance)
{
    TGrayScaleLookup grey;
    EXPECT_EQ(LookUp(grey, 255, 255, 255).index, 255);
    EXPECT_EQ(LookUp(grey, 255, 0, 0).index, 76);
    EXPECT_EQ(LookUp(grey, 255, 0, 0).color, RGB(76, 76, 76));
    EXPECT_EQ(LookUp(grey, 0, 0, 0).index, 0);

    TMonochromeLookup mono;
    EXPECT_EQ(mono.Colors(), 2);
    EXPECT_EQ(LookUp(mono, 127, 127, 127).index, 0);
    EXPECT_EQ(LookUp(mono, 127, 127, 127).color, clBlack);
    EXPECT_EQ(LookUp(mono, 128, 128, 128).index, 1);
    EXPECT_EQ(LookUp(mono, 128, 128, 128).color, clWhite);
    EXPECT_EQ(LookUp(mono, 0, 255, 0).index, 1);
    EXPECT_EQ(LookUp(mono, 255, 0, 0).index, 0);
}

// The nearest entry must not depend on the cache: many colours that share
// cache slots, checked against the plain search of the bitmap class.
TEST(SlowLookup, NearestEntryMatchesPlainSearch)
{
    for (const auto& palette : {HalftonePalette(), Windows20Palette(), WindowsGrayPalette(), WebPalette()}) {
        TSlowColorLookup lookup(palette);
        ASSERT_EQ(lookup.Colors(), int(palette.size()));
        std::mt19937 rng(7);
        for (int i = 0; i < 50000; ++i) {
            uint32_t v = rng();
            uint8_t red = uint8_t(v), green = uint8_t(v >> 8), blue = uint8_t(v >> 16);
            Chosen c = LookUp(lookup, red, green, blue);
            int expected = NearestPaletteIndex(palette, RGB(red, green, blue));
            ASSERT_EQ(c.index, expected);
            ASSERT_EQ(c.color, FromQuad(palette[expected]));
        }
    }
}

TEST(SlowLookup, MapsAtMostTheFirst256Entries)
{
    std::vector<RGBQuad> big(300, RGBQuad{});
    big[299] = ToQuad(clWhite);
    TSlowColorLookup lookup(big);
    EXPECT_EQ(lookup.Colors(), 256);
    EXPECT_LT(LookUp(lookup, 255, 255, 255).index, 256);
    EXPECT_EQ(LookUp(lookup, 255, 255, 255).color, clBlack);
}

TEST(FixedPalettes, ReservedColoursFrameTheHalftonePalette)
{
    auto reserved = Windows20Palette();
    auto halftone = HalftonePalette();
    ASSERT_EQ(reserved.size(), 20u);
    ASSERT_EQ(halftone.size(), 256u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(halftone[i], reserved[i]);
        EXPECT_EQ(halftone[246 + i], reserved[10 + i]);
    }
    // Every web colour is in the halftone palette, so its lookup is exact.
    TSlowColorLookup lookup(halftone);
    for (const RGBQuad& q : WebPalette())
        EXPECT_EQ(LookUp(lookup, q.red, q.green, q.blue).color, FromQuad(q));
}

} // namespace
