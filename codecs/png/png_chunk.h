#pragma once
// A chunk of a PNG file: length, four-letter name, data, CRC. The base class
// keeps its data as raw bytes; the standard chunks derive from it.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/byte_reader.h"

namespace pc::png {

class TPNGObject;
class TChunkIHDR;

class TChunk {
public:
    explicit TChunk(TPNGObject& owner);
    virtual ~TChunk() = default;
    TChunk(const TChunk&) = delete;
    TChunk& operator=(const TChunk&) = delete;

    // A new, empty chunk of the same class for another picture.
    virtual std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name) { name_ = name; }
    std::span<const uint8_t> Data() const { return data_; }
    uint32_t DataSize() const { return uint32_t(data_.size()); }
    void ResizeData(size_t size) { data_.resize(size); }
    void SetData(std::span<const uint8_t> bytes) { data_.assign(bytes.begin(), bytes.end()); }

    // Copies name and data; classes with fields copy those.
    virtual void Assign(const TChunk& source);
    // Reads size bytes of data and the CRC at the reader's position. Returns
    // false to end the chunk loop.
    virtual bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size);
    // Appends the chunk in file form.
    virtual bool SaveToStream(std::vector<uint8_t>& out);

    TPNGObject& Owner() const { return owner_; }
    TChunkIHDR& Header() const;

protected:
    std::vector<uint8_t>& MutableData() { return data_; }
    bool SaveData(std::vector<uint8_t>& out) const;

private:
    TPNGObject& owner_;
    std::string name_;
    std::vector<uint8_t> data_;
};

class TChunkIEND : public TChunk {
public:
    static constexpr const char* kName = "IEND";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;
};

// Chunk header at the reader's position; the length must fit in what is left
// of the stream (with its CRC) before anything is allocated for it.
struct ChunkHead {
    uint32_t length;
    std::string name;
};
ChunkHead ReadChunkHead(ByteReader& in);

// Appends a chunk in file form.
void WriteChunk(std::vector<uint8_t>& out, const std::string& name, std::span<const uint8_t> data);
void AppendU32be(std::vector<uint8_t>& out, uint32_t v);

// Chunk classes by name. The standard ones are registered from the start;
// an unknown name gives a raw TChunk carrying that name.
using ChunkFactory = std::unique_ptr<TChunk> (*)(TPNGObject& owner);
void RegisterChunk(const std::string& name, ChunkFactory factory);
std::unique_ptr<TChunk> CreateClassChunk(TPNGObject& owner, const std::string& name);

} // namespace pc::png
