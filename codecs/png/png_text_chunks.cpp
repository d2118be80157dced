#include "codecs/png/png_text_chunks.h"

#include <algorithm>

#include "codecs/png/png_object.h"
#include "codecs/png/png_zlib.h"

namespace pc::png {

std::unique_ptr<TChunk> TChunktEXt::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunktEXt>(owner);
}

void TChunktEXt::Assign(const TChunk& source)
{
    TChunk::Assign(source);
    if (auto* src = dynamic_cast<const TChunktEXt*>(&source)) {
        keyword_ = src->keyword_;
        text_ = src->text_;
        edited_ = src->edited_;
    }
}

size_t TChunktEXt::ParseKeyword()
{
    auto d = Data();
    auto nul = std::find(d.begin(), d.end(), uint8_t(0));
    keyword_.assign(d.begin(), nul);
    return nul == d.end() ? d.size() : size_t(nul - d.begin()) + 1;
}

bool TChunktEXt::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    keyword_.clear();
    text_.clear();
    edited_ = false;
    if (size >= 3) {
        size_t start = ParseKeyword();
        auto d = Data();
        text_.assign(d.begin() + start, d.end());
    }
    return ok;
}

bool TChunktEXt::SaveToStream(std::vector<uint8_t>& out)
{
    if (edited_) {
        std::vector<uint8_t> d(keyword_.begin(), keyword_.end());
        d.push_back(0);
        d.insert(d.end(), text_.begin(), text_.end());
        SetData(d);
    }
    return TChunk::SaveToStream(out);
}

std::unique_ptr<TChunk> TChunkzTXt::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunkzTXt>(owner);
}

bool TChunkzTXt::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    keyword_.clear();
    text_.clear();
    edited_ = false;
    if (size >= 4) {
        size_t start = ParseKeyword();
        auto d = Data();
        if (start < d.size() && d[start] == 0) {
            if (auto text = Owner().InflateText(d.subspan(start + 1), kMaxTextSize))
                text_ = std::move(*text);
        }
    }
    return ok;
}

bool TChunkzTXt::SaveToStream(std::vector<uint8_t>& out)
{
    if (edited_) {
        auto packed = CompressZLIB(std::span(reinterpret_cast<const uint8_t*>(text_.data()), text_.size()),
                                   Owner().CompressionLevel());
        std::vector<uint8_t> d(keyword_.begin(), keyword_.end());
        d.push_back(0);
        d.push_back(0);
        d.insert(d.end(), packed.begin(), packed.end());
        SetData(d);
    }
    return TChunk::SaveToStream(out);
}

std::unique_ptr<TChunk> TChunktIME::NewOfSameClass(TPNGObject& owner) const
{
    return std::make_unique<TChunktIME>(owner);
}

void TChunktIME::Assign(const TChunk& source)
{
    TChunk::Assign(source);
    if (auto* src = dynamic_cast<const TChunktIME*>(&source)) {
        year_ = src->year_;
        month_ = src->month_;
        day_ = src->day_;
        hour_ = src->hour_;
        minute_ = src->minute_;
        second_ = src->second_;
        edited_ = src->edited_;
    }
}

bool TChunktIME::LoadFromStream(ByteReader& in, const std::string& name, uint32_t size)
{
    bool ok = TChunk::LoadFromStream(in, name, size);
    edited_ = false;
    year_ = 0;
    month_ = day_ = hour_ = minute_ = second_ = 0;
    if (size == 7) {
        auto d = Data();
        year_ = uint16_t(d[0] << 8 | d[1]);
        month_ = d[2];
        day_ = d[3];
        hour_ = d[4];
        minute_ = d[5];
        second_ = d[6];
    }
    return ok;
}

bool TChunktIME::SaveToStream(std::vector<uint8_t>& out)
{
    if (edited_)
        SetData(std::vector<uint8_t>{uint8_t(year_ >> 8), uint8_t(year_), month_, day_, hour_, minute_, second_});
    return TChunk::SaveToStream(out);
}

void TChunktIME::SetTime(uint16_t year, uint8_t month, uint8_t day, uint8_t hour, uint8_t minute, uint8_t second)
{
    year_ = year;
    month_ = month;
    day_ = day;
    hour_ = hour;
    minute_ = minute;
    second_ = second;
    edited_ = true;
}

} // namespace pc::png
