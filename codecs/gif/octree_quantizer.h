#pragma once
// Octree colour quantizer: every colour walks down eight levels by its bits;
// when the tree holds more leaves than allowed, the deepest reducible node
// (the most recently made one first) folds its children into itself.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codecs/gif/color_dib.h"

namespace pc::gif {

struct TOctreeNode {
    bool IsLeaf = false;
    // 64 bits: a large render overflows 32-bit sums.
    int64_t PixelCount = 0;
    int64_t RedSum = 0, GreenSum = 0, BlueSum = 0;
    TOctreeNode* Next = nullptr; // in the reducible list of its level
    std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer {
public:
    // maxColors >= 1; colorBits 1..8 is the leaf depth. Raises otherwise.
    TColorQuantizer(int maxColors, int colorBits);
    TColorQuantizer(const TColorQuantizer&) = delete;
    TColorQuantizer& operator=(const TColorQuantizer&) = delete;

    int LeafCount() const { return leafCount_; }
    void AddColor(uint8_t red, uint8_t green, uint8_t blue);
    // Adds every pixel of a 24-bit reader, row by row; the tree never holds
    // more than maxColors leaves after a pixel.
    bool ProcessImage(const TDIBReader& reader);
    // One entry per leaf, depth first, children in index order; the mean
    // colour of its pixels (black for a leaf without pixels).
    std::vector<RGBQuad> GetColorTable() const;

private:
    std::unique_ptr<TOctreeNode> MakeNode(int level);
    // False when nothing is left to fold.
    bool ReduceTree();

    std::unique_ptr<TOctreeNode> tree_;
    int leafCount_ = 0;
    std::array<TOctreeNode*, 8> reducibleNodes_{};
    int maxColors_;
    int colorBits_;
};

// A palette of `colors` entries (1..256) from the octree of one bitmap; entries
// the tree did not fill stay black. With windowsColors the 20 reserved
// colours take entries 0..9 and 246..255 and the tree fills 236 in between.
std::vector<RGBQuad> CreateOptimizedPalette(const Bitmap& bitmap, int colors, int colorBits, bool windowsColors);

// The same from one octree fed with every bitmap in order; an empty list or
// a null entry raises "Invalid bitmap list".
std::vector<RGBQuad> CreateOptimizedPaletteFromManyBitmaps(std::span<const Bitmap* const> bitmaps, int colors,
                                                           int colorBits, bool windowsColors);

} // namespace pc::gif
