#pragma once
// A PNG picture: its chunks in file order, with the decoded pixels held by
// the header chunk as a DIB plus an alpha plane for the alpha colour types.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "codecs/png/png_filters.h"
#include "codecs/png/png_list.h"
#include "platform/bitmap.h"
#include "platform/checked_size.h"

namespace pc::png {

class TChunkIHDR;
class TChunktRNS;

inline constexpr const char* kPngExtension = "PNG";
inline constexpr const char* kPngDescription = "Portable Network Graphics";
// What a loaded picture may hold in memory (DIB, alpha plane or key marks).
// A side may be as long as the format allows (65535); the total is capped,
// at the budget every picture has.
inline constexpr int64_t kPngMemoryBudget = kPictureMemoryBudget;

// Inflated text that the compressed text chunks of one file may bring in
// together: a few megabytes of them could otherwise inflate to gigabytes.
inline constexpr int64_t kPngMaxTextBytes = int64_t(16) << 20;

enum class TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };

// A destination rectangle; right and bottom are exclusive.
struct Rect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct PixelInfo {
    int64_t rowBytes = 0;
    int bytesPerPixel = 0;
};

class TPNGObject {
public:
    TPNGObject();
    ~TPNGObject();
    TPNGObject(const TPNGObject&) = delete;
    TPNGObject& operator=(const TPNGObject&) = delete;

    // File sample to display value and back; identity without gAMA. The DIB,
    // colour table and key hold samples as the file does; gamma applies to
    // what is shown: Draw, ToBitmap, GetPalette, Pixels and the key colour.
    std::array<uint8_t, 256> GammaTable{}, InverseTable{};
    FilterSet Filters = 1 << kFilterSub;
    uint8_t InterlaceMethod = 0;
    // Caps on a loaded picture: its pixel count (Limits.maxPixels; the side
    // limit does not apply, any side up to 65535 is valid) and its memory.
    PictureLimits Limits;
    int64_t MemoryBudget = kPngMemoryBudget;
    // Every byte a file's compressed texts inflate to counts, kept or not.
    int64_t MaxTextBytes = kPngMaxTextBytes;

    int CompressionLevel() const { return compressionLevel_; }
    void SetCompressionLevel(int level); // clamped to 0..9
    int MaxIdatSize() const { return maxIdatSize_; }
    void SetMaxIdatSize(int64_t size); // at least 65535

    TPNGList& Chunks() { return chunks_; }
    const TPNGList& Chunks() const { return chunks_; }

    void ClearChunks();
    void InitializeGamma();

    // Reads a whole PNG file. On any error the picture keeps what it held before.
    void LoadFromStream(std::span<const uint8_t> data);
    void LoadFromFile(const std::string& path);
    // What the last load left out, for the user; empty when nothing was.
    const std::string& LoadNote() const { return loadNote_; }
    // For a zTXt chunk being loaded: its text, or nothing when the stream is
    // broken or inflates past maxSize or what the file may still inflate.
    // Once a file's texts reach MaxTextBytes, the rest are not inflated.
    std::optional<std::string> InflateText(std::span<const uint8_t> packed, size_t maxSize);
    // EPNGHeaderNotPresent for an empty picture.
    void SaveToStream(std::vector<uint8_t>& out);
    std::vector<uint8_t> SaveToBytes();
    // Writes beside the target first, so a failed save keeps the old file.
    void SaveToFile(const std::string& path);

    void AssignPNG(const TPNGObject& source);
    // A palette bitmap (1, 4, 8 bits) becomes colour type 3, any other RGB at depth 8.
    void AssignBitmap(const Bitmap& bitmap, bool transparent = false, TColor transparentColor = 0);
    // The DIB with its palette, as shown (through the gamma table).
    // EPNGHeaderNotPresent without a header.
    Bitmap ToBitmap() const;

    // Draws onto a 24- or 32-bit target: stretched to the rectangle, or for
    // per-pixel alpha blended at the picture's own size at its top-left corner.
    void Draw(Bitmap& target, const Rect& rect) const;

    int Width() const;
    int Height() const;
    [[noreturn]] void SetWidth(int);
    [[noreturn]] void SetHeight(int);
    bool Empty() const { return chunks_.Count() == 0; }
    bool Transparent() const { return TransparencyMode() != TPNGTransparencyMode::ptmNone; }

    TChunkIHDR& Header() const;
    bool HeaderPresent() const;
    TPNGTransparencyMode TransparencyMode() const;
    TColor TransparentColor() const;
    void SetTransparentColor(TColor color);
    void CreateAlpha();
    // Every pixel's alpha, top-down: the alpha plane, the palette entry's
    // alpha, or 0 where the stored samples are the key and 255 elsewhere.
    CountedBytes Alphas() const;
    // Row y of Alphas(); trns is the picture's tRNS chunk or null.
    void AlphaRow(const TChunktRNS* trns, int y, uint8_t* out) const;

    uint8_t* Scanline(int y);
    uint8_t* AlphaScanline(int y);
    // Colour table of grey and palette pictures as shown (256 entries); empty otherwise.
    std::vector<RGBQuad> GetPalette() const;
    // A pixel's colour as shown; setting one stores the sample that shows it.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor color);
    // A stored colour as it is shown, and the stored colour that shows one.
    TColor Shown(TColor stored) const;
    TColor Stored(TColor shown) const;
    PixelInfo GetPixelInfo() const;

    void LoadFromClipboard();
    void SaveToClipboard() const;

private:
    template <class Build>
    void Rebuild(Build build);
    bool ShowsAsStored() const; // the gamma table is the identity
    void LoadChunks(std::span<const uint8_t> data);

    int64_t textBytesLeft_ = 0;
    int textsLeftOut_ = 0;
    std::string loadNote_;
    int compressionLevel_ = 7;
    int maxIdatSize_ = 65535;
    TPNGList chunks_;
};

} // namespace pc::png
