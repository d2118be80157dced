#include "platform/bitmap.h"

#include <algorithm>

namespace pc {

int BitsPerPixel(PixelFormat pf)
{
    switch (pf) {
    case PixelFormat::pf1bit: return 1;
    case PixelFormat::pf4bit: return 4;
    case PixelFormat::pf8bit: return 8;
    case PixelFormat::pf24bit: return 24;
    case PixelFormat::pf32bit: return 32;
    }
    return 24;
}

PixelFormat FormatForBits(int bits)
{
    switch (bits) {
    case 1: return PixelFormat::pf1bit;
    case 4: return PixelFormat::pf4bit;
    case 8: return PixelFormat::pf8bit;
    case 24: return PixelFormat::pf24bit;
    case 32: return PixelFormat::pf32bit;
    }
    throw BadInput("unsupported bit depth");
}

Bitmap::Bitmap(int width, int height, PixelFormat pf) : format_(pf)
{
    SetSize(width, height);
}

void Bitmap::SetSize(int width, int height)
{
    if (width < 0 || height < 0)
        throw BadInput("invalid picture size");
    // Readers cap their own sides; a bitmap caps only its total, so a
    // 65535 x 1 picture fits.
    if (width > 0 && height > 0)
        CheckPictureSize(width, height, {.maxSide = PictureLimits().maxPixels});
    width_ = width;
    height_ = height;
    stride_ = DibStride(width, Bits());
    pixels_.assign(size_t(CheckedMul(stride_, height)), 0);
}

uint32_t Bitmap::RawPixel(int x, int y) const
{
    const uint8_t* row = ScanLine(y);
    switch (format_) {
    case PixelFormat::pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case PixelFormat::pf4bit: return (x & 1) ? row[x >> 1] & 15 : row[x >> 1] >> 4;
    case PixelFormat::pf8bit: return row[x];
    case PixelFormat::pf24bit: return RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    case PixelFormat::pf32bit: return RGB(row[x * 4 + 2], row[x * 4 + 1], row[x * 4]) | uint32_t(row[x * 4 + 3]) << 24;
    }
    return 0;
}

void Bitmap::SetRawPixel(int x, int y, uint32_t v)
{
    uint8_t* row = ScanLine(y);
    switch (format_) {
    case PixelFormat::pf1bit: {
        uint8_t mask = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = uint8_t((row[x >> 3] & ~mask) | ((v & 1) ? mask : 0));
        break;
    }
    case PixelFormat::pf4bit:
        if (x & 1)
            row[x >> 1] = uint8_t((row[x >> 1] & 0xF0) | (v & 15));
        else
            row[x >> 1] = uint8_t((row[x >> 1] & 0x0F) | (v & 15) << 4);
        break;
    case PixelFormat::pf8bit: row[x] = uint8_t(v); break;
    case PixelFormat::pf24bit:
        row[x * 3] = GetBValue(v);
        row[x * 3 + 1] = GetGValue(v);
        row[x * 3 + 2] = GetRValue(v);
        break;
    case PixelFormat::pf32bit:
        row[x * 4] = GetBValue(v);
        row[x * 4 + 1] = GetGValue(v);
        row[x * 4 + 2] = GetRValue(v);
        row[x * 4 + 3] = uint8_t(v >> 24);
        break;
    }
}

TColor Bitmap::Pixel(int x, int y) const
{
    uint32_t v = RawPixel(x, y);
    if (Bits() <= 8)
        return v < palette_.size() ? FromQuad(palette_[v]) : clBlack;
    return v & 0xFFFFFF;
}

void Bitmap::SetPixel(int x, int y, TColor c)
{
    if (Bits() <= 8)
        SetRawPixel(x, y, uint32_t(NearestPaletteIndex(palette_, c)));
    else if (format_ == PixelFormat::pf32bit)
        SetRawPixel(x, y, (c & 0xFFFFFF) | (RawPixel(x, y) & 0xFF000000));
    else
        SetRawPixel(x, y, c);
}

void Bitmap::Fill(TColor c)
{
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            SetPixel(x, y, c);
}

int NearestPaletteIndex(const std::vector<RGBQuad>& palette, TColor c)
{
    int best = 0;
    int bestDist = 1 << 30;
    for (size_t i = 0; i < palette.size(); ++i) {
        int dr = palette[i].red - GetRValue(c), dg = palette[i].green - GetGValue(c), db = palette[i].blue - GetBValue(c);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = int(i);
        }
    }
    return best;
}

void Bitmap::SetPixelFormat(PixelFormat pf)
{
    if (pf == format_)
        return;
    Bitmap out(0, 0, pf);
    out.SetSize(width_, height_);
    if (out.Bits() <= 8) {
        size_t n = size_t(1) << out.Bits();
        if (Bits() <= 8 && palette_.size() <= n) {
            out.palette_ = palette_;
        } else {
            out.palette_.resize(n);
            for (size_t i = 0; i < n; ++i) {
                uint8_t v = uint8_t(i * 255 / (n - 1));
                out.palette_[i] = RGBQuad{v, v, v, 0};
            }
        }
    }
    const bool samePalette = Bits() <= 8 && out.Bits() <= 8 && out.palette_ == palette_;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (samePalette)
                out.SetRawPixel(x, y, RawPixel(x, y));
            else
                out.SetPixel(x, y, Pixel(x, y));
        }
    *this = std::move(out);
}

} // namespace pc
