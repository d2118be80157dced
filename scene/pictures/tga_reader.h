#pragma once
// Uncompressed true-colour TGA pictures (24 or 32 bits, no image ID, no
// colour map). Other kinds are refused.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"

namespace pc {

// A 24-bit bitmap, rows and columns in the order the descriptor's origin
// bits give; with maxSide above 0 shrunk row by row to fit it. Throws
// BadInput for anything else.
Bitmap ReadTga(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = 0);
// How many bytes of a file starting with head ReadTga reads: the 18-byte
// header and the rows it declares.
int64_t TgaBytesNeeded(std::span<const uint8_t> head);
inline constexpr size_t kTgaHeaderBytes = 18;

} // namespace pc
