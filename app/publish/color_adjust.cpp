#include "app/publish/color_adjust.h"

#include "platform/errors.h"
#include "platform/jpeg_file.h"

namespace pc {

namespace {

// Rounded division by 255, so that full alpha keeps the colour exactly.
inline uint8_t Mix(int src, int dst, int a)
{
    return uint8_t((src * a + dst * (255 - a) + 127) / 255);
}

int LastEntry(const std::vector<RGBQuad>& pal, TColor c)
{
    for (int i = int(pal.size()) - 1; i >= 0; --i)
        if (FromQuad(pal[size_t(i)]) == c)
            return i;
    return -1;
}

} // namespace

Bitmap CompositeOverColour(const Bitmap& src, TColor bg)
{
    if (src.Format() != PixelFormat::pf32bit)
        throw Error("A picture with alpha is needed");
    Bitmap out(src.Width(), src.Height(), PixelFormat::pf24bit);
    const int bgc[3] = {GetBValue(bg), GetGValue(bg), GetRValue(bg)};
    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* s = src.ScanLine(y);
        uint8_t* d = out.ScanLine(y);
        for (int x = 0; x < src.Width(); ++x, s += 4, d += 3)
            for (int c = 0; c < 3; ++c)
                d[c] = Mix(s[c], bgc[c], s[3]);
    }
    return out;
}

Bitmap ConvertTo8Bit(const Bitmap& src, TColor bg, int threshold)
{
    if (src.Format() != PixelFormat::pf32bit) {
        Bitmap out = QuantizeThroughJpeg(src, 256);
        out.Palette().resize(256);
        return out;
    }
    // Two entries stay free for black and near-black, so no pixel's colour is
    // overwritten by the reservation.
    Bitmap out = QuantizeThroughJpeg(CompositeOverColour(src, bg), 254);
    ReserveTransparency(out, src, threshold);
    return out;
}

void ReserveTransparency(Bitmap& out, const Bitmap& src, int threshold)
{
    auto& pal = out.Palette();
    int n = int(pal.size());
    int black = LastEntry(pal, kTransparentEntry);
    int nearBlack = LastEntry(pal, kNearBlackEntry);
    pal.resize(256);
    if (black < 0) {
        if (n < 256) // a free entry
            black = n++;
        else
            black = nearBlack == 255 ? 254 : 255;
        pal[size_t(black)] = ToQuad(kTransparentEntry);
    }
    if (nearBlack < 0) {
        if (n < 256) // a free entry
            nearBlack = n++;
        else
            nearBlack = black == 254 ? 255 : 254;
        pal[size_t(nearBlack)] = ToQuad(kNearBlackEntry);
    }
    for (int i = n; i < 256; ++i)
        if (i != black && i != nearBlack)
            pal[size_t(i)] = RGBQuad{0, 0, uint8_t(i + 1 - n), 0};

    for (int y = 0; y < src.Height(); ++y) {
        const uint8_t* s = src.ScanLine(y);
        uint8_t* d = out.ScanLine(y);
        for (int x = 0; x < src.Width(); ++x) {
            if (s[x * 4 + 3] < threshold)
                d[x] = uint8_t(black);
            else if (d[x] == black)
                d[x] = uint8_t(nearBlack);
        }
    }
}

int TransparentIndex(const Bitmap& bmp8)
{
    return LastEntry(bmp8.Palette(), kTransparentEntry);
}

Bitmap PreviewOver(const Bitmap& tileIn, const Bitmap& pic, int w, int h, bool transparent)
{
    Bitmap tile = tileIn;
    tile.SetPixelFormat(PixelFormat::pf24bit);
    Bitmap out(w, h, PixelFormat::pf24bit);
    if (!tile.Empty())
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out.SetPixel(x, y, tile.Pixel(x % tile.Width(), y % tile.Height()));
    const int ox = (w - pic.Width()) / 2, oy = (h - pic.Height()) / 2;
    const int key = transparent && pic.Bits() == 8 ? TransparentIndex(pic) : -1;
    for (int y = 0; y < pic.Height(); ++y) {
        int dy = oy + y;
        if (dy < 0 || dy >= h)
            continue;
        for (int x = 0; x < pic.Width(); ++x) {
            int dx = ox + x;
            if (dx < 0 || dx >= w)
                continue;
            if (pic.Format() == PixelFormat::pf32bit) {
                const uint8_t* s = pic.ScanLine(y) + x * 4;
                uint8_t* d = out.ScanLine(dy) + dx * 3;
                for (int c = 0; c < 3; ++c)
                    d[c] = Mix(s[c], d[c], s[3]);
            } else if (key < 0 || int(pic.RawPixel(x, y)) != key) {
                out.SetPixel(dx, dy, pic.Pixel(x, y));
            }
        }
    }
    return out;
}

} // namespace pc
