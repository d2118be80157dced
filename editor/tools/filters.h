#pragma once
// The selection's 3x3 filters. Pure pixel work: no events are processed
// while a filter runs.
#include "platform/bitmap.h"

namespace pc::editor {

enum class FilterKind { Blur = 0, Sharpen = 1, Carve = 2 };

// The divisor the editor uses with each kind: 100, 10, 1.
int FilterDivisor(FilterKind kind);

// Filters a 24-bit bitmap in place: every pixel but the outermost rows and
// columns becomes (start + weighted 3x3 sum of the original) / divisor,
// truncated toward zero and clamped to 0..255, per channel. A divisor
// below 1 counts as 1.
void Filter3x3(Bitmap& area, FilterKind kind, int divisor);

} // namespace pc::editor
