// Enhanced metafile records.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "platform/byte_reader.h"
#include "scene/pictures/metafile_limits.h"
#include "scene/pictures/metafile_records.h"

namespace pc::metafile {

namespace {

enum : uint32_t {
    EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4, EMR_POLYBEZIERTO = 5,
    EMR_POLYLINETO = 6, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8, EMR_SETWINDOWEXTEX = 9,
    EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11, EMR_SETVIEWPORTORGEX = 12, EMR_EOF = 14,
    EMR_SETPIXELV = 15, EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20,
    EMR_SETSTRETCHBLTMODE = 21, EMR_SETTEXTALIGN = 22, EMR_SETTEXTCOLOR = 24, EMR_SETBKCOLOR = 25, EMR_MOVETOEX = 27, EMR_SETMITERLIMIT = 58,
    EMR_INTERSECTCLIPRECT = 30, EMR_SAVEDC = 33, EMR_RESTOREDC = 34, EMR_SETWORLDTRANSFORM = 35,
    EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39,
    EMR_DELETEOBJECT = 40, EMR_ANGLEARC = 41, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44, EMR_ARC = 45,
    EMR_CHORD = 46, EMR_PIE = 47, EMR_LINETO = 54, EMR_ARCTO = 55, EMR_SETARCDIRECTION = 57,
    EMR_BEGINPATH = 59, EMR_ENDPATH = 60, EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63,
    EMR_STROKEPATH = 64, EMR_SELECTCLIPPATH = 67, EMR_ABORTPATH = 68, EMR_EXTSELECTCLIPRGN = 75, EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_STRETCHDIBITS = 81,
    EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTA = 83, EMR_EXTTEXTOUTW = 84, EMR_POLYBEZIER16 = 85,
    EMR_POLYGON16 = 86, EMR_POLYLINE16 = 87, EMR_POLYBEZIERTO16 = 88, EMR_POLYLINETO16 = 89,
    EMR_POLYPOLYLINE16 = 90, EMR_POLYPOLYGON16 = 91, EMR_CREATEMONOBRUSH = 93,
    EMR_CREATEDIBPATTERNBRUSHPT = 94, EMR_EXTCREATEPEN = 95,
};

constexpr uint32_t kEmfSignature = 0x464D4520; // " EMF"

std::vector<DPoint> ReadPoints(ByteReader& r, uint32_t count, bool small)
{
    detail::CheckFigurePoints(count);
    if (uint64_t(count) * (small ? 4 : 8) > r.remaining())
        throw Truncated();
    std::vector<DPoint> pts(count);
    for (auto& p : pts) {
        if (small) {
            p.x = r.i16le();
            p.y = r.i16le();
        } else {
            p.x = r.i32le();
            p.y = r.i32le();
        }
    }
    return pts;
}

std::vector<std::vector<DPoint>> ReadPolyPoly(ByteReader& r, bool small)
{
    r.skip(16);
    const uint32_t n = r.u32le(), total = r.u32le();
    if (uint64_t(n) * 4 > r.remaining())
        throw Truncated();
    std::vector<uint32_t> counts(n);
    uint64_t sum = 0;
    for (auto& c : counts)
        sum += c = r.u32le();
    if (sum != total)
        throw BadInput("invalid EMF poly-polygon");
    detail::CheckFigurePoints(total);
    if (uint64_t(total) * (small ? 4 : 8) > r.remaining())
        throw Truncated();
    std::vector<std::vector<DPoint>> polys;
    polys.reserve(n);
    for (uint32_t c : counts)
        polys.push_back(ReadPoints(r, c, small));
    return polys;
}

XForm ReadXForm(ByteReader& r)
{
    XForm x;
    x.m11 = r.f32le();
    x.m12 = r.f32le();
    x.m21 = r.f32le();
    x.m22 = r.f32le();
    x.dx = r.f32le();
    x.dy = r.f32le();
    for (double v : {x.m11, x.m12, x.m21, x.m22, x.dx, x.dy})
        if (!std::isfinite(v))
            throw BadInput("invalid EMF transform");
    return x;
}

// A bitmap stored inside the record at the given offsets (from the record start).
std::optional<Bitmap> RecordDib(Device& dev, std::span<const uint8_t> rec, uint32_t offBmi, uint32_t cbBmi,
                                uint32_t offBits, uint32_t cbBits, const PictureLimits& limits)
{
    if (cbBmi == 0)
        return std::nullopt;
    ByteReader r(rec);
    r.seek(offBmi);
    auto bmi = r.take(cbBmi);
    r.seek(offBits);
    auto bits = r.take(cbBits);
    return dev.ReadPicture(bmi, bits, limits);
}

// A blit's source rectangle from 32-bit fields, worked out in 64 bits; one
// whose corners leave int is refused.
Rect SourceRect(int64_t left, int64_t top, int64_t width, int64_t height)
{
    const int64_t corners[4] = {left, top, left + width, top + height};
    for (int64_t c : corners)
        if (c < INT32_MIN || c > INT32_MAX)
            throw BadInput("invalid metafile record");
    return Rect{int(corners[0]), int(corners[1]), int(corners[2]), int(corners[3])};
}

void PlayText(ByteReader& p, std::span<const uint8_t> rec, bool wide, Device& dev)
{
    p.skip(16 + 12); // bounds, graphics mode, scales
    DPoint at;
    at.x = p.i32le();
    at.y = p.i32le();
    const uint32_t chars = p.u32le(), offString = p.u32le(), options = p.u32le();
    std::array<double, 4> rc;
    for (double& v : rc)
        v = p.i32le();
    const uint32_t offDx = p.u32le();
    ByteReader s(rec);
    s.seek(offString);
    auto bytes = s.take(size_t(chars) * (wide ? 2 : 1));
    // Advances, with a vertical one after each under ETO_PDY; ones that do
    // not fit the record are left out, as if there were none.
    std::vector<double> dx;
    const int step = options & 0x2000 ? 2 : 1;
    if (offDx != 0 && uint64_t(offDx) + uint64_t(chars) * 4 * step <= rec.size()) {
        ByteReader d(rec);
        d.seek(offDx);
        auto raw = d.take(size_t(chars) * 4 * step);
        ByteReader v(raw);
        for (uint32_t i = 0; i < chars; ++i) {
            dx.push_back(v.i32le());
            if (step == 2)
                v.i32le();
        }
    }
    const auto opaque = options & 2 ? std::optional(rc) : std::nullopt; // ETO_OPAQUE
    if (!wide) {
        dev.TextOutA(at, bytes, dx, opaque);
        return;
    }
    std::u16string text;
    for (uint32_t i = 0; i < chars; ++i)
        text.push_back(char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8));
    dev.TextOut(at, text, dx, opaque);
}

} // namespace

