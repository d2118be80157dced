#pragma once
// PNG pictures for the converters: decoded by the PNG codec and composited
// over white, so transparent parts come out white.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"

namespace pc {

// A 24-bit bitmap built row by row from the decoded picture, with no other
// copy of it; with maxSide above 0 shrunk to fit it. Throws the codec's error
// for a broken file and BadInput for a picture whose decoding would exceed
// kPictureMemoryBudget.
Bitmap ReadPngOnWhite(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = 0);

} // namespace pc
