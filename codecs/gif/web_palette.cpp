#include "codecs/gif/web_palette.h"

namespace pc::gif {

std::vector<RGBQuad> WebPalette()
{
    std::vector<RGBQuad> palette;
    palette.reserve(kWebPaletteSize);
    for (int r = 0; r < kWebLevels; ++r)
        for (int g = 0; g < kWebLevels; ++g)
            for (int b = 0; b < kWebLevels; ++b)
                palette.push_back(RGBQuad{uint8_t(b * kWebLevelStep), uint8_t(g * kWebLevelStep), uint8_t(r * kWebLevelStep), 0});
    return palette;
}

} // namespace pc::gif
