#pragma once
// The picture side of the colour-adjustment dialog: a 32-bit picture with
// alpha reduced to 8 bits with one fully transparent colour, and the preview
// of a picture over a background tile.
#include "platform/bitmap.h"

namespace pc {

// The palette colours kept for transparency: black marks transparent pixels,
// red 1 stands in for opaque pixels that came out black.
inline constexpr TColor kTransparentEntry = RGB(0, 0, 0);
inline constexpr TColor kNearBlackEntry = RGB(1, 0, 0);

// 24-bit picture of src (32-bit with alpha) over the colour bg.
Bitmap CompositeOverColour(const Bitmap& src, TColor bg);

// "8bit ( 256 colors )": a 32-bit source is composited over bg, reduced to at
// most 254 colours, and every pixel whose alpha is below threshold (-1..255)
// gets the black entry; opaque pixels that were black move to the near-black
// entry. A 24-bit source is only reduced. The palette always has 256 entries.
Bitmap ConvertTo8Bit(const Bitmap& src, TColor bg, int threshold);

// The reservation step of ConvertTo8Bit on an 8-bit picture of src's size:
// black and near-black entries are found or made (a full palette gives up
// entries 255 and 254), unused entries become (i + 1 - n, 0, 0), and pixels are
// re-pointed by src's alpha.
void ReserveTransparency(Bitmap& bmp8, const Bitmap& src, int threshold);

// Index of the black entry of an 8-bit picture ConvertTo8Bit made.
int TransparentIndex(const Bitmap& bmp8);

// The preview: tile repeated over a w x h picture, pic centred on it; a 32-bit
// pic is blended by its alpha, an 8-bit one shows the tile through its black
// entry when transparent is set.
Bitmap PreviewOver(const Bitmap& tile, const Bitmap& pic, int w, int h, bool transparent);

} // namespace pc
