#include "scene/pictures/metafile_device.h"

#include <algorithm>

#include "scene/pictures/metafile_codepages.h"
#include "scene/pictures/metafile_limits.h"

namespace pc::metafile {

using namespace detail;

void Device::TextOut(DPoint at, const std::u16string& text, std::span<const double> dx,
                     const std::optional<std::array<double, 4>>& opaqueRect)
{
    Prepare();
    const bool updateCp = state_.textAlign & 1; // TA_UPDATECP
    // Moving the position lays the text out a second time.
    Spend((updateCp ? 2 : 1) * (kTextSetUpCost + kTextCharCost * int64_t(text.size())));
    if (updateCp)
        at = state_.pos;
    if (opaqueRect) {
        const Point a = ToPixel((*opaqueRect)[0], (*opaqueRect)[1]), c = ToPixel((*opaqueRect)[2], (*opaqueRect)[3]);
        const Brush saved = canvas_.brush;
        canvas_.brush = Brush{state_.bkColor, BrushStyle::Solid};
        canvas_.FillRect(Rect{std::min(a.x, c.x), std::min(a.y, c.y), std::max(a.x, c.x), std::max(a.y, c.y)});
        canvas_.brush = saved;
    }
    const Point p = ToPixel(at.x, at.y);
    const double sx = Scale().x;
    const bool withDx = !dx.empty() && dx.size() == text.size();
    std::vector<double> advances;
    double logicalWidth = 0;
    if (withDx) {
        for (double d : dx) {
            advances.push_back(d * sx);
            logicalWidth += d;
        }
    }
    canvas_.TextOut(p.x, p.y, text, advances);
    if (updateCp && sx > 0)
        state_.pos.x += withDx ? logicalWidth : canvas_.TextExtent(text).x / sx;
}

void Device::TextOutA(DPoint at, std::span<const uint8_t> bytes, std::span<const double> dx,
                      const std::optional<std::array<double, 4>>& opaqueRect)
{
    const DecodedText d = DecodeText(bytes, dx, state_.font.charSet);
    TextOut(at, d.text, d.dx, opaqueRect);
}

} // namespace pc::metafile
