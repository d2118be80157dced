#pragma once
// The logical screen: signature, version, screen descriptor and the global
// colour map; and the trailer byte that ends a file.
#include "codecs/gif/gif_color_map.h"
#include "codecs/gif/gif_item.h"

namespace pc::gif {

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFImage* image) : image_(image) {}
    bool Optimize() override;

protected:
    void Warning(TGIFSeverity severity, const std::string& message) const override;
    void BuildHistogram(Histogram& usage) const override;
    void MapImages(const Translation& map) override;
    void Changed() override;

private:
    TGIFImage* image_;
};

class TGIFHeader : public TGIFItem {
public:
    explicit TGIFHeader(TGIFImage* image) : TGIFItem(image), colorMap_(image) {}

    void Clear();
    void Assign(const TGIFHeader& other);
    void Prepare();

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetWidth(int w) { width_ = uint16_t(w); }
    void SetHeight(int h) { height_ = uint16_t(h); }
    uint8_t Flags() const { return flags_; }
    int BackgroundColorIndex() const { return background_; }
    // An index outside a non-empty map warns and stores 0.
    void SetBackgroundColorIndex(int index);
    TColor BackgroundColor() const;
    void SetBackgroundColor(TColor c);
    int AspectRatio() const { return aspect_; }
    void SetAspectRatio(int a) { aspect_ = uint8_t(a); }
    int BitsPerPixel() const { return colorMap_.BitsPerPixel(); }
    int ColorResolution() const { return colorMap_.BitsPerPixel() - 1; }

    TGIFGlobalColorMap& ColorMap() { return colorMap_; }
    const TGIFGlobalColorMap& ColorMap() const { return colorMap_; }

    void SaveToStream(ByteWriter& w) override;
    void LoadFromStream(ByteReader& r) override;

private:
    uint16_t width_ = 0, height_ = 0;
    uint8_t flags_ = 0, background_ = 0, aspect_ = 0;
    TGIFGlobalColorMap colorMap_;
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    void SaveToStream(ByteWriter& w) override { w.u8(0x3B); }
    // A byte other than 0x3B warns; a stream that simply ends is accepted.
    void LoadFromStream(ByteReader& r) override;
};

} // namespace pc::gif
