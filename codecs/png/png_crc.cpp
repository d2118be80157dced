#include "codecs/png/png_crc.h"

#include <zlib.h>

namespace pc::png {

// zlib's crc32 is the same polynomial with the pre- and post-complement
// folded in, and a good deal faster than a byte table.
uint32_t UpdateCrc(uint32_t crc, std::span<const uint8_t> bytes)
{
    uLong c = ~crc & 0xFFFFFFFFu;
    const uint8_t* p = bytes.data();
    size_t n = bytes.size();
    while (n > 0) {
        uInt step = n > 0x40000000u ? 0x40000000u : uInt(n);
        c = crc32(c, p, step);
        p += step;
        n -= step;
    }
    return ~uint32_t(c);
}

uint32_t UpdateCrc(uint32_t crc, std::string_view bytes)
{
    return UpdateCrc(crc, std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

uint32_t ChunkCrc(std::string_view name, std::span<const uint8_t> data)
{
    return ~UpdateCrc(UpdateCrc(0xFFFFFFFFu, name), data);
}

} // namespace pc::png
