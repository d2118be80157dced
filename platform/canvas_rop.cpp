// Blits with ternary raster operations: the source is first laid over the
// target's pixels (stretched, or mapped onto a parallelogram) into a staged
// copy, then mixed with the brush and the target by the operation's truth
// table.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/canvas.h"

namespace pc {

namespace {

// Whether the truth table depends on an input: it does when the halves it
// splits the table into differ.
bool UsesPattern(uint8_t rop) { return (rop >> 4 & 0x0F) != (rop & 0x0F); }
bool UsesSource(uint8_t rop) { return (rop >> 2 & 0x33) != (rop & 0x33); }

// Bit k of the table is the result for pattern (k & 4), source (k & 2) and
// target (k & 1); the result ORs the minterms whose bit is set. Colours are
// packed alike for all three, so the bits line up whatever the order.
uint32_t Rop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t r = 0;
    for (int k = 0; k < 8; ++k)
        if (rop >> k & 1)
            r |= (k & 4 ? p : ~p) & (k & 2 ? s : ~s) & (k & 1 ? d : ~d);
    return r;
}

uint32_t Packed(const uint8_t* bgr) { return uint32_t(bgr[0]) | uint32_t(bgr[1]) << 8 | uint32_t(bgr[2]) << 16; }
uint32_t Packed(TColor c) { return uint32_t(GetBValue(c)) | uint32_t(GetGValue(c)) << 8 | uint32_t(GetRValue(c)) << 16; }

Rect Normalised(Rect r)
{
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

Rect Intersect(Rect a, Rect b)
{
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (r.right <= r.left || r.bottom <= r.top)
        return Rect{};
    return r;
}

// Measured cost of a palette pixel unpacked, in work units.
constexpr int64_t kUnpackCost = 2;

// The part of a palette src that srcRect takes, at 24 bits, with srcRect
// moved onto it: palette pixels are looked up once each rather than once per
// target pixel they stretch over.
Bitmap DirectPart(const Bitmap& src, Rect& srcRect, int64_t& work)
{
    const Rect part = Intersect(Normalised(srcRect), Rect{0, 0, src.Width(), src.Height()});
    Bitmap out(part.Width(), part.Height(), PixelFormat::pf24bit);
    work += kUnpackCost * int64_t(part.Width()) * part.Height();
    const int bits = src.Bits(), perByte = 8 / bits, mask = (1 << bits) - 1;
    RGBQuad table[256] = {};
    std::copy_n(src.Palette().begin(), std::min<size_t>(src.Palette().size(), 256), table);
    for (int y = 0; y < part.Height(); ++y) {
        const uint8_t* in = src.ScanLine(part.top + y);
        uint8_t* row = out.ScanLine(y);
        for (int x = 0; x < part.Width(); ++x) {
            const int sx = part.left + x;
            const RGBQuad q = table[(in[sx / perByte] >> (8 - bits - (sx % perByte) * bits)) & mask];
            row[3 * x] = q.blue, row[3 * x + 1] = q.green, row[3 * x + 2] = q.red;
        }
    }
    srcRect = Rect{srcRect.left - part.left, srcRect.top - part.top, srcRect.right - part.left,
                   srcRect.bottom - part.top};
    return out;
}

// A brush pixel that leaves the target alone: no packed colour has it.
constexpr uint32_t kNoBrush = 0xFF000000;

// Measured cost per target pixel, in work units: staging a stretched source
// and mixing each pixel by the truth table.
constexpr int64_t kStageCost = 2, kMixCost = 4, kMapCost = 3;

} // namespace

void Canvas::RopBlt(Rect dst, const Bitmap* src, Rect srcRect, uint8_t rop, StretchMode mode)
{
    const Rect area = Intersect(Normalised(dst), clip_);
    if (area.Width() == 0 || (UsesSource(rop) && (!src || src->Empty())))
        return;
    const size_t n = size_t(area.Width()) * size_t(area.Height());
    CountedBytes cover(n, UsesSource(rop) ? 0 : 1);
    Bitmap staged;
    if (UsesSource(rop)) {
        int64_t work = 0;
        const Bitmap part = src->Bits() < 24 ? DirectPart(*src, srcRect, work) : Bitmap();
        Spend(work + kStageCost * int64_t(n) + 1);
        staged = Bitmap(area.Width(), area.Height(), PixelFormat::pf24bit);
        StretchBlt(staged, Rect{dst.left - area.left, dst.top - area.top, dst.right - area.left, dst.bottom - area.top},
                   src->Bits() < 24 ? part : *src, srcRect, mode, cover.data());
    }
    MixRop(area, UsesSource(rop) ? &staged : nullptr, cover, rop);
}

void Canvas::RopBlt(const std::array<PointF, 3>& c, const Bitmap* src, Rect srcRect, uint8_t rop)
{
    const PointF o = c[0], u{c[1].x - o.x, c[1].y - o.y}, v{c[2].x - o.x, c[2].y - o.y};
    const double det = u.x * v.y - u.y * v.x;
    if (!std::isfinite(det) || std::abs(det) < 1e-9 || (UsesSource(rop) && (!src || src->Empty())))
        return;
    double x0 = o.x, y0 = o.y, x1 = o.x, y1 = o.y;
    for (PointF p : {c[1], c[2], PointF{c[1].x + v.x, c[1].y + v.y}})
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    auto edge = [](double e) { return int(std::clamp(std::floor(e), -1e9, 1e9)); };
    const Rect area = Intersect(Rect{edge(x0), edge(y0), edge(x1) + 1, edge(y1) + 1}, clip_);
    if (area.Width() == 0)
        return;
    int64_t work = 0;
    const bool source = UsesSource(rop);
    const Bitmap part = source && src->Bits() < 24 ? DirectPart(*src, srcRect, work) : Bitmap();
    const Bitmap& from = source && src->Bits() >= 24 ? *src : part;
    const int bpp = from.Bits() / 8;
    const size_t n = size_t(area.Width()) * size_t(area.Height());
    Spend(work + kMapCost * int64_t(n) + 1);
    CountedBytes cover(n, 0);
    Bitmap staged = source ? Bitmap(area.Width(), area.Height(), PixelFormat::pf24bit) : Bitmap();
    // The pixel centre's place along the two sides, as fractions, gives the
    // source pixel; a mirrored source rectangle counts from its far edge.
    const Rect sn = Normalised(srcRect);
    const double sw = sn.Width(), sh = sn.Height();
    const bool flipX = srcRect.Width() < 0, flipY = srcRect.Height() < 0;
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* row = source ? staged.ScanLine(y - area.top) : nullptr;
        for (int x = area.left; x < area.right; ++x) {
            const double px = x + 0.5 - o.x, py = y + 0.5 - o.y;
            const double a = (px * v.y - py * v.x) / det, b = (u.x * py - u.y * px) / det;
            if (!(a >= 0 && a < 1 && b >= 0 && b < 1))
                continue;
            uint8_t& covered = cover[size_t(y - area.top) * area.Width() + (x - area.left)];
            if (!source) {
                covered = 1;
                continue;
            }
            const int ax = int(a * sw), by = int(b * sh);
            const int sx = flipX ? sn.right - 1 - ax : sn.left + ax, sy = flipY ? sn.bottom - 1 - by : sn.top + by;
            if (sx < 0 || sy < 0 || sx >= from.Width() || sy >= from.Height())
                continue;
            std::copy_n(from.ScanLine(sy) + int64_t(bpp) * sx, 3, row + 3 * (x - area.left));
            covered = 1;
        }
    }
    MixRop(area, source ? &staged : nullptr, cover, rop);
}

