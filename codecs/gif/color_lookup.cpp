#include "codecs/gif/color_lookup.h"

#include <algorithm>
#include <limits>

#include "codecs/gif/web_palette.h"

namespace pc::gif {

namespace {

// Weighted luminance scaled by 256: 77 + 150 + 29 = 256.
inline int Luminance256(uint8_t red, uint8_t green, uint8_t blue) { return red * 77 + green * 150 + blue * 29; }

} // namespace

TSlowColorLookup::TSlowColorLookup(const std::vector<RGBQuad>& palette)
    : TColorLookup(int(palette.size() < 256 ? palette.size() : 256)),
      palette_(palette.begin(), palette.begin() + colors_)
{
    for (int i = 0; i < colors_; ++i)
        byGreen_.push_back({palette_[i].green, palette_[i].red, palette_[i].blue, i});
    std::sort(byGreen_.begin(), byGreen_.end(),
              [](const Entry& a, const Entry& b) { return a.green != b.green ? a.green < b.green : a.index < b.index; });
}

uint8_t TSlowColorLookup::Nearest(int red, int green, int blue) const
{
    int best = 0;
    int bestDist = std::numeric_limits<int>::max();
    auto consider = [&](const Entry& e) {
        int dr = e.red - red, dg = e.green - green, db = e.blue - blue;
        int dist = dr * dr + dg * dg + db * db;
        if (dist < bestDist || (dist == bestDist && e.index < best)) {
            bestDist = dist;
            best = e.index;
        }
    };
    // Entries farther in green alone than the best so far cannot win.
    auto start = std::lower_bound(byGreen_.begin(), byGreen_.end(), green,
                                  [](const Entry& e, int g) { return e.green < g; });
    for (auto it = start; it != byGreen_.end() && (it->green - green) * (it->green - green) <= bestDist; ++it)
        consider(*it);
    for (auto it = start; it != byGreen_.begin() && (green - (it - 1)->green) * (green - (it - 1)->green) <= bestDist; --it)
        consider(*(it - 1));
    return uint8_t(best);
}

uint8_t TSlowColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    uint8_t index = 0;
    r = g = b = 0;
    if (colors_ > 0) {
        uint32_t key = (uint32_t(red) << 16 | uint32_t(green) << 8 | blue) + 1;
        CacheSlot& slot = cache_[(key * 2654435761u) >> 20];
        if (slot.key != key) {
            slot.key = key;
            slot.index = Nearest(red, green, blue);
        }
        index = slot.index;
        r = palette_[index].red;
        g = palette_[index].green;
        b = palette_[index].blue;
    }
    return index;
}

TNetscapeColorLookup::TNetscapeColorLookup() : TColorLookup(kWebPaletteSize) {}

uint8_t TNetscapeColorLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    // Half a step up first: the nearest level, not the one below.
    constexpr int half = kWebLevelStep / 2;
    int lr = (red + half) / kWebLevelStep, lg = (green + half) / kWebLevelStep, lb = (blue + half) / kWebLevelStep;
    r = uint8_t(lr * kWebLevelStep);
    g = uint8_t(lg * kWebLevelStep);
    b = uint8_t(lb * kWebLevelStep);
    return uint8_t(lr * kWebLevels * kWebLevels + lg * kWebLevels + lb);
}

TGrayScaleLookup::TGrayScaleLookup() : TColorLookup(256) {}

uint8_t TGrayScaleLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    uint8_t grey = uint8_t(Luminance256(red, green, blue) >> 8);
    r = g = b = grey;
    return grey;
}

TMonochromeLookup::TMonochromeLookup() : TColorLookup(2) {}

uint8_t TMonochromeLookup::Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    bool white = Luminance256(red, green, blue) > 32512;
    r = g = b = white ? 255 : 0;
    return white ? 1 : 0;
}

} // namespace pc::gif
