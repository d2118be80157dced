#include "platform/canvas_fonts.h"

#include <algorithm>
#include <cmath>

#include "platform/canvas.h"

namespace pc {

namespace {

QFont MakeQFont(const Font& f)
{
    QFont q(QString::fromStdString(f.name));
    // Glyphs beyond this size only cost time; no picture needs them.
    const int h = std::clamp(f.height == 0 ? 16 : std::abs(f.height), 1, 2048);
    q.setPixelSize(h);
    if (f.height > 0) { // cell height: scale the em so the cell fits
        QFontMetricsF fm(q);
        if (fm.height() > 0)
            q.setPixelSize(std::max(1, int(std::lround(h * h / fm.height()))));
    }
    q.setWeight(QFont::Weight(std::clamp(f.weight == 0 ? 400 : f.weight, 100, 900)));
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeOut);
    return q;
}

} // namespace

const CanvasFont& CanvasFontCache::Get(const Font& f, int64_t& cost)
{
    cost = 0;
    const Key key{f.name, f.height, f.weight, f.italic, f.underline, f.strikeOut};
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        if (fonts_.size() >= kMaxFonts)
            fonts_.clear();
        const QFont q = MakeQFont(f);
        it = fonts_.emplace(key, std::make_unique<CanvasFont>(CanvasFont{q, QFontMetricsF(q), {}})).first;
        cost += kNewFontCost;
    }
    CanvasFont& font = *it->second;
    if (f.width != 0 && !font.widths.contains(f.width)) {
        if (font.widths.size() >= kMaxFonts)
            font.widths.clear();
        font.widths.insert(f.width);
        cost += kNewWidthCost;
    }
    return font;
}

double StretchOf(const CanvasFont& made, int width)
{
    const double average = made.metrics.averageCharWidth();
    return width != 0 && average > 0 ? std::clamp(std::abs(width) / average, 1.0 / 64, 64.0) : 1.0;
}

} // namespace pc
