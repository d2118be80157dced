#pragma once
// Colour lookups: map an RGB colour to a palette index and give back the
// colour of the chosen entry, which the dither engines need for the error.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/color.h"

namespace pc::gif {

class TColorLookup {
public:
    explicit TColorLookup(int colors) : colors_(colors) {}
    virtual ~TColorLookup() = default;
    TColorLookup(const TColorLookup&) = delete;
    TColorLookup& operator=(const TColorLookup&) = delete;

    // Number of palette entries this lookup maps to.
    int Colors() const { return colors_; }
    virtual uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) = 0;

protected:
    int colors_;
};

// Nearest entry of any palette (squared RGB distance, lowest index wins a
// tie). Searches outward from the query's green level, and remembers recent
// answers, since photos repeat colours a lot.
class TSlowColorLookup final : public TColorLookup {
public:
    // Maps to at most the first 256 entries.
    explicit TSlowColorLookup(const std::vector<RGBQuad>& palette);
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;

private:
    struct CacheSlot {
        uint32_t key = 0; // colour + 1, 0 = empty
        uint8_t index = 0;
    };
    struct Entry {
        int green, red, blue, index;
    };
    uint8_t Nearest(int red, int green, int blue) const;

    std::vector<RGBQuad> palette_;
    std::vector<Entry> byGreen_;
    std::array<CacheSlot, 4096> cache_{};
};

// The web palette by arithmetic: the nearest level, (channel + 25) div 51.
class TNetscapeColorLookup final : public TColorLookup {
public:
    TNetscapeColorLookup();
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

// The 256-grey palette: index = weighted luminance.
class TGrayScaleLookup final : public TColorLookup {
public:
    TGrayScaleLookup();
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

// Black (0) or white (1) by weighted luminance above half.
class TMonochromeLookup final : public TColorLookup {
public:
    TMonochromeLookup();
    uint8_t Lookup(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
};

} // namespace pc::gif
