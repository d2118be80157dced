#pragma once
// Area-averaging resampling of 24-bit pictures: each output pixel is the mean
// of the source area it covers, so shrinking a supersampled render smooths its
// edges and enlarging keeps flat colours flat.
#include "platform/bitmap.h"

namespace pc {

// A new 24-bit bitmap of w x h; the source is converted to 24 bits first.
Bitmap ResampleArea(const Bitmap& src, int w, int h);

} // namespace pc
