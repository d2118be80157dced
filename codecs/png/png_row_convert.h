#pragma once
// Conversion of one row between PNG samples and the DIB layout: RGB through
// a gamma table into B,G,R; grey and palette samples as indices; alpha into
// its own plane; 16-bit samples as their high byte.
#include <array>
#include <cstdint>

namespace pc::png {

using Table = std::array<uint8_t, 256>;

// PNG row (rowBytes bytes of `pixels` pixels) into a DIB row and alpha row.
using DecodeRowFn = void (*)(const uint8_t* src, uint8_t* dib, uint8_t* alpha, int64_t pixels, int64_t rowBytes,
                             const Table& gamma);
// DIB row and alpha row into a PNG row of rowBytes bytes.
using EncodeRowFn = void (*)(const uint8_t* dib, const uint8_t* alpha, uint8_t* dst, int64_t pixels,
                             int64_t rowBytes, const Table& inverse);

// Null for a type and depth the DIB layout does not cover.
DecodeRowFn PickDecodeRow(int colorType, int bitDepth);
EncodeRowFn PickEncodeRow(int colorType, int bitDepth);

// Moves pixel k of a packed row of `bits` per pixel to column `column` of another.
void MovePixel(const uint8_t* from, int64_t k, uint8_t* to, int64_t column, int bits);

} // namespace pc::png
