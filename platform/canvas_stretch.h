#pragma once
// Stretching blits between bitmaps of 24 or 32 bits, clipped to the target.
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/errors.h"

namespace pc {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    // Corners far apart on an axis may lie more than an int apart: such a
    // rectangle is refused with BadInput.
    int Width() const { return Extent(left, right); }
    int Height() const { return Extent(top, bottom); }

private:
    static int Extent(int from, int to)
    {
        const int64_t d = int64_t(to) - from;
        if (d < INT32_MIN || d > INT32_MAX)
            throw BadInput("rectangle too large");
        return int(d);
    }
};

enum class StretchMode {
    ColorOnColor, // nearest source pixel
    Halftone,     // average of the source pixels under each target pixel
    // Shrinking only (enlarging takes the nearest pixel): the source pixels
    // under each target pixel ANDed, so dark ones survive, or ORed, so light
    // ones do.
    AndPixels,
    OrPixels,
};

// Copies src's rectangle srcRect onto dst's rectangle dstRect, scaling as
// needed; a negative width or height in either rectangle mirrors. Source
// pixels outside src are left out; target pixels outside dst are clipped.
// src may be a palette bitmap; dst must be 24 or 32 bits. written, when
// given, must hold a byte per dst pixel (rows top-down): those written are
// set to 1.
void StretchBlt(Bitmap& dst, Rect dstRect, const Bitmap& src, Rect srcRect, StretchMode mode,
                uint8_t* written = nullptr);

} // namespace pc
