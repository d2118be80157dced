#include "codecs/gif/color_palettes.h"

#include <array>

#include "codecs/gif/web_palette.h"

namespace pc::gif {

namespace {

constexpr RGBQuad Entry(uint8_t r, uint8_t g, uint8_t b) { return RGBQuad{b, g, r, 0}; }

constexpr std::array<RGBQuad, 20> kReservedColors = {
    Entry(0, 0, 0),       Entry(128, 0, 0),     Entry(0, 128, 0),     Entry(128, 128, 0),   Entry(0, 0, 128),
    Entry(128, 0, 128),   Entry(0, 128, 128),   Entry(192, 192, 192), Entry(192, 220, 192), Entry(166, 202, 240),
    Entry(255, 251, 240), Entry(160, 160, 164), Entry(128, 128, 128), Entry(255, 0, 0),     Entry(0, 255, 0),
    Entry(255, 255, 0),   Entry(0, 0, 255),     Entry(255, 0, 255),   Entry(0, 255, 255),   Entry(255, 255, 255),
};

} // namespace

std::vector<RGBQuad> GrayScalePalette()
{
    std::vector<RGBQuad> palette(256);
    for (int i = 0; i < 256; ++i)
        palette[i] = Entry(uint8_t(i), uint8_t(i), uint8_t(i));
    return palette;
}

std::vector<RGBQuad> MonochromePalette()
{
    return {Entry(0, 0, 0), Entry(255, 255, 255)};
}

std::vector<RGBQuad> WindowsGrayPalette()
{
    return {Entry(0, 0, 0), Entry(128, 128, 128), Entry(192, 192, 192), Entry(255, 255, 255)};
}

std::vector<RGBQuad> Windows20Palette()
{
    return {kReservedColors.begin(), kReservedColors.end()};
}

std::vector<RGBQuad> HalftonePalette()
{
    std::vector<RGBQuad> palette(kReservedColors.begin(), kReservedColors.begin() + 10);
    std::vector<RGBQuad> cube = WebPalette();
    palette.insert(palette.end(), cube.begin(), cube.end());
    // Greys between the cube's levels (none is a multiple of 51).
    for (int i = 0; i < 20; ++i) {
        uint8_t level = uint8_t(8 + i * 12);
        palette.push_back(Entry(level, level, level));
    }
    palette.insert(palette.end(), kReservedColors.begin() + 10, kReservedColors.end());
    return palette;
}

} // namespace pc::gif
