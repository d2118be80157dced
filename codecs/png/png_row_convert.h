#pragma once
// Conversion of one row between PNG samples and the DIB layout: RGB into
// B,G,R; grey and palette samples as indices; alpha into its own plane;
// 16-bit samples as their high byte. Samples are stored as the file holds
// them: gamma belongs to display, never to what is stored and written back.
#include <cstdint>

namespace pc::png {

// PNG row (rowBytes bytes of `pixels` pixels) into a DIB row and alpha row.
using DecodeRowFn = void (*)(const uint8_t* src, uint8_t* dib, uint8_t* alpha, int64_t pixels, int64_t rowBytes);
// DIB row and alpha row into a PNG row of rowBytes bytes.
using EncodeRowFn = void (*)(const uint8_t* dib, const uint8_t* alpha, uint8_t* dst, int64_t pixels,
                             int64_t rowBytes);

// Null for a type and depth the DIB layout does not cover.
DecodeRowFn PickDecodeRow(int colorType, int bitDepth);
EncodeRowFn PickEncodeRow(int colorType, int bitDepth);

// Moves pixel k of a packed row of `bits` per pixel to column `column` of another.
void MovePixel(const uint8_t* from, int64_t k, uint8_t* to, int64_t column, int bits);

} // namespace pc::png
