#pragma once
// A PNG file as the 24-bit picture that picture import caches: drawn on
// white, so transparent parts come out white.
#include <span>
#include <string>

#include "platform/bitmap.h"

namespace pc::png {

Bitmap DecodePngOnWhite(std::span<const uint8_t> data);
// Throws FileError when the file cannot be read, the codec's errors when it is broken.
Bitmap LoadPngFileOnWhite(const std::string& path);

} // namespace pc::png
