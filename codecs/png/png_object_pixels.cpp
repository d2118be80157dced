// Pixel access of a PNG picture: rows, palette and single pixels.
#include <algorithm>

#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_palette_chunk.h"

namespace pc::png {

uint8_t* TPNGObject::Scanline(int y)
{
    return Header().Scanline(y);
}

uint8_t* TPNGObject::AlphaScanline(int y)
{
    return Header().AlphaScanline(y);
}

std::vector<RGBQuad> TPNGObject::GetPalette() const
{
    if (!HeaderPresent())
        return {};
    const TChunkIHDR& h = Header();
    if (h.ColorType != kGrey && h.ColorType != kPalette)
        return {};
    std::vector<RGBQuad> shown(h.ColorTable.begin(), h.ColorTable.end());
    for (auto& q : shown)
        q = ToQuad(Shown(FromQuad(q)));
    return shown;
}

TColor TPNGObject::Pixels(int x, int y) const
{
    if (!HeaderPresent())
        return 0;
    const TChunkIHDR& h = Header();
    if (x < 0 || y < 0 || uint32_t(x) >= h.Width || uint32_t(y) >= h.Height)
        return 0;
    if (h.HasPalette)
        return Shown(FromQuad(h.ColorTable[h.Image.RawPixel(x, y)]));
    const uint8_t* row = h.Scanline(y);
    return Shown(RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
}

void TPNGObject::SetPixels(int x, int y, TColor color)
{
    if (!HeaderPresent())
        return;
    TChunkIHDR& h = Header();
    if (x < 0 || y < 0 || uint32_t(x) >= h.Width || uint32_t(y) >= h.Height)
        return;
    if (h.HasPalette) {
        // Only the palette's own entries are candidates.
        auto* plte = chunks_.FindChunk<TChunkPLTE>();
        int count = h.ColorType == kPalette && plte ? std::max(plte->Count, 1) : 1 << h.DibBits();
        count = std::min(count, 1 << h.DibBits());
        std::vector<RGBQuad> entries(h.ColorTable.begin(), h.ColorTable.begin() + count);
        for (auto& q : entries)
            q = ToQuad(Shown(FromQuad(q)));
        h.Image.SetRawPixel(x, y, uint32_t(NearestPaletteIndex(entries, color)));
        return;
    }
    TColor stored = Stored(color);
    uint8_t* row = h.Scanline(y);
    row[3 * x] = GetBValue(stored);
    row[3 * x + 1] = GetGValue(stored);
    row[3 * x + 2] = GetRValue(stored);
}

PixelInfo TPNGObject::GetPixelInfo() const
{
    if (!HeaderPresent())
        return {};
    const TChunkIHDR& h = Header();
    PixelInfo info;
    info.rowBytes = BytesForPixels(h.Width, h.ColorType, h.BitDepth);
    switch (h.ColorType) {
    case kGrey: info.bytesPerPixel = h.BitDepth == 16 ? 2 : 1; break;
    case kRgb: info.bytesPerPixel = h.BitDepth * 3 / 8; break;
    case kPalette: info.bytesPerPixel = 1; break;
    case kGreyAlpha: info.bytesPerPixel = h.BitDepth * 2 / 8; break;
    case kRgbAlpha: info.bytesPerPixel = h.BitDepth * 4 / 8; break;
    }
    return info;
}

} // namespace pc::png
