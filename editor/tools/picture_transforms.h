#pragma once
// Whole-picture turns and mirrors of 24-bit pictures.
#include "platform/bitmap.h"

namespace pc::editor {

// A quarter turn clockwise: new (x, y) = old (y, H - 1 - x).
Bitmap RotateClockwise(const Bitmap& picture);
// New (x, y) = old (W - 1 - x, y).
Bitmap FlipHorizontal(const Bitmap& picture);
// New (x, y) = old (x, H - 1 - y).
Bitmap FlipVertical(const Bitmap& picture);

} // namespace pc::editor
