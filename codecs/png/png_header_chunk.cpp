#include "codecs/png/png_header_chunk.h"

#include <new>
#include <utility>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_transparency_chunk.h"

namespace pc::png {

std::unique_ptr<TChunk> TChunkIHDR::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkIHDR>(owner);
}

void TChunkIHDR::Assign(const TChunk& source)
{
    auto* src = dynamic_cast<const TChunkIHDR*>(&source);
    if (!src)
        throw EPngError(kMsgIncompatibleChunks);
    TChunk::Assign(source);
    Width = src->Width;
    Height = src->Height;
    BitDepth = src->BitDepth;
    ColorType = src->ColorType;
    CompressionMethod = src->CompressionMethod;
    FilterMethod = src->FilterMethod;
    InterlaceMethod = src->InterlaceMethod;
    HasPalette = src->HasPalette;
    ColorTable = src->ColorTable;
    Image = src->Image;
    Alpha = src->Alpha;
    KeyMarks = src->KeyMarks;
}

bool TChunkIHDR::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    if (size < 13)
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    ByteReader fields(Data());
    Width = fields.u32be();
    Height = fields.u32be();
    BitDepth = fields.u8();
    ColorType = fields.u8();
    CompressionMethod = fields.u8();
    FilterMethod = fields.u8();
    InterlaceMethod = fields.u8();
    if (Width >= 65536 || Height >= 65536)
        throw EPNGSizeExceeds(kMsgSizeExceeds);
    if (Width == 0 || Height == 0)
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    if (CompressionMethod != 0)
        throw EPNGUnknownCompression(kMsgUnknownCompression);
    if (InterlaceMethod > 1)
        throw EPNGUnknownInterlace(kMsgUnknownInterlace);
    CheckFilterMethod();
    int bits = DibBitsFor(ColorType, BitDepth);
    if (bits == 0)
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    HasPalette = bits <= 8;
    // The pixels are allocated when their data is there (the image data
    // chunk); the caps are checked now.
    const TPNGObject& owner = Owner();
    if (CheckedMul(Width, Height) > owner.Limits.maxPixels)
        RaiseTooManyPixels(Width, Height, owner.Limits.maxPixels);
    if (ImageBytes() > owner.MemoryBudget)
        RaiseTooLarge(Width, Height, ImageBytes(), owner.MemoryBudget);
    Owner().InterlaceMethod = InterlaceMethod;
    return ok;
}

bool TChunkIHDR::SaveToStream(std::vector<uint8_t>& out)
{
    // The DIB holds 2-bit pictures at 4 bits, so that is what gets written.
    if (BitDepth == 2) {
        BitDepth = 4;
        // Grey samples were spread to 4 bits (5 * s); a grey key goes along.
        auto* trns = Owner().Chunks().FindChunk<TChunktRNS>();
        if (ColorType == kGrey && trns && trns->DataSize() >= 2) {
            trns->PaletteValues[0] = 0;
            trns->PaletteValues[1] = uint8_t((trns->PaletteValues[1] & 3) * 5);
        }
    }
    // Never a header that reading would refuse.
    CheckFilterMethod();
    InterlaceMethod = Owner().InterlaceMethod;
    std::vector<uint8_t> d;
    AppendU32be(d, Width);
    AppendU32be(d, Height);
    d.insert(d.end(), {BitDepth, ColorType, CompressionMethod, FilterMethod, InterlaceMethod});
    SetData(d);
    return TChunk::SaveToStream(out);
}

void TChunkIHDR::CheckFilterMethod() const
{
    // Method 0 (the five row filters) is the only one there is.
    if (FilterMethod != 0)
        throw EPngInvalidIHDR(kMsgInvalidIhdr, std::string(MessageText(kMsgInvalidIhdr)) + "\r\n(unknown filter method " +
                                                   std::to_string(FilterMethod) + ")");
}

void TChunkIHDR::PrepareImageData()
{
    FreeImageData();
    int bits = DibBitsFor(ColorType, BitDepth);
    if (bits == 0)
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    HasPalette = bits <= 8;
    try {
        Image = Bitmap(int(Width), int(Height), FormatForBits(bits));
        if (HasAlphaPlane(ColorType))
            Alpha.assign(size_t(Width) * Height, 0);
    } catch (const std::bad_alloc&) {
        FreeImageData();
        throw EPNGOutMemory(kMsgOutOfResources);
    } catch (const BadInput&) {
        FreeImageData();
        throw EPNGOutMemory(kMsgOutOfResources);
    }
}

int64_t TChunkIHDR::ImageBytes() const
{
    int64_t bytes = CheckedMul(DibStride(Width, DibBitsFor(ColorType, BitDepth)), Height);
    bool side = HasAlphaPlane(ColorType) || (BitDepth == 16 && (ColorType == kGrey || ColorType == kRgb));
    return side ? CheckedAdd(bytes, CheckedMul(Width, Height)) : bytes;
}

void TChunkIHDR::FreeImageData()
{
    Image = Bitmap();
    Alpha.clear();
    Alpha.shrink_to_fit();
    KeyMarks.clear();
    KeyMarks.shrink_to_fit();
}

uint8_t* TChunkIHDR::SideScanline(int y)
{
    return const_cast<uint8_t*>(std::as_const(*this).SideScanline(y));
}

const uint8_t* TChunkIHDR::SideScanline(int y) const
{
    if (!Alpha.empty())
        return Alpha.data() + int64_t(y) * Width;
    if (!KeyMarks.empty())
        return KeyMarks.data() + int64_t(y) * Width;
    return nullptr;
}

void TChunkIHDR::MarkKey(const std::optional<SampleKey>& key)
{
    KeyMarks.clear();
    if (!key || BitDepth != 16 || (ColorType != kGrey && ColorType != kRgb) || Image.Empty())
        return;
    KeyMarks.assign(size_t(Width) * Height, 0);
    for (uint32_t y = 0; y < Height; ++y) {
        const uint8_t* row = Scanline(int(y));
        uint8_t* marks = KeyMarks.data() + size_t(y) * Width;
        for (uint32_t x = 0; x < Width; ++x)
            marks[x] = ColorType == kGrey ? row[x] == key->red >> 8
                                          : row[3 * x + 2] == key->red >> 8 && row[3 * x + 1] == key->green >> 8 &&
                                                row[3 * x] == key->blue >> 8;
    }
}

} // namespace pc::png
