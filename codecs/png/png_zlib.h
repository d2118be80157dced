#pragma once
// Whole-buffer deflate and inflate for compressed text chunks.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace pc::png {

// The inflated bytes, or nothing when the stream is broken or would inflate
// past maxOutput.
std::optional<std::vector<uint8_t>> DecompressZLIB(std::span<const uint8_t> input, size_t maxOutput);

// Deflated bytes; EPNGZLIBError when zlib fails.
std::vector<uint8_t> CompressZLIB(std::span<const uint8_t> input, int level);

} // namespace pc::png
