#include "codecs/png/png_row_convert.h"

#include <cstring>

#include "codecs/png/png_layout.h"

namespace pc::png {

namespace {

// Packed samples as they are; bits past the last pixel are cleared so equal
// pictures have equal DIBs.
template <int Depth>
void DecodeCopy(const uint8_t* src, uint8_t* dib, uint8_t*, int64_t pixels, int64_t rowBytes, const SampleKey*)
{
    std::memcpy(dib, src, size_t(rowBytes));
    if (int used = int(pixels * Depth % 8))
        dib[rowBytes - 1] &= uint8_t(0xFF << (8 - used));
}

// 2-bit samples go into a 4-bit DIB, two per byte.
template <int Scale>
void Decode2Bit(const uint8_t* src, uint8_t* dib, uint8_t*, int64_t pixels, int64_t rowBytes, const SampleKey*)
{
    int64_t dibBytes = (pixels + 1) / 2;
    for (int64_t i = 0; i < rowBytes; ++i) {
        uint8_t b = src[i];
        uint8_t hi = uint8_t(((b >> 6) & 3) * Scale << 4 | ((b >> 4) & 3) * Scale);
        uint8_t lo = uint8_t(((b >> 2) & 3) * Scale << 4 | (b & 3) * Scale);
        if (2 * i < dibBytes)
            dib[2 * i] = hi;
        if (2 * i + 1 < dibBytes)
            dib[2 * i + 1] = lo;
    }
    if (pixels & 1)
        dib[dibBytes - 1] &= 0xF0;
}

uint16_t Sample(const uint8_t* p)
{
    return uint16_t(p[0] << 8 | p[1]);
}

void DecodeGrey16(const uint8_t* src, uint8_t* dib, uint8_t* marks, int64_t pixels, int64_t, const SampleKey* key)
{
    for (int64_t x = 0; x < pixels; ++x)
        dib[x] = src[2 * x];
    if (key)
        for (int64_t x = 0; x < pixels; ++x)
            marks[x] = Sample(src + 2 * x) == key->red;
}

template <int Step>
void DecodeRgb(const uint8_t* src, uint8_t* dib, uint8_t* marks, int64_t pixels, int64_t, const SampleKey* key)
{
    constexpr int s = Step / 8; // bytes per sample; the high byte comes first
    for (int64_t x = 0; x < pixels; ++x, src += 3 * s, dib += 3) {
        dib[0] = src[2 * s];
        dib[1] = src[s];
        dib[2] = src[0];
        if constexpr (s == 2) {
            if (key)
                marks[x] = Sample(src) == key->red && Sample(src + 2) == key->green && Sample(src + 4) == key->blue;
        }
    }
}

template <int Step>
void DecodeGreyAlpha(const uint8_t* src, uint8_t* dib, uint8_t* alpha, int64_t pixels, int64_t, const SampleKey*)
{
    constexpr int s = Step / 8;
    for (int64_t x = 0; x < pixels; ++x, src += 2 * s) {
        dib[x] = src[0];
        alpha[x] = src[s];
    }
}

template <int Step>
void DecodeRgbAlpha(const uint8_t* src, uint8_t* dib, uint8_t* alpha, int64_t pixels, int64_t, const SampleKey*)
{
    constexpr int s = Step / 8;
    for (int64_t x = 0; x < pixels; ++x, src += 4 * s, dib += 3) {
        dib[0] = src[2 * s];
        dib[1] = src[s];
        dib[2] = src[0];
        alpha[x] = src[3 * s];
    }
}

void EncodeCopy(const uint8_t* dib, const uint8_t*, uint8_t* dst, int64_t, int64_t rowBytes, const SampleKey*)
{
    std::memcpy(dst, dib, size_t(rowBytes));
}

// 8-bit values as 16-bit samples: v * 257, so white stays white. With a key,
// marked pixels get its full samples and no other pixel may land on them.
void Put16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}

void EncodeGrey16(const uint8_t* dib, const uint8_t* marks, uint8_t* dst, int64_t pixels, int64_t,
                  const SampleKey* key)
{
    for (int64_t x = 0; x < pixels; ++x) {
        auto v = uint16_t(dib[x] * 257);
        if (key && marks[x])
            v = key->red;
        else if (key && v == key->red)
            v ^= 1;
        Put16(dst + 2 * x, v);
    }
}

template <int Step>
void EncodeRgb(const uint8_t* dib, const uint8_t* marks, uint8_t* dst, int64_t pixels, int64_t, const SampleKey* key)
{
    constexpr int s = Step / 8;
    for (int64_t x = 0; x < pixels; ++x, dib += 3, dst += 3 * s) {
        if constexpr (s == 1) {
            dst[0] = dib[2];
            dst[1] = dib[1];
            dst[2] = dib[0];
        } else {
            uint16_t r = uint16_t(dib[2] * 257), g = uint16_t(dib[1] * 257), b = uint16_t(dib[0] * 257);
            if (key && marks[x]) {
                r = key->red;
                g = key->green;
                b = key->blue;
            } else if (key && r == key->red && g == key->green && b == key->blue) {
                b ^= 1;
            }
            Put16(dst, r);
            Put16(dst + 2, g);
            Put16(dst + 4, b);
        }
    }
}

template <int Step>
void EncodeGreyAlpha(const uint8_t* dib, const uint8_t* alpha, uint8_t* dst, int64_t pixels, int64_t, const SampleKey*)
{
    constexpr int s = Step / 8;
    for (int64_t x = 0; x < pixels; ++x, dst += 2 * s) {
        dst[0] = dib[x];
        dst[s] = alpha[x];
        if constexpr (s == 2) {
            dst[1] = dst[0];
            dst[3] = dst[2];
        }
    }
}

template <int Step>
void EncodeRgbAlpha(const uint8_t* dib, const uint8_t* alpha, uint8_t* dst, int64_t pixels, int64_t, const SampleKey*)
{
    constexpr int s = Step / 8;
    for (int64_t x = 0; x < pixels; ++x, dib += 3, dst += 4 * s) {
        dst[0] = dib[2];
        dst[s] = dib[1];
        dst[2 * s] = dib[0];
        dst[3 * s] = alpha[x];
        if constexpr (s == 2) {
            dst[1] = dst[0];
            dst[3] = dst[2];
            dst[5] = dst[4];
            dst[7] = dst[6];
        }
    }
}

} // namespace

