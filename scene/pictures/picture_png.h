#pragma once
// PNG pictures for the converters: decoded by the PNG codec and drawn over
// white, so transparent parts come out white.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"

namespace pc {

// A 24-bit bitmap; throws the codec's error for a broken file.
Bitmap ReadPngOnWhite(std::span<const uint8_t> data, const PictureLimits& limits = {});

} // namespace pc
