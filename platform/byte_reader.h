#pragma once
// The one input cursor of every reader: each read checks what remains.
#include <cstdint>
#include <cstring>
#include <span>

#include "platform/errors.h"

namespace pc {

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t size() const { return data_.size(); }
    size_t pos() const { return pos_; }
    size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    void seek(size_t p)
    {
        if (p > data_.size())
            throw Truncated();
        pos_ = p;
    }
    void skip(size_t n) { take(n); }

    std::span<const uint8_t> take(size_t n)
    {
        if (n > remaining())
            throw Truncated();
        auto s = data_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    std::span<const uint8_t> rest() const { return data_.subspan(pos_); }

    uint8_t u8() { return take(1)[0]; }
    uint16_t u16le() { auto s = take(2); return uint16_t(s[0] | s[1] << 8); }
    uint16_t u16be() { auto s = take(2); return uint16_t(s[0] << 8 | s[1]); }
    uint32_t u32le()
    {
        auto s = take(4);
        return uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
    }
    uint32_t u32be()
    {
        auto s = take(4);
        return uint32_t(s[0]) << 24 | uint32_t(s[1]) << 16 | uint32_t(s[2]) << 8 | uint32_t(s[3]);
    }
    int16_t i16le() { return int16_t(u16le()); }
    int32_t i32le() { return int32_t(u32le()); }
    int32_t i32be() { return int32_t(u32be()); }
    float f32le()
    {
        uint32_t v = u32le();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
};

} // namespace pc
