#include "app/window/preview_fit.h"

#include <algorithm>
#include <cmath>

#include "scene/pages/value_typing.h"

namespace pc {

namespace {

int Side(int out, float k)
{
    double v = double(out) * double(k);
    if (!(v >= 1))
        return 1; // a scroll box smaller than its margin still shows a pixel
    return int(v);
}

} // namespace

PanelSize FitPreview(int outW, int outH, int clientW, int clientH, bool quick)
{
    float s = quick ? 200.0f : float(std::min(clientW, clientH) - 60);
    int m = std::max({outW, outH, 1});
    float k = float(double(s) / m);
    return {Side(outW, k), Side(outH, k)};
}

int SideFromEditText(const std::string& text)
{
    return ParseDecimal(text).value_or(0);
}

} // namespace pc
