#include "codecs/png/png_gamma_chunk.h"

#include <cmath>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_object.h"

namespace pc::png {

namespace {
// The range libpng accepts; anything else is ignored rather than turning
// the picture black or white.
constexpr uint32_t kMinGamma = 16, kMaxGamma = 625000000;
} // namespace

TChunkgAMA::TChunkgAMA(TPNGObject& owner) : TChunk(owner)
{
    SetName(kName);
    SetValue(1);
}

std::unique_ptr<TChunk> TChunkgAMA::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkgAMA>(owner);
}

void TChunkgAMA::Assign(const TChunk& source)
{
    auto* src = dynamic_cast<const TChunkgAMA*>(&source);
    if (!src)
        throw EPngError(kMsgIncompatibleChunks);
    TChunk::Assign(source);
}

void TChunkgAMA::ApplyToOwner()
{
    if (DataSize() != 4)
        return;
    uint32_t g = GetValue();
    if (g >= kMinGamma && g <= kMaxGamma)
        BuildGammaTables(g, Owner().GammaTable, Owner().InverseTable);
}

uint32_t TChunkgAMA::GetValue()
{
    if (DataSize() != 4) {
        ResizeData(4);
        SetValue(1);
        return 1;
    }
    auto d = Data();
    return uint32_t(d[0]) << 24 | uint32_t(d[1]) << 16 | uint32_t(d[2]) << 8 | d[3];
}

void TChunkgAMA::SetValue(uint32_t value)
{
    std::vector<uint8_t> d;
    AppendU32be(d, value);
    SetData(d);
}

void BuildGammaTables(uint32_t gamma, std::array<uint8_t, 256>& table, std::array<uint8_t, 256>& inverse)
{
    double e = 1.0 / (gamma / 100000.0 * 2.2);
    for (int i = 0; i < 256; ++i) {
        double base = i / 255.0;
        double p = e == 0 ? 1.0 : base == 0 ? 0.0 : std::exp(e * std::log(base));
        // Halves go to even, as the tables always have.
        auto v = uint8_t(std::nearbyint(p * 255));
        table[size_t(i)] = v;
        inverse[v] = uint8_t(i);
    }
}

} // namespace pc::png
