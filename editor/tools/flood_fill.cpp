#include "editor/tools/flood_fill.h"

#include <algorithm>
#include <cstdlib>

#include "platform/canvas_flood.h"
#include "platform/errors.h"

namespace pc::editor {

int64_t FillArea(Bitmap& bitmap, int x, int y, TColor colour, int tolerance)
{
    if (bitmap.Bits() < 24)
        throw Error("The fill needs a 24 or 32-bit picture");
    if (x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height())
        return 0;
    const TColor target = bitmap.Pixel(x, y) & 0xFFFFFF;
    if (target == (colour & 0xFFFFFF))
        return 0;
    const int tb = GetBValue(target), tg = GetGValue(target), tr = GetRValue(target);
    auto match = [&](const uint8_t* p) {
        return std::abs(p[0] - tb) < tolerance && std::abs(p[1] - tg) < tolerance && std::abs(p[2] - tr) < tolerance;
    };
    const int bpp = bitmap.Bits() / 8;
    const uint8_t bgr[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    int64_t filled = 0;
    FloodSpans(bitmap, Rect{0, 0, bitmap.Width(), bitmap.Height()}, x, y, match, [&](int row, int x0, int x1) {
        uint8_t* p = bitmap.ScanLine(row) + int64_t(x0) * bpp;
        for (int i = x0; i < x1; ++i, p += bpp)
            std::copy_n(bgr, 3, p);
        filled += x1 - x0;
    });
    return filled;
}

} // namespace pc::editor
