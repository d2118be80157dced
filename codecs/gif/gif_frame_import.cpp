// Bitmaps of every depth into a frame's indices and local colour map, and
// transparency from a mask.
#include <algorithm>
#include <array>

#include "codecs/gif/color_reduction.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

namespace {

// The last 8 colours met and their indices: neighbouring pixels mostly repeat.
class ColorCache {
public:
    int Find(TColor c)
    {
        for (int n = 0, i = last_; n < 8; ++n, i = (i + 7) & 7) {
            if (!used_[size_t(i)])
                return -1;
            if (colors_[size_t(i)] == c) {
                last_ = i;
                return index_[size_t(i)];
            }
        }
        return -1;
    }
    void Store(TColor c, int index)
    {
        last_ = (last_ + 1) & 7;
        colors_[size_t(last_)] = c;
        index_[size_t(last_)] = index;
        used_[size_t(last_)] = true;
    }

private:
    std::array<TColor, 8> colors_{};
    std::array<int, 8> index_{};
    std::array<bool, 8> used_{};
    int last_ = 0;
};

} // namespace

void TGIFSubImage::ImportRows(const Bitmap& bmp)
{
    std::unique_ptr<ProgressScope> progress;
    if (Image())
        progress = std::make_unique<ProgressScope>(*Image(), msg::kConverting);
    const int bits = bmp.Bits();
    if (bits <= 8)
        colorMap_.ImportPalette(bmp.Palette());
    ColorCache cache;
    for (int y = 0; y < height_; ++y) {
        if (progress && y % 32 == 0)
            progress->Step(y * 100 / height_);
        uint8_t* dst = data_.data() + size_t(y) * size_t(width_);
        if (bits == 8) {
            std::copy_n(bmp.ScanLine(y), width_, dst);
        } else if (bits < 8) {
            for (int x = 0; x < width_; ++x)
                dst[x] = uint8_t(bmp.RawPixel(x, y));
        } else {
            const uint8_t* src = bmp.ScanLine(y);
            const int step = bits / 8;
            for (int x = 0; x < width_; ++x, src += step) {
                TColor c = RGB(src[2], src[1], src[0]);
                int index = cache.Find(c);
                if (index < 0) {
                    index = colorMap_.AddUnique(Color2RGB(c));
                    cache.Store(c, index);
                }
                dst[x] = uint8_t(index);
            }
        }
    }
}

void TGIFSubImage::Assign(const Bitmap& source, const Bitmap* transparencyMask)
{
    Clear();
    if (source.Empty())
        return;
    DoSetBounds(0, 0, source.Width(), source.Height());
    NewImage();
    if (source.Bits() <= 8) {
        ImportRows(source);
    } else {
        const TGIFImage* img = Image();
        ImportRows(ReduceColors(source, img ? img->ColorReduction() : GIFImageDefaultColorReduction,
                                img ? img->DitherMode() : GIFImageDefaultDitherMode,
                                img ? img->ReductionBits() : GIFImageDefaultColorReductionBits));
    }
    if (transparencyMask)
        MakeTransparent(*transparencyMask);
}

void TGIFSubImage::MakeTransparent(const Bitmap& mask)
{
    colorMap_.Optimize();
    const int count = colorMap_.Count();
    if (count == 0 || data_.empty())
        return;
    const int w = std::min(width_, mask.Width());
    const int h = std::min(height_, mask.Height());
    auto masked = [&](int x, int y) { return x < w && y < h && mask.RawPixel(x, y) != 0; };

    int t;
    bool added = false;
    if (count < 256) {
        t = colorMap_.Add(TGIFColor{0, 0, 0});
        added = true;
    } else {
        // A full map has no free slot, but a colour that only masked pixels
        // use can become the transparent one.
        std::array<bool, 256> usedOpaque{}, usedMasked{};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                (masked(x, y) ? usedMasked : usedOpaque)[data_[size_t(y) * size_t(width_) + size_t(x)]] = true;
        t = -1;
        for (int i = count - 1; i >= 0 && t < 0; --i)
            if (usedMasked[size_t(i)] && !usedOpaque[size_t(i)])
                t = i;
        if (t < 0) {
            bool anyMasked = std::find(usedMasked.begin(), usedMasked.end(), true) != usedMasked.end();
            if (anyMasked)
                Warning(TGIFSeverity::gsWarning, msg::kNoTransparentIndex);
            return;
        }
    }
    bool any = false;
    for (int y = 0; y < height_; ++y) {
        uint8_t* row = data_.data() + size_t(y) * size_t(width_);
        for (int x = 0; x < width_; ++x) {
            if (masked(x, y)) {
                row[x] = uint8_t(t);
                any = true;
            }
        }
    }
    if (!any) {
        if (added)
            colorMap_.Delete(t);
        return;
    }
    auto gce = std::make_unique<TGIFGraphicControlExtension>(this);
    auto* raw = gce.get();
    extensions_.Add(std::move(gce));
    raw->SetTransparentColorIndex(t);
    raw->SetTransparent(true);
    FreeBitmap();
}

} // namespace pc::gif
