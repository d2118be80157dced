#pragma once
// Sub-pixel offsets for anti-aliasing by accumulated passes, in pixels
// around 0.
#include <optional>
#include <span>

namespace pc::scene {

struct JitterPoint {
    float x, y;
};

// The table for 2, 3, 4, 8, 15, 24 or 66 passes; any other count gets the
// 4-pass table.
std::span<const JitterPoint> JitterTable(int passCount);

// The shift of one pass, or none: a count below 2, an index outside
// 0..passCount-1 and an index past the end of the chosen table all draw
// unshifted (a count of 5 uses the 4-entry table).
std::optional<JitterPoint> JitterShift(int passIndex, int passCount);

} // namespace pc::scene
