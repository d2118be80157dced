#pragma once
// Byte-level reading and writing of GIF streams: exact reads that fail with
// the codec's own text, a growing output buffer, and data sub-blocks.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/byte_reader.h"

namespace pc::gif {

// Output of every writer: bytes appended at the end.
class ByteWriter {
public:
    void u8(uint8_t v) { bytes_.push_back(v); }
    void u16le(uint16_t v) { bytes_.push_back(uint8_t(v)); bytes_.push_back(uint8_t(v >> 8)); }
    void u32le(uint32_t v) { u16le(uint16_t(v)); u16le(uint16_t(v >> 16)); }
    void write(std::span<const uint8_t> s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void write(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    size_t size() const { return bytes_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::vector<uint8_t> take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
};

// One byte, or nothing at the end of the stream.
inline std::optional<uint8_t> ReadByte(ByteReader& r)
{
    if (r.atEnd())
        return std::nullopt;
    return r.u8();
}

// Exactly n bytes; fewer raise "Premature end of data".
std::span<const uint8_t> ReadExact(ByteReader& r, size_t n);

inline void StepBack(ByteReader& r, size_t n = 1) { r.seek(r.pos() - n); }

// Each string as sub-blocks of at most 255 bytes (empty strings write
// nothing), then the terminator.
void WriteSubBlockText(ByteWriter& w, const std::vector<std::string>& lines);
// Each sub-block becomes one string; a count of 0 or the stream's end stops.
std::vector<std::string> ReadSubBlockText(ByteReader& r);
// Skips sub-blocks up to and including the terminator (or the stream's end).
void SkipSubBlocks(ByteReader& r);

} // namespace pc::gif
