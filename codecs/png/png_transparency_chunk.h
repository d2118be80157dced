#pragma once
// tRNS: one transparent grey or RGB key colour, or an alpha per palette entry.
#include <array>
#include <optional>

#include "codecs/png/png_chunk.h"
#include "codecs/png/png_row_convert.h"
#include "platform/color.h"

namespace pc::png {

class TChunktRNS : public TChunk {
public:
    static constexpr const char* kName = "tRNS";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;

    // The key colour as the DIB shows it (types 0 and 2), or the colour of
    // the fully transparent palette entry (type 3); 0 when there is none.
    TColor TransparentColor() const;
    // Makes the colour (as the DIB shows it) the only transparent one.
    // Palette pictures: every entry of that colour; EPngError when no entry has it.
    void SetTransparentColor(TColor color);

    // The full samples of a grey or RGB key; nothing for other types or
    // when the chunk is too short to hold one.
    std::optional<SampleKey> Key() const;

    bool BitTransparency = false;
    // Type 3: alpha of each palette entry (255 past the data). Types 0, 2:
    // the key as big-endian 16-bit samples.
    std::array<uint8_t, 256> PaletteValues{};
};

} // namespace pc::png
