// A frame as a bitmap: rendering to 8 bits with a transparency mask, and
// drawing onto another bitmap, clipped to it.
#include <algorithm>
#include <cstdint>

#include "codecs/gif/color_lookup.h"
#include "codecs/gif/dither_floyd_steinberg.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"
#include "codecs/gif/web_palette.h"

namespace pc::gif {

std::vector<RGBQuad> TGIFSubImage::Palette() const
{
    if (colorMap_.Count() == 0 && Image())
        return Image()->GetPalette();
    return colorMap_.ExportPalette();
}

void TGIFSubImage::FreeBitmap()
{
    bitmap_.reset();
    mask_.reset();
    maskOutdated_ = true;
    if (Image())
        Image()->PaletteChanged();
}

namespace {

void SetMaskBit(Bitmap* mask, int x, int y)
{
    if (mask)
        mask->ScanLine(y)[x >> 3] |= uint8_t(0x80 >> (x & 7));
}

} // namespace

void TGIFSubImage::RenderBitmap()
{
    const bool dither = Image() && Image()->DoDither();
    auto bmp = std::make_unique<Bitmap>(0, 0, PixelFormat::pf8bit);
    std::vector<RGBQuad> pal = dither ? WebPalette() : Palette();
    // Damaged files may use indices past their map: those show as black.
    pal.resize(256);
    bmp->Palette() = pal;
    if (Empty()) {
        bitmap_ = std::move(bmp);
        return;
    }
    std::unique_ptr<ProgressScope> progress;
    if (Image())
        progress = std::make_unique<ProgressScope>(*Image(), msg::kRendering);
    bmp->SetSize(width_, height_);

    const int t = TransparentIndex();
    std::unique_ptr<Bitmap> mask;
    if (maskOutdated_ && t >= 0) {
        mask = std::make_unique<Bitmap>(width_, height_, PixelFormat::pf1bit);
        mask->Palette() = {RGBQuad{0, 0, 0, 0}, RGBQuad{255, 255, 255, 0}};
    }
    bool anyMasked = false;

    if (dither) {
        std::vector<RGBQuad> colors = ActiveColorMap().ExportPalette();
        colors.resize(256);
        TNetscapeColorLookup lookup;
        TFloydSteinbergDitherer engine(width_, lookup);
        uint8_t r, g, b, transparentIndex = 0;
        if (t >= 0)
            transparentIndex = lookup.Lookup(colors[size_t(t)].red, colors[size_t(t)].green, colors[size_t(t)].blue, r, g, b);
        for (int y = 0; y < height_; ++y) {
            if (progress && y % 32 == 0)
                progress->Step(y * 100 / height_);
            const uint8_t* src = data_.data() + size_t(y) * size_t(width_);
            uint8_t* out = bmp->ScanLine(y);
            while (engine.Column() >= 0 && engine.Column() < width_) {
                const int x = engine.Column();
                if (src[x] == t) {
                    // Transparent pixels are masked when drawn: they take no part in the error.
                    out[x] = transparentIndex;
                    SetMaskBit(mask.get(), x, y);
                    anyMasked = true;
                    engine.StepOver();
                } else {
                    const RGBQuad& c = colors[src[x]];
                    out[x] = engine.DitherPixel(c.red, c.green, c.blue, r, g, b);
                }
            }
            engine.NextLine();
        }
    } else {
        for (int y = 0; y < height_; ++y) {
            if (progress && y % 32 == 0)
                progress->Step(y * 100 / height_);
            const uint8_t* src = data_.data() + size_t(y) * size_t(width_);
            std::copy_n(src, width_, bmp->ScanLine(y));
            if (t < 0)
                continue;
            for (int x = 0; x < width_; ++x) {
                if (src[x] == t) {
                    SetMaskBit(mask.get(), x, y);
                    anyMasked = true;
                }
            }
        }
    }
    if (mask) {
        mask_ = anyMasked ? std::move(mask) : nullptr;
        maskOutdated_ = false;
    }
    bitmap_ = std::move(bmp);
}

const Bitmap& TGIFSubImage::GetBitmap()
{
    if (!bitmap_)
        RenderBitmap();
    return *bitmap_;
}

const Bitmap* TGIFSubImage::Mask()
{
    if (maskOutdated_ && Transparent()) {
        bitmap_.reset();
        RenderBitmap();
    }
    return mask_.get();
}

TRect TGIFSubImage::ScaleRect(const TRect& rect) const
{
    // A zero logical screen means the frame alone fills the rectangle.
    const int64_t sw = Image() && Image()->Width() > 0 ? Image()->Width() : std::max(1, left_ + width_);
    const int64_t sh = Image() && Image()->Height() > 0 ? Image()->Height() : std::max(1, top_ + height_);
    // a * b / c rounded to nearest, kept inside int.
    auto at = [](int64_t origin, int64_t a, int64_t b, int64_t c) {
        int64_t p = a * b;
        int64_t v = origin + (p >= 0 ? (2 * p + c) / (2 * c) : (2 * p - c) / (2 * c));
        return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {at(rect.left, left_, rect.Width(), sw), at(rect.top, top_, rect.Height(), sh),
            at(rect.left, left_ + width_, rect.Width(), sw), at(rect.top, top_ + height_, rect.Height(), sh)};
}

void TGIFSubImage::Draw(Bitmap& dest, const TRect& rect, bool transparent, bool tile)
{
    StretchDraw(dest, tile ? rect : ScaleRect(rect), transparent, tile);
}

namespace {

// Stretches src (nearest pixel) into dst rectangle r, clipped to clip and to
// the destination; pixels with a mask bit set are left alone.
void Blit(Bitmap& dest, const TRect& r, const TRect& clip, const Bitmap& src, const Bitmap* mask)
{
    if (r.Width() <= 0 || r.Height() <= 0 || src.Empty())
        return;
    const int x0 = std::max({r.left, clip.left, 0});
    const int y0 = std::max({r.top, clip.top, 0});
    const int x1 = std::min({r.right, clip.right, dest.Width()});
    const int y1 = std::min({r.bottom, clip.bottom, dest.Height()});
    const std::vector<RGBQuad>& pal = src.Palette();
    for (int y = y0; y < y1; ++y) {
        int sy = int(int64_t(y - r.top) * src.Height() / r.Height());
        const uint8_t* srow = src.ScanLine(sy);
        const uint8_t* mrow = mask ? mask->ScanLine(sy) : nullptr;
        for (int x = x0; x < x1; ++x) {
            int sx = int(int64_t(x - r.left) * src.Width() / r.Width());
            if (mrow && (mrow[sx >> 3] & (0x80 >> (sx & 7))))
                continue;
            dest.SetPixel(x, y, FromQuad(pal[srow[sx]]));
        }
    }
}

} // namespace

void TGIFSubImage::StretchDraw(Bitmap& dest, const TRect& rect, bool transparent, bool tile)
{
    if (Empty())
        return;
    const Bitmap& bmp = GetBitmap();
    const Bitmap* mask = transparent && Transparent() ? Mask() : nullptr;
    if (!tile) {
        Blit(dest, rect, rect, bmp, mask);
        return;
    }
    const int64_t stepX = Image() && Image()->Width() > 0 ? Image()->Width() : width_;
    const int64_t stepY = Image() && Image()->Height() > 0 ? Image()->Height() : height_;
    // Only tiles that can touch the destination: a huge rectangle must not
    // mean a huge loop.
    auto first = [](int64_t start, int64_t size, int64_t step) {
        return start + size > 0 ? start : start + ((-start - size) / step + 1) * step;
    };
    const int64_t right = std::min<int64_t>(rect.right, dest.Width());
    const int64_t bottom = std::min<int64_t>(rect.bottom, dest.Height());
    for (int64_t ty = first(int64_t(rect.top) + top_, height_, stepY); ty < bottom; ty += stepY)
        for (int64_t tx = first(int64_t(rect.left) + left_, width_, stepX); tx < right; tx += stepX)
            Blit(dest, TRect{int(tx), int(ty), int(tx + width_), int(ty + height_)}, rect, bmp, mask);
}

} // namespace pc::gif
