#pragma once
// The IHDR chunk. Besides the header fields it owns the decoded picture: a
// DIB of 1, 4, 8 or 24 bits (its colour table is the picture's palette) and,
// for the alpha colour types, an alpha plane of one byte per pixel.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "codecs/png/png_chunk.h"
#include "codecs/png/png_row_convert.h"
#include "platform/bitmap.h"

namespace pc::png {

class TChunkIHDR : public TChunk {
public:
    static constexpr const char* kName = "IHDR";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;

    // Allocates a zeroed DIB (and alpha plane) for the header fields. Throws
    // EPngInvalidIHDR for a type and depth without a DIB layout and
    // EPNGOutMemory when memory runs out.
    void PrepareImageData();
    // Bytes the decoded picture holds: DIB, and alpha plane or key marks.
    int64_t ImageBytes() const;
    void FreeImageData();
    // EPngInvalidIHDR naming the method when it is not 0.
    void CheckFilterMethod() const;

    uint32_t Width = 0, Height = 0;
    uint8_t BitDepth = 0, ColorType = 0, CompressionMethod = 0, FilterMethod = 0, InterlaceMethod = 0;

    bool HasPalette = false;
    // Colour table of the DIB as the file holds it; meaningful for the palette depths.
    std::array<RGBQuad, 256> ColorTable{};
    Bitmap Image;
    CountedBytes Alpha; // top-down, Width bytes per row; empty without an alpha plane
    // 16-bit grey and RGB with a key: 1 where the pixel's full samples are the
    // key (the DIB keeps only the high bytes); top-down, Width bytes per row.
    CountedBytes KeyMarks;

    int DibBits() const { return Image.Bits(); }
    int64_t BytesPerRow() const { return Image.Stride(); }
    uint8_t* Scanline(int y) { return Image.ScanLine(y); }
    const uint8_t* Scanline(int y) const { return Image.ScanLine(y); }
    uint8_t* AlphaScanline(int y) { return Alpha.empty() ? nullptr : Alpha.data() + int64_t(y) * Width; }
    const uint8_t* AlphaScanline(int y) const { return Alpha.empty() ? nullptr : Alpha.data() + int64_t(y) * Width; }
    // The row of the alpha plane or of the key marks; null when there is neither.
    uint8_t* SideScanline(int y);
    const uint8_t* SideScanline(int y) const;
    // Marks the pixels whose stored high bytes equal the key's, for a key
    // that came after the pixels; clears the marks of pictures without one.
    void MarkKey(const std::optional<SampleKey>& key);
};

} // namespace pc::png
