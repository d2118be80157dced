// Windows metafile records (16-bit coordinates, parameters mostly in
// reverse order).
#include "platform/byte_reader.h"
#include "scene/pictures/metafile_limits.h"
#include "scene/pictures/metafile_records.h"

namespace pc::metafile {

namespace {

enum : uint16_t {
    META_EOF = 0x0000, META_SAVEDC = 0x001E, META_CREATEPALETTE = 0x00F7, META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103, META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106, META_SETSTRETCHBLTMODE = 0x0107,
    META_RESTOREDC = 0x0127, META_SETPIXEL = 0x041F, META_BITBLT = 0x0922, META_STRETCHBLT = 0x0B23,
    META_SELECTCLIPREGION = 0x012C, META_SELECTOBJECT = 0x012D, META_SETTEXTALIGN = 0x012E,
    META_DIBCREATEPATTERNBRUSH = 0x0142, META_DELETEOBJECT = 0x01F0, META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B, META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D, META_SETVIEWPORTEXT = 0x020E, META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB, META_CREATEBRUSHINDIRECT = 0x02FC, META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325, META_LINETO = 0x0213, META_MOVETO = 0x0214, META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B, META_PATBLT = 0x061D, META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538, META_ROUNDRECT = 0x061C, META_CREATEREGION = 0x06FF, META_DIBBITBLT = 0x0940,
    META_ARC = 0x0817, META_PIE = 0x081A, META_CHORD = 0x0830, META_EXTTEXTOUT = 0x0A32, META_DIBSTRETCHBLT = 0x0B41,
    META_STRETCHDIB = 0x0F43,
};

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;

std::vector<DPoint> ReadPoints(ByteReader& r, size_t count)
{
    if (count * 4 > r.remaining())
        throw Truncated();
    std::vector<DPoint> pts(count);
    for (auto& p : pts) {
        p.x = r.i16le();
        p.y = r.i16le();
    }
    return pts;
}

// Blits: source y counts from the bottom of the DIB.
void DibBlit(Device& dev, std::span<const uint8_t> dib, uint32_t rop, int xs, int ys, int ws, int hs, int x, int y,
             int w, int h, const PictureLimits& limits)
{
    Bitmap pic = dev.ReadPicture(dib, {}, limits);
    const int top = pic.Height() - ys - hs;
    dev.StretchBlt(x, y, w, h, &pic, Rect{xs, top, xs + ws, top + hs}, rop);
}

} // namespace

WmfHeader ReadWmfHeader(std::span<const uint8_t> data)
{
    ByteReader r(data);
    WmfHeader h;
    if (r.u32le() == kPlaceableKey) {
        h.placeable = true;
        r.u16le();
        for (auto& v : h.box)
            v = r.i16le();
        h.unitsPerInch = r.u16le();
        r.skip(6);
    } else {
        r.seek(0);
    }
    const size_t headerStart = r.pos();
    const uint16_t type = r.u16le(), headerWords = r.u16le();
    r.u16le();
    r.u32le();
    h.objects = r.u16le();
    if ((type != 1 && type != 2) || headerWords != 9)
        throw BadInput("not a metafile");
    h.recordsStart = headerStart + 18;
    if (h.recordsStart > data.size())
        throw Truncated();
    return h;
}

bool FindWmfWindow(std::span<const uint8_t> data, const WmfHeader& header, int16_t window[4])
{
    bool haveExt = false;
    window[0] = window[1] = 0;
    ForEachWmfRecord(data, header.recordsStart, [&](uint16_t function, std::span<const uint8_t> params) {
        ByteReader p(params);
        if (function == META_SETWINDOWORG) {
            window[1] = p.i16le();
            window[0] = p.i16le();
        } else if (function == META_SETWINDOWEXT) {
            window[3] = p.i16le();
            window[2] = p.i16le();
            haveExt = window[2] != 0 && window[3] != 0;
        }
        return !haveExt;
    });
    return haveExt;
}

void PlayWmfRecords(std::span<const uint8_t> data, const WmfHeader& header, Device& dev, const PictureLimits& limits)
{
    dev.SetTableSize(header.objects);
    ForEachWmfRecord(data, header.recordsStart, [&](uint16_t function, std::span<const uint8_t> params) {
        dev.Spend(1);
        ByteReader p(params);
        switch (function) {
        case META_SETBKCOLOR: dev.SetBkColor(p.u32le() & 0xFFFFFF); break;
        case META_SETTEXTCOLOR: dev.SetTextColor(p.u32le() & 0xFFFFFF); break;
        case META_SETBKMODE: dev.SetBkMode(p.u16le()); break;
        case META_SETMAPMODE: dev.SetMapMode(p.u16le()); break;
        case META_SETROP2: dev.SetRop2(p.u16le()); break;
        case META_SETPOLYFILLMODE: dev.SetPolyFillMode(p.u16le()); break;
        case META_SETSTRETCHBLTMODE: dev.SetStretchBltMode(p.u16le()); break;
        case META_SETPIXEL: {
            const TColor c = p.u32le() & 0xFFFFFF;
            int y = p.i16le(), x = p.i16le();
            dev.SetPixelV(x, y, c);
            break;
        }
        case META_SETTEXTALIGN: dev.SetTextAlign(p.u16le()); break;
        case META_SETWINDOWORG: { int y = p.i16le(), x = p.i16le(); dev.SetWindowOrg(x, y); break; }
        case META_SETWINDOWEXT: { int y = p.i16le(), x = p.i16le(); dev.SetWindowExt(x, y); break; }
        case META_SETVIEWPORTORG: { int y = p.i16le(), x = p.i16le(); dev.SetViewportOrg(x, y); break; }
        case META_SETVIEWPORTEXT: { int y = p.i16le(), x = p.i16le(); dev.SetViewportExt(x, y); break; }
        case META_SAVEDC: dev.SaveDC(); break;
        case META_RESTOREDC: dev.RestoreDC(p.i16le()); break;
        case META_INTERSECTCLIPRECT: {
            int b = p.i16le(), r = p.i16le(), t = p.i16le(), l = p.i16le();
            dev.IntersectClipRect(l, t, r, b);
            break;
        }
        case META_SELECTCLIPREGION: dev.ResetClip(); break;
        case META_MOVETO: { int y = p.i16le(), x = p.i16le(); dev.MoveTo(x, y); break; }
        case META_LINETO: { int y = p.i16le(), x = p.i16le(); dev.LineTo(x, y); break; }
        case META_POLYLINE: {
            const int n = p.i16le();
            dev.Polyline(ReadPoints(p, size_t(std::max(0, n))));
            break;
        }
        case META_POLYGON: {
            const int n = p.i16le();
            dev.Polygon(OneFigure(ReadPoints(p, size_t(std::max(0, n)))));
            break;
        }
        case META_POLYPOLYGON: {
            const uint16_t n = p.u16le();
            std::vector<uint16_t> counts(n);
            uint64_t total = 0;
            for (auto& c : counts)
                total += c = p.u16le();
            detail::CheckFigurePoints(total);
            std::vector<std::vector<DPoint>> polys;
            for (uint16_t c : counts)
                polys.push_back(ReadPoints(p, c));
            dev.Polygon(std::move(polys));
            break;
        }
        case META_RECTANGLE:
        case META_ELLIPSE: {
            int b = p.i16le(), r = p.i16le(), t = p.i16le(), l = p.i16le();
            if (function == META_RECTANGLE)
                dev.Rectangle(l, t, r, b);
            else
                dev.Ellipse(l, t, r, b);
            break;
        }
        case META_ARC:
        case META_PIE:
        case META_CHORD: {
            int ye = p.i16le(), xe = p.i16le(), ys = p.i16le(), xs = p.i16le();
            int b = p.i16le(), r = p.i16le(), t = p.i16le(), l = p.i16le();
            const auto kind = function == META_ARC   ? Device::ArcKind::Arc
                              : function == META_PIE ? Device::ArcKind::Pie
                                                     : Device::ArcKind::Chord;
            dev.Arc(kind, l, t, r, b, {double(xs), double(ys)}, {double(xe), double(ye)});
            break;
        }
        case META_ROUNDRECT: {
            int h = p.i16le(), w = p.i16le(), b = p.i16le(), r = p.i16le(), t = p.i16le(), l = p.i16le();
            dev.RoundRect(l, t, r, b, w, h);
            break;
        }
        case META_TEXTOUT: {
            const int n = std::max<int>(0, p.i16le());
            auto text = p.take(size_t(n));
            if (n & 1)
                p.skip(1);
            int y = p.i16le(), x = p.i16le();
            dev.TextOutA({double(x), double(y)}, text, {}, std::nullopt);
            break;
        }
        case META_EXTTEXTOUT: {
            int y = p.i16le(), x = p.i16le();
            const int n = std::max<int>(0, p.i16le());
            const uint16_t options = p.u16le();
            std::optional<std::array<double, 4>> rect;
            if (options & 6) { // ETO_OPAQUE or ETO_CLIPPED carry a rectangle
                std::array<double, 4> rc;
                for (double& v : rc)
                    v = p.i16le();
                if (options & 2)
                    rect = rc;
            }
            auto text = p.take(size_t(n));
            if (n & 1)
                p.skip(1);
            // Advances follow the text when the record has room for them.
            std::vector<double> dx;
            if (p.remaining() >= size_t(n) * 2)
                for (int i = 0; i < n; ++i)
                    dx.push_back(p.i16le());
            dev.TextOutA({double(x), double(y)}, text, dx, rect);
            break;
        }
        case META_CREATEPENINDIRECT: {
            const uint16_t style = p.u16le();
            const int width = p.i16le();
            p.i16le();
            dev.CreateObjectInFreeSlot(OldStylePen(style, width, p.u32le() & 0xFFFFFF));
            break;
        }
        case META_CREATEBRUSHINDIRECT: {
            const uint16_t style = p.u16le();
            const TColor color = p.u32le() & 0xFFFFFF;
            dev.CreateObjectInFreeSlot(BrushOf(style, color, p.u16le()));
            break;
        }
        case META_DIBCREATEPATTERNBRUSH: {
            const uint16_t style = p.u16le();
            p.u16le();
            // BS_PATTERN: made from a device bitmap, so a monochrome one
            // takes the text and background colours.
            dev.CreateObjectInFreeSlot(dev.PatternBrush(dev.ReadPicture(p.rest(), {}, limits), style == 3));
            break;
        }
        case META_CREATEPATTERNBRUSH: {
            const auto header = p.take(10);
            p.skip(4 + 18); // bits pointer, reserved
            dev.CreateObjectInFreeSlot(dev.PatternBrush(dev.ReadBitmap16(header, p.rest()), true));
            break;
        }
        case META_CREATEFONTINDIRECT: {
            LogFont f;
            f.height = p.i16le();
            f.width = p.i16le();
            f.escapement = p.i16le();
            p.i16le();
            f.weight = p.i16le();
            f.italic = p.u8();
            f.underline = p.u8();
            f.strikeOut = p.u8();
            f.charSet = p.u8();
            p.skip(4);
            f.face.clear();
            while (!p.atEnd() && f.face.size() < 32) {
                const char c = char(p.u8());
                if (!c)
                    break;
                f.face.push_back(c);
            }
            dev.CreateObjectInFreeSlot(f);
            break;
        }
        case META_CREATEPALETTE:
        case META_CREATEREGION: dev.CreateObjectInFreeSlot(OtherObject{}); break;
        case META_SELECTOBJECT: dev.SelectObject(p.u16le()); break;
        case META_DELETEOBJECT: dev.DeleteObject(p.u16le()); break;
        case META_PATBLT: {
            const uint32_t rop = p.u32le();
            int h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
            dev.StretchBlt(x, y, w, h, nullptr, Rect{}, rop);
            break;
        }
        case META_BITBLT:
        case META_STRETCHBLT: {
            // Device bitmaps are stored top-down.
            const uint32_t rop = p.u32le();
            int hs = 0, ws = 0;
            if (function == META_STRETCHBLT)
                hs = p.i16le(), ws = p.i16le();
            const int ys = p.i16le(), xs = p.i16le();
            const bool withBitmap = params.size() > (function == META_STRETCHBLT ? 22u : 18u);
            if (!withBitmap)
                p.skip(2);
            const int h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
            if (function == META_BITBLT)
                hs = h, ws = w;
            if (!withBitmap) {
                dev.StretchBlt(x, y, w, h, nullptr, Rect{}, rop);
                break;
            }
            const auto header = p.take(10);
            const Bitmap pic = dev.ReadBitmap16(header, p.rest());
            dev.StretchBlt(x, y, w, h, &pic, Rect{xs, ys, xs + ws, ys + hs}, rop, true);
            break;
        }
        case META_DIBBITBLT: {
            const uint32_t rop = p.u32le();
            if (params.size() <= 18) { // no bitmap: a pattern blit
                p.skip(6); // source position, reserved
                int h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
                dev.StretchBlt(x, y, w, h, nullptr, Rect{}, rop);
                break;
            }
            int ys = p.i16le(), xs = p.i16le(), h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
            DibBlit(dev, p.rest(), rop, xs, ys, w, h, x, y, w, h, limits);
            break;
        }
        case META_DIBSTRETCHBLT:
        case META_STRETCHDIB: {
            const uint32_t rop = p.u32le();
            if (function == META_STRETCHDIB)
                p.u16le();
            else if (params.size() <= 22) { // no bitmap
                p.skip(10);
                int h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
                dev.StretchBlt(x, y, w, h, nullptr, Rect{}, rop);
                break;
            }
            int hs = p.i16le(), ws = p.i16le(), ys = p.i16le(), xs = p.i16le();
            int h = p.i16le(), w = p.i16le(), y = p.i16le(), x = p.i16le();
            DibBlit(dev, p.rest(), rop, xs, ys, ws, hs, x, y, w, h, limits);
            break;
        }
        default: break; // records that do not draw are passed over
        }
        return true;
    });
}

} // namespace pc::metafile
