#include "scene/pages/value_typing.h"

#include <charconv>

namespace pc {

std::optional<int> ParseDecimal(const std::string& text)
{
    int v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return v;
}

TypingStep TypeKey(const std::string& buffer, TypingKey key, int min, int max, int position)
{
    switch (key.kind) {
    case TypingKeyKind::Minus: return {"-", std::nullopt};
    case TypingKeyKind::Other: return {"", std::nullopt};
    case TypingKeyKind::Digit:
    case TypingKeyKind::Backspace: break;
    }
    std::string next = buffer;
    if (key.kind == TypingKeyKind::Digit)
        next += key.digit;
    else if (!next.empty())
        next.pop_back();
    // Too many digits to be an int falls back like any other non-number.
    int v = ParseDecimal(next).value_or(position);
    if (v < min || v > max)
        next.clear();
    return {next, v};
}

} // namespace pc
