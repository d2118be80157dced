#pragma once
// The fixed palettes colour reduction chooses from. Screens here are never
// palette devices, so entries carry no flags.
#include <vector>

#include "platform/color.h"

namespace pc::gif {

// 256 greys (i, i, i).
std::vector<RGBQuad> GrayScalePalette();
// Black, then white.
std::vector<RGBQuad> MonochromePalette();
// The four greys a 16-colour screen shows: 0, 128, 192, 255.
std::vector<RGBQuad> WindowsGrayPalette();
// The 20 colours every screen reserves: 10 at the start, 10 at the end of a
// 256-entry palette.
std::vector<RGBQuad> Windows20Palette();
// 256 entries: the 20 reserved colours at 0..9 and 246..255, the web cube at
// 10..225 and 20 extra greys at 226..245.
std::vector<RGBQuad> HalftonePalette();

} // namespace pc::gif
