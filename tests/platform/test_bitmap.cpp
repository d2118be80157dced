// Bitmap layout, pixel packing and depth conversions against plain reference
// arithmetic written here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/errors.h"

namespace {

using pc::Bitmap;
using pc::PixelFormat;

struct Depth {
    PixelFormat pf;
    int bits;
};
constexpr Depth kDepths[] = {{PixelFormat::pf1bit, 1},
                             {PixelFormat::pf4bit, 4},
                             {PixelFormat::pf8bit, 8},
                             {PixelFormat::pf24bit, 24},
                             {PixelFormat::pf32bit, 32}};

TEST(Bitmap, RowsArePaddedToFourBytesAndStartZero)
{
    for (const Depth& d : kDepths)
        for (int w : {1, 3, 5, 7, 8, 9, 31, 32, 33}) {
            const int h = 3;
            Bitmap b(w, h, d.pf);
            int rowBytes = (w * d.bits + 7) / 8;
            while (rowBytes % 4)
                ++rowBytes;
            ASSERT_EQ(b.Stride(), rowBytes) << d.bits << " bits, width " << w;
            ASSERT_EQ(b.DataSize(), rowBytes * h);
            ASSERT_EQ(b.ScanLine(2) - b.ScanLine(0), 2 * rowBytes);
            for (int64_t i = 0; i < b.DataSize(); ++i)
                ASSERT_EQ(b.Data()[i], 0);
        }
}

// Palette depths pack pixels from the high bits of each byte down.
TEST(Bitmap, PaletteIndicesPackFromTheHighBits)
{
    struct Case {
        PixelFormat pf;
        int bits;
    };
    for (Case c : {Case{PixelFormat::pf1bit, 1}, Case{PixelFormat::pf4bit, 4}, Case{PixelFormat::pf8bit, 8}}) {
        const int w = 13, h = 2, top = (1 << c.bits) - 1;
        Bitmap b(w, h, c.pf);
        auto index = [&](int x, int y) { return (x * 7 + y * 3 + x * x) % (top + 1); };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                b.SetRawPixel(x, y, uint32_t(top)); // set and overwrite: no stray bits stay
                b.SetRawPixel(x, y, uint32_t(index(x, y)));
            }
        for (int y = 0; y < h; ++y) {
            std::vector<uint8_t> expected(size_t(b.Stride()), 0);
            for (int x = 0; x < w; ++x) {
                const int bit = x * c.bits;
                expected[size_t(bit / 8)] |= uint8_t(index(x, y) << (8 - c.bits - bit % 8));
            }
            const std::vector<uint8_t> row(b.ScanLine(y), b.ScanLine(y) + b.Stride());
            EXPECT_EQ(row, expected) << c.bits << " bits, row " << y;
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(b.RawPixel(x, y), uint32_t(index(x, y))) << c.bits << " bits at " << x;
        }
    }
}

TEST(Bitmap, TrueColourBytesAreBlueGreenRed)
{
    Bitmap b24(3, 1), b32(3, 1, PixelFormat::pf32bit);
    b24.SetPixel(2, 0, pc::RGB(10, 20, 30));
    b32.ScanLine(0)[2 * 4 + 3] = 77;
    b32.SetPixel(2, 0, pc::RGB(10, 20, 30));
    const uint8_t* p = b24.ScanLine(0) + 6;
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2]}), (std::vector<int>{30, 20, 10}));
    p = b32.ScanLine(0) + 8;
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], p[3]}), (std::vector<int>{30, 20, 10, 77})); // alpha kept
    EXPECT_EQ(b32.Pixel(2, 0), pc::RGB(10, 20, 30));
    EXPECT_EQ(b32.RawPixel(2, 0), pc::RGB(10, 20, 30) | 77u << 24);
}

// A picture through every depth and back to 24 bits: exact up to 24 bits for
// the colours the smaller depth can hold.
TEST(Bitmap, ConversionsKeepEveryColourTheTargetCanHold)
{
    const int w = 11, h = 5;
    std::vector<pc::RGBQuad> palette;
    for (int i = 0; i < 16; ++i)
        palette.push_back(pc::RGBQuad{uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * i), 0});
    Bitmap four(w, h, PixelFormat::pf4bit);
    four.Palette() = palette;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            four.SetRawPixel(x, y, uint32_t((x * 3 + y * 5) % 16));
    auto colourAt = [&](int x, int y) { return pc::FromQuad(palette[size_t((x * 3 + y * 5) % 16)]); };

    for (PixelFormat through : {PixelFormat::pf8bit, PixelFormat::pf24bit, PixelFormat::pf32bit}) {
        Bitmap b = four;
        b.SetPixelFormat(through);
        if (through == PixelFormat::pf8bit)
            EXPECT_EQ(b.Palette(), palette); // indices and palette carried over
        b.SetPixelFormat(PixelFormat::pf24bit);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(b.Pixel(x, y), colourAt(x, y)) << "through " << int(through) << " at " << x << "," << y;
        b.SetPixelFormat(PixelFormat::pf4bit); // back to the palette it came from: a grey ramp now
        EXPECT_EQ(b.Palette().size(), 16u);
    }
}

