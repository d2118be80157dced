// A frame as a bitmap: rendering to 8 bits with a transparency mask, and
// drawing onto another bitmap, clipped to it.
#include <algorithm>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_image.h"

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

void TGIFSubImage::RenderBitmap()
{
    auto bmp = std::make_unique<Bitmap>(0, 0, PixelFormat::pf8bit);
    std::vector<RGBQuad> pal = Palette();
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
    for (int y = 0; y < height_; ++y) {
        if (progress && y % 32 == 0)
            progress->Step(y * 100 / height_);
        std::copy_n(data_.data() + size_t(y) * size_t(width_), width_, bmp->ScanLine(y));
    }

    std::unique_ptr<Bitmap> mask;
    if (maskOutdated_ && Transparent()) {
        const int t = TransparentIndex();
        auto m = std::make_unique<Bitmap>(width_, height_, PixelFormat::pf1bit);
        m->Palette() = {RGBQuad{0, 0, 0, 0}, RGBQuad{255, 255, 255, 0}};
        bool any = false;
        for (int y = 0; y < height_; ++y) {
            const uint8_t* src = data_.data() + size_t(y) * size_t(width_);
            uint8_t* row = m->ScanLine(y);
            for (int x = 0; x < width_; ++x) {
                if (src[x] == t) {
                    row[x >> 3] |= uint8_t(0x80 >> (x & 7));
                    any = true;
                }
            }
        }
        if (any)
            mask = std::move(m);
        maskOutdated_ = false;
        mask_ = std::move(mask);
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
    int64_t sw = Image() && Image()->Width() > 0 ? Image()->Width() : std::max(1, left_ + width_);
    int64_t sh = Image() && Image()->Height() > 0 ? Image()->Height() : std::max(1, top_ + height_);
    auto mulDiv = [](int64_t a, int64_t b, int64_t c) { return int((a * b * 2 + (a * b >= 0 ? c : -c)) / (2 * c)); };
    return {rect.left + mulDiv(left_, rect.Width(), sw), rect.top + mulDiv(top_, rect.Height(), sh),
            rect.left + mulDiv(left_ + width_, rect.Width(), sw), rect.top + mulDiv(top_ + height_, rect.Height(), sh)};
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
    const int stepX = Image() && Image()->Width() > 0 ? Image()->Width() : width_;
    const int stepY = Image() && Image()->Height() > 0 ? Image()->Height() : height_;
    for (int ty = rect.top + top_; ty < rect.bottom; ty += stepY)
        for (int tx = rect.left + left_; tx < rect.right; tx += stepX)
            Blit(dest, TRect{tx, ty, tx + width_, ty + height_}, rect, bmp, mask);
}

} // namespace pc::gif
