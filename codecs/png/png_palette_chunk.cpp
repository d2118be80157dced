#include "codecs/png/png_palette_chunk.h"

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_object.h"

namespace pc::png {

std::unique_ptr<TChunk> TChunkPLTE::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkPLTE>(owner);
}

void TChunkPLTE::Assign(const TChunk& source)
{
    auto* src = dynamic_cast<const TChunkPLTE*>(&source);
    if (!src)
        throw EPngError(kMsgIncompatibleChunks);
    TChunk::Assign(source);
    Count = src->Count;
}

bool TChunkPLTE::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    if (size % 3 != 0 || size / 3 > 256)
        throw EPNGInvalidPalette(kMsgInvalidPalette);
    Count = int(size / 3);
    auto& table = Header().ColorTable;
    auto d = Data();
    for (int i = 0; i < Count; ++i)
        table[size_t(i)] = RGBQuad{d[3 * i + 2], d[3 * i + 1], d[3 * i], 0};
    return ok;
}

bool TChunkPLTE::SaveToStream(std::vector<uint8_t>& out)
{
    const auto& table = Header().ColorTable;
    ResizeData(size_t(Count) * 3);
    auto& d = MutableData();
    for (int i = 0; i < Count; ++i) {
        d[3 * i] = table[size_t(i)].red;
        d[3 * i + 1] = table[size_t(i)].green;
        d[3 * i + 2] = table[size_t(i)].blue;
    }
    return TChunk::SaveToStream(out);
}

RGBQuad TChunkPLTE::GetPaletteItem(int index) const
{
    if (index < 0 || index > Count - 1)
        throw EPngError(kMsgNoSuchPaletteEntry);
    return Header().ColorTable[size_t(index)];
}

} // namespace pc::png
