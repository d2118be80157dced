#pragma once
// Icon and cursor files (.ICO, .CUR). The largest image of the file is
// drawn over white the way an icon is drawn on screen: the AND mask keeps
// the background, 32-bit images mix by their alpha, PNG images go through
// the PNG codec.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"

namespace pc {

// A 24-bit bitmap of the icon's size, or with maxSide above 0 shrunk to fit
// it. Throws BadInput for a broken file.
Bitmap ReadIcon(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = 0);

} // namespace pc
