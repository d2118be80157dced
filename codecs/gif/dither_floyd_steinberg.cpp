#include "codecs/gif/dither_floyd_steinberg.h"

#include <algorithm>

namespace pc::gif {

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup& lookup) : TDitherEngine(width, lookup)
{
    for (Channel& ch : channels_)
        ch.row.assign(size_t(width_) + 2, 0);
}

uint8_t TFloydSteinbergDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const uint8_t source[3] = {red, green, blue};
    uint8_t corrected[3];
    for (int c = 0; c < 3; ++c) {
        const Channel& ch = channels_[c];
        // The entry ahead of pos_ is this column's: read before it is reused.
        int v = source[c] + (ch.row[pos_ + direction_] + ch.ahead + 8) / 16;
        corrected[c] = uint8_t(std::clamp(v, 0, 255));
    }
    uint8_t index = lookup_.Lookup(corrected[0], corrected[1], corrected[2], r, g, b);
    const uint8_t chosen[3] = {r, g, b};
    for (int c = 0; c < 3; ++c)
        Spread(c, corrected[c] - chosen[c]);
    pos_ += direction_;
    column_ += direction_;
    return index;
}

// Also for e = 0: the registers must shift, or the earlier pixels' shares
// land on the wrong entries and a consumed error stays to be used again.
void TFloydSteinbergDitherer::Spread(int channel, int e)
{
    Channel& ch = channels_[channel];
    ch.row[pos_] = ch.behind + 3 * e;
    ch.behind = ch.previous + 5 * e;
    ch.previous = e;
    ch.ahead = 7 * e;
}

void TFloydSteinbergDitherer::StepOver()
{
    for (int c = 0; c < 3; ++c)
        Spread(c, 0);
    pos_ += direction_;
    column_ += direction_;
}

void TFloydSteinbergDitherer::NextLine()
{
    for (Channel& ch : channels_) {
        ch.row[pos_] = ch.behind;
        ch.ahead = ch.behind = ch.previous = 0;
    }
    TDitherEngine::NextLine();
    pos_ = direction_ > 0 ? 0 : width_ + 1;
}

} // namespace pc::gif
