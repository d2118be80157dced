#pragma once
// A GIF colour table of up to 256 entries, shared in shape by the header's
// global map and each frame's local map.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/gif/gif_stream.h"
#include "codecs/gif/gif_types.h"
#include "platform/color.h"

namespace pc::gif {

struct TGIFColor {
    uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TGIFColor&) const = default;
};

inline TGIFColor Color2RGB(TColor c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }
inline TColor RGB2Color(TGIFColor c) { return RGB(c.Red, c.Green, c.Blue); }

// 0 for 0, 1 for 1 and 2, else the smallest b with 2^b >= n.
int BitsForColorCount(int n);

class TGIFColorMap {
public:
    using Histogram = std::array<uint64_t, 256>;
    using Translation = std::array<uint8_t, 256>;

    virtual ~TGIFColorMap() = default;

    void Clear();
    void SetCapacity(int n);
    int Capacity() const { return capacity_; }
    int Count() const { return count_; }
    bool Optimized() const { return optimized_; }
    int BitsPerPixel() const { return BitsForColorCount(count_); }

    int Add(TGIFColor c);
    int AddUnique(TGIFColor c);
    int IndexOf(TGIFColor c) const;
    void Delete(int index);
    // A bad index warns and gives entry 0; an empty map raises.
    TGIFColor Color(int index) const;
    void SetColor(int index, TGIFColor c);

    void ImportPalette(const std::vector<RGBQuad>& palette);
    void ImportColorMap(const TGIFColor* colors, int n);
    void ImportColorTable(const RGBQuad* table, int n);
    // Flags the map as sorted, most used colour first (written to the file).
    void SetOptimized(bool sorted) { optimized_ = sorted; }
    std::vector<RGBQuad> ExportPalette() const;
    void Assign(const TGIFColorMap& other);

    // Count entries, padded with black to the power of two the file needs.
    void SaveToStream(ByteWriter& w) const;
    void LoadFromStream(ByteReader& r, int n);

    // Sorts by usage, drops unused entries from the end; false when nothing to do.
    virtual bool Optimize() { return DoOptimize(); }

protected:
    virtual void Warning(TGIFSeverity severity, const std::string& message) const = 0;
    virtual void BuildHistogram(Histogram& usage) const = 0;
    virtual void MapImages(const Translation& map) = 0;
    virtual void Changed() = 0;
    bool DoOptimize();

private:
    std::vector<TGIFColor> data_;
    int count_ = 0;
    int capacity_ = 0;
    bool optimized_ = false;
};

} // namespace pc::gif
