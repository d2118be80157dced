#pragma once
// LZW decoding of one frame's image data: the code size byte, the data
// sub-blocks and their terminator.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/byte_reader.h"

namespace pc::gif {

using DecodeWarning = std::function<void(const std::string& message)>;

// Writes width x height indices into pixels (already holding the fill value)
// in file row order. Damaged data is reported through warn and decoding stops,
// leaving the rest of the pixels at the fill value; the reader always ends
// past the terminator (or at the stream's end).
void LzwDecode(ByteReader& r, uint8_t* pixels, int width, int height, bool interlaced, const DecodeWarning& warn);

} // namespace pc::gif
