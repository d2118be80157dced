#pragma once
// Colours as the program stores them: 0x00BBGGRR, red in the low byte.
#include <cstdint>

namespace pc {

using TColor = uint32_t;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) { return TColor(r) | TColor(g) << 8 | TColor(b) << 16; }
constexpr uint8_t GetRValue(TColor c) { return uint8_t(c); }
constexpr uint8_t GetGValue(TColor c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(TColor c) { return uint8_t(c >> 16); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

// One colour-table entry, in file order.
struct RGBQuad {
    uint8_t blue = 0, green = 0, red = 0, reserved = 0;
    bool operator==(const RGBQuad&) const = default;
};

constexpr RGBQuad ToQuad(TColor c) { return RGBQuad{GetBValue(c), GetGValue(c), GetRValue(c), 0}; }
constexpr TColor FromQuad(RGBQuad q) { return RGB(q.red, q.green, q.blue); }

} // namespace pc
