#pragma once
// Limits and work charges shared by the parts of the metafile device.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/errors.h"
#include "scene/pictures/picture_bounds.h"

namespace pc::metafile::detail {

inline constexpr uint32_t kMaxObjects = 65536;
// Points of one figure record, one path or one flattened Bézier record.
// Filling one takes about 60 bytes a point at its peak (the points, their
// pixels, the polygon's edges and a row's crossings), so that these stay
// within a few hundred megabytes.
inline constexpr size_t kMaxPathPoints = 4'000'000;

inline void CheckFigurePoints(uint64_t n)
{
    if (n > kMaxPathPoints)
        throw BadInput("A figure of the metafile has more than 4000000 points");
}
// Memory of the clip regions a metafile's saved states hold at once.
inline constexpr int64_t kMaxClipRegionBytes = int64_t(64) << 20;
// Memory of one picture a metafile holds inside it, beside the picture it
// draws: a share of what a picture file may take.
inline constexpr int64_t kMetafilePictureBytes = kPictureMemoryBudget / 4;
// Memory of the pattern brushes that live at one time: that of one picture
// inside the metafile, so that they, a blit's staged copies and the picture
// drawn stay within the memory a file may take.
inline constexpr int64_t kMetafilePatternBytes = kMetafilePictureBytes;

// Work charged besides what the canvas charges, in its units (about the time
// of writing a pixel): setting the state up for a drawing or a figure,
// working out a point, reading a picture, and laying out text (a font looked
// up, then each character shaped).
inline constexpr int64_t kDrawSetUpCost = 64, kPointCost = 8, kPictureSetUpCost = 64;
inline constexpr int64_t kTextSetUpCost = 2048, kTextCharCost = 128;
// Combining clip regions: per row, and per run sorted and merged.
inline constexpr int64_t kRegionRowCost = 2, kRegionRunCost = 8;

// Output coordinates are kept well inside int so the canvas can clip them.
inline int ToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::lround(std::clamp(v, -1e9, 1e9)));
}

// Millimetres per logical unit of the metric map modes.
inline double MetricUnit(int mode)
{
    switch (mode) {
    case 2: return 0.1;           // MM_LOMETRIC
    case 3: return 0.01;          // MM_HIMETRIC
    case 4: return 0.254;         // MM_LOENGLISH
    case 5: return 0.0254;        // MM_HIENGLISH
    case 6: return 25.4 / 1440;   // MM_TWIPS
    default: return 0;
    }
}

} // namespace pc::metafile::detail
