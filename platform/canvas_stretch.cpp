#include "platform/canvas_stretch.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/errors.h"

namespace pc {

namespace {

// Source span [first, last) of each target pixel along one axis, clipped to
// [0, limit); empty spans mark pixels with no source. Only target pixels
// from..to-1 of the dstLen get a span: the table never grows past the part
// of the target that is drawn, however large the rectangle.
struct Span {
    int first, last;
};

// Counted like picture memory, so a table that outgrows the picture shows.
using SpanTable = std::vector<Span, detail::CountingAllocator<Span>>;

// Lengths reach 2^31: products in 64 bits.
SpanTable AxisSpans(int64_t dstLen, int64_t from, int64_t to, int64_t srcStart, int64_t srcLen, bool flip, int limit,
                    StretchMode mode)
{
    SpanTable spans(size_t(to - from));
    for (int64_t i = from; i < to; ++i) {
        const int64_t u = flip ? dstLen - 1 - i : i;
        int64_t a, b;
        if (mode == StretchMode::Halftone || (mode != StretchMode::ColorOnColor && srcLen > dstLen)) {
            a = u * srcLen / dstLen;
            b = ((u + 1) * srcLen + dstLen - 1) / dstLen;
            b = std::max(b, a + 1);
        } else {
            a = (2 * u + 1) * srcLen / (2 * dstLen);
            b = a + 1;
        }
        a = std::clamp<int64_t>(srcStart + a, 0, limit);
        b = std::clamp<int64_t>(srcStart + b, 0, limit);
        spans[size_t(i - from)] = {int(a), int(b)};
    }
    return spans;
}

} // namespace

void StretchBlt(Bitmap& dst, Rect dstRect, const Bitmap& src, Rect srcRect, StretchMode mode, uint8_t* written)
{
    if (dst.Bits() < 24)
        throw Error("StretchBlt needs a 24 or 32-bit target");
    // A width may be INT_MIN, whose magnitude is no int.
    const int64_t dw = std::abs(int64_t(dstRect.Width())), dh = std::abs(int64_t(dstRect.Height()));
    const int64_t sw = std::abs(int64_t(srcRect.Width())), sh = std::abs(int64_t(srcRect.Height()));
    if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || src.Empty() || dst.Empty())
        return;
    const bool flipX = (dstRect.Width() < 0) != (srcRect.Width() < 0);
    const bool flipY = (dstRect.Height() < 0) != (srcRect.Height() < 0);
    const int dx0 = std::min(dstRect.left, dstRect.right), dy0 = std::min(dstRect.top, dstRect.bottom);
    const int sx0 = std::min(srcRect.left, srcRect.right), sy0 = std::min(srcRect.top, srcRect.bottom);

    // Only the part of the target that lies inside dst is worked on.
    const int64_t cx0 = std::max<int64_t>(0, -int64_t(dx0)), cx1 = std::min<int64_t>(dw, int64_t(dst.Width()) - dx0);
    const int64_t cy0 = std::max<int64_t>(0, -int64_t(dy0)), cy1 = std::min<int64_t>(dh, int64_t(dst.Height()) - dy0);
    if (cx0 >= cx1 || cy0 >= cy1)
        return;
    const auto cols = AxisSpans(dw, cx0, cx1, sx0, sw, flipX, src.Width(), mode);
    const auto rows = AxisSpans(dh, cy0, cy1, sy0, sh, flipY, src.Height(), mode);

    const int dbpp = dst.Bits() / 8;
    const bool direct = src.Bits() >= 24;
    const int sbpp = src.Bits() / 8;
    for (int64_t y = cy0; y < cy1; ++y) {
        const Span rs = rows[size_t(y - cy0)];
        if (rs.first >= rs.last)
            continue;
        uint8_t* out = dst.ScanLine(int(dy0 + y));
        for (int64_t x = cx0; x < cx1; ++x) {
            const Span cs = cols[size_t(x - cx0)];
            if (cs.first >= cs.last)
                continue;
            uint8_t* p = out + int64_t(dx0 + x) * dbpp;
            if (written)
                written[(dy0 + y) * int64_t(dst.Width()) + dx0 + x] = 1;
            if (direct && cs.last - cs.first == 1 && rs.last - rs.first == 1) { // one source pixel: a copy
                std::copy_n(src.ScanLine(rs.first) + int64_t(cs.first) * sbpp, 3, p);
                continue;
            }
            uint64_t b = 0, g = 0, r = 0, n = 0;
            uint32_t all = mode == StretchMode::AndPixels ? 0xFFFFFF : 0;
            for (int sy = rs.first; sy < rs.last; ++sy) {
                const uint8_t* in = src.ScanLine(sy);
                for (int sx = cs.first; sx < cs.last; ++sx) {
                    TColor c;
                    if (direct) {
                        const uint8_t* q = in + int64_t(sx) * sbpp;
                        c = RGB(q[2], q[1], q[0]);
                    } else {
                        c = src.Pixel(sx, sy);
                    }
                    b += GetBValue(c), g += GetGValue(c), r += GetRValue(c);
                    all = mode == StretchMode::AndPixels ? all & c : all | c;
                    ++n;
                }
            }
            if (mode == StretchMode::AndPixels || mode == StretchMode::OrPixels) {
                p[0] = GetBValue(all), p[1] = GetGValue(all), p[2] = GetRValue(all);
                continue;
            }
            p[0] = uint8_t((b + n / 2) / n);
            p[1] = uint8_t((g + n / 2) / n);
            p[2] = uint8_t((r + n / 2) / n);
        }
    }
}

} // namespace pc
