#include "tests/codecs/png/png_builder.h"

#include <zlib.h>

#include <random>

namespace pc::test {

Bytes Be32(uint32_t v)
{
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

PngBuilder::PngBuilder() : bytes_{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'} {}

PngBuilder& PngBuilder::Chunk(const std::string& name, const Bytes& data, bool badCrc)
{
    Bytes len = Be32(uint32_t(data.size()));
    bytes_.insert(bytes_.end(), len.begin(), len.end());
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(name.data()), 4);
    if (!data.empty()) // crc32 with a null buffer restarts at 0
        crc = crc32(crc, data.data(), uInt(data.size()));
    Bytes c = Be32(uint32_t(crc) ^ (badCrc ? 1u : 0u));
    bytes_.insert(bytes_.end(), c.begin(), c.end());
    return *this;
}

PngBuilder& PngBuilder::RawLength(uint32_t length, const std::string& name)
{
    Bytes len = Be32(length);
    bytes_.insert(bytes_.end(), len.begin(), len.end());
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    return *this;
}

PngBuilder& PngBuilder::Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType, uint8_t interlace,
                             uint8_t compression)
{
    Bytes d = Be32(width);
    Bytes h = Be32(height);
    d.insert(d.end(), h.begin(), h.end());
    d.insert(d.end(), {depth, colorType, compression, 0, interlace});
    return Chunk("IHDR", d);
}

PngBuilder& PngBuilder::Idats(const Bytes& stream, const std::vector<size_t>& sizes)
{
    size_t pos = 0;
    for (size_t n : sizes) {
        n = std::min(n, stream.size() - pos);
        Chunk("IDAT", Bytes(stream.begin() + long(pos), stream.begin() + long(pos + n)));
        pos += n;
    }
    if (pos < stream.size() || sizes.empty())
        Chunk("IDAT", Bytes(stream.begin() + long(pos), stream.end()));
    return *this;
}

PngBuilder& PngBuilder::Iend()
{
    return Chunk("IEND", {});
}

Bytes Deflate(const Bytes& raw, int level)
{
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), uLong(raw.size()), level);
    out.resize(size);
    return out;
}

Bytes RandomRows(uint32_t height, size_t rowBytes, uint8_t filter, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes out;
    for (uint32_t y = 0; y < height; ++y) {
        out.push_back(filter);
        for (size_t i = 0; i < rowBytes; ++i)
            out.push_back(uint8_t(rng()));
    }
    return out;
}

} // namespace pc::test
