#pragma once
// Size arithmetic that fails instead of wrapping, and the picture limits
// every reader checks before it allocates.
#include <cstdint>
#include <limits>

#include "platform/errors.h"

namespace pc {

struct PictureLimits {
    int64_t maxSide = 16384;
    int64_t maxPixels = int64_t(1) << 30;
};

inline int64_t CheckedMul(int64_t a, int64_t b)
{
    int64_t r;
    if (a < 0 || b < 0 || __builtin_mul_overflow(a, b, &r))
        throw BadInput("size overflow");
    return r;
}

inline int64_t CheckedAdd(int64_t a, int64_t b)
{
    int64_t r;
    if (a < 0 || b < 0 || __builtin_add_overflow(a, b, &r))
        throw BadInput("size overflow");
    return r;
}

// Bytes in one DIB row: padded to 4 bytes.
inline int64_t DibStride(int64_t width, int bitsPerPixel)
{
    return (CheckedMul(width, bitsPerPixel) + 31) / 32 * 4;
}

// Throws when a picture of this size may not be allocated.
inline void CheckPictureSize(int64_t width, int64_t height, const PictureLimits& limits = {})
{
    if (width <= 0 || height <= 0)
        throw BadInput("invalid picture size");
    if (width > limits.maxSide || height > limits.maxSide || CheckedMul(width, height) > limits.maxPixels)
        throw BadInput("picture too large");
}

} // namespace pc
