#pragma once
// One frame of a GIF picture: the extensions before it, its image
// descriptor, its local colour map and one colour index per pixel.
#include <cstdint>
#include <memory>
#include <vector>

#include "codecs/gif/gif_color_map.h"
#include "codecs/gif/gif_extensions.h"
#include "codecs/gif/gif_item.h"
#include "platform/bitmap.h"

namespace pc::gif {

class TGIFSubImage;
class TGIFGraphicControlExtension;

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : frame_(frame) {}

protected:
    void Warning(TGIFSeverity severity, const std::string& message) const override;
    void BuildHistogram(Histogram& usage) const override;
    void MapImages(const Translation& map) override;
    void Changed() override;

private:
    TGIFSubImage* frame_;
};

class TGIFSubImage : public TGIFItem {
public:
    explicit TGIFSubImage(TGIFImage* image);
    ~TGIFSubImage() override;

    void Clear();
    bool Empty() const { return data_.empty() || width_ == 0 || height_ == 0; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // 1 left, 2 top, 3 width, 4 height; other indices read 0 and write nothing.
    int Bounds(int index) const;
    void SetBounds(int index, int value);
    // Stores the rectangle; a new size gives fresh zeroed pixels; a logical
    // screen too small for it grows, with warnings.
    void DoSetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    TRect ClientRect() const { return {0, 0, width_, height_}; }

    bool Interlaced() const { return (flags_ & 0x40) != 0; }
    void SetInterlaced(bool on) { flags_ = uint8_t(on ? flags_ | 0x40 : flags_ & ~0x40); }
    uint8_t Flags() const { return flags_; }
    void Prepare();

    TGIFLocalColorMap& ColorMap() { return colorMap_; }
    const TGIFLocalColorMap& ColorMap() const { return colorMap_; }
    // The local map when it has entries, else the global one.
    TGIFColorMap& ActiveColorMap();
    const TGIFColorMap& ActiveColorMap() const;
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return colorMap_.BitsPerPixel() - 1; }

    TGIFExtensionList& Extensions() { return extensions_; }
    const TGIFExtensionList& Extensions() const { return extensions_; }
    // The first graphic control extension, or null.
    TGIFGraphicControlExtension* GraphicControlExtension() const;
    // True while a graphic control extension has its transparent flag set.
    bool Transparent() const { return TransparentIndex() >= 0; }
    // The index of the first graphic control extension that flags one, or -1.
    int TransparentIndex() const;

    TGIFVersion GetVersion() const override;

    // Pixel access; coordinates outside the frame raise "Invalid pixel coordinates".
    uint8_t Pixels(int x, int y) const;
    void SetPixel(int x, int y, uint8_t index);
    uint8_t* Scanline(int y);
    const std::vector<uint8_t>& Data() const { return data_; }
    void NewImage();
    void FreeImage() { data_.clear(); }
    void NeedImage();

    void SaveToStream(ByteWriter& w) override;
    void LoadFromStream(ByteReader& r) override;
    // LoadFromStream in two steps, so that the frame's size can be checked
    // before its pixels are allocated: the extensions, the descriptor and
    // the local map (true when image data follows), then the image data.
    bool LoadDescriptor(ByteReader& r);
    void LoadPixels(ByteReader& r);
    void Decompress(ByteReader& r);
    void Compress(ByteWriter& w);

    // Copies another frame (pixels, map, descriptor, extensions).
    void Assign(const TGIFSubImage& source);
    // Converts a bitmap of any depth; mask pixels that are not 0 become transparent.
    void Assign(const Bitmap& source, const Bitmap* transparencyMask = nullptr);
    // Turns the pixels under the mask into one transparent index.
    void MakeTransparent(const Bitmap& mask);

    // The transparent indices of the frames that draw with the global map,
    // each once; a run of merges finds them once and keeps them up to date.
    struct SharedTransparency {
        std::vector<int> indices;
        void Collect(const TGIFImage& image);
    };
    // Makes pixels that repeat what previous shows transparent, taking a
    // transparent index the frame does not use when it has none (for the
    // global map, one another frame uses, from shared).
    void Merge(TGIFSubImage* previous, SharedTransparency& shared);
    // Removes transparent columns and rows from the edges; a frame of
    // transparent pixels only is left without pixels (Empty).
    void Crop();
    // Every pixel is the transparent index.
    bool AllTransparent() const;

    // The frame as an 8-bit bitmap with its palette (cached).
    const Bitmap& GetBitmap();
    bool HasBitmap() const { return bitmap_ != nullptr; }
    void FreeBitmap();
    // 1-bit mask, 1 where a pixel is transparent; null when nothing is.
    const Bitmap* Mask();
    bool HasMask() { return Mask() != nullptr; }
    std::vector<RGBQuad> Palette() const;

    // Maps rect (the logical screen's place) to this frame's place in it.
    TRect ScaleRect(const TRect& rect) const;
    void Draw(Bitmap& dest, const TRect& rect, bool transparent, bool tile);
    void StretchDraw(Bitmap& dest, const TRect& rect, bool transparent, bool tile);

private:
    friend class TGIFLocalColorMap;
    void RenderBitmap();
    // Indices past the active map would leave the frame unsaveable: the map
    // grows to hold them, in black as they are drawn, with a warning.
    void CoverIndices();
    void ImportRows(const Bitmap& bmp);

    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    uint8_t flags_ = 0;
    std::vector<uint8_t> data_;
    TGIFLocalColorMap colorMap_;
    TGIFExtensionList extensions_;
    std::unique_ptr<Bitmap> bitmap_;
    std::unique_ptr<Bitmap> mask_;
    bool maskOutdated_ = true;
};

} // namespace pc::gif
