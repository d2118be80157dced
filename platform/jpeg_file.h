#pragma once
// JPEG pictures through libjpeg-turbo. Decoding errors are thrown as
// BadInput; nothing ever ends the process.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc {

// A 24-bit bitmap of any baseline or progressive JPEG (grey, YCbCr, RGB,
// CMYK and YCCK). The size is checked against limits and against
// kPictureMemoryBudget before any pixel memory is taken. With maxSide above
// 0 a larger picture comes out shrunk to fit it: libjpeg decodes it at a
// half, quarter or eighth of its size and the rows are averaged down from there.
Bitmap ReadJpeg(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = 0);
Bitmap LoadJpegFile(const std::string& path, const PictureLimits& limits = {}, int maxSide = 0);

// quality 1..100; the bitmap may have any depth.
std::vector<uint8_t> EncodeJpeg(const Bitmap& bmp, int quality);
void SaveJpegFile(const std::string& path, const Bitmap& bmp, int quality);

// Colour reduction the way a JPEG library's 8-bit output does it: compressed
// at quality 100, then decompressed through libjpeg's two-pass quantizer with
// Floyd-Steinberg dithering. An 8-bit bitmap of at most maxColors (8..256)
// palette entries.
Bitmap QuantizeThroughJpeg(const Bitmap& src, int maxColors);

} // namespace pc