DecodeRowFn PickDecodeRow(int colorType, int bitDepth)
{
    switch (colorType) {
    case kGrey:
        switch (bitDepth) {
        case 1: return DecodeCopy<1>;
        case 4: return DecodeCopy<4>;
        case 8: return DecodeCopy<8>;
        case 2: return Decode2Bit<5>; // bit replication: 0, 85, 170, 255 on the 4-bit ramp
        case 16: return DecodeGrey16;
        }
        break;
    case kPalette:
        switch (bitDepth) {
        case 1: return DecodeCopy<1>;
        case 4: return DecodeCopy<4>;
        case 8: return DecodeCopy<8>;
        case 2: return Decode2Bit<1>;
        }
        break;
    case kRgb: return bitDepth == 8 ? DecodeRgb<8> : bitDepth == 16 ? DecodeRgb<16> : nullptr;
    case kGreyAlpha: return bitDepth == 8 ? DecodeGreyAlpha<8> : bitDepth == 16 ? DecodeGreyAlpha<16> : nullptr;
    case kRgbAlpha: return bitDepth == 8 ? DecodeRgbAlpha<8> : bitDepth == 16 ? DecodeRgbAlpha<16> : nullptr;
    }
    return nullptr;
}

EncodeRowFn PickEncodeRow(int colorType, int bitDepth)
{
    switch (colorType) {
    case kGrey:
        switch (bitDepth) {
        case 1:
        case 4:
        case 8: return EncodeCopy;
        case 16: return EncodeGrey16;
        }
        break;
    case kPalette:
        switch (bitDepth) {
        case 1:
        case 4:
        case 8: return EncodeCopy;
        }
        break;
    case kRgb: return bitDepth == 8 ? EncodeRgb<8> : bitDepth == 16 ? EncodeRgb<16> : nullptr;
    case kGreyAlpha: return bitDepth == 8 ? EncodeGreyAlpha<8> : bitDepth == 16 ? EncodeGreyAlpha<16> : nullptr;
    case kRgbAlpha: return bitDepth == 8 ? EncodeRgbAlpha<8> : bitDepth == 16 ? EncodeRgbAlpha<16> : nullptr;
    }
    return nullptr;
}

void MovePixel(const uint8_t* from, int64_t k, uint8_t* to, int64_t column, int bits)
{
    switch (bits) {
    case 1: {
        int v = (from[k >> 3] >> (7 - (k & 7))) & 1;
        uint8_t mask = uint8_t(0x80 >> (column & 7));
        to[column >> 3] = uint8_t(v ? to[column >> 3] | mask : to[column >> 3] & ~mask);
        break;
    }
    case 4: {
        int v = (k & 1) ? from[k >> 1] & 15 : from[k >> 1] >> 4;
        uint8_t& t = to[column >> 1];
        t = (column & 1) ? uint8_t((t & 0xF0) | v) : uint8_t((t & 0x0F) | v << 4);
        break;
    }
    case 8: to[column] = from[k]; break;
    default: std::memcpy(to + 3 * column, from + 3 * k, 3); break;
    }
}

} // namespace pc::png
