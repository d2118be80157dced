// Chunk classes by name; the standard chunks are there from the start.
#include <utility>
#include <vector>

#include "codecs/png/png_chunk.h"
#include "codecs/png/png_gamma_chunk.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_image_data_chunk.h"
#include "codecs/png/png_palette_chunk.h"
#include "codecs/png/png_text_chunks.h"
#include "codecs/png/png_transparency_chunk.h"

namespace pc::png {

namespace {

template <class T>
std::unique_ptr<TChunk> Make(TPNGObject& owner)
{
    return std::make_unique<T>(owner);
}

std::vector<std::pair<std::string, ChunkFactory>>& Registry()
{
    static std::vector<std::pair<std::string, ChunkFactory>> registry = {
        {TChunkIEND::kName, Make<TChunkIEND>}, {TChunkIHDR::kName, Make<TChunkIHDR>},
        {TChunkIDAT::kName, Make<TChunkIDAT>}, {TChunkPLTE::kName, Make<TChunkPLTE>},
        {TChunkgAMA::kName, Make<TChunkgAMA>}, {TChunktRNS::kName, Make<TChunktRNS>},
        {TChunktIME::kName, Make<TChunktIME>}, {TChunktEXt::kName, Make<TChunktEXt>},
        {TChunkzTXt::kName, Make<TChunkzTXt>},
    };
    return registry;
}

} // namespace

void RegisterChunk(const std::string& name, ChunkFactory factory)
{
    Registry().emplace_back(name, factory);
}

std::unique_ptr<TChunk> CreateClassChunk(TPNGObject& owner, const std::string& name)
{
    std::unique_ptr<TChunk> chunk;
    for (const auto& [n, factory] : Registry())
        if (n == name) {
            chunk = factory(owner);
            break;
        }
    if (!chunk)
        chunk = std::make_unique<TChunk>(owner);
    chunk->SetName(name);
    return chunk;
}

} // namespace pc::png
