// Transparency of a PNG picture: its mode, the key colour and turning a
// picture into one with an alpha channel.
#include "codecs/png/png_decoder.h"
#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_palette_chunk.h"
#include "codecs/png/png_transparency_chunk.h"

namespace pc::png {

TPNGTransparencyMode TPNGObject::TransparencyMode() const
{
    if (!HeaderPresent())
        return TPNGTransparencyMode::ptmNone;
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    switch (Header().ColorType) {
    case kGrey:
    case kRgb: return trns ? TPNGTransparencyMode::ptmBit : TPNGTransparencyMode::ptmNone;
    case kPalette:
        if (!trns)
            return TPNGTransparencyMode::ptmNone;
        return trns->BitTransparency ? TPNGTransparencyMode::ptmBit : TPNGTransparencyMode::ptmPartial;
    case kGreyAlpha:
    case kRgbAlpha: return TPNGTransparencyMode::ptmPartial;
    }
    return TPNGTransparencyMode::ptmNone;
}

TColor TPNGObject::TransparentColor() const
{
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    return trns && HeaderPresent() ? trns->TransparentColor() : 0;
}

void TPNGObject::SetTransparentColor(TColor color)
{
    if (!HeaderPresent())
        return;
    switch (Header().ColorType) {
    case kGrey:
    case kRgb:
    case kPalette: {
        auto* trns = chunks_.FindChunk<TChunktRNS>();
        if (trns) {
            trns->SetTransparentColor(color);
            return;
        }
        auto& added = chunks_.Add<TChunktRNS>();
        try {
            added.SetTransparentColor(color);
        } catch (...) {
            chunks_.Remove(&added);
            throw;
        }
        return;
    }
    case kGreyAlpha:
    case kRgbAlpha: throw EPNGCannotChangeTransparent(kMsgCannotChangeTransparent);
    }
}

void TPNGObject::CreateAlpha()
{
    TChunkIHDR& h = Header();
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    switch (h.ColorType) {
    case kGrey:
    case kRgb: {
        const TColor key = trns ? trns->TransparentColor() : 0;
        if (h.ColorType == kGrey && h.BitDepth < 8) {
            // Grey with alpha needs 8 bits: spread the indices over the full ramp.
            int n = 1 << h.DibBits();
            Bitmap wide(int(h.Width), int(h.Height), PixelFormat::pf8bit);
            for (int y = 0; y < int(h.Height); ++y)
                for (int x = 0; x < int(h.Width); ++x)
                    wide.SetRawPixel(x, y, (h.Image.RawPixel(x, y) * 255 + (n - 1) / 2) / (n - 1));
            h.Image = std::move(wide);
            h.BitDepth = 8;
            PrepareGreyPalette(h);
        }
        h.ColorType = h.ColorType == kGrey ? kGreyAlpha : kRgbAlpha;
        h.Alpha.assign(size_t(h.Width) * h.Height, 255);
        // A key colour becomes alpha 0; the key itself has no place beside alpha.
        if (trns) {
            for (int y = 0; y < int(h.Height); ++y)
                for (int x = 0; x < int(h.Width); ++x)
                    if (Pixels(x, y) == key)
                        h.Alpha[size_t(y) * h.Width + size_t(x)] = 0;
            chunks_.Remove(trns);
        }
        break;
    }
    case kPalette: {
        auto* plte = chunks_.FindChunk<TChunkPLTE>();
        int count = plte ? plte->Count : 1 << h.DibBits();
        if (!trns)
            trns = &chunks_.Add<TChunktRNS>();
        // Alphas the picture already has are kept; new entries are opaque.
        for (size_t i = trns->DataSize(); i < 256; ++i)
            trns->PaletteValues[i] = 255;
        trns->ResizeData(size_t(count));
        trns->BitTransparency = false;
        break;
    }
    default: break;
    }
}

} // namespace pc::png
