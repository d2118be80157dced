#pragma once
// Stretching blits between bitmaps of 24 or 32 bits, clipped to the target.
#include "platform/bitmap.h"

namespace pc {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

enum class StretchMode {
    ColorOnColor, // nearest source pixel
    Halftone,     // average of the source pixels under each target pixel
};

// Copies src's rectangle srcRect onto dst's rectangle dstRect, scaling as
// needed; a negative width or height in either rectangle mirrors. Source
// pixels outside src are left out; target pixels outside dst are clipped.
// src may be a palette bitmap; dst must be 24 or 32 bits.
void StretchBlt(Bitmap& dst, Rect dstRect, const Bitmap& src, Rect srcRect, StretchMode mode);

} // namespace pc
