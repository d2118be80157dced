#pragma once
// Writing one jittered pass of a tile into the picture.
#include <cstdint>

#include "platform/bitmap.h"

namespace pc {

// passRow: one row of the rendered pass, 4 bytes per pixel (B,G,R,A), written
// into the 24-bit picture's row pictureRow from column left on. With one pass
// the pixel is copied; with n passes pass i enters with weight (n - i) / n:
// (new * (n - i) + old * i) / n. This weighted blend is the method's result,
// not a running mean.
// Passes may number up to 255.
void BlendPassRow(Bitmap& picture, int pictureRow, int left, const uint8_t* passRow, int width, int pass, int passes);

} // namespace pc
