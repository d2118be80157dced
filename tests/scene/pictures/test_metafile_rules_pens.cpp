// Rows of the drawing-rule table for pens. Expected colours come from each
// rule's geometry worked out here, in pixels: 100 logical units make 96, and
// a pen 10 units wide is 10 pixels (9.6 rounded) about the centre line of
// pixel centres (x + 0.5, y + 0.5).
#include <bit>
#include <cmath>
#include <functional>

#include "tests/scene/pictures/metafile_builders.h"
#include "tests/scene/pictures/metafile_rule_table.h"

namespace pc::test {
namespace {

constexpr uint32_t PS_GEOMETRIC = 0x10000, PS_ENDCAP_SQUARE = 0x100, PS_ENDCAP_FLAT = 0x200, PS_JOIN_BEVEL = 0x1000,
                   PS_JOIN_MITER = 0x2000, PS_DASH = 1, PS_USERSTYLE = 7;
const TColor kPen = RGB(20, 90, 200);
constexpr double kHalf = 5; // half the 10-pixel pen

int32_t P16(int x, int y) { return int32_t(uint32_t(uint16_t(x)) | uint32_t(uint16_t(y)) << 16); }
// Logical units to the pixel a point rounds to, and that pixel's centre.
double Centre(int v) { return std::lround(v * 0.96) + 0.5; }

// A polyline drawn with a geometric pen; user-style lengths follow the pen.
std::vector<uint8_t> Drawn(uint32_t style, int width, const std::vector<std::pair<int, int>>& pts,
                           std::vector<int32_t> dashes = {}, float miterLimit = 10)
{
    std::vector<int32_t> pen{1, 0, 0, 0, 0, int32_t(style), width, 0, int32_t(kPen), 0, int32_t(dashes.size())};
    pen.insert(pen.end(), dashes.begin(), dashes.end());
    std::vector<int32_t> line{0, 0, 0, 0, int32_t(pts.size())};
    for (auto [x, y] : pts)
        line.push_back(P16(x, y));
    return Emf()
        .Record(EMR_SETMITERLIMIT, {std::bit_cast<int32_t>(miterLimit)})
        .Record(EMR_EXTCREATEPEN, pen)
        .Record(EMR_SELECTOBJECT, {1})
        .Record(EMR_POLYLINE16, line)
        .Bytes();
}

// Probes every few pixels along the row y from x0 to x1, where on(x) says
// whether the pen covers that centre; those within a pixel of a change are
// left out.
std::vector<Probe> Along(int x0, int x1, int y, const std::function<bool(double)>& on)
{
    std::vector<Probe> v;
    for (int x = x0; x < x1; x += 3)
        if (on(x - 0.5) == on(x + 0.5) && on(x + 1.5) == on(x + 0.5))
            v.push_back({x, y, on(x + 0.5) ? kPen : clWhite});
    return v;
}

std::vector<GdiRuleCase> PenRows()
{
    std::vector<GdiRuleCase> v;
    // Caps on a line from (20, 50) to (70, 50), its end at centre (67.5, 48.5):
    // flat stops there, square goes on half the width both along and across,
    // round half the width from the end point only.
    const double ex = Centre(70), ey = Centre(50);
    struct Cap {
        const char* name;
        uint32_t bits;
        std::function<bool(double, double)> covers; // offsets from the end
    };
    const Cap caps[] = {
        {"Flat", PS_ENDCAP_FLAT, [](double dx, double dy) { return dx <= 0 && std::abs(dy) <= kHalf; }},
        {"Square", PS_ENDCAP_SQUARE, [](double dx, double dy) { return dx <= kHalf && std::abs(dy) <= kHalf; }},
        {"Round", 0, [](double dx, double dy) { return dx <= 0 ? std::abs(dy) <= kHalf : std::hypot(dx, dy) <= kHalf; }},
    };
    for (const Cap& c : caps) {
        std::vector<Probe> probes;
        for (auto [x, y] : {std::pair{66, 48}, {68, 48}, {70, 45}, {71, 44}, {73, 48}, {68, 54}})
            probes.push_back({x, y, c.covers(x + 0.5 - ex, y + 0.5 - ey) ? kPen : clWhite});
        v.push_back({std::string(c.name) + "Cap", Drawn(PS_GEOMETRIC | c.bits, 10, {{20, 50}, {70, 50}}), 96, 96, probes,
                     "a geometric pen's end cap: flat at the end point, square half the width beyond it, round half the width on the axis"});
    }
    // Joins at the right angle (20, 20)-(70, 20)-(70, 80), outer corner up
    // and right of (67.5, 19.5): a miter fills the square, a bevel cuts it
    // across, a round join keeps to half the width.
    const double cx = Centre(70), cy = Centre(20);
    struct Join {
        const char* name;
        uint32_t bits;
        std::function<bool(double, double)> covers; // offsets out of the corner
    };
    const Join joins[] = {
        {"Miter", PS_JOIN_MITER, [](double ox, double oy) { return ox <= kHalf && oy <= kHalf; }},
        {"Bevel", PS_JOIN_BEVEL, [](double ox, double oy) { return ox + oy <= kHalf; }},
        {"Round", 0, [](double ox, double oy) { return std::hypot(ox, oy) <= kHalf; }},
    };
    for (const Join& j : joins) {
        std::vector<Probe> probes;
        for (auto [x, y] : {std::pair{71, 15}, {70, 16}, {69, 18}, {74, 13}})
            probes.push_back({x, y, j.covers(x + 0.5 - cx, cy - (y + 0.5)) ? kPen : clWhite});
        v.push_back({std::string(j.name) + "Join", Drawn(PS_GEOMETRIC | PS_ENDCAP_FLAT | j.bits, 10, {{20, 20}, {70, 20}, {70, 80}}),
                     96, 96, probes, "a geometric pen's join at a right angle: miter, bevel or round"});
    }
    // An acute corner at (70, 50) between (10, 50) and (18, 80), about 30
    // degrees: its miter is 1 / sin(15) = 3.86 widths long, kept under a
    // limit of 4, beveled under 3. Probed 12 pixels out along the bisector.
    const double ax = Centre(10) - cx, ay = 0, bx = Centre(18) - cx, by = Centre(80) - Centre(50);
    const double la = std::hypot(ax, ay), lb = std::hypot(bx, by);
    const double ux = -(ax / la + bx / lb), uy = -(ay / la + by / lb), lu = std::hypot(ux, uy);
    const Probe tip{int(cx + 12 * ux / lu), int(Centre(50) + 12 * uy / lu), kPen};
    for (float limit : {4.0f, 3.0f})
        v.push_back({limit > 3.86f ? "MiterWithinTheLimit" : "MiterBeyondTheLimitIsBeveled",
                     Drawn(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER, 10, {{10, 50}, {70, 50}, {18, 80}}, {}, limit), 96, 96,
                     {{tip.x, tip.y, limit > 3.86f ? kPen : clWhite}},
                     "a miter join is kept while its length over the width stays within SetMiterLimit, beveled past it"});
    // A user style of 20 on and 10 off (logical units, 19.2 and 9.6 pixels)
    // along (5, 50)-(95, 50), from its start.
    const double ux0 = Centre(5);
    v.push_back({"UserStyle", Drawn(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_USERSTYLE, 10, {{5, 50}, {95, 50}}, {20, 10}), 96, 96,
                 Along(7, 90, 48, [&](double x) { return x >= ux0 && x <= Centre(95) && std::fmod(x - ux0, 28.8) < 19.2; }),
                 "a geometric pen's user style: dashes and gaps in logical units, scaled like the width"});
    // PS_DASH on a geometric pen: the cosmetic 18 on, 6 off in thirds of
    // the width, so 60 and 20 pixels.
    v.push_back({"DashStyleScaledByTheWidth", Drawn(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_DASH, 10, {{5, 50}, {95, 50}}), 96, 96,
                 Along(7, 90, 48, [&](double x) { return x >= ux0 && x <= Centre(95) && std::fmod(x - ux0, 80) < 60; }),
                 "a geometric pen draws its dash style in proportion to its width"});
    // CreatePen: wider than a pixel the dash style is drawn solid along
    // (5, 50)-(95, 50), with round ends; a WMF pen's style word carries its
    // end cap. The end is at centre (91.5, 48.5).
    const auto solid = [&](bool round) {
        auto p = Along(7, 90, 48, [](double) { return true; });
        p.push_back({93, 48, round ? kPen : clWhite});
        p.push_back({95, 44, clWhite});
        return p;
    };
    v.push_back({"CreatePenWiderThanAPixelIsSolidAndRound",
                 Emf().Record(EMR_CREATEPEN, {1, int32_t(PS_DASH), 10, 0, int32_t(kPen)}).Record(EMR_SELECTOBJECT, {1})
                     .Record(EMR_POLYLINE16, {0, 0, 0, 0, 2, P16(5, 50), P16(95, 50)}).Bytes(),
                 96, 96, solid(true), "a CreatePen pen wider than one pixel draws solid whatever its style, with round caps"});
    v.push_back({"WmfPenCarriesItsEndCap",
                 Wmf(96, 96, 96).Record(META_CREATEPENINDIRECT, {int(PS_ENDCAP_FLAT | PS_DASH), 10, 0, int(kPen & 0xFFFF), int(kPen >> 16)})
                     .Record(META_SELECTOBJECT, {0}).Record(META_POLYLINE, {2, 5, 48, 91, 48}).Bytes(),
                 96, 96, solid(false), "a WMF pen's style word carries its end cap, drawn solid when wider than a pixel"});
    // An arc takes the pen as any figure: a quarter circle of radius 40
    // about (50, 50) from 0 to 90 degrees counter-clockwise, PS_DASH 4 wide
    // (24 on, 8 off in pixels) with flat caps, probed by length along it.
    std::vector<Probe> arc;
    const double r = 40 * 0.96 - 0.5;
    for (auto [s, on] : {std::pair{12.0, true}, {28.0, false}, {44.0, true}, {r * 1.75, false}, {-4.0, false}}) {
        const double a = s / r;
        arc.push_back({int(48 + r * std::cos(a)), int(48 - r * std::sin(a)), on ? kPen : clWhite});
    }
    v.push_back({"DashedArcWithFlatCaps",
                 Emf().Record(EMR_EXTCREATEPEN, {1, 0, 0, 0, 0, int32_t(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_DASH), 4, 0, int32_t(kPen), 0, 0})
                     .Record(EMR_SELECTOBJECT, {1}).Record(EMR_ARC, {10, 10, 90, 90, 130, 50, 50, -30}).Bytes(),
                 96, 96, arc, "an arc is stroked like any line: dashes along it from its start, flat ends"});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Pens, GdiRule, testing::ValuesIn(PenRows()), GdiRuleName);

} // namespace
} // namespace pc::test
