#pragma once
// Typing exact values into a focused track bar. The track bar's hidden hint
// text is the buffer; after every change of position it holds the position,
// so digits extend the shown value. Only the main keyboard's digits, minus
// and Backspace take part; any other key empties the buffer.
#include <optional>
#include <string>

namespace pc {

enum class TypingKeyKind { Digit, Backspace, Minus, Other };

struct TypingKey {
    TypingKeyKind kind = TypingKeyKind::Other;
    char digit = 0; // '0'..'9' for Digit
};

struct TypingStep {
    std::string buffer;
    std::optional<int> position; // what to store into the track bar (it clamps)
};

// One key on a track bar with range [min, max] at position.
TypingStep TypeKey(const std::string& buffer, TypingKey key, int min, int max, int position);

// What the floating value edit accepts as typed: an optional minus and
// digits. While its text holds no number yet (empty, a lone minus) the bar
// keeps its position.
inline constexpr const char* kValueEditPattern = "-?[0-9]{0,9}";

// Decimal integer with an optional leading minus and nothing else.
std::optional<int> ParseDecimal(const std::string& text);

} // namespace pc