void Canvas::MixRop(Rect box, const Bitmap* staged, const CountedBytes& cover, uint8_t rop)
{
    const bool pattern = UsesPattern(rop);
    if (pattern && brush.style == BrushStyle::Clear && !brush.pattern)
        return;
    Spend(kMixCost * int64_t(box.Width()) * box.Height() + 1);
    // The brush repeats along a row every 8 pixels (hatches) or every tile
    // width: one period of it is worked out per row. Hatch gaps of a
    // transparent background leave the target as it is.
    const int period = brush.pattern && !brush.pattern->Empty() ? brush.pattern->Width() : 8;
    std::vector<uint32_t> brushRow(size_t(std::min(period, box.Width())));
    const int bpp = target_.Bits() / 8;
    for (int y = box.top; y < box.bottom; ++y) {
        if (pattern) {
            Spend(int64_t(brushRow.size()));
            for (size_t i = 0; i < brushRow.size(); ++i) {
                const TColor c = BrushAt(box.left + int(i), y, backgroundMode == BackgroundMode::Opaque);
                brushRow[i] = c == clInvalid ? kNoBrush : Packed(c);
            }
        }
        const uint8_t* covered = cover.data() + size_t(y - box.top) * box.Width();
        const uint8_t* in = staged ? staged->ScanLine(y - box.top) : nullptr;
        uint8_t* row = target_.ScanLine(y) + int64_t(box.left) * bpp;
        ForClipRuns(y, box.left, box.right, [&](int a, int b) {
            uint8_t* out = row + int64_t(a - box.left) * bpp;
            for (int x = a - box.left, i = x % period; x < b - box.left; ++x, out += bpp, i = i + 1 == period ? 0 : i + 1) {
                if (!covered[x])
                    continue;
                const uint32_t s = in ? Packed(in + 3 * x) : 0;
                const uint32_t p = pattern ? brushRow[size_t(i)] : 0;
                if (p == kNoBrush)
                    continue;
                const uint32_t r = rop == 0xCC ? s : Rop3(rop, p, s, Packed(out));
                out[0] = uint8_t(r), out[1] = uint8_t(r >> 8), out[2] = uint8_t(r >> 16);
            }
        });
    }
}

} // namespace pc
