#include "codecs/png/png_chunk.h"

#include "codecs/png/png_crc.h"
#include "codecs/png/png_errors.h"
#include "codecs/png/png_object.h"

namespace pc::png {

namespace {
// Lengths above this are invalid in any PNG file.
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFFu;
} // namespace

TChunk::TChunk(TPNGObject& owner) : owner_(owner) {}

std::unique_ptr<TChunk> TChunk::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunk>(owner);
}

void TChunk::Assign(const TChunk& source)
{
    name_ = source.name_;
    data_ = source.data_;
}

bool TChunk::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    if (size > kMaxChunkLength || uint64_t(size) + 4 > in.remaining())
        throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
    auto bytes = in.take(size);
    data_.assign(bytes.begin(), bytes.end());
    uint32_t stored = in.u32be();
    if (stored != ChunkCrc(name, data_))
        throw EPngInvalidCRC(kMsgInvalidCrc);
    return true;
}

bool TChunk::SaveToStream(std::vector<uint8_t>& out)
{
    return SaveData(out);
}

bool TChunk::SaveData(std::vector<uint8_t>& out) const
{
    WriteChunk(out, name_, data_);
    return true;
}

TChunkIHDR& TChunk::Header() const
{
    return owner_.Header();
}

std::unique_ptr<TChunk> TChunkIEND::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkIEND>(owner);
}

ChunkHead ReadChunkHead(ByteReader& in)
{
    if (in.remaining() < 8)
        throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
    ChunkHead head;
    head.length = in.u32be();
    auto name = in.take(4);
    head.name.assign(name.begin(), name.end());
    if (head.length > kMaxChunkLength || uint64_t(head.length) + 4 > in.remaining())
        throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
    return head;
}

void AppendU32be(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void WriteChunk(std::vector<uint8_t>& out, const std::string& name, std::span<const uint8_t> data)
{
    AppendU32be(out, uint32_t(data.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), data.begin(), data.end());
    AppendU32be(out, ChunkCrc(name, data));
}

} // namespace pc::png
