#pragma once
// Metafiles put together record by record, for the player's tests.
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace pc::test {

// A placeable WMF put together record by record.
class Wmf {
public:
    Wmf(int16_t right, int16_t bottom, uint16_t inch)
    {
        u32(0x9AC6CDD7);
        u16(0);
        for (int16_t v : {int16_t(0), int16_t(0), right, bottom})
            u16(uint16_t(v));
        u16(inch);
        u32(0);
        u16(0);
        u16(1); // memory metafile
        u16(9);
        u16(0x300);
        u32(0);
        u16(8); // objects
        u32(0);
        u16(0);
    }
    Wmf& Record(uint16_t function, std::initializer_list<int> words)
    {
        u32(uint32_t(3 + words.size()));
        u16(function);
        for (int w : words)
            u16(uint16_t(w));
        return *this;
    }
    // A record whose parameters are bytes, padded to whole words.
    Wmf& RecordBytes(uint16_t function, std::vector<uint8_t> params)
    {
        params.resize((params.size() + 1) / 2 * 2);
        u32(uint32_t(3 + params.size() / 2));
        u16(function);
        bytes_.insert(bytes_.end(), params.begin(), params.end());
        return *this;
    }
    std::vector<uint8_t> Bytes()
    {
        Record(0, {});
        return bytes_;
    }

private:
    void u16(uint16_t v)
    {
        bytes_.push_back(uint8_t(v));
        bytes_.push_back(uint8_t(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(uint16_t(v));
        u16(uint16_t(v >> 16));
    }
    std::vector<uint8_t> bytes_;
};

// An EMF put together record by record: one inch square on a reference
// device of 100 pixels per inch, so 100 logical units make 96 pixels.
class Emf {
public:
    // frame: the picture's side in 0.01 mm.
    explicit Emf(uint32_t frame = 2540)
    {
        std::vector<uint32_t> h = {1, 88, 0, 0, 99, 99, 0, 0, frame, frame, 0x464D4520, 0x10000, 0, 0, 4, 0, 0, 0, 1000, 1000, 254, 254};
        h[14] = 4; // handles, with the reserved half-word
        for (uint32_t v : h)
            u32(v);
    }
    Emf& Record(uint32_t type, const std::vector<int32_t>& params)
    {
        u32(type);
        u32(uint32_t(8 + 4 * params.size()));
        for (int32_t v : params)
            u32(uint32_t(v));
        return *this;
    }
    // A record whose parameters are bytes (text, pictures), padded to 4.
    Emf& RecordBytes(uint32_t type, std::vector<uint8_t> params)
    {
        params.resize((params.size() + 3) / 4 * 4);
        u32(type);
        u32(uint32_t(8 + params.size()));
        bytes_.insert(bytes_.end(), params.begin(), params.end());
        return *this;
    }
    std::vector<uint8_t> Bytes()
    {
        Record(14, {0, 16, 20});
        return bytes_;
    }

private:
    void u32(uint32_t v)
    {
        for (int k = 0; k < 4; ++k)
            bytes_.push_back(uint8_t(v >> (8 * k)));
    }
    std::vector<uint8_t> bytes_;
};

} // namespace pc::test
