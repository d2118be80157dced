#pragma once
// Windows metafiles (.WMF, placeable or not, and .EMF), played onto a canvas
// at the picture's own size, or smaller when that is larger than maxSide.
#include <cstdint>
#include <span>

#include "platform/bitmap.h"
#include "scene/pictures/picture_bounds.h"

namespace pc {

// A 24-bit bitmap, white where the metafile draws nothing. Throws BadInput
// for a broken file.
Bitmap PlayMetafile(std::span<const uint8_t> data, const PictureLimits& limits = {}, int maxSide = kScenePictureSide);

} // namespace pc
