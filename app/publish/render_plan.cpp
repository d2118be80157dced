#include "app/publish/render_plan.h"

#include <algorithm>
#include <cmath>

namespace pc {

RenderPlan PlanRender(int W, int H, int dw, int dh, AntiAlias method)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    RenderPlan p;
    // The rendered area never exceeds twice the desktop's.
    const float limit = float(std::sqrt(double(dw) * dh * 2.0 / (double(W) * H)));
    const bool autoMode = method == AntiAlias::Auto;
    const float cw = autoMode ? float(dw) : float(2 * dw - 1);
    const float ch = autoMode ? float(dh) : float(2 * dh - 1);
    const float sx = cw / float(W), sy = ch / float(H);
    p.scale = sx < sy ? sx : sy;
    if (sx >= 1.0f && sy >= 1.0f && (method == AntiAlias::Accumulation || method == AntiAlias::None))
        p.scale = 1.0f;
    if (p.scale > limit)
        p.scale = limit;
    // Extreme aspects could truncate a side to 0.
    p.renderW = std::max(1, int(float(W) * p.scale));
    p.renderH = std::max(1, int(float(H) * p.scale));
    p.passes = (method == AntiAlias::Accumulation || autoMode) ? 24 : 1;
    return p;
}

std::vector<Tile> PlanTiles(int rw, int rh, int tw, int th)
{
    std::vector<Tile> tiles;
    tw = std::max(tw, 1);
    th = std::max(th, 1);
    for (int top = 0; top < rh; top += th)
        for (int left = 0; left < rw; left += tw) {
            int w = std::min(tw, rw - left), h = std::min(th, rh - top);
            tiles.push_back({left, top, w, h, left, rh - top - h});
        }
    return tiles;
}

LargePlan PlanLargeRender(int W, int H)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    LargePlan p;
    const int m = std::max(W, H);
    if (float(m) * 8.0f > 4096.0f)
        p.factor = float(4096 / m);
    p.width = std::max(1, int(float(W) * p.factor));
    p.height = std::max(1, int(float(H) * p.factor));
    return p;
}

} // namespace pc
