#pragma once
// Row and pixel sizes of the PNG colour types and the Adam7 pass geometry.
#include <cstdint>

namespace pc::png {

enum ColorType : uint8_t {
    kGrey = 0,
    kRgb = 2,
    kPalette = 3,
    kGreyAlpha = 4,
    kRgbAlpha = 6,
};

// Bits per pixel of the DIB that holds a picture of this type and depth;
// 0 for a pair the format does not define.
int DibBitsFor(int colorType, int bitDepth);

inline bool HasAlphaPlane(int colorType) { return colorType == kGreyAlpha || colorType == kRgbAlpha; }

// Bytes of n pixels in a PNG row (64-bit: n * depth * channels can be large).
int64_t BytesForPixels(int64_t n, int colorType, int bitDepth);

// Bytes per complete pixel for the filters, at least 1.
int FilterOffset(int colorType, int bitDepth);

struct Adam7Pass {
    int rowStart, columnStart, rowIncrement, columnIncrement;
};
inline constexpr Adam7Pass kAdam7[7] = {
    {0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1},
};

inline int64_t PassColumns(int64_t width, int pass)
{
    const Adam7Pass& p = kAdam7[pass];
    return width > p.columnStart ? (width - p.columnStart + p.columnIncrement - 1) / p.columnIncrement : 0;
}

} // namespace pc::png
