#include "codecs/png/png_object.h"

#include <algorithm>
#include <cstring>
#include <typeinfo>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_gamma_chunk.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_image_data_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_palette_chunk.h"
#include "codecs/png/png_text_chunks.h"
#include "codecs/png/png_transparency_chunk.h"
#include "codecs/png/png_zlib.h"
#include "platform/clipboard.h"
#include "platform/file_io.h"

namespace pc::png {

namespace {
constexpr uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
} // namespace

TPNGObject::TPNGObject() : chunks_(*this)
{
    InitializeGamma();
}

TPNGObject::~TPNGObject()
{
    ClearChunks();
}

void TPNGObject::SetCompressionLevel(int level)
{
    compressionLevel_ = std::clamp(level, 0, 9);
}

void TPNGObject::SetMaxIdatSize(int64_t size)
{
    maxIdatSize_ = int(std::clamp<int64_t>(size, 65535, 0x7FFFFFFF));
}

void TPNGObject::InitializeGamma()
{
    for (int i = 0; i < 256; ++i)
        GammaTable[size_t(i)] = InverseTable[size_t(i)] = uint8_t(i);
}

void TPNGObject::ClearChunks()
{
    InitializeGamma();
    chunks_.Clear();
}

// Runs build on a cleared picture; when it throws, the picture gets back
// everything it had.
template <class Build>
void TPNGObject::Rebuild(Build build)
{
    auto oldChunks = chunks_.TakeAll();
    auto oldGamma = GammaTable, oldInverse = InverseTable;
    uint8_t oldInterlace = InterlaceMethod;
    try {
        ClearChunks();
        build();
    } catch (...) {
        chunks_.Restore(std::move(oldChunks));
        GammaTable = oldGamma;
        InverseTable = oldInverse;
        InterlaceMethod = oldInterlace;
        throw;
    }
}

void TPNGObject::LoadFromStream(std::span<const uint8_t> data)
{
    Rebuild([&] {
        try {
            LoadChunks(data);
        } catch (const Truncated&) {
            throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
        } catch (const std::bad_alloc&) {
            throw EPNGOutMemory(kMsgOutOfResources);
        }
    });
}

void TPNGObject::LoadChunks(std::span<const uint8_t> data)
{
    if (data.size() < 8 || std::memcmp(data.data(), kSignature, 8) != 0)
        throw EPNGInvalidFileHeader(kMsgInvalidFileHeader);
    ByteReader in(data.subspan(8));
    textBytesLeft_ = MaxTextBytes;
    textsLeftOut_ = 0;
    bool haveImageData = false, haveTransparency = false;
    // Only a first gAMA ahead of PLTE and IDAT applies, as in libpng.
    bool gammaSettled = false;
    for (;;) {
        if (in.atEnd())
            throw EPngUnexpectedEnd(kMsgUnexpectedEnd);
        ChunkHead head = ReadChunkHead(in);
        if (chunks_.Count() == 0 && head.name != "IHDR")
            throw EPNGIHDRNotFirst(kMsgIhdrNotFirst);
        if (chunks_.Count() > 0 && head.name == "IHDR")
            throw EPngInvalidIHDR(kMsgInvalidIhdr);
        // Stray image data after the picture, cHRM and any tRNS but the
        // first (each would mark the whole picture again) are dropped.
        if ((head.name == "IDAT" && haveImageData) || head.name == "cHRM" ||
            (head.name == "tRNS" && haveTransparency)) {
            in.skip(size_t(head.length) + 4);
            continue;
        }
        haveImageData = haveImageData || head.name == "IDAT";
        haveTransparency = haveTransparency || head.name == "tRNS";
        auto chunk = CreateClassChunk(*this, head.name);
        const TChunk& created = *chunk;
        if (typeid(created) == typeid(TChunk) && !(head.name[0] & 0x20))
            throw EPNGUnknownCriticalChunk(kMsgUnknownCriticalChunk);
        TChunk& loading = *chunk;
        chunks_.Append(std::move(chunk));
        bool more = loading.LoadFromStream(in, head.name, head.length);
        if (!gammaSettled) {
            if (auto* gama = dynamic_cast<TChunkgAMA*>(&loading))
                gama->ApplyToOwner();
            gammaSettled = head.name == "gAMA" || head.name == "PLTE" || head.name == "IDAT";
        }
        if (!more || head.name == "IEND")
            break;
    }
    if (!haveImageData)
        throw EPNGNoImageData(kMsgNoImageData);
    loadNote_.clear();
    if (textsLeftOut_ > 0)
        loadNote_ = std::to_string(textsLeftOut_) + " compressed text" + (textsLeftOut_ == 1 ? " was" : "s were") +
                    " not read: a text may inflate to " + std::to_string(TChunkzTXt::kMaxTextSize >> 20) +
                    " MB, and all of a picture's texts to " + std::to_string(MaxTextBytes >> 20) +
                    " MB. They are kept as stored.";
}

std::optional<std::string> TPNGObject::InflateText(std::span<const uint8_t> packed, size_t maxSize)
{
    if (textBytesLeft_ <= 0) {
        ++textsLeftOut_;
        return std::nullopt;
    }
    Inflated text = DecompressZLIB(packed, size_t(std::min<int64_t>(int64_t(maxSize), textBytesLeft_)));
    textBytesLeft_ -= int64_t(text.bytes.size());
    if (text.result == Inflated::kTooLong)
        ++textsLeftOut_;
    if (text.result != Inflated::kWhole)
        return std::nullopt;
    return std::string(text.bytes.begin(), text.bytes.end());
}

void TPNGObject::LoadFromFile(const std::string& path)
{
    LoadFromStream(ReadFileBytes(path, kPictureFileBytes));
}

void TPNGObject::SaveToStream(std::vector<uint8_t>& out)
{
    if (!HeaderPresent())
        throw EPNGHeaderNotPresent(kMsgHeaderNotPresent);
    std::vector<uint8_t> bytes(std::begin(kSignature), std::end(kSignature));
    for (int i = 0; i < chunks_.Count(); ++i)
        chunks_.Item(i)->SaveToStream(bytes);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> TPNGObject::SaveToBytes()
{
    std::vector<uint8_t> out;
    SaveToStream(out);
    return out;
}

void TPNGObject::SaveToFile(const std::string& path)
{
    WriteFileAtomic(path, SaveToBytes());
}

void TPNGObject::AssignPNG(const TPNGObject& source)
{
    if (&source == this)
        return;
    InterlaceMethod = source.InterlaceMethod;
    SetMaxIdatSize(source.MaxIdatSize());
    compressionLevel_ = source.compressionLevel_;
    Filters = source.Filters;
    Rebuild([&] {
        // The copy must show as the source does.
        GammaTable = source.GammaTable;
        InverseTable = source.InverseTable;
        for (int i = 0; i < source.chunks_.Count(); ++i) {
            const TChunk& from = *source.chunks_.Item(i);
            auto chunk = from.NewOfSameClass(*this);
            TChunk& to = *chunk;
            chunks_.Append(std::move(chunk));
            to.Assign(from);
        }
    });
}

void TPNGObject::AssignBitmap(const Bitmap& bitmap, bool transparent, TColor transparentColor)
{
    if (bitmap.Empty())
        throw EPngInvalidIHDR(kMsgInvalidIhdr);
    const bool palettised = bitmap.Bits() < 16;
    Rebuild([&] {
        InterlaceMethod = 0;
        auto add = [this](const char* name) -> TChunk& {
            chunks_.Append(CreateClassChunk(*this, name));
            return *chunks_.Item(chunks_.Count() - 1);
        };
        auto& header = static_cast<TChunkIHDR&>(add(TChunkIHDR::kName));
        header.Width = uint32_t(bitmap.Width());
        header.Height = uint32_t(bitmap.Height());
        header.BitDepth = uint8_t(palettised ? bitmap.Bits() : 8);
        header.ColorType = palettised ? kPalette : kRgb;
        header.PrepareImageData();
        if (palettised) {
            header.Image = bitmap;
            header.Image.Palette().clear();
            auto& plte = static_cast<TChunkPLTE&>(add(TChunkPLTE::kName));
            plte.Count = 1 << bitmap.Bits();
            const auto& pal = bitmap.Palette();
            for (size_t i = 0; i < pal.size() && i < 256; ++i)
                header.ColorTable[i] = RGBQuad{pal[i].blue, pal[i].green, pal[i].red, 0};
        } else if (bitmap.Bits() == 24) {
            std::memcpy(header.Image.Data(), bitmap.Data(), size_t(bitmap.DataSize()));
        } else {
            for (int y = 0; y < bitmap.Height(); ++y) {
                const uint8_t* src = bitmap.ScanLine(y);
                uint8_t* dst = header.Scanline(y);
                for (int x = 0; x < bitmap.Width(); ++x)
                    std::memcpy(dst + 3 * x, src + 4 * x, 3);
            }
        }
        auto* trns = transparent ? &static_cast<TChunktRNS&>(add(TChunktRNS::kName)) : nullptr;
        add(TChunkIDAT::kName);
        add(TChunkIEND::kName);
        if (trns)
            trns->SetTransparentColor(transparentColor);
    });
}

Bitmap TPNGObject::ToBitmap() const
{
    const TChunkIHDR& h = Header();
    Bitmap result = h.Image;
    if (h.HasPalette) {
        result.Palette().assign(h.ColorTable.begin(), h.ColorTable.begin() + (1 << h.DibBits()));
        for (auto& q : result.Palette())
            q = ToQuad(Shown(FromQuad(q)));
    } else if (!ShowsAsStored()) {
        for (int y = 0; y < result.Height(); ++y) {
            uint8_t* row = result.ScanLine(y);
            for (int64_t i = 0; i < int64_t(result.Width()) * 3; ++i)
                row[i] = GammaTable[row[i]];
        }
    }
    return result;
}

bool TPNGObject::ShowsAsStored() const
{
    for (int i = 0; i < 256; ++i)
        if (GammaTable[size_t(i)] != i)
            return false;
    return true;
}

TColor TPNGObject::Shown(TColor c) const
{
    return RGB(GammaTable[GetRValue(c)], GammaTable[GetGValue(c)], GammaTable[GetBValue(c)]);
}

TColor TPNGObject::Stored(TColor c) const
{
    return RGB(InverseTable[GetRValue(c)], InverseTable[GetGValue(c)], InverseTable[GetBValue(c)]);
}

int TPNGObject::Width() const
{
    return HeaderPresent() ? int(Header().Width) : 0;
}

int TPNGObject::Height() const
{
    return HeaderPresent() ? int(Header().Height) : 0;
}

void TPNGObject::SetWidth(int)
{
    throw EPngError(kMsgCannotResize);
}

void TPNGObject::SetHeight(int)
{
    throw EPngError(kMsgCannotResize);
}

bool TPNGObject::HeaderPresent() const
{
    return chunks_.Count() > 0 && dynamic_cast<TChunkIHDR*>(chunks_.Item(0)) != nullptr;
}

TChunkIHDR& TPNGObject::Header() const
{
    if (!HeaderPresent())
        throw EPNGHeaderNotPresent(kMsgHeaderNotPresent);
    return static_cast<TChunkIHDR&>(*chunks_.Item(0));
}

void TPNGObject::LoadFromClipboard()
{
    auto bitmap = clipboard::GetBitmap();
    if (!bitmap)
        throw Error("The clipboard holds no picture.");
    AssignBitmap(*bitmap);
}

void TPNGObject::SaveToClipboard() const
{
    if (!HeaderPresent())
        throw EPNGHeaderNotPresent(kMsgHeaderNotPresent);
    Bitmap canvas(Width(), Height(), PixelFormat::pf24bit);
    canvas.Fill(clWhite);
    Draw(canvas, {0, 0, Width(), Height()});
    clipboard::SetBitmap(canvas);
}

} // namespace pc::png
