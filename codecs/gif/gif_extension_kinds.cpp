#include "codecs/gif/gif_extension_kinds.h"

#include <algorithm>
#include <cstring>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_frame.h"

namespace pc::gif {

namespace {

// Reads a fixed-field block (size byte, then size bytes) into dst, padding
// with zeros or ignoring extra bytes, so a block of an unexpected size does not
// throw the rest of the stream out of step. Returns false on a short read.
bool ReadSizedBlock(ByteReader& r, uint8_t* dst, size_t want)
{
    std::memset(dst, 0, want);
    auto size = ReadByte(r);
    if (!size)
        return false;
    size_t n = std::min<size_t>(*size, r.remaining());
    auto s = r.take(n);
    std::memcpy(dst, s.data(), std::min(n, want));
    return n == *size;
}

void WriteRawSubBlocks(ByteWriter& w, const std::vector<std::vector<uint8_t>>& blocks)
{
    for (const auto& b : blocks) {
        w.u8(uint8_t(b.size()));
        w.write(b);
    }
    w.u8(0);
}

std::vector<std::vector<uint8_t>> ReadRawSubBlocks(ByteReader& r)
{
    std::vector<std::vector<uint8_t>> blocks;
    for (auto n = ReadByte(r); n && *n > 0; n = ReadByte(r)) {
        auto s = ReadExact(r, *n);
        blocks.emplace_back(s.begin(), s.end());
    }
    return blocks;
}

} // namespace

// ---- Graphic control ----

void TGIFGraphicControlExtension::SetTransparent(bool on)
{
    packed_ = uint8_t(on ? packed_ | 0x01 : packed_ & ~0x01);
    if (SubImage())
        SubImage()->FreeBitmap();
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    if (SubImage()) {
        const TGIFColorMap& map = SubImage()->ActiveColorMap();
        if (map.Count() > 0 && index >= map.Count()) {
            Warning(TGIFSeverity::gsWarning, msg::kInvalidColorIndex);
            index = 0;
        }
        SubImage()->FreeBitmap();
    }
    index_ = uint8_t(index);
}

TColor TGIFGraphicControlExtension::TransparentColor() const
{
    return RGB2Color(SubImage()->ActiveColorMap().Color(index_));
}

void TGIFGraphicControlExtension::SetTransparentColor(TColor c)
{
    SetTransparentColorIndex(SubImage()->ActiveColorMap().AddUnique(Color2RGB(c)));
}

void TGIFGraphicControlExtension::SaveData(ByteWriter& w)
{
    w.u8(4);
    w.u8(packed_);
    w.u16le(delay_);
    w.u8(index_);
    w.u8(0);
}

void TGIFGraphicControlExtension::LoadData(ByteReader& r)
{
    uint8_t f[4];
    bool complete = ReadSizedBlock(r, f, 4);
    packed_ = f[0];
    delay_ = uint16_t(f[1] | f[2] << 8);
    index_ = f[3];
    if (!complete)
        Warning(TGIFSeverity::gsWarning, msg::kPrematureEnd);
    else
        SkipSubBlocks(r); // normally just the terminator; anything more is skipped in step
}

// ---- Plain text ----

int TGIFTextExtension::Bounds(int index) const
{
    if (index < 1 || index > 4)
        return 0;
    size_t at = size_t(1 + (index - 1) * 2);
    return header_[at] | header_[at + 1] << 8;
}

void TGIFTextExtension::SetBounds(int index, int value)
{
    if (index < 1 || index > 4)
        return;
    size_t at = size_t(1 + (index - 1) * 2);
    header_[at] = uint8_t(value);
    header_[at + 1] = uint8_t(value >> 8);
}

int TGIFTextExtension::CharSize(int index) const
{
    return index == 1 || index == 2 ? header_[size_t(8 + index)] : 0;
}

void TGIFTextExtension::SetCharSize(int index, int value)
{
    if (index == 1 || index == 2)
        header_[size_t(8 + index)] = uint8_t(value);
}

int TGIFTextExtension::ColorIndex(int index) const
{
    return index == 1 || index == 2 ? header_[size_t(10 + index)] : 0;
}

void TGIFTextExtension::SetColorIndex(int index, int value)
{
    if (index == 1 || index == 2)
        header_[size_t(10 + index)] = uint8_t(value);
}

TColor TGIFTextExtension::ForegroundColor() const
{
    return RGB2Color(SubImage()->ActiveColorMap().Color(ColorIndex(1)));
}

void TGIFTextExtension::SetForegroundColor(TColor c)
{
    SetColorIndex(1, SubImage()->ActiveColorMap().AddUnique(Color2RGB(c)));
}

TColor TGIFTextExtension::BackgroundColor() const
{
    return RGB2Color(SubImage()->ActiveColorMap().Color(ColorIndex(2)));
}

void TGIFTextExtension::SetBackgroundColor(TColor c)
{
    SetColorIndex(2, SubImage()->ActiveColorMap().AddUnique(Color2RGB(c)));
}

void TGIFTextExtension::SaveData(ByteWriter& w)
{
    header_[0] = 12;
    w.write(header_);
    WriteSubBlockText(w, text_);
}

void TGIFTextExtension::LoadData(ByteReader& r)
{
    if (!ReadSizedBlock(r, header_.data() + 1, 12))
        RaiseGIFError(msg::kPrematureEnd);
    header_[0] = 12;
    text_ = ReadSubBlockText(r);
}

// ---- Application ----

namespace {

struct AppEntry {
    std::string key; // identifier and authentication, 11 bytes
    ExtensionFactory factory;
};

std::unique_ptr<TGIFExtension> MakeLoop(TGIFSubImage* frame)
{
    return std::make_unique<TGIFAppExtNSLoop>(frame);
}

std::unique_ptr<TGIFExtension> MakeUnknownApp(TGIFSubImage* frame)
{
    return std::make_unique<TGIFUnknownAppExtension>(frame);
}

std::unique_ptr<TGIFExtension> MakeDamagedApp(TGIFSubImage* frame)
{
    return std::make_unique<TGIFUnknownAppExtension>(frame, true);
}

// The looping block's sub-blocks at r: false when one is too short for its
// kind. A sub-block cut by the stream's end is left to the reader, which stops there.
bool LoopDataReadable(ByteReader& r)
{
    for (auto n = ReadByte(r); n && *n > 0; n = ReadByte(r)) {
        if (r.remaining() < *n)
            return true;
        auto s = r.take(*n);
        const int id = s[0] & 7;
        if ((id == 1 && s.size() < 3) || (id == 2 && s.size() < 5))
            return false;
    }
    return true;
}

std::vector<AppEntry>& AppRegistry()
{
    static std::vector<AppEntry> entries = {{"NETSCAPE2.0", MakeLoop}, {"ANIMEXTS1.0", MakeLoop}};
    return entries;
}

std::string Field(const std::vector<uint8_t>& block, size_t from, size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n && from + i < block.size(); ++i)
        s[i] = char(block[from + i]);
    return s;
}

} // namespace

