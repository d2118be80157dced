#pragma once
// Filling a connected area of similar colour, on a 24 or 32-bit bitmap.
#include <cstdint>

#include "platform/bitmap.h"

namespace pc::editor {

// Fills with colour the 4-connected area around (x, y) whose pixels differ
// from the seed pixel's colour by less than tolerance in each of B, G and R
// (tolerance 1: the exact colour). Returns the number of pixels filled:
// 0 for a seed outside the bitmap or a colour equal to the seed's.
int64_t FillArea(Bitmap& bitmap, int x, int y, TColor colour, int tolerance);

} // namespace pc::editor