EmfHeader ReadEmfHeader(std::span<const uint8_t> data)
{
    ByteReader r(data);
    EmfHeader h{};
    if (r.u32le() != EMR_HEADER)
        throw BadInput("not an enhanced metafile");
    const uint32_t size = r.u32le();
    for (auto& v : h.bounds)
        v = r.i32le();
    for (auto& v : h.frame)
        v = r.i32le();
    if (r.u32le() != kEmfSignature)
        throw BadInput("not an enhanced metafile");
    r.skip(12); // version, bytes, records
    h.handles = r.u16le();
    r.skip(14); // reserved, description, palette entries
    h.device[0] = r.i32le();
    h.device[1] = r.i32le();
    h.millimeters[0] = r.i32le();
    h.millimeters[1] = r.i32le();
    if (size < 88 || size > data.size())
        throw BadInput("invalid metafile header");
    return h;
}

void PlayEmfRecords(std::span<const uint8_t> data, const EmfHeader& header, Device& dev, const PictureLimits& limits)
{
    dev.SetTableSize(header.handles);
    ByteReader r(data);
    // Only the end record ends the records: running out of data before it
    // is a cut-off file.
    while (true) {
        const size_t start = r.pos();
        const uint32_t type = r.u32le(), size = r.u32le();
        if (size < 8)
            throw BadInput("invalid metafile record");
        r.seek(start);
        const auto rec = r.take(size);
        dev.Spend(1);
        ByteReader p(rec);
        p.skip(8);
        switch (type) {
        case EMR_EOF: return;
        case EMR_POLYGON:
        case EMR_POLYGON16: {
            p.skip(16);
            const uint32_t n = p.u32le();
            dev.Polygon(OneFigure(ReadPoints(p, n, type == EMR_POLYGON16)));
            break;
        }
        case EMR_POLYLINE:
        case EMR_POLYLINE16:
        case EMR_POLYLINETO:
        case EMR_POLYLINETO16: {
            p.skip(16);
            const uint32_t n = p.u32le();
            auto pts = ReadPoints(p, n, type == EMR_POLYLINE16 || type == EMR_POLYLINETO16);
            if (type == EMR_POLYLINETO || type == EMR_POLYLINETO16)
                dev.PolylineTo(pts);
            else
                dev.Polyline(pts);
            break;
        }
        case EMR_POLYBEZIER:
        case EMR_POLYBEZIER16:
        case EMR_POLYBEZIERTO:
        case EMR_POLYBEZIERTO16: {
            p.skip(16);
            const uint32_t n = p.u32le();
            auto pts = ReadPoints(p, n, type == EMR_POLYBEZIER16 || type == EMR_POLYBEZIERTO16);
            if (type == EMR_POLYBEZIERTO || type == EMR_POLYBEZIERTO16)
                dev.PolyBezierTo(pts);
            else if (!pts.empty())
                dev.Polyline(dev.FlattenBeziers(pts[0], std::span(pts).subspan(1)));
            break;
        }
        case EMR_POLYPOLYLINE:
        case EMR_POLYPOLYLINE16:
            for (const auto& poly : ReadPolyPoly(p, type == EMR_POLYPOLYLINE16))
                dev.Polyline(poly);
            break;
        case EMR_POLYPOLYGON:
        case EMR_POLYPOLYGON16: dev.Polygon(ReadPolyPoly(p, type == EMR_POLYPOLYGON16)); break;
        case EMR_SETWINDOWEXTEX: { int32_t x = p.i32le(), y = p.i32le(); dev.SetWindowExt(x, y); break; }
        case EMR_SETWINDOWORGEX: { int32_t x = p.i32le(), y = p.i32le(); dev.SetWindowOrg(x, y); break; }
        case EMR_SETVIEWPORTEXTEX: { int32_t x = p.i32le(), y = p.i32le(); dev.SetViewportExt(x, y); break; }
        case EMR_SETVIEWPORTORGEX: { int32_t x = p.i32le(), y = p.i32le(); dev.SetViewportOrg(x, y); break; }
        case EMR_SETMAPMODE: dev.SetMapMode(int(p.u32le())); break;
        case EMR_SETBKMODE: dev.SetBkMode(int(p.u32le())); break;
        case EMR_SETPOLYFILLMODE: dev.SetPolyFillMode(int(p.u32le())); break;
        case EMR_SETROP2: dev.SetRop2(int(p.u32le())); break;
        case EMR_SETSTRETCHBLTMODE: dev.SetStretchBltMode(int(p.u32le())); break;
        case EMR_SETPIXELV: {
            const int32_t x = p.i32le(), y = p.i32le();
            dev.SetPixelV(x, y, p.u32le() & 0xFFFFFF);
            break;
        }
        case EMR_SETTEXTALIGN: dev.SetTextAlign(p.u32le()); break;
        case EMR_SETTEXTCOLOR: dev.SetTextColor(p.u32le() & 0xFFFFFF); break;
        case EMR_SETBKCOLOR: dev.SetBkColor(p.u32le() & 0xFFFFFF); break;
        case EMR_MOVETOEX: { int32_t x = p.i32le(), y = p.i32le(); dev.MoveTo(x, y); break; }
        case EMR_LINETO: { int32_t x = p.i32le(), y = p.i32le(); dev.LineTo(x, y); break; }
        case EMR_INTERSECTCLIPRECT: {
            int32_t l = p.i32le(), t = p.i32le(), rr = p.i32le(), b = p.i32le();
            dev.IntersectClipRect(l, t, rr, b);
            break;
        }
        case EMR_EXTSELECTCLIPRGN: {
            const uint32_t size = p.u32le(), mode = p.u32le();
            if (size == 0) {
                if (mode == 5) // RGN_COPY of no region: back to no clipping
                    dev.ResetClip();
                break;
            }
            ByteReader d(p.take(size));
            d.skip(8); // header size, type
            const uint32_t count = d.u32le();
            d.skip(4 + 16); // size, bounds
            if (uint64_t(count) * 16 > d.remaining())
                throw Truncated();
            std::vector<Rect> rects(count);
            for (Rect& rc : rects) {
                rc.left = d.i32le();
                rc.top = d.i32le();
                rc.right = d.i32le();
                rc.bottom = d.i32le();
            }
            dev.SelectClipRects(rects, int(mode));
            break;
        }
        case EMR_SELECTCLIPPATH: dev.SelectClipPath(int(p.u32le())); break;
        case EMR_BEGINPATH: dev.BeginPath(); break;
        case EMR_ENDPATH: dev.EndPath(); break;
        case EMR_CLOSEFIGURE: dev.CloseFigure(); break;
        case EMR_FILLPATH: dev.FillPath(); break;
        case EMR_STROKEANDFILLPATH: dev.StrokeAndFillPath(); break;
        case EMR_STROKEPATH: dev.StrokePath(); break;
        case EMR_ABORTPATH: dev.AbortPath(); break;
        case EMR_SETMITERLIMIT:
            // A float, as Windows writes it; an integer (as some writers
            // store it) reads as a tiny float, which GDI refuses.
            dev.SetMiterLimit(std::bit_cast<float>(p.u32le()));
            break;
        case EMR_SAVEDC: dev.SaveDC(); break;
        case EMR_RESTOREDC: dev.RestoreDC(p.i32le()); break;
        case EMR_SETWORLDTRANSFORM: dev.SetWorldTransform(ReadXForm(p)); break;
        case EMR_MODIFYWORLDTRANSFORM: {
            XForm x = ReadXForm(p);
            dev.ModifyWorldTransform(x, int(p.u32le()));
            break;
        }
        case EMR_SELECTOBJECT: {
            const uint32_t ih = p.u32le();
            if (ih & 0x80000000u)
                dev.SelectStockObject(ih & 0x7FFFFFFF);
            else
                dev.SelectObject(ih);
            break;
        }
        case EMR_DELETEOBJECT: dev.DeleteObject(p.u32le()); break;
        case EMR_CREATEPEN: {
            const uint32_t ih = p.u32le(), style = p.u32le();
            const int32_t width = p.i32le();
            p.i32le();
            const TColor color = p.u32le() & 0xFFFFFF;
            dev.CreateObject(ih, OldStylePen(style, width, color));
            break;
        }
        case EMR_EXTCREATEPEN: {
            const uint32_t ih = p.u32le();
            p.skip(16); // pattern bitmap
            const uint32_t style = p.u32le(), width = p.u32le(), brushStyle = p.u32le();
            const TColor color = p.u32le() & 0xFFFFFF;
            p.u32le(); // hatch
            std::vector<double> userStyle;
            if (p.remaining() >= 4) {
                const uint32_t n = p.u32le();
                if (uint64_t(n) * 4 > p.remaining())
                    throw Truncated();
                for (uint32_t i = 0; i < n; ++i)
                    userStyle.push_back(p.u32le());
            }
            dev.CreateObject(ih, ExtendedPen(style, std::min(width, 1u << 20), brushStyle, color, std::move(userStyle)));
            break;
        }
        case EMR_CREATEBRUSHINDIRECT: {
            const uint32_t ih = p.u32le(), style = p.u32le();
            const TColor color = p.u32le() & 0xFFFFFF;
            dev.CreateObject(ih, BrushOf(style, color, p.u32le()));
            break;
        }
        case EMR_CREATEMONOBRUSH:
        case EMR_CREATEDIBPATTERNBRUSHPT: {
            const uint32_t ih = p.u32le();
            p.u32le();
            const uint32_t offBmi = p.u32le(), cbBmi = p.u32le(), offBits = p.u32le(), cbBits = p.u32le();
            auto pattern = RecordDib(dev, rec, offBmi, cbBmi, offBits, cbBits, limits);
            if (pattern)
                dev.CreateObject(ih, dev.PatternBrush(std::move(*pattern), type == EMR_CREATEMONOBRUSH));
            break;
        }
        case EMR_EXTCREATEFONTINDIRECTW: {
            const uint32_t ih = p.u32le();
            LogFont f;
            f.height = p.i32le();
            f.width = p.i32le();
            f.escapement = p.i32le();
            p.i32le();
            f.weight = p.i32le();
            f.italic = p.u8();
            f.underline = p.u8();
            f.strikeOut = p.u8();
            f.charSet = p.u8();
            p.skip(4);
            std::u16string face;
            for (int i = 0; i < 32 && p.remaining() >= 2; ++i) {
                char16_t c = p.u16le();
                if (!c)
                    break;
                face.push_back(c);
            }
            f.face.clear();
            for (char16_t c : face) // font names are ASCII in practice
                f.face.push_back(c < 128 ? char(c) : '?');
            dev.CreateObject(ih, f);
            break;
        }
        case EMR_ELLIPSE:
        case EMR_RECTANGLE:
        case EMR_ROUNDRECT: {
            const int32_t l = p.i32le(), t = p.i32le(), rr = p.i32le(), b = p.i32le();
            if (type == EMR_ELLIPSE)
                dev.Ellipse(l, t, rr, b);
            else if (type == EMR_RECTANGLE)
                dev.Rectangle(l, t, rr, b);
            else {
                const int32_t w = p.i32le(), h = p.i32le();
                dev.RoundRect(l, t, rr, b, w, h);
            }
            break;
        }
        case EMR_ARC:
        case EMR_ARCTO:
        case EMR_CHORD:
        case EMR_PIE: {
            int32_t v[8];
            for (int32_t& x : v)
                x = p.i32le();
            const auto kind = type == EMR_ARC     ? Device::ArcKind::Arc
                              : type == EMR_ARCTO ? Device::ArcKind::ArcTo
                              : type == EMR_CHORD ? Device::ArcKind::Chord
                                                  : Device::ArcKind::Pie;
            dev.Arc(kind, v[0], v[1], v[2], v[3], {double(v[4]), double(v[5])}, {double(v[6]), double(v[7])});
            break;
        }
        case EMR_ANGLEARC: {
            const int32_t x = p.i32le(), y = p.i32le();
            const uint32_t radius = p.u32le();
            const float start = p.f32le(), sweep = p.f32le();
            dev.AngleArc({double(x), double(y)}, radius, start, sweep);
            break;
        }
        case EMR_SETARCDIRECTION: dev.SetArcDirection(int(p.u32le())); break;
        case EMR_EXTTEXTOUTA:
        case EMR_EXTTEXTOUTW: PlayText(p, rec, type == EMR_EXTTEXTOUTW, dev); break;
        case EMR_BITBLT:
        case EMR_STRETCHBLT: {
            p.skip(16);
            const int32_t x = p.i32le(), y = p.i32le(), cx = p.i32le(), cy = p.i32le();
            const uint32_t rop = p.u32le();
            const int32_t xs = p.i32le(), ys = p.i32le();
            p.skip(24 + 4 + 4); // source transform, background colour, usage
            const uint32_t offBmi = p.u32le(), cbBmi = p.u32le(), offBits = p.u32le(), cbBits = p.u32le();
            int32_t cxs = cx, cys = cy;
            if (type == EMR_STRETCHBLT) {
                cxs = p.i32le();
                cys = p.i32le();
            }
            auto pic = RecordDib(dev, rec, offBmi, cbBmi, offBits, cbBits, limits);
            dev.StretchBlt(x, y, cx, cy, pic ? &*pic : nullptr, pic ? SourceRect(xs, ys, cxs, cys) : Rect{}, rop);
            break;
        }
        case EMR_STRETCHDIBITS: {
            p.skip(16);
            const int32_t x = p.i32le(), y = p.i32le(), xs = p.i32le(), ys = p.i32le(), cxs = p.i32le(), cys = p.i32le();
            const uint32_t offBmi = p.u32le(), cbBmi = p.u32le(), offBits = p.u32le(), cbBits = p.u32le();
            p.u32le();
            const uint32_t rop = p.u32le();
            const int32_t cx = p.i32le(), cy = p.i32le();
            auto pic = RecordDib(dev, rec, offBmi, cbBmi, offBits, cbBits, limits);
            if (pic) {
                // Source rows count from the bottom of a bottom-up DIB; our
                // bitmap counts from the top.
                const int64_t top = int64_t(pic->Height()) - ys - cys;
                dev.StretchBlt(x, y, cx, cy, &*pic, SourceRect(xs, top, cxs, cys), rop);
            }
            break;
        }
        default: break; // records that do not draw are passed over
        }
    }
}

} // namespace pc::metafile
