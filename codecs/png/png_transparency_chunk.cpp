#include "codecs/png/png_transparency_chunk.h"

#include <algorithm>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_palette_chunk.h"

namespace pc::png {

namespace {

uint16_t Sample16(const std::array<uint8_t, 256>& v, int i)
{
    return uint16_t(v[size_t(2 * i)] << 8 | v[size_t(2 * i + 1)]);
}

// A key sample of the file's depth as the 8-bit value the DIB stores.
uint8_t SampleTo8(uint16_t s, int depth)
{
    if (depth == 16)
        return uint8_t(s >> 8);
    if (depth >= 8)
        return uint8_t(s);
    int max = (1 << depth) - 1;
    return uint8_t(((s & max) * 255 + max / 2) / max);
}

uint16_t SampleFrom8(uint8_t v, int depth)
{
    if (depth == 16)
        return uint16_t(v * 257);
    if (depth >= 8)
        return v;
    int max = (1 << depth) - 1;
    return uint16_t((v * max + 127) / 255);
}

} // namespace

std::unique_ptr<TChunk> TChunktRNS::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunktRNS>(owner);
}

void TChunktRNS::Assign(const TChunk& source)
{
    if (auto* src = dynamic_cast<const TChunktRNS*>(&source)) {
        PaletteValues = src->PaletteValues;
        BitTransparency = src->BitTransparency;
    }
    TChunk::Assign(source);
}

bool TChunktRNS::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    if (size > 256)
        throw EPNGInvalidPalette(kMsgInvalidPalette);
    PaletteValues.fill(255);
    std::copy(Data().begin(), Data().end(), PaletteValues.begin());
    switch (Header().ColorType) {
    case kGrey:
    case kRgb: BitTransparency = true; break;
    case kPalette: {
        // Bit transparency is one fully transparent entry; any other alpha is partial.
        auto first = PaletteValues.begin(), last = first + size;
        BitTransparency = std::count_if(first, last, [](uint8_t a) { return a < 255; }) == 1 &&
                          std::count(first, last, uint8_t(0)) == 1;
        break;
    }
    default: BitTransparency = false; break;
    }
    // A key after the image data: mark what the pixels show of it.
    if (!Header().Image.Empty())
        Header().MarkKey(Key());
    return ok;
}

bool TChunktRNS::SaveToStream(std::vector<uint8_t>& out)
{
    std::vector<uint8_t> d(PaletteValues.begin(), PaletteValues.begin() + DataSize());
    SetData(d);
    return TChunk::SaveToStream(out);
}

std::optional<SampleKey> TChunktRNS::Key() const
{
    switch (Header().ColorType) {
    case kGrey:
        if (DataSize() >= 2)
            return SampleKey{Sample16(PaletteValues, 0), 0, 0};
        break;
    case kRgb:
        if (DataSize() >= 6)
            return SampleKey{Sample16(PaletteValues, 0), Sample16(PaletteValues, 1), Sample16(PaletteValues, 2)};
        break;
    }
    return std::nullopt;
}

TColor TChunktRNS::TransparentColor() const
{
    const TChunkIHDR& h = Header();
    const auto& gamma = Owner().GammaTable;
    switch (h.ColorType) {
    case kGrey: {
        uint8_t level = gamma[SampleTo8(Sample16(PaletteValues, 0), h.BitDepth)];
        return RGB(level, level, level);
    }
    case kRgb:
        return RGB(gamma[SampleTo8(Sample16(PaletteValues, 0), h.BitDepth)],
                   gamma[SampleTo8(Sample16(PaletteValues, 1), h.BitDepth)],
                   gamma[SampleTo8(Sample16(PaletteValues, 2), h.BitDepth)]);
    case kPalette:
        for (uint32_t i = 0; i < DataSize(); ++i)
            if (PaletteValues[i] == 0)
                return Owner().Shown(FromQuad(h.ColorTable[i]));
        return 0;
    }
    return 0;
}

void TChunktRNS::SetTransparentColor(TColor color)
{
    const TChunkIHDR& h = Header();
    const auto& inverse = Owner().InverseTable;
    auto put16 = [this](int i, uint16_t v) {
        PaletteValues[size_t(2 * i)] = uint8_t(v >> 8);
        PaletteValues[size_t(2 * i + 1)] = uint8_t(v);
    };
    switch (h.ColorType) {
    case kGrey:
        PaletteValues.fill(0);
        ResizeData(2);
        put16(0, SampleFrom8(inverse[GetRValue(color)], h.BitDepth));
        break;
    case kRgb:
        PaletteValues.fill(0);
        ResizeData(6);
        put16(0, SampleFrom8(inverse[GetRValue(color)], h.BitDepth));
        put16(1, SampleFrom8(inverse[GetGValue(color)], h.BitDepth));
        put16(2, SampleFrom8(inverse[GetBValue(color)], h.BitDepth));
        break;
    case kPalette: {
        auto* plte = Owner().Chunks().FindChunk<TChunkPLTE>();
        int count = plte ? plte->Count : 0;
        int last = -1;
        std::array<uint8_t, 256> values;
        values.fill(255);
        for (int i = 0; i < count; ++i)
            if (Owner().Shown(FromQuad(h.ColorTable[size_t(i)])) == (color & 0xFFFFFF)) {
                values[size_t(i)] = 0;
                last = i;
            }
        if (last < 0)
            throw EPngError(kMsgNoSuchPaletteEntry);
        PaletteValues = values;
        ResizeData(size_t(last) + 1);
        break;
    }
    default: return;
    }
    BitTransparency = true;
    Header().MarkKey(Key());
}

} // namespace pc::png
