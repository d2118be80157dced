#pragma once
// IDAT: loading the first one decodes the whole picture into the header's
// DIB; saving writes the picture back as one or more IDAT chunks.
#include "codecs/png/png_chunk.h"

namespace pc::png {

class TChunkIDAT : public TChunk {
public:
    static constexpr const char* kName = "IDAT";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;
};

} // namespace pc::png
