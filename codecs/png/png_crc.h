#pragma once
// CRC-32 of the chunks. The running value is the raw register: a chunk's CRC
// starts at 0xFFFFFFFF and is complemented at the end.
#include <cstdint>
#include <span>
#include <string_view>

namespace pc::png {

uint32_t UpdateCrc(uint32_t crc, std::span<const uint8_t> bytes);
uint32_t UpdateCrc(uint32_t crc, std::string_view bytes);

// The stored CRC of a chunk with this name and data.
uint32_t ChunkCrc(std::string_view name, std::span<const uint8_t> data);

} // namespace pc::png
