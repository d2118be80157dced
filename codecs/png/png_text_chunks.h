#pragma once
// tEXt, zTXt and tIME: kept while loading and written back. A chunk whose
// fields were never set writes its data exactly as it was read.
#include <cstdint>
#include <string>

#include "codecs/png/png_chunk.h"

namespace pc::png {

class TChunktEXt : public TChunk {
public:
    static constexpr const char* kName = "tEXt";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;

    const std::string& Keyword() const { return keyword_; }
    const std::string& Text() const { return text_; }
    void SetKeyword(const std::string& k) { keyword_ = k; edited_ = true; }
    void SetText(const std::string& t) { text_ = t; edited_ = true; }

protected:
    // Keyword up to the first NUL (bounded by the data); returns the offset
    // just past the NUL, or the data size when there is none.
    size_t ParseKeyword();

    std::string keyword_, text_;
    bool edited_ = false;
};

// Compressed text; inflating stops at kMaxTextSize, or at what is left of
// the file's MaxTextBytes. A text not read keeps its data as stored.
class TChunkzTXt : public TChunktEXt {
public:
    static constexpr const char* kName = "zTXt";
    static constexpr size_t kMaxTextSize = size_t(4) << 20;
    using TChunktEXt::TChunktEXt;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;
};

class TChunktIME : public TChunk {
public:
    static constexpr const char* kName = "tIME";
    using TChunk::TChunk;
    std::unique_ptr<TChunk> NewOfSameClass(TPNGObject& owner) const override;

    void Assign(const TChunk& source) override;
    bool LoadFromStream(ByteReader& in, const std::string& name, uint32_t size) override;
    bool SaveToStream(std::vector<uint8_t>& out) override;

    void SetTime(uint16_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute, uint8_t second);

    uint16_t Year() const { return year_; }
    uint8_t Month() const { return month_; }
    uint8_t Day() const { return day_; }
    uint8_t Hour() const { return hour_; }
    uint8_t Minute() const { return minute_; }
    uint8_t Second() const { return second_; }

private:
    uint16_t year_ = 0;
    uint8_t month_ = 0, day_ = 0, hour_ = 0, minute_ = 0, second_ = 0;
    bool edited_ = false;
};

} // namespace pc::png
