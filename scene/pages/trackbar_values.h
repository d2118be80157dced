#pragma once
// Object parameters live as integer track-bar positions (0..360, 180 the
// neutral value); these turn them into scene values and back. Floats from
// positions are computed in floating point; positions from floats truncate
// toward zero.
#include <climits>
#include <cstdint>

namespace pc {

// Rows and columns of an object's parameter table.
constexpr int kTableRows = 7;
constexpr int kTableColumns = 13;
constexpr int kRowSkin = 0, kRowSize = 1, kRowPosition = 2, kRowRotation = 3, kRowKeep4 = 4, kRowKeep5 = 5,
              kRowMaterial = 6;
constexpr int kColX = 0, kColY = 1, kColZ = 2, kColD = 3;

// Model sub-object and material controls; the geometry's own conversions of
// positions are in scene/scene_params.h.
constexpr double VisibleSizeFromPosition(int p) { return p / 180.0; }
constexpr double TextureRepeatFromPosition(int p) { return (p - 180) / 90.0; }
constexpr double TextureOffsetFromPosition(int p) { return (p - 180) / 180.0; }
constexpr uint8_t AlphaFromPosition(int p) { return uint8_t(p * 255 / 360); }

// A position from a value a file gave: beyond the int range it stops at its
// end, and one that is not a number shows as the neutral 180. The bar clamps
// it further; the value itself stays as it was.
constexpr int PositionOf(double p)
{
    if (p != p)
        return 180;
    return p <= double(INT_MIN) ? INT_MIN : p >= double(INT_MAX) ? INT_MAX : int(p);
}

constexpr int PositionFromVisibleSize(double v) { return PositionOf(v * 180); }
constexpr int PositionFromTextureRepeat(double v) { return PositionOf(v * 90 + 180); }
constexpr int PositionFromTextureOffset(double v) { return PositionOf(v * 180 + 180); }
constexpr int PositionFromAlpha(uint8_t a) { return a * 360 / 255; }

} // namespace pc
