#pragma once
// BMP files: every common header version and depth, RLE4/RLE8, bit fields and
// top-down rows on reading; the bitmap's own depth on writing.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc {

// Throws BadInput with a short reason for anything malformed.
Bitmap ReadBmp(std::span<const uint8_t> data, const PictureLimits& limits = {});
Bitmap LoadBmpFile(const std::string& path, const PictureLimits& limits = {});

std::vector<uint8_t> EncodeBmp(const Bitmap& bmp);
void SaveBmpFile(const std::string& path, const Bitmap& bmp);

} // namespace pc
