#pragma once
// The output size presets of the "Picture Resolution " group: common banner
// and box-shot sizes, each read back from its own caption.
#include <array>
#include <string>

namespace pc {

inline constexpr std::array<const char*, 20> kSizePresets = {
    "200 X 150", "120 X 600", "120 X 240", "125 X 125", "160 X 600", "170 X 210", "180 X 150",
    "200 X 200", "234 X 60",  "250 X 250", "280 X 280", "300 X 200", "300 X 250", "336 X 280",
    "400 X 300", "468 X 60",  "510 X 300", "768 X 90",  "800 X 600", "1000 X 1000"};

struct PresetSize {
    int width = 200;
    int height = 200;
};

// "W X H" with an accelerator "&" anywhere; a side that is not a number is
// 200, and so are both without " X ".
PresetSize ParsePreset(std::string caption);

} // namespace pc
