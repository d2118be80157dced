// Icons built here image by image: which image is drawn, and how its AND
// mask lets the white background through.
#include <gtest/gtest.h>

#include "scene/pictures/icon_reader.h"

namespace pc {
namespace {

constexpr int kW = 11, kH = 3; // odd sides: a mask row spans two bytes

void Put16(std::vector<uint8_t>& v, uint32_t x) { v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8)); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }

// The colours each image holds at (x, y), top-down.
TColor Colour4(int x, int y)
{
    const int i = (x + 3 * y) % 16;
    return RGB(uint8_t(i * 16), uint8_t(255 - i * 16), uint8_t(i * 7));
}
TColor Colour32(int x, int y) { return RGB(uint8_t(x * 20), uint8_t(y * 70), uint8_t(200 - x)); }
// The AND mask: set on the left column of the top row and on (9, 1) only.
bool Masked(int x, int y) { return (x == 0 && y == 0) || (x == 9 && y == 1); }

// One icon image: header, colour table, colour rows and AND mask, rows
// bottom-up, the mask's first pixel in a byte's top bit.
std::vector<uint8_t> Image(int bits)
{
    std::vector<uint8_t> d;
    for (uint32_t v : {40u, uint32_t(kW), uint32_t(2 * kH)})
        Put32(d, v);
    Put16(d, 1);
    Put16(d, uint32_t(bits));
    for (int i = 0; i < 6; ++i)
        Put32(d, 0);
    if (bits == 4)
        for (int i = 0; i < 16; ++i) { // entry i is the colour of index i, stored B, G, R, 0
            const TColor c = Colour4(i, 0);
            d.insert(d.end(), {GetBValue(c), GetGValue(c), GetRValue(c), 0});
        }
    const int colourStride = (kW * bits + 31) / 32 * 4, maskStride = (kW + 31) / 32 * 4;
    for (int y = kH - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(colourStride), 0);
        for (int x = 0; x < kW; ++x) {
            if (bits == 4) {
                row[size_t(x / 2)] |= uint8_t(((x + 3 * y) % 16) << (x % 2 ? 0 : 4));
            } else {
                const TColor c = Colour32(x, y);
                const uint8_t px[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 255};
                std::copy(px, px + 4, row.begin() + 4 * x);
            }
        }
        d.insert(d.end(), row.begin(), row.end());
    }
    for (int y = kH - 1; y >= 0; --y) {
        std::vector<uint8_t> row(size_t(maskStride), 0);
        for (int x = 0; x < kW; ++x)
            if (Masked(x, y))
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        d.insert(d.end(), row.begin(), row.end());
    }
    return d;
}

// An icon file of the images in order; the directory's depth is the
// image's, or 0 as many writers leave it.
std::vector<uint8_t> IconFile(const std::vector<int>& depths, bool directoryDepths)
{
    std::vector<uint8_t> f;
    Put16(f, 0);
    Put16(f, 1);
    Put16(f, uint32_t(depths.size()));
    std::vector<uint8_t> images;
    const size_t start = 6 + 16 * depths.size();
    for (int bits : depths) {
        const auto img = Image(bits);
        f.insert(f.end(), {uint8_t(kW), uint8_t(kH), 0, 0});
        Put16(f, 1);
        Put16(f, directoryDepths ? uint32_t(bits) : 0);
        Put32(f, uint32_t(img.size()));
        Put32(f, uint32_t(start + images.size()));
        images.insert(images.end(), img.begin(), img.end());
    }
    f.insert(f.end(), images.begin(), images.end());
    return f;
}

// On screen a classic icon is (white AND mask) XOR colour: the colour where
// the mask is clear, its inverse where it is set.
TEST(IconReader, AndMaskInvertsExactlyItsPixels)
{
    const Bitmap b = ReadIcon(IconFile({4}, true));
    ASSERT_EQ(b.Width(), kW);
    ASSERT_EQ(b.Height(), kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            EXPECT_EQ(b.Pixel(x, y), Masked(x, y) ? Colour4(x, y) ^ 0xFFFFFF : Colour4(x, y)) << x << ", " << y;
}

// Of images of one size the deepest is drawn, whichever comes first and
// whether or not the directory tells the depth.
TEST(IconReader, DeepestOfEqualSizesIsDrawn)
{
    for (bool directoryDepths : {true, false})
        for (const std::vector<int>& order : {std::vector{4, 32}, std::vector{32, 4}}) {
            const Bitmap b = ReadIcon(IconFile(order, directoryDepths));
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(b.Pixel(x, y), Colour32(x, y))
                        << "order " << order[0] << ", " << order[1] << (directoryDepths ? "" : ", no depths") << " at "
                        << x << ", " << y;
        }
}

} // namespace
} // namespace pc
