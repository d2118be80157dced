#pragma once
// Colour reduction the way a JPEG library's 8-bit output does it: the picture
// is compressed at quality 100 and decompressed with libjpeg's two-pass
// quantizer (Floyd-Steinberg dithering) into a palette.
#include "platform/bitmap.h"

namespace pc {

// An 8-bit bitmap with at most maxColors (1..256) palette entries. Throws Error
// when the JPEG library fails.
Bitmap QuantizeThroughJpeg(const Bitmap& src, int maxColors);

} // namespace pc
