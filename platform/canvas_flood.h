#pragma once
// The 4-connected area around a seed pixel, found span by span with an
// explicit, growable stack and a visited mask: every pixel is tested a few
// times at most, whatever the match rule, so a rule that still matches a
// pixel after it was filled cannot loop.
#include <cstdint>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas_stretch.h"

namespace pc {

// Calls match(px) with the B,G,R bytes of candidate pixels inside bounds and
// span(y, x0, x1) for each run x0..x1-1 of the area, left to right. span may
// overwrite the run's pixels: pixels are matched before their run is
// reported and never again. A seed outside bounds finds nothing.
template <class Match, class SpanFn>
void FloodSpans(const Bitmap& bitmap, Rect bounds, int seedX, int seedY, Match match, SpanFn span)
{
    bounds.left = std::max(bounds.left, 0);
    bounds.top = std::max(bounds.top, 0);
    bounds.right = std::min(bounds.right, bitmap.Width());
    bounds.bottom = std::min(bounds.bottom, bitmap.Height());
    if (seedX < bounds.left || seedX >= bounds.right || seedY < bounds.top || seedY >= bounds.bottom)
        return;
    const int bpp = bitmap.Bits() / 8;
    const int w = bounds.Width();
    std::vector<uint8_t> visited(size_t(w) * size_t(bounds.Height()), 0);
    auto seen = [&](int x, int y) -> uint8_t& { return visited[size_t(y - bounds.top) * w + (x - bounds.left)]; };
    auto ok = [&](const uint8_t* row, int x, int y) { return !seen(x, y) && match(row + int64_t(x) * bpp); };

    struct Seed {
        int x, y;
    };
    std::vector<Seed> stack{{seedX, seedY}};
    while (!stack.empty()) {
        const Seed s = stack.back();
        stack.pop_back();
        const uint8_t* row = bitmap.ScanLine(s.y);
        if (!ok(row, s.x, s.y))
            continue;
        int x0 = s.x, x1 = s.x + 1;
        while (x0 > bounds.left && ok(row, x0 - 1, s.y))
            --x0;
        while (x1 < bounds.right && ok(row, x1, s.y))
            ++x1;
        for (int x = x0; x < x1; ++x)
            seen(x, s.y) = 1;
        // Neighbour rows are scanned before span() may change this one.
        for (int ny : {s.y - 1, s.y + 1}) {
            if (ny < bounds.top || ny >= bounds.bottom)
                continue;
            const uint8_t* nrow = bitmap.ScanLine(ny);
            bool inRun = false;
            for (int x = x0; x < x1; ++x) {
                const bool m = ok(nrow, x, ny);
                if (m && !inRun)
                    stack.push_back({x, ny});
                inRun = m;
            }
        }
        span(s.y, x0, x1);
    }
}

} // namespace pc
