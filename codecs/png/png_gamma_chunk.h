#pragma once
// gAMA: the file's gamma in units of 1/100000. Loading it fills the owner's
// gamma and inverse tables.
#include <array>

#include "codecs/png/png_chunk.h"

namespace pc::png {

class TChunkgAMA : public TChunk {
public:
    static constexpr const char* kName = "gAMA";
    explicit TChunkgAMA(TPNGObject& owner);
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;

    uint32_t GetValue();
    void SetValue(uint32_t value);
};

// File sample to display value for a gAMA value, and its inverse (entries
// no sample reaches keep their identity value).
void BuildGammaTables(uint32_t gamma, std::array<uint8_t, 256>& table, std::array<uint8_t, 256>& inverse);

} // namespace pc::png
