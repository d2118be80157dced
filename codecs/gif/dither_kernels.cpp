#include "codecs/gif/dither_kernels.h"

#include <algorithm>

namespace pc::gif {

namespace {

constexpr KernelTap kStucki[] = {
    {0, 1, 8}, {0, 2, 4},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
    {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1},
};
constexpr KernelTap kSierra[] = {
    {0, 1, 5}, {0, 2, 3},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
    {2, -1, 2}, {2, 0, 3}, {2, 1, 2},
};
constexpr KernelTap kJarvisJudiceNinke[] = {
    {0, 1, 7}, {0, 2, 5},
    {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
    {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1},
};
constexpr KernelTap kBurkes[] = {
    {0, 1, 8}, {0, 2, 4},
    {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
};
constexpr KernelTap kStevensonArce[] = {
    {0, 2, 32},
    {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
    {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
    {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5},
};

} // namespace

TKernelDitherer::TKernelDitherer(int width, TColorLookup& lookup, const DitherKernel& kernel)
    : TDitherEngine(width, lookup), kernel_(kernel), rowLength_(size_t(width_) + 2 * size_t(kernel.margin))
{
    for (auto& channel : errors_)
        channel.assign(rowLength_ * size_t(kernel_.rows), 0);
    PlaceRows();
}

void TKernelDitherer::PlaceRows()
{
    for (int c = 0; c < 3; ++c)
        for (int row = 0; row < kernel_.rows; ++row)
            rows_[c][row] = errors_[c].data() + size_t((first_ + row) % kernel_.rows) * rowLength_;
}

uint8_t TKernelDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const int entry = column_ + kernel_.margin;
    const int d = kernel_.divisor;
    const uint8_t source[3] = {red, green, blue};
    uint8_t corrected[3];
    for (int c = 0; c < 3; ++c) {
        int v = source[c] + (rows_[c][0][entry] + d / 2) / d;
        corrected[c] = uint8_t(std::clamp(v, 0, 255));
    }
    uint8_t index = lookup_.Lookup(corrected[0], corrected[1], corrected[2], r, g, b);
    const uint8_t chosen[3] = {r, g, b};
    for (int c = 0; c < 3; ++c) {
        int e = corrected[c] - chosen[c];
        if (e == 0)
            continue;
        for (const KernelTap& tap : kernel_.taps)
            rows_[c][tap.row][entry + tap.offset * direction_] += e * tap.weight;
    }
    column_ += direction_;
    return index;
}

void TKernelDitherer::NextLine()
{
    for (int c = 0; c < 3; ++c)
        std::fill_n(rows_[c][0], rowLength_, 0);
    first_ = (first_ + 1) % kernel_.rows;
    PlaceRows();
    TDitherEngine::NextLine();
}

TStuckiDitherer::TStuckiDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {42, 3, 2, kStucki})
{
}

TSierraDitherer::TSierraDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {32, 3, 2, kSierra})
{
}

TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {48, 3, 2, kJarvisJudiceNinke})
{
}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {32, 2, 2, kBurkes})
{
}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup& lookup)
    : TKernelDitherer(width, lookup, {200, 4, 3, kStevensonArce})
{
}

} // namespace pc::gif
