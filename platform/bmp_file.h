#pragma once
// BMP files: every common header version and depth, RLE4/RLE8, bit fields and
// top-down rows on reading; the bitmap's own depth on writing.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc {

// Throws BadInput with a short reason for anything malformed, and for a
// picture beyond kPictureMemoryBudget. With maxSide above 0 a picture larger
// than maxSide on a side comes out shrunk to fit it, as a 24-bit bitmap built
// row by row, never held at its full size; otherwise the file's own depth.
Bitmap ReadBmp(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = 0);
Bitmap LoadBmpFile(const std::string& path, const PictureLimits& limits = {}, int maxSide = 0);
// The bytes of a BMP file its headers say the picture needs: headers, colour
// table and rows (RLE codes: at most four bytes a pixel, and at most
// kPictureFileBytes). Broken headers, or a picture beyond limits, are refused
// from the first bytes; nothing past the rows is read.
std::vector<uint8_t> ReadBmpFileBytes(const std::string& path, const PictureLimits& limits = {});

// The size and depth a BMP file declares, its header checked as ReadBmp
// checks it; nothing of the pixels is read.
struct BmpInfo {
    int64_t width = 0, height = 0;
    int bits = 0;
};
BmpInfo ReadBmpInfo(std::span<const uint8_t> data);
// Whether the file's headers agree with its size: rows start after the
// colour table, and uncompressed ones end at the file's end. Every BMP we write does; one that does not was
// damaged and would show garbled.
bool BmpLayoutMatches(std::span<const uint8_t> data);

std::vector<uint8_t> EncodeBmp(const Bitmap& bmp);
// The file header, info header and colour table EncodeBmp writes before the rows.
std::vector<uint8_t> EncodeBmpHeader(const Bitmap& bmp);
void SaveBmpFile(const std::string& path, const Bitmap& bmp);

} // namespace pc