std::string TGIFApplicationExtension::Identifier() const
{
    return Field(block_, 0, 8);
}

std::string TGIFApplicationExtension::Authentication() const
{
    return Field(block_, 8, 3);
}

void TGIFApplicationExtension::SetIdentifier(const std::string& id)
{
    if (block_.size() < 11)
        block_.resize(11, 0);
    for (size_t i = 0; i < 8; ++i)
        block_[i] = uint8_t(i < id.size() ? id[i] : ' ');
}

void TGIFApplicationExtension::SetAuthentication(const std::string& auth)
{
    if (block_.size() < 11)
        block_.resize(11, 0);
    for (size_t i = 0; i < 3; ++i)
        block_[8 + i] = uint8_t(i < auth.size() ? auth[i] : ' ');
}

void TGIFApplicationExtension::RegisterExtension(const std::string& idAndAuth, ExtensionFactory factory)
{
    AppRegistry().push_back({idAndAuth, factory});
}

ExtensionFactory TGIFApplicationExtension::FindSubExtension(ByteReader& r)
{
    auto size = ReadByte(r);
    if (!size)
        return nullptr;
    if (*size == 11 && r.remaining() >= 11) {
        auto id = r.take(11);
        std::string key(id.begin(), id.end());
        auto& reg = AppRegistry();
        for (auto it = reg.rbegin(); it != reg.rend(); ++it) {
            if (it->key != key)
                continue;
            // Kept as it stands rather than refusing the file.
            if (it->factory == MakeLoop && !LoopDataReadable(r))
                return MakeDamagedApp;
            return it->factory;
        }
    }
    // Any other identifier or block size is kept as it stands.
    return MakeUnknownApp;
}

void TGIFApplicationExtension::SaveData(ByteWriter& w)
{
    w.u8(uint8_t(block_.size()));
    w.write(block_);
    SaveAppData(w);
}

void TGIFApplicationExtension::LoadData(ByteReader& r)
{
    auto size = ReadExact(r, 1)[0];
    auto block = ReadExact(r, size);
    block_.assign(block.begin(), block.end());
    LoadAppData(r);
}

void TGIFUnknownAppExtension::SaveAppData(ByteWriter& w)
{
    WriteRawSubBlocks(w, blocks_);
}

void TGIFUnknownAppExtension::LoadAppData(ByteReader& r)
{
    blocks_ = ReadRawSubBlocks(r);
    if (damaged_)
        Warning(TGIFSeverity::gsWarning, msg::kInvalidData);
}

// ---- Unknown label ----

void TGIFUnknownExtension::SaveData(ByteWriter& w)
{
    WriteRawSubBlocks(w, blocks_);
}

void TGIFUnknownExtension::LoadData(ByteReader& r)
{
    blocks_ = ReadRawSubBlocks(r);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame)
{
    SetIdentifier("NETSCAPE");
    SetAuthentication("2.0");
}

void TGIFAppExtNSLoop::SaveAppData(ByteWriter& w)
{
    w.u8(3);
    w.u8(1);
    w.u16le(loops_);
    if (bufferSize_ != 0) {
        w.u8(5);
        w.u8(2);
        w.u32le(bufferSize_);
    }
    w.u8(0);
}

void TGIFAppExtNSLoop::LoadAppData(ByteReader& r)
{
    for (auto n = ReadByte(r); n && *n > 0; n = ReadByte(r)) {
        // A sub-block cut short by the stream's end ends the data.
        auto s = r.take(std::min<size_t>(*n, r.remaining()));
        if (s.size() < *n)
            break;
        int id = s[0] & 7;
        if (id == 1) {
            if (s.size() < 3)
                RaiseGIFError(msg::kInvalidData);
            loops_ = uint16_t(s[1] | s[2] << 8);
        } else if (id == 2) {
            if (s.size() < 5)
                RaiseGIFError(msg::kInvalidData);
            bufferSize_ = uint32_t(s[1]) | uint32_t(s[2]) << 8 | uint32_t(s[3]) << 16 | uint32_t(s[4]) << 24;
        }
    }
}

} // namespace pc::gif
