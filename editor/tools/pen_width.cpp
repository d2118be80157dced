#include "editor/tools/pen_width.h"

#include <algorithm>
#include <charconv>

namespace pc::editor {

int ClampPenWidth(int width)
{
    return std::clamp(width, 1, kMaxPenWidth);
}

int PenWidthFromText(std::string_view text)
{
    long long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || end != text.data() + text.size())
        return 1;
    if (ec == std::errc::result_out_of_range)
        return text.front() == '-' ? 1 : kMaxPenWidth;
    return int(std::clamp<long long>(v, 1, kMaxPenWidth));
}

} // namespace pc::editor