// Without a palette a palette depth gets a grey ramp, and each colour its
// nearest grey (the lower index on a tie).
TEST(Bitmap, TrueColourToPaletteTakesTheNearestGrey)
{
    struct Case {
        PixelFormat pf;
        int entries;
    };
    for (Case c : {Case{PixelFormat::pf1bit, 2}, Case{PixelFormat::pf4bit, 16}, Case{PixelFormat::pf8bit, 256}}) {
        Bitmap b(17, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 17; ++x)
                b.SetPixel(x, y, pc::RGB(uint8_t(x * 15 + y), uint8_t(x * 7), uint8_t(255 - x * 13 - y * 40)));
        const Bitmap before = b;
        b.SetPixelFormat(c.pf);
        ASSERT_EQ(b.Palette().size(), size_t(c.entries));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 17; ++x) {
                const pc::TColor col = before.Pixel(x, y);
                int best = 0, bestDist = 1 << 30;
                for (int i = 0; i < c.entries; ++i) {
                    const int v = i * 255 / (c.entries - 1);
                    const int dr = v - pc::GetRValue(col), dg = v - pc::GetGValue(col), db = v - pc::GetBValue(col);
                    if (dr * dr + dg * dg + db * db < bestDist) {
                        bestDist = dr * dr + dg * dg + db * db;
                        best = i;
                    }
                }
                ASSERT_EQ(b.RawPixel(x, y), uint32_t(best)) << c.entries << " greys at " << x << "," << y;
            }
    }
}

TEST(Bitmap, NearestPaletteIndexPrefersTheLowerIndexOnATie)
{
    const std::vector<pc::RGBQuad> pal = {{0, 0, 10, 0}, {0, 0, 30, 0}, {0, 0, 10, 0}, {0, 0, 50, 0}};
    struct Case {
        pc::TColor c;
        int index;
    } cases[] = {{pc::RGB(10, 0, 0), 0}, {pc::RGB(20, 0, 0), 0}, {pc::RGB(21, 0, 0), 1},
                 {pc::RGB(40, 0, 0), 1}, {pc::RGB(41, 0, 0), 3}, {pc::RGB(255, 0, 0), 3}};
    for (const Case& c : cases)
        EXPECT_EQ(pc::NearestPaletteIndex(pal, c.c), c.index) << int(pc::GetRValue(c.c));
}

TEST(Bitmap, FitInsideKeepsTheAspectAndAtLeastOnePixel)
{
    struct Case {
        int w, h, max, fw, fh;
    } cases[] = {{4096, 4096, 4096, 4096, 4096}, {4097, 100, 4096, 4096, 100}, {5000, 3000, 1000, 1000, 600},
                 {3001, 2000, 1000, 1000, 666},  {2000, 3001, 1000, 666, 1000},  {100000, 1, 50, 50, 1},
                 {1, 1, 1, 1, 1},               {999, 333, 100, 100, 33}};
    for (const Case& c : cases) {
        const pc::PictureSize s = pc::FitInside(c.w, c.h, c.max);
        EXPECT_EQ(s.width, c.fw) << c.w << "x" << c.h;
        EXPECT_EQ(s.height, c.fh) << c.w << "x" << c.h;
    }
}

TEST(Bitmap, RefusesBadSizesAndDepths)
{
    EXPECT_THROW(Bitmap(-1, 3), pc::BadInput);
    EXPECT_THROW(pc::FormatForBits(16), pc::BadInput);
    EXPECT_THROW(pc::CheckPictureMemory(16385, 4096, 32), pc::BadInput);
    EXPECT_NO_THROW(pc::CheckPictureMemory(16384, 4096, 32)); // exactly the budget
    for (const Depth& d : kDepths)
        EXPECT_EQ(pc::FormatForBits(d.bits), d.pf);
}

} // namespace
