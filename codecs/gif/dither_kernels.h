#pragma once
// The published error-diffusion kernels with one error row per kernel row:
// Stucki, Sierra (three rows), Jarvis-Judice-Ninke, Burkes and
// Stevenson-Arce. Offsets count in the processing direction.
#include <array>
#include <span>
#include <vector>

#include "codecs/gif/dither_engine.h"

namespace pc::gif {

struct KernelTap {
    int row;    // 0 = the current row
    int offset; // +k = k pixels ahead, -k behind
    int weight;
};

struct DitherKernel {
    int divisor;
    int rows;
    int margin; // widest offset: errors past the edges land here and are lost
    std::span<const KernelTap> taps;
};

class TKernelDitherer : public TDitherEngine {
public:
    TKernelDitherer(int width, TColorLookup& lookup, const DitherKernel& kernel);
    uint8_t DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) override;
    void NextLine() override;

private:
    static constexpr int kMaxRows = 4;
    void PlaceRows();

    DitherKernel kernel_;
    size_t rowLength_;
    // Per channel, kernel_.rows rows used as a ring: first_ is the current one.
    std::array<std::vector<int>, 3> errors_;
    int first_ = 0;
    std::array<std::array<int*, kMaxRows>, 3> rows_{}; // [channel][kernel row]
};

class TStuckiDitherer final : public TKernelDitherer {
public:
    TStuckiDitherer(int width, TColorLookup& lookup);
};

class TSierraDitherer final : public TKernelDitherer {
public:
    TSierraDitherer(int width, TColorLookup& lookup);
};

class TJaJuNiDitherer final : public TKernelDitherer {
public:
    TJaJuNiDitherer(int width, TColorLookup& lookup);
};

class TBurkesDitherer final : public TKernelDitherer {
public:
    TBurkesDitherer(int width, TColorLookup& lookup);
};

class TSteveArcheDitherer final : public TKernelDitherer {
public:
    TSteveArcheDitherer(int width, TColorLookup& lookup);
};

} // namespace pc::gif
