#include "codecs/gif/octree_quantizer.h"

#include "codecs/gif/color_palettes.h"
#include "codecs/gif/gif_errors.h"

namespace pc::gif {

namespace {

constexpr int kReservedLow = 10;
constexpr int kPaletteEntries = 256;

void CollectLeaves(const TOctreeNode& node, std::vector<RGBQuad>& table)
{
    if (node.IsLeaf) {
        RGBQuad q;
        if (node.PixelCount > 0) {
            q.red = uint8_t(node.RedSum / node.PixelCount);
            q.green = uint8_t(node.GreenSum / node.PixelCount);
            q.blue = uint8_t(node.BlueSum / node.PixelCount);
        }
        table.push_back(q);
        return;
    }
    for (const auto& child : node.Children)
        if (child)
            CollectLeaves(*child, table);
}

constexpr const char* kBadColorCount = "Invalid number of colors";

} // namespace

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits) : maxColors_(maxColors), colorBits_(colorBits)
{
    if (maxColors < 1)
        RaiseGIFError(kBadColorCount);
    if (colorBits < 1 || colorBits > 8)
        RaiseGIFError(msg::kBadReductionBits);
}

std::unique_ptr<TOctreeNode> TColorQuantizer::MakeNode(int level)
{
    auto node = std::make_unique<TOctreeNode>();
    if (level == colorBits_) {
        node->IsLeaf = true;
        ++leafCount_;
    } else {
        node->Next = reducibleNodes_[level];
        reducibleNodes_[level] = node.get();
    }
    return node;
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue)
{
    if (!tree_)
        tree_ = MakeNode(0);
    TOctreeNode* node = tree_.get();
    for (int level = 0; !node->IsLeaf; ++level) {
        int shift = 7 - level;
        int index = ((red >> shift) & 1) << 2 | ((green >> shift) & 1) << 1 | ((blue >> shift) & 1);
        if (!node->Children[index])
            node->Children[index] = MakeNode(level + 1);
        node = node->Children[index].get();
    }
    node->PixelCount += 1;
    node->RedSum += red;
    node->GreenSum += green;
    node->BlueSum += blue;
}

bool TColorQuantizer::ReduceTree()
{
    int level = colorBits_ - 1;
    while (level > 0 && !reducibleNodes_[level])
        --level;
    TOctreeNode* node = reducibleNodes_[level];
    if (!node)
        return false;
    reducibleNodes_[level] = node->Next;
    node->Next = nullptr;
    // Every list below this level is empty, so all children are leaves.
    int children = 0;
    for (auto& child : node->Children) {
        if (!child)
            continue;
        node->PixelCount += child->PixelCount;
        node->RedSum += child->RedSum;
        node->GreenSum += child->GreenSum;
        node->BlueSum += child->BlueSum;
        child.reset();
        ++children;
    }
    node->IsLeaf = true;
    leafCount_ += 1 - children;
    return true;
}

bool TColorQuantizer::ProcessImage(const TDIBReader& reader)
{
    if (reader.Format() != PixelFormat::pf24bit)
        RaiseGIFError("Unsupported PixelFormat");
    const Bitmap& source = reader.Source();
    for (int y = 0; y < source.Height(); ++y) {
        const uint8_t* p = reader.ScanLine(y);
        for (int x = 0; x < source.Width(); ++x, p += 3) {
            AddColor(p[2], p[1], p[0]);
            while (leafCount_ > maxColors_ && ReduceTree()) {
            }
        }
    }
    return true;
}

std::vector<RGBQuad> TColorQuantizer::GetColorTable() const
{
    std::vector<RGBQuad> table;
    if (tree_)
        CollectLeaves(*tree_, table);
    return table;
}

std::vector<RGBQuad> CreateOptimizedPaletteFromManyBitmaps(std::span<const Bitmap* const> bitmaps, int colors,
                                                           int colorBits, bool windowsColors)
{
    if (bitmaps.empty())
        RaiseGIFError("Invalid bitmap list");
    for (const Bitmap* bitmap : bitmaps)
        if (!bitmap)
            RaiseGIFError("Invalid bitmap list");
    if (colors < 1 || colors > kPaletteEntries)
        RaiseGIFError(kBadColorCount);

    int offset = 0;
    std::vector<RGBQuad> palette(static_cast<size_t>(colors));
    if (windowsColors) {
        std::vector<RGBQuad> reserved = Windows20Palette();
        palette.assign(kPaletteEntries, RGBQuad{});
        std::copy(reserved.begin(), reserved.begin() + kReservedLow, palette.begin());
        std::copy(reserved.begin() + kReservedLow, reserved.end(), palette.end() - kReservedLow);
        colors = kPaletteEntries - 2 * kReservedLow;
        offset = kReservedLow;
    }
    TColorQuantizer quantizer(colors, colorBits);
    for (const Bitmap* bitmap : bitmaps)
        quantizer.ProcessImage(TDIBReader(*bitmap, PixelFormat::pf24bit));
    std::vector<RGBQuad> table = quantizer.GetColorTable();
    for (size_t i = 0; i < table.size() && i < size_t(colors); ++i)
        palette[offset + i] = table[i];
    return palette;
}

std::vector<RGBQuad> CreateOptimizedPalette(const Bitmap& bitmap, int colors, int colorBits, bool windowsColors)
{
    const Bitmap* one[] = {&bitmap};
    return CreateOptimizedPaletteFromManyBitmaps(one, colors, colorBits, windowsColors);
}

} // namespace pc::gif
