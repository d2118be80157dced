#pragma once
// gAMA: the file's gamma in units of 1/100000. The picture's loader applies
// the first one that comes ahead of the palette and the image data.
#include <array>

#include "codecs/png/png_chunk.h"

namespace pc::png {

class TChunkgAMA : public TChunk {
public:
    static constexpr const char* kName = "gAMA";
    explicit TChunkgAMA(TPNGObject& owner);
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    // Fills the owner's gamma tables from a valid value; a broken one leaves them.
    void ApplyToOwner();

    uint32_t GetValue();
    void SetValue(uint32_t value);
};

// File sample to display value for a gAMA value, and its inverse (entries
// no sample reaches keep their identity value).
void BuildGammaTables(uint32_t gamma, std::array<uint8_t, 256>& table, std::array<uint8_t, 256>& inverse);

} // namespace pc::png
