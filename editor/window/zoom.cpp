#include "editor/window/zoom.h"

#include <algorithm>
#include <cstdint>

namespace pc::editor {

namespace {

constexpr double kMin = 0.05, kMax = 16.0;
constexpr double kStepIn = 1.2, kStepOut = 0.8333333333333334;

} // namespace

void Zoom::Snap()
{
    if (factor_ > 0.9 && factor_ < 1.1)
        factor_ = 1.0;
}

void Zoom::In()
{
    factor_ = std::min(factor_ * kStepIn, kMax);
    Snap();
}

void Zoom::Out()
{
    factor_ = std::max(factor_ * kStepOut, kMin);
    Snap();
}

void Zoom::Preset(int percent)
{
    factor_ = std::clamp(percent * 0.01, kMin, kMax);
    Snap();
}

int Zoom::ViewSide(int pictureSide) const
{
    return int(pictureSide * factor_ + 0.5);
}

int Zoom::ToPicture(int viewCoordinate, int pictureSide) const
{
    return SourceOfViewPixel(viewCoordinate, pictureSide, std::max(1, ViewSide(pictureSide)));
}

int SourceOfViewPixel(int v, int sourceSide, int viewSide)
{
    const int64_t num = (2 * int64_t(v) + 1) * sourceSide, den = 2 * int64_t(viewSide);
    return int(num >= 0 ? num / den : -((-num + den - 1) / den));
}

} // namespace pc::editor
