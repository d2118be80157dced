#pragma once
// PLTE: the palette. Its colours live in the header's colour table as the
// file holds them; the chunk itself only knows how many there are.
#include "codecs/png/png_chunk.h"
#include "platform/color.h"

namespace pc::png {

class TChunkPLTE : public TChunk {
public:
    static constexpr const char* kName = "PLTE";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;

    // Colour-table entry index; EPngError (no such entry) beyond Count.
    RGBQuad GetPaletteItem(int index) const;

    int Count = 0;
};

} // namespace pc::png
