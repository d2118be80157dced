// Rows of the crafted-record table for blits: raster operations worked out
// bit by bit from their truth tables, monochrome sources, stretch modes, a
// rotated blit, pattern brushes and single pixels.
#include <bit>
#include <cmath>
#include <numbers>
#include <tuple>

#include "tests/scene/pictures/metafile_builders.h"
#include "tests/scene/pictures/metafile_rule_table.h"

namespace pc::test {
namespace {

// The result of a raster operation, one bit at a time: bit k of the code is
// the result for pattern (k & 4), source (k & 2) and target (k & 1).
TColor Rop(uint32_t rop, TColor p, TColor s, TColor d)
{
    TColor r = 0;
    for (int bit = 0; bit < 24; ++bit) {
        const int k = int(p >> bit & 1) << 2 | int(s >> bit & 1) << 1 | int(d >> bit & 1);
        r |= TColor(rop >> (16 + k) & 1) << bit;
    }
    return r;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) { for (int k = 0; k < 4; ++k) v.push_back(uint8_t(x >> 8 * k)); }

// A packed DIB: info header, colour table, bottom-up rows of the given bits
// (rows listed top-down, each padded to 4 bytes).
std::vector<uint8_t> Dib(int w, int bits, std::vector<TColor> table, std::vector<std::vector<uint8_t>> rows)
{
    std::vector<uint8_t> d;
    for (uint32_t v : {40u, uint32_t(w), uint32_t(rows.size()), uint32_t(bits << 16 | 1), 0u, 0u, 0u, 0u,
                       uint32_t(table.size()), 0u})
        Put32(d, v);
    for (TColor c : table)
        Put32(d, GetBValue(c) | GetGValue(c) << 8 | GetRValue(c) << 16);
    for (size_t y = rows.size(); y-- > 0;) {
        rows[y].resize((rows[y].size() + 3) / 4 * 4);
        d.insert(d.end(), rows[y].begin(), rows[y].end());
    }
    return d;
}
std::vector<uint8_t> Bgr(std::vector<TColor> px)
{
    std::vector<uint8_t> row;
    for (TColor c : px)
        row.insert(row.end(), {GetBValue(c), GetGValue(c), GetRValue(c)});
    return row;
}

// An EMF whose logical units are its 96 x 96 pixels, white, with a brush.
Emf Pixels(TColor brush)
{
    Emf e;
    e.Record(EMR_SETMAPMODE, {8}).Record(EMR_SETWINDOWEXTEX, {96, 96}).Record(EMR_SETVIEWPORTEXTEX, {100, 100});
    e.Record(EMR_CREATEBRUSHINDIRECT, {1, 0, int32_t(brush), 0}).Record(EMR_SELECTOBJECT, {1});
    return e;
}
// The whole of a DIB of w x h stretched onto (x, y, cx, cy).
Emf& StretchDib(Emf& e, int x, int y, int cx, int cy, uint32_t rop, int w, int h, const std::vector<uint8_t>& dib)
{
    const int header = dib.size() > 40 && dib[14] <= 8 ? 40 + 4 * (1 << dib[14]) : 40;
    std::vector<uint8_t> p;
    for (int v : {0, 0, 95, 95, x, y, 0, 0, w, h, 80, header, 80 + header, int(dib.size()) - header, 0, int(rop), cx, cy})
        Put32(p, uint32_t(v));
    p.insert(p.end(), dib.begin(), dib.end());
    return e.RecordBytes(EMR_STRETCHDIBITS, p);
}

constexpr TColor P = RGB(0x0F, 0x33, 0xA5), S1 = RGB(0xF0, 0x55, 0x3C), S2 = RGB(0x81, 0x18, 0xE7),
                 D = RGB(0x6A, 0xC3, 0x99), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);

std::vector<GdiRuleCase> BlitRows()
{
    std::vector<GdiRuleCase> rows;
    // The target D, then a 2 x 1 source (S1, S2) over (21, 13)-(61, 43) with the brush P.
    for (auto [name, rop] : {std::pair{"SRCPAINT", 0xEE0086u}, {"SRCAND", 0x8800C6u}, {"SRCINVERT", 0x660046u},
                             {"NOTSRCCOPY", 0x330008u}, {"PATCOPY", 0xF00021u}, {"PATINVERT", 0x5A0049u},
                             {"PSDPxax", 0xB8074Au}}) {
        Emf e = Pixels(D);
        e.Record(EMR_SELECTOBJECT, {int32_t(0x80000008)}).Record(EMR_RECTANGLE, {0, 0, 97, 97});
        e.Record(EMR_CREATEBRUSHINDIRECT, {2, 0, int32_t(P), 0}).Record(EMR_SELECTOBJECT, {2});
        StretchDib(e, 21, 13, 40, 30, rop, 2, 1, Dib(2, 24, {}, {Bgr({S1, S2})}));
        rows.push_back({std::string("Rop") + name, e.Bytes(), 96, 96,
                        {{21, 13, Rop(rop, P, S1, D)}, {40, 42, Rop(rop, P, S1, D)}, {41, 13, Rop(rop, P, S2, D)},
                         {60, 42, Rop(rop, P, S2, D)}, {61, 20, D}, {30, 43, D}},
                        "each pixel takes the bits the raster operation's truth table gives for brush, source and target"});
    }
    // The office suite's see-through picture: a 1-bit mask ORed, then the picture ANDed.
    Emf e = Pixels(Blue);
    e.Record(EMR_RECTANGLE, {-1, -1, 97, 97});
    StretchDib(e, 10, 10, 40, 40, 0xEE0086, 2, 1, Dib(2, 1, {clBlack, clWhite}, {{0x40}}));
    StretchDib(e, 10, 10, 40, 40, 0x8800C6, 2, 1, Dib(2, 24, {}, {Bgr({clWhite, Red})}));
    rows.push_back({"MaskThenPicture", e.Bytes(), 96, 96, {{15, 20, Blue}, {45, 20, Red}, {55, 20, Blue}},
                    "a 1-bit DIB takes its own colours: where the mask is black the background stays, elsewhere the picture shows"});
    // A monochrome device bitmap: 0 bits in the text colour, 1 bits in the background colour.
    rows.push_back({"MonochromeDeviceBitmap",
                    Wmf(96, 96, 96)
                        .Record(META_SETTEXTCOLOR, {0x00FF, 0}).Record(META_SETBKCOLOR, {0, 0x00FF})
                        .Record(META_STRETCHBLT, {0x0020, 0x00CC, 1, 2, 0, 0, 20, 40, 30, 11, 0, 2, 1, 2, 0x0101, 0x40})
                        .Bytes(),
                    96, 96, {{11, 30, Red}, {30, 49, Red}, {31, 30, Blue}, {50, 49, Blue}, {51, 40, clWhite}},
                    "a monochrome bitmap blitted onto colour takes the text colour for 0 and the background for 1"});
    // A 4 x 1 source shrunk to 2 x 1 under each stretch mode.
    const TColor a = RGB(0xC8, 0x30, 0x9A), b = RGB(0x35, 0xE1, 0x58), c = RGB(0x0C, 0x60, 0xF0);
    auto avg = [](TColor x, TColor y) {
        return RGB(uint8_t((GetRValue(x) + GetRValue(y) + 1) / 2), uint8_t((GetGValue(x) + GetGValue(y) + 1) / 2),
                   uint8_t((GetBValue(x) + GetBValue(y) + 1) / 2));
    };
    for (auto [name, mode, source, left, right] :
         {std::tuple{"BlackOnWhiteByDefault", 0, std::vector{a, b, c, a}, a & b, c & a},
          {"WhiteOnBlack", 2, std::vector{a, b, c, a}, a | b, c | a}, {"ColorOnColor", 3, std::vector{a, a, c, c}, a, c},
          {"Halftone", 4, std::vector{a, b, c, a}, avg(a, b), avg(c, a)}}) {
        Emf e = Pixels(clWhite);
        if (mode)
            e.Record(EMR_SETSTRETCHBLTMODE, {mode});
        StretchDib(e, 30, 30, 2, 1, 0xCC0020, 4, 1, Dib(4, 24, {}, {Bgr(source)}));
        rows.push_back({std::string("Stretch") + name, e.Bytes(), 96, 96, {{30, 30, left, 1}, {31, 30, right, 1}},
                        "shrinking ANDs (BLACKONWHITE), ORs (WHITEONBLACK), drops (COLORONCOLOR) or averages (HALFTONE) pixels"});
    }
    // A 2 x 2 source on (0, 0)-(40, 20), turned 30 degrees and moved to (50, 10).
    const double cs = std::cos(std::numbers::pi / 6), sn = std::sin(std::numbers::pi / 6);
    Emf r = Pixels(clWhite);
    r.RecordBytes(EMR_SETWORLDTRANSFORM, [&] {
        std::vector<uint8_t> x;
        for (float f : {float(cs), float(sn), float(-sn), float(cs), 50.f, 10.f})
            Put32(x, std::bit_cast<uint32_t>(f));
        return x;
    }());
    const TColor cells[2][2] = {{Red, Blue}, {RGB(0, 160, 0), RGB(250, 200, 0)}};
    StretchDib(r, 0, 0, 40, 20, 0xCC0020, 2, 2, Dib(2, 24, {}, {Bgr({cells[0][0], cells[0][1]}), Bgr({cells[1][0], cells[1][1]})}));
    std::vector<Probe> turned = {{50, 45, clWhite}, {90, 12, clWhite}};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const double x = 10 + 20 * i, y = 5 + 10 * j; // the cell's centre
            turned.push_back({int(50 + x * cs - y * sn), int(10 + x * sn + y * cs), cells[j][i]});
        }
    rows.push_back({"RotatedBlit", r.Bytes(), 96, 96, turned,
                    "under a rotating world transform the source fills the turned parallelogram"});
    // A 3 x 2 pattern brush, filled from (17, 23): tiles line up with the picture's origin.
    const TColor tile[2][3] = {{Red, Blue, D}, {P, S1, S2}};
    Emf t = Pixels(clWhite);
    std::vector<uint8_t> brush;
    for (uint32_t v : {2u, 0u, 32u, 40u, 72u, 24u})
        Put32(brush, v);
    const auto dib = Dib(3, 24, {}, {Bgr({tile[0][0], tile[0][1], tile[0][2]}), Bgr({tile[1][0], tile[1][1], tile[1][2]})});
    brush.insert(brush.end(), dib.begin(), dib.end());
    t.RecordBytes(EMR_CREATEDIBPATTERNBRUSHPT, brush).Record(EMR_SELECTOBJECT, {2});
    t.Record(EMR_SELECTOBJECT, {int32_t(0x80000008)}).Record(EMR_RECTANGLE, {17, 23, 61, 71});
    std::vector<Probe> tiled = {{16, 30, clWhite}};
    for (auto [x, y] : {std::pair{17, 23}, {18, 23}, {19, 24}, {40, 50}, {59, 69}, {58, 68}})
        tiled.push_back({x, y, tile[y % 2][x % 3]});
    rows.push_back({"PatternBrushTiledFromTheOrigin", t.Bytes(), 96, 96, tiled,
                    "a pattern brush is tiled from the picture's origin, not from the shape"});
    // A 2 x 2 monochrome brush (checker), text red and background blue.
    Emf m = Pixels(clWhite);
    std::vector<uint8_t> mono;
    for (uint32_t v : {2u, 0u, 32u, 48u, 80u, 8u})
        Put32(mono, v);
    const auto bits = Dib(2, 1, {clBlack, clWhite}, {{0x40}, {0x80}});
    mono.insert(mono.end(), bits.begin(), bits.end());
    m.Record(EMR_SETTEXTCOLOR, {int32_t(Red)}).Record(EMR_SETBKCOLOR, {int32_t(Blue)});
    m.RecordBytes(EMR_CREATEMONOBRUSH, mono).Record(EMR_SELECTOBJECT, {2});
    m.Record(EMR_BITBLT, {0, 0, 95, 95, 11, 11, 30, 30, 0xF00021, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    rows.push_back({"MonochromeBrush", m.Bytes(), 96, 96, {{20, 20, Red}, {21, 20, Blue}, {20, 21, Blue}, {41, 41, clWhite}},
                    "a monochrome pattern brush paints 0 bits in the text colour and 1 bits in the background colour"});
    // A vertical hatch (every 8th column) blitted on a transparent background.
    rows.push_back({"TransparentHatchBlit",
                    Pixels(clWhite).Record(EMR_SETBKMODE, {1}).Record(EMR_SETBKCOLOR, {int32_t(Blue)}).Record(EMR_CREATEBRUSHINDIRECT, {2, 2, int32_t(Red), 1})
                        .Record(EMR_SELECTOBJECT, {2}).Record(EMR_BITBLT, {0, 0, 95, 95, 11, 11, 30, 30, 0xF00021, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                        .Bytes(),
                    96, 96, {{16, 20, Red}, {24, 30, Red}, {17, 20, clWhite}, {23, 40, clWhite}},
                    "a hatched brush leaves its gaps alone on a transparent background"});
    rows.push_back({"SetPixelV", Pixels(clWhite).Record(EMR_SETPIXELV, {13, 27, int32_t(Red)}).Bytes(), 96, 96,
                    {{13, 27, Red}, {14, 27, clWhite}, {13, 28, clWhite}}, "SETPIXELV sets its one pixel"});
    return rows;
}

INSTANTIATE_TEST_SUITE_P(Blits, GdiRule, testing::ValuesIn(BlitRows()), GdiRuleName);

} // namespace
} // namespace pc::test
