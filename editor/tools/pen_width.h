#pragma once
// Pen widths the user types: widths outside 1..255 would make the eraser
// and the fill tolerance meaningless, so they are clamped.
#include <string_view>

namespace pc::editor {

constexpr int kMaxPenWidth = 255;

int ClampPenWidth(int width);
// The width a typed text names; 1 when it is not a number.
int PenWidthFromText(std::string_view text);

} // namespace pc::editor
