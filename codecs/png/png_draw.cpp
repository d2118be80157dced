// Drawing a PNG picture onto a bitmap, by its transparency mode.
#include <algorithm>
#include <functional>
#include <vector>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_transparency_chunk.h"

namespace pc::png {

namespace {

void PutPixel(Bitmap& target, int x, int y, uint8_t b, uint8_t g, uint8_t r)
{
    uint8_t* p = target.ScanLine(y) + int64_t(x) * (target.Bits() / 8);
    p[0] = b;
    p[1] = g;
    p[2] = r;
}

// Nearest-neighbour stretch into the rectangle, clipped to the target; with
// a key, source pixels of alpha 0 leave the target as it was.
void Stretch(const Bitmap& picture, Bitmap& target, const Rect& r, const std::function<void(int, uint8_t*)>* alphaRow)
{
    int64_t dw = int64_t(r.Right) - r.Left, dh = int64_t(r.Bottom) - r.Top;
    if (dw <= 0 || dh <= 0)
        return;
    int x0 = std::max(r.Left, 0), x1 = int(std::min<int64_t>(r.Right, target.Width()));
    int y0 = std::max(r.Top, 0), y1 = int(std::min<int64_t>(r.Bottom, target.Height()));
    std::vector<uint8_t> alpha(alphaRow ? size_t(picture.Width()) : 0);
    int alphaOf = -1;
    for (int y = y0; y < y1; ++y) {
        int sy = int(int64_t(y - r.Top) * picture.Height() / dh);
        const uint8_t* src = picture.ScanLine(sy);
        if (alphaRow && sy != alphaOf) {
            (*alphaRow)(sy, alpha.data());
            alphaOf = sy;
        }
        for (int x = x0; x < x1; ++x) {
            int64_t sx = int64_t(x - r.Left) * picture.Width() / dw;
            if (alphaRow && alpha[size_t(sx)] == 0)
                continue;
            const uint8_t* s = src + 3 * sx;
            PutPixel(target, x, y, s[0], s[1], s[2]);
        }
    }
}

} // namespace

void TPNGObject::Draw(Bitmap& target, const Rect& rect) const
{
    if (!HeaderPresent())
        return;
    if (target.Bits() < 24)
        throw Error("Pictures can only be drawn onto 24- or 32-bit bitmaps.");
    const TChunkIHDR& h = Header();
    Bitmap picture = ToBitmap();
    picture.SetPixelFormat(PixelFormat::pf24bit);
    // Transparency comes from the stored samples and indices, never from
    // the colour they show.
    auto* trns = chunks_.FindChunk<TChunktRNS>();
    const std::function<void(int, uint8_t*)> alphaRow = [&](int y, uint8_t* out) { AlphaRow(trns, y, out); };

    switch (TransparencyMode()) {
    case TPNGTransparencyMode::ptmNone: Stretch(picture, target, rect, nullptr); return;
    case TPNGTransparencyMode::ptmBit: Stretch(picture, target, rect, &alphaRow); return;
    case TPNGTransparencyMode::ptmPartial: break;
    }

    // Per-pixel alpha: at the picture's own size at the rectangle's corner.
    int x0 = std::max(rect.Left, 0), y0 = std::max(rect.Top, 0);
    int x1 = int(std::min<int64_t>(int64_t(rect.Left) + h.Width, target.Width()));
    int y1 = int(std::min<int64_t>(int64_t(rect.Top) + h.Height, target.Height()));
    std::vector<uint8_t> alpha(h.Width);
    const int step = target.Bits() / 8;
    for (int y = y0; y < y1; ++y) {
        int sy = y - rect.Top;
        const uint8_t* src = picture.ScanLine(sy);
        alphaRow(sy, alpha.data());
        uint8_t* dst = target.ScanLine(y);
        for (int x = x0; x < x1; ++x) {
            int sx = x - rect.Left;
            int a = alpha[size_t(sx)];
            const uint8_t* s = src + 3 * sx;
            uint8_t* d = dst + int64_t(x) * step;
            for (int c = 0; c < 3; ++c)
                d[c] = uint8_t((s[c] * a + 255 + (255 - a) * d[c]) >> 8);
        }
    }
}

} // namespace pc::png
