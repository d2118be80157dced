#pragma once
// The Qt fonts a canvas draws its text with, made once per look and kept:
// making a font (matching its name, loading and sizing the face) costs far
// more than drawing a short text with it, so a canvas charges each font the
// first time it uses it.
#include <QFont>
#include <QFontMetricsF>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>

namespace pc {

struct Font;

struct CanvasFont {
    QFont qfont;
    QFontMetricsF metrics;
    std::set<int> widths; // drawn with so far
};

// Horizontal scale of the glyphs that makes the font's average character
// width the width asked for; 1 for the font's own width.
double StretchOf(const CanvasFont& made, int width);

class CanvasFontCache {
public:
    // Work of making a font and drawing with it the first time, in canvas
    // units: about 350 microseconds for a face looked up by name; and of
    // the first text stretched to a new width (the glyphs are rasterised
    // anew for every scale), about 20 microseconds.
    static constexpr int64_t kNewFontCost = 150'000, kNewWidthCost = 8'000;

    // cost: the work of making what was not in the cache yet.
    const CanvasFont& Get(const Font& f, int64_t& cost);

private:
    // Everything but the width, which only scales the glyphs.
    using Key = std::tuple<std::string, int, int, bool, bool, bool>;
    // More looks than any real picture uses; past it the cache starts over.
    static constexpr size_t kMaxFonts = 1024;
    std::map<Key, std::unique_ptr<CanvasFont>> fonts_;
};

} // namespace pc
