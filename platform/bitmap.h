#pragma once
// A device-independent bitmap: 1, 4, 8, 24 or 32 bits per pixel, B,G,R byte
// order, rows padded to 4 bytes, a colour table of up to 256 entries for the
// palette depths. ScanLine(y) counts from the top row.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/checked_size.h"
#include "platform/color.h"

namespace pc {

// The most pixel memory one decoded picture may take. Readers refuse a
// picture that would need more, before they allocate it.
inline constexpr int64_t kPictureMemoryBudget = int64_t(256) << 20;
// The largest picture file read whole when its header cannot say how much of
// it the picture needs (compressed data, chunks, records): judged from the
// file's size before any of it is read.
inline constexpr int64_t kPictureFileBytes = int64_t(256) << 20;

// Throws BadInput naming the picture's size when width x height pixels of
// bitsPerPixel would take more than kPictureMemoryBudget.
void CheckPictureMemory(int64_t width, int64_t height, int bitsPerPixel);
// The same for a picture whose decoding takes bytes of memory.
void CheckPictureBytes(int64_t bytes, int64_t width, int64_t height);

struct PictureSize {
    int width = 0, height = 0;
};

// The size of a width x height picture shrunk, aspect kept, until neither
// side exceeds maxSide; each side stays at least 1. Unchanged when it fits.
PictureSize FitInside(int width, int height, int maxSide);

// Pixel memory held by every bitmap of the process, now and at its highest
// since the last ResetPeak: how tests and probes see what a decoder took.
struct BitmapMemory {
    static int64_t Current();
    static int64_t Peak();
    // Makes the peak the current amount.
    static void ResetPeak();
};

namespace detail {

// Counts the bytes it hands out in BitmapMemory.
template <class T>
struct CountingAllocator {
    using value_type = T;
    CountingAllocator() = default;
    template <class U>
    CountingAllocator(const CountingAllocator<U>&) {}
    T* allocate(size_t n);
    void deallocate(T* p, size_t n);
    bool operator==(const CountingAllocator&) const = default;
};

void CountAllocated(int64_t bytes);
void CountReleased(int64_t bytes);

template <class T>
T* CountingAllocator<T>::allocate(size_t n)
{
    T* p = std::allocator<T>().allocate(n);
    CountAllocated(int64_t(n * sizeof(T)));
    return p;
}

template <class T>
void CountingAllocator<T>::deallocate(T* p, size_t n)
{
    std::allocator<T>().deallocate(p, n);
    CountReleased(int64_t(n * sizeof(T)));
}

} // namespace detail

// A byte buffer whose memory BitmapMemory counts: for planes and masks that
// live beside a picture's pixels.
using CountedBytes = std::vector<uint8_t, detail::CountingAllocator<uint8_t>>;

enum class PixelFormat { pf1bit, pf4bit, pf8bit, pf24bit, pf32bit };

int BitsPerPixel(PixelFormat pf);
PixelFormat FormatForBits(int bits); // throws BadInput for other depths

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat pf = PixelFormat::pf24bit);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat Format() const { return format_; }
    int Bits() const { return BitsPerPixel(format_); }
    int64_t Stride() const { return stride_; }

    uint8_t* ScanLine(int y) { return pixels_.data() + y * stride_; }
    const uint8_t* ScanLine(int y) const { return pixels_.data() + y * stride_; }
    uint8_t* Data() { return pixels_.data(); }
    const uint8_t* Data() const { return pixels_.data(); }
    int64_t DataSize() const { return int64_t(pixels_.size()); }

    // Colour table of the palette depths (empty for 24 and 32 bits).
    std::vector<RGBQuad>& Palette() { return palette_; }
    const std::vector<RGBQuad>& Palette() const { return palette_; }

    // New size, same depth; every pixel is zero afterwards.
    void SetSize(int width, int height);
    // Converts the pixels. Up to 24 bits the conversion is exact; 32 to 24
    // drops the fourth byte; a palette depth maps each colour to its nearest
    // palette entry (a grey ramp when there is no palette yet).
    void SetPixelFormat(PixelFormat pf);

    // Palette index for the palette depths; the colour otherwise.
    uint32_t RawPixel(int x, int y) const;
    void SetRawPixel(int x, int y, uint32_t v);
    // Colour of a pixel whatever the depth.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c); // 24 and 32 bits only

    void Fill(TColor c); // 24 and 32 bits only
    bool operator==(const Bitmap&) const = default;

private:
    int width_ = 0, height_ = 0;
    PixelFormat format_ = PixelFormat::pf24bit;
    int64_t stride_ = 0;
    CountedBytes pixels_;
    std::vector<RGBQuad> palette_;
};

// Index of the palette entry nearest to c (squared RGB distance, lowest index wins a tie).
int NearestPaletteIndex(const std::vector<RGBQuad>& palette, TColor c);

} // namespace pc
