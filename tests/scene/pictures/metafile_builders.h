#pragma once
// Metafiles put together record by record, for the player's tests.
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace pc::test {

// Record numbers as the formats define them.
inline constexpr uint32_t EMR_ANGLEARC = 41, EMR_ARC = 45, EMR_ARCTO = 55, EMR_BEGINPATH = 59, EMR_BITBLT = 76,
    EMR_CHORD = 46, EMR_CLOSEFIGURE = 61, EMR_COMMENT = 70, EMR_CREATEBRUSHINDIRECT = 39,
    EMR_CREATEDIBPATTERNBRUSHPT = 94, EMR_CREATEMONOBRUSH = 93, EMR_CREATEPEN = 38, EMR_DELETEOBJECT = 40,
    EMR_ELLIPSE = 42, EMR_ENDPATH = 60, EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTCREATEPEN = 95,
    EMR_EXTSELECTCLIPRGN = 75, EMR_EXTTEXTOUTA = 83, EMR_EXTTEXTOUTW = 84, EMR_FILLPATH = 62,
    EMR_INTERSECTCLIPRECT = 30, EMR_LINETO = 54, EMR_MOVETOEX = 27, EMR_PIE = 47, EMR_POLYBEZIER16 = 85,
    EMR_POLYBEZIERTO = 5, EMR_POLYBEZIERTO16 = 88, EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87, EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYGON16 = 91, EMR_RECTANGLE = 43, EMR_RESTOREDC = 34, EMR_SAVEDC = 33, EMR_SELECTCLIPPATH = 67,
    EMR_SELECTOBJECT = 37, EMR_SETARCDIRECTION = 57, EMR_SETBKCOLOR = 25, EMR_SETBKMODE = 18, EMR_SETMAPMODE = 17,
    EMR_SETMITERLIMIT = 58, EMR_SETPIXELV = 15, EMR_SETSTRETCHBLTMODE = 21, EMR_SETTEXTCOLOR = 24,
    EMR_SETVIEWPORTEXTEX = 11, EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETWORLDTRANSFORM = 35,
    EMR_STRETCHDIBITS = 81, EMR_STROKEPATH = 64;
inline constexpr uint16_t META_ARC = 0x0817, META_CHORD = 0x0830, META_CREATEBRUSHINDIRECT = 0x02FC,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEPENINDIRECT = 0x02FA, META_ESCAPE = 0x0626, META_EXTTEXTOUT = 0x0A32,
    META_PIE = 0x081A, META_POLYLINE = 0x0325, META_RECTANGLE = 0x041B, META_SELECTOBJECT = 0x012D,
    META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWEXT = 0x020C, META_SETWINDOWORG = 0x020B,
    META_STRETCHBLT = 0x0B23;

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
