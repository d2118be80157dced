#pragma once
// Reduction of any bitmap to an 8-bit one: a palette by method, each pixel
// mapped through a colour lookup and a dither engine.
#include <vector>

#include "codecs/gif/dither_engine.h"
#include "platform/bitmap.h"

namespace pc::gif {

enum class TColorReduction {
    rmNone,            // a 24-bit copy
    rmWindows20,       // the 20 reserved colours
    rmWindows256,      // the halftone palette
    rmWindowsGray,     // four greys
    rmMonochrome,      // black and white
    rmGrayScale,       // 256 greys
    rmNetscape,        // the web palette
    rmQuantize,        // octree of 2^reductionBits colours
    rmQuantizeWindows, // octree of 236 colours between the reserved 20
    rmPalette,         // the caller's palette
};

inline TColorReduction GIFImageDefaultColorReduction = TColorReduction::rmNetscape;

// A new bitmap; the source is left as it was. Every method but rmNone gives
// an 8-bit bitmap whose palette is the chosen one, so it never uses more
// than that many colours. Raises "Invalid reduction method", "Invalid dither
// mode", "Color table is empty" (rmPalette without entries), "Invalid Bits
// Per Pixel value" (rmQuantize outside 1..8) and "Invalid image dimensions".
Bitmap ReduceColors(const Bitmap& bitmap, TColorReduction reduction, TDitherMode dither, int reductionBits,
                    const std::vector<RGBQuad>& customPalette = {});

} // namespace pc::gif
