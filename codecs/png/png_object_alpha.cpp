// Transparency of a PNG picture: its mode, the key colour and turning a
// picture into one with an alpha channel.
#include <algorithm>
#include <optional>

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

namespace {

// The DIB value a grey key sample is stored as. Bits above the depth are
// ignored, as libpng does; 16 bits use the key marks instead.
std::optional<uint32_t> GreyKeyInDib(uint16_t key, int depth)
{
    if (depth == 16)
        return std::nullopt;
    uint32_t sample = key & ((1u << depth) - 1);
    return depth == 2 ? sample * 5 : sample; // 2-bit samples sit spread on the 4-bit ramp
}

} // namespace

void TPNGObject::AlphaRow(const TChunktRNS* trns, int y, uint8_t* out) const
{
    const TChunkIHDR& h = Header();
    const int w = int(h.Width);
    if (const uint8_t* alpha = h.AlphaScanline(y)) {
        std::copy(alpha, alpha + w, out);
        return;
    }
    std::fill(out, out + w, uint8_t(255));
    if (!trns)
        return;
    if (h.ColorType == kPalette) {
        for (int x = 0; x < w; ++x)
            out[x] = trns->PaletteValues[h.Image.RawPixel(x, y)];
        return;
    }
    auto key = trns->Key();
    if (!key)
        return;
    if (!h.KeyMarks.empty()) {
        const uint8_t* marks = h.KeyMarks.data() + int64_t(y) * w;
        for (int x = 0; x < w; ++x)
            out[x] = marks[x] ? 0 : 255;
    } else if (h.ColorType == kGrey) {
        if (auto dibKey = GreyKeyInDib(key->red, h.BitDepth))
            for (int x = 0; x < w; ++x)
                out[x] = h.Image.RawPixel(x, y) == *dibKey ? 0 : 255;
    } else if (h.ColorType == kRgb && h.BitDepth == 8) {
        const uint8_t* row = h.Scanline(y);
        for (int x = 0; x < w; ++x)
            out[x] = row[3 * x + 2] == (key->red & 0xFF) && row[3 * x + 1] == (key->green & 0xFF) &&
                             row[3 * x] == (key->blue & 0xFF)
                         ? 0
                         : 255;
    }
}

CountedBytes TPNGObject::Alphas() const
{
    const TChunkIHDR& h = Header();
    CountedBytes alphas(size_t(h.Width) * h.Height);
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    for (uint32_t y = 0; y < h.Height; ++y)
        AlphaRow(trns, int(y), alphas.data() + size_t(y) * h.Width);
    return alphas;
}

void TPNGObject::CreateAlpha()
{
    TChunkIHDR& h = Header();
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    switch (h.ColorType) {
    case kGrey:
    case kRgb: {
        // The key's pixels become alpha 0; the key itself has no place beside alpha.
        CountedBytes alphas = Alphas();
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
        h.Alpha = std::move(alphas);
        h.KeyMarks.clear();
        if (trns)
            chunks_.Remove(trns);
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
