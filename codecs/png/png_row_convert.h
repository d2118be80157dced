#pragma once
// Conversion of one row between PNG samples and the DIB layout: RGB into
// B,G,R; grey and palette samples as indices; alpha into its own plane;
// 16-bit samples as their high byte. Samples are stored as the file holds
// them: gamma belongs to display, never to what is stored and written back.
#include <cstdint>

namespace pc::png {

// The full samples of a grey (in red) or RGB key colour.
struct SampleKey {
    uint16_t red = 0, green = 0, blue = 0;
};

// PNG row (rowBytes bytes of `pixels` pixels) into a DIB row and a side row:
// the alpha row of the alpha types, or for 16-bit grey and RGB with a key
// (whose DIB keeps only the high bytes) a row of key marks, 1 where the full
// sample is the key. key is null when there are no marks to make.
using DecodeRowFn = void (*)(const uint8_t* src, uint8_t* dib, uint8_t* side, int64_t pixels, int64_t rowBytes,
                             const SampleKey* key);
// DIB row and side row into a PNG row of rowBytes bytes; marked pixels are
// written as the key, unmarked ones never as the key.
using EncodeRowFn = void (*)(const uint8_t* dib, const uint8_t* side, uint8_t* dst, int64_t pixels,
                             int64_t rowBytes, const SampleKey* key);

// Null for a type and depth the DIB layout does not cover.
DecodeRowFn PickDecodeRow(int colorType, int bitDepth);
EncodeRowFn PickEncodeRow(int colorType, int bitDepth);

// Moves pixel k of a packed row of `bits` per pixel to column `column` of another.
void MovePixel(const uint8_t* from, int64_t k, uint8_t* to, int64_t column, int bits);

} // namespace pc::png
