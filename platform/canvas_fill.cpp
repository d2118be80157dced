// Flood fill of the canvas: the area is found first, then painted with the
// brush in one mask, so hatches stay aligned to the picture.
#include <algorithm>

#include "platform/canvas.h"
#include "platform/canvas_flood.h"

namespace pc {

void Canvas::FloodFill(int x, int y, TColor c, FloodFillType type)
{
    const uint8_t key[3] = {GetBValue(c), GetGValue(c), GetRValue(c)};
    const bool surface = type == FloodFillType::Surface;
    auto match = [&](const uint8_t* p) {
        const bool same = p[0] == key[0] && p[1] == key[1] && p[2] == key[2];
        return surface == same;
    };
    struct Run {
        int y, x0, x1;
    };
    std::vector<Run> runs;
    Rect box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    FloodSpans(target_, clip_, x, y, match, [&](int ry, int x0, int x1) {
        runs.push_back({ry, x0, x1});
        box = Rect{std::min(box.left, x0), std::min(box.top, ry), std::max(box.right, x1), std::max(box.bottom, ry + 1)};
    });
    if (runs.empty())
        return;
    Mask m;
    m.box = box;
    m.cover.assign(size_t(box.Width()) * size_t(box.Height()), 0);
    for (const Run& r : runs)
        std::fill_n(&m.At(r.x0, r.y), r.x1 - r.x0, uint8_t(1));
    const PenMode mode = pen.mode;
    pen.mode = PenMode::Copy;
    Apply(m);
    pen.mode = mode;
}

} // namespace pc
