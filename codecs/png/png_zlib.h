#pragma once
// Whole-buffer deflate and inflate for compressed text chunks.
#include <cstdint>
#include <span>
#include <vector>

namespace pc::png {

struct Inflated {
    enum Result { kWhole, kBroken, kTooLong } result;
    // All of it when whole; else what came out before inflating stopped,
    // at most a few kilobytes past maxOutput.
    std::vector<uint8_t> bytes;
};

Inflated DecompressZLIB(std::span<const uint8_t> input, size_t maxOutput);

// Deflated bytes; EPNGZLIBError when zlib fails.
std::vector<uint8_t> CompressZLIB(std::span<const uint8_t> input, int level);

} // namespace pc::png
