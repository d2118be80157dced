#pragma once
// 8-bit text of a metafile in the code page its font's character set names.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace pc::metafile {

struct DecodedText {
    std::u16string text;
    // One per UTF-16 unit when the bytes came with advances: a double-byte
    // character advances by the sum of its two bytes' entries.
    std::vector<double> dx;
};

// dx: one entry per byte, or empty. A byte the code page leaves undefined
// stands for itself (as the Latin-1 character of that number).
DecodedText DecodeText(std::span<const uint8_t> bytes, std::span<const double> dx, uint8_t charSet);

} // namespace pc::metafile
