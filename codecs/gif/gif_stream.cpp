#include "codecs/gif/gif_stream.h"

#include <algorithm>

#include "codecs/gif/gif_errors.h"

namespace pc::gif {

std::span<const uint8_t> ReadExact(ByteReader& r, size_t n)
{
    if (n > r.remaining())
        RaiseGIFError(msg::kPrematureEnd);
    return r.take(n);
}

void WriteSubBlockText(ByteWriter& w, const std::vector<std::string>& lines)
{
    for (const auto& line : lines) {
        for (size_t pos = 0; pos < line.size(); pos += 255) {
            size_t n = std::min<size_t>(255, line.size() - pos);
            w.u8(uint8_t(n));
            w.write(line.substr(pos, n));
        }
    }
    w.u8(0);
}

std::vector<std::string> ReadSubBlockText(ByteReader& r)
{
    std::vector<std::string> lines;
    for (auto n = ReadByte(r); n && *n > 0; n = ReadByte(r)) {
        auto s = ReadExact(r, *n);
        lines.emplace_back(s.begin(), s.end());
    }
    return lines;
}

void SkipSubBlocks(ByteReader& r)
{
    for (auto n = ReadByte(r); n && *n > 0; n = ReadByte(r))
        r.skip(std::min<size_t>(*n, r.remaining()));
}

} // namespace pc::gif
