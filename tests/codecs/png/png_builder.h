#pragma once
// Builds PNG files chunk by chunk at test time, with zlib for the image data
// and zlib's crc32 for the checksums.
#include <cstdint>
#include <string>
#include <vector>

namespace pc::test {

using Bytes = std::vector<uint8_t>;

class PngBuilder {
public:
    PngBuilder();
    PngBuilder& Chunk(const std::string& name, const Bytes& data, bool badCrc = false);
    // Length field as given, whatever follows.
    PngBuilder& RawLength(uint32_t length, const std::string& name);
    PngBuilder& Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace = 0,
                     uint8_t compression = 0);
    // The stream split into IDAT chunks of the given sizes (the last takes the rest).
    PngBuilder& Idats(const Bytes& stream, const std::vector<size_t>& sizes = {});
    PngBuilder& Iend();
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

Bytes Be32(uint32_t v);
Bytes Deflate(const Bytes& raw, int level = 6);
// Raw rows of random bytes for a picture: each row a filter byte then data.
Bytes RandomRows(uint32_t height, size_t rowBytes, uint8_t filter, unsigned seed);

} // namespace pc::test
