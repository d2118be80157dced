#pragma once
// The 216-colour web palette: six levels (0, 51, ..., 255) per channel,
// entry r*36 + g*6 + b.
#include <vector>

#include "platform/color.h"

namespace pc::gif {

inline constexpr int kWebLevels = 6;
inline constexpr int kWebLevelStep = 51;
inline constexpr int kWebPaletteSize = kWebLevels * kWebLevels * kWebLevels;

std::vector<RGBQuad> WebPalette();

} // namespace pc::gif
