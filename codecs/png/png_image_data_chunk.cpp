#include "codecs/png/png_image_data_chunk.h"

#include "codecs/png/png_decoder.h"
#include "codecs/png/png_encoder.h"
#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_palette_chunk.h"
#include "codecs/png/png_transparency_chunk.h"

namespace pc::png {

std::unique_ptr<TChunk> TChunkIDAT::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkIDAT>(owner);
}

bool TChunkIDAT::LoadFromStream(ByteReader& in, const std::string&, uint32_t size)
{
    TPNGObject& owner = Owner();
    TChunkIHDR& header = Header();
    // Without a palette every index would show as black.
    if (header.ColorType == kPalette && !owner.Chunks().FindChunk<TChunkPLTE>())
        throw EPNGInvalidPalette(kMsgInvalidPalette);
    auto* trns = owner.Chunks().FindChunk<TChunktRNS>();
    DecodeImageData(in, size, header, owner.InterlaceMethod, trns ? trns->Key() : std::nullopt);
    return true;
}

bool TChunkIDAT::SaveToStream(std::vector<uint8_t>& out)
{
    TPNGObject& owner = Owner();
    auto* trns = owner.Chunks().FindChunk<TChunktRNS>();
    EncodeImageData(out, Header(), {owner.Filters, owner.CompressionLevel(), owner.MaxIdatSize(), owner.InterlaceMethod},
                    trns ? trns->Key() : std::nullopt);
    return true;
}

} // namespace pc::png
