#pragma once
// Floyd-Steinberg: 7/16 ahead, 3/16 behind-below, 5/16 below, 1/16
// ahead-below. One error row per channel; the values for the row below are
// carried along in three registers and written one entry behind the pixel.
#include <array>
#include <vector>

#include "codecs/gif/dither_engine.h"

namespace pc::gif {

class TFloydSteinbergDitherer final : public TDitherEngine {
public:
    TFloydSteinbergDitherer(int width, TColorLookup& lookup);
    uint8_t DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
    void StepOver() override;
    void NextLine() override;

private:
    void Spread(int channel, int e);

    // Entry x + 1 holds the error for column x of the next row; entries 0
    // and width + 1 catch what falls off the edges.
    struct Channel {
        std::vector<int> row;
        int ahead = 0;     // 7e of the previous pixel
        int behind = 0;    // the two pixels' share of the entry written next
        int previous = 0;  // e of the previous pixel, for the entry after that
    };

    std::array<Channel, 3> channels_;
    int pos_ = 0; // entry written at this pixel: the column behind it
};

} // namespace pc::gif
