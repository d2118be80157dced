// Rows of the drawing-rule table for arcs, chords, pies and paths. Expected
// colours come from the ellipse's own geometry worked out here: which side
// of a chord, which part of a turn a point lies on.
#include <bit>
#include <cmath>
#include <numbers>

#include "tests/scene/pictures/metafile_builders.h"
#include "tests/scene/pictures/metafile_rule_table.h"

namespace pc::test {
namespace {

const TColor kPen = RGB(200, 20, 40), kBrush = RGB(30, 160, 90);

// The ellipse in a box on the page, and a part of it from one turn to
// another (degrees, counter-clockwise as seen on the page).
struct Part {
    double l, t, r, b, from, to;
    bool counter;
    double cx() const { return (l + r) / 2; }
    double cy() const { return (t + b) / 2; }
    double At(double deg, double k, bool y) const
    {
        const double a = deg * std::numbers::pi / 180;
        return y ? cy() - k * (b - t) / 2 * std::sin(a) : cx() + k * (r - l) / 2 * std::cos(a);
    }
    bool Swept(double deg) const
    {
        if (std::abs(to - from) >= 360)
            return true;
        auto turn = [](double a) { return std::fmod(std::fmod(a, 360) + 360, 360); };
        return counter ? turn(deg - from) <= turn(to - from) : turn(from - deg) <= turn(from - to);
    }
    // Inside the ellipse and on the arc's side of the chord.
    bool InChord(double deg, double k) const
    {
        const double mid = counter ? from + std::fmod(to - from + 360, 360) / 2 : from - std::fmod(from - to + 360, 360) / 2;
        const auto side = [&](double d, double kk) {
            const double a = d * std::numbers::pi / 180, a0 = from * std::numbers::pi / 180, a1 = to * std::numbers::pi / 180;
            const double px = kk * std::cos(a), py = kk * std::sin(a);
            return (std::cos(a1) - std::cos(a0)) * (py - std::sin(a0)) - (std::sin(a1) - std::sin(a0)) * (px - std::cos(a0));
        };
        return k < 1 && side(deg, k) * side(mid, 1) > 0;
    }
};

// Page units to pixels: 100 to 96 in an Emf, 1 to 1 in a 100-pixel Wmf.
Probe At(const Part& p, double deg, double k, TColor c, double scale)
{
    return {int(p.At(deg, k, false) * scale), int(p.At(deg, k, true) * scale), c};
}

// Probes on the ellipse every 45 degrees from 22.5: pen where swept.
std::vector<Probe> ArcProbes(const Part& p, double scale = 0.96)
{
    std::vector<Probe> v;
    for (double d = 22.5; d < 360; d += 45)
        v.push_back(At(p, d, 1, p.Swept(d) ? kPen : clWhite, scale));
    return v;
}

// Probes inside the ellipse at half and 0.85 of its radii.
std::vector<Probe> FillProbes(const Part& p, bool pie, double scale = 0.96)
{
    std::vector<Probe> v;
    for (double d = 22.5; d < 360; d += 45)
        for (double k : {0.5, 0.85})
            v.push_back(At(p, d, k, (pie ? p.Swept(d) : p.InChord(d, k)) ? kBrush : clWhite, scale));
    return v;
}

Emf Drawing()
{
    Emf e;
    e.Record(EMR_CREATEPEN, {1, 0, 4, 0, int32_t(kPen)}).Record(EMR_SELECTOBJECT, {1});
    e.Record(EMR_CREATEBRUSHINDIRECT, {2, 0, int32_t(kBrush), 0}).Record(EMR_SELECTOBJECT, {2});
    return e;
}

int32_t F(float v) { return std::bit_cast<int32_t>(v); }
int32_t P16(int x, int y) { return int32_t(uint32_t(uint16_t(x)) | uint32_t(uint16_t(y)) << 16); }

std::vector<GdiRuleCase> FigureRows()
{
    std::vector<GdiRuleCase> v;
    // The box is 80 x 56; the start and end points lie beyond it on the
    // rays at 0 and 90 degrees.
    const std::vector<int32_t> box{10, 20, 90, 76, 130, 48, 50, -30};
    for (bool counter : {true, false}) {
        const Part part{10, 20, 90, 76, 0, 90, counter};
        const std::string dir = counter ? "CounterClockwise" : "Clockwise";
        auto drawn = [&](uint32_t type) {
            Emf e = Drawing();
            if (!counter)
                e.Record(EMR_SETARCDIRECTION, {2});
            return e.Record(type, box).Bytes();
        };
        v.push_back({"Arc" + dir, drawn(EMR_ARC), 96, 96, ArcProbes(part),
                     "an arc runs from the ray through its start to the ray through its end in the arc direction"});
        v.push_back({"Chord" + dir, drawn(EMR_CHORD), 96, 96, FillProbes(part, false),
                     "a chord fills the ellipse on the arc's side of the line from its start to its end"});
        v.push_back({"Pie" + dir, drawn(EMR_PIE), 96, 96, FillProbes(part, true),
                     "a pie fills the sector between the rays, on the arc's side"});
    }
    // With y pointing up, counter-clockwise in logical units is clockwise on the page.
    const Part up{10, 24, 90, 80, 0, -90, false};
    v.push_back({"ArcTurnsInLogicalUnits",
                 Drawing()
                     .Record(EMR_SETMAPMODE, {8})
                     .Record(EMR_SETWINDOWORGEX, {0, 100})
                     .Record(EMR_SETWINDOWEXTEX, {100, -100})
                     .Record(EMR_SETVIEWPORTEXTEX, {100, 100})
                     .Record(EMR_ARC, box)
                     .Bytes(),
                 96, 96, ArcProbes(up), "an enhanced metafile's arc direction holds in logical units"});
    // A Windows metafile turns counter-clockwise on the page, y up or not:
    // here from the ray at 0 degrees to the one pointing down the page.
    const Part wmfUp{10, 24, 90, 80, 0, -90, true};
    auto wmf = [](uint16_t fn) {
        return Wmf(100, 100, 96)
            .Record(META_SETWINDOWORG, {100, 0})
            .Record(META_SETWINDOWEXT, {-100, 100})
            .Record(META_CREATEPENINDIRECT, {0, 4, 0, int(kPen & 0xFFFF), int(kPen >> 16)})
            .Record(META_SELECTOBJECT, {0})
            .Record(META_CREATEBRUSHINDIRECT, {0, int(kBrush & 0xFFFF), int(kBrush >> 16), 0})
            .Record(META_SELECTOBJECT, {1})
            .Record(fn, {-30, 50, 48, 130, 76, 90, 20, 10})
            .Bytes();
    };
    v.push_back({"WmfArcTurnsOnThePage", wmf(META_ARC), 100, 100, ArcProbes(wmfUp, 1),
                 "a Windows metafile's arcs turn counter-clockwise on the page whatever the window's axes"});
    v.push_back({"WmfPie", wmf(META_PIE), 100, 100, FillProbes(wmfUp, true, 1), "a pie fills its sector"});
    v.push_back({"WmfChord", wmf(META_CHORD), 100, 100, FillProbes(wmfUp, false, 1),
                 "a chord fills the arc's side of its line"});
    // ArcTo: a line from the position to the arc's start, the arc, and the
    // position left at its end, where the next line starts.
    const Part quarter{10, 20, 90, 76, 0, 90, true};
    auto arcTo = ArcProbes(quarter);
    arcTo.push_back({int(90 * 0.96), int(90 * 0.96), kPen});  // line up to the start at (90, 48)
    arcTo.push_back({int(30 * 0.96), int(20 * 0.96), kPen});  // on from the end at (50, 20)
    arcTo.push_back({int(70 * 0.96), int(48 * 0.96), clWhite}); // not from the box's centre
    v.push_back({"ArcToDrawsOnFromThePosition",
                 Drawing().Record(EMR_MOVETOEX, {90, 96}).Record(EMR_ARCTO, box).Record(EMR_LINETO, {10, 20}).Bytes(), 96,
                 96, arcTo, "ArcTo draws a line to the arc's start and leaves the position at its end"});
    // AngleArc: a circle of radius 28 about (50, 48), from 0 degrees sweeping -90.
    const Part circle{22, 20, 78, 76, 0, -90, false};
    auto angle = ArcProbes(circle);
    angle.push_back({int(70 * 0.96), int(48 * 0.96), kPen});   // the line from (50, 48) to the start
    angle.push_back({int(30 * 0.96), int(86 * 0.96), kPen});   // on from the end at (50, 76)
    v.push_back({"AngleArcSweepsBySign",
                 Drawing()
                     .Record(EMR_SETARCDIRECTION, {1})
                     .Record(EMR_MOVETOEX, {50, 48})
                     .Record(EMR_ANGLEARC, {50, 48, 28, F(0), F(-90)})
                     .Record(EMR_LINETO, {10, 96})
                     .Bytes(),
                 96, 96, angle, "AngleArc turns clockwise for a negative sweep, whatever the arc direction"});
    // In a path: a pie's figure closes through the centre, an arc's stays open.
    v.push_back({"PieInAPath",
                 Drawing().Record(EMR_BEGINPATH, {}).Record(EMR_PIE, box).Record(EMR_ENDPATH, {}).Record(EMR_FILLPATH, {0, 0, 99, 99}).Bytes(),
                 96, 96, FillProbes(quarter, true), "a pie in a path is its closed sector"});
    v.push_back({"ArcInAPath",
                 Drawing().Record(EMR_BEGINPATH, {}).Record(EMR_ARC, box).Record(EMR_ENDPATH, {}).Record(EMR_STROKEPATH, {0, 0, 99, 99}).Bytes(),
                 96, 96, ArcProbes(quarter), "an arc in a path strokes as it draws"});
    // A whole ellipse in a path fills the whole ellipse.
    const Part whole{10, 20, 90, 76, 0, 360, true};
    v.push_back({"EllipseInAPathIsWhole",
                 Drawing().Record(EMR_BEGINPATH, {}).Record(EMR_ELLIPSE, {10, 20, 90, 76}).Record(EMR_ENDPATH, {}).Record(EMR_FILLPATH, {0, 0, 99, 99}).Bytes(),
                 96, 96, FillProbes(whole, true), "an ellipse in a path is a whole ellipse"});
    // The polyline ends where the position stands, so the line goes on with
    // its figure: the fill is the square (20, 20)-(80, 80), not the triangle.
    v.push_back({"LineToGoesOnFromAPolylineEndingAtThePosition",
                 Drawing()
                     .Record(EMR_BEGINPATH, {})
                     .Record(EMR_MOVETOEX, {80, 20})
                     .Record(EMR_POLYLINE16, {0, 0, 0, 0, 3, P16(20, 80), P16(20, 20), P16(80, 20)})
                     .Record(EMR_LINETO, {80, 80})
                     .Record(EMR_ENDPATH, {})
                     .Record(EMR_FILLPATH, {0, 0, 99, 99})
                     .Bytes(),
                 96, 96, {{int(70 * 0.96), int(70 * 0.96), kBrush}, {int(30 * 0.96), int(30 * 0.96), kBrush}},
                 "a line in a path goes on with the figure that ends where the pen stands"});
    return v;
}

// Clip paths: the square A (10, 10)-(60, 60) is the clip, the ellipse B in
// (40, 40)-(95, 95) is combined with it by each region mode, then the whole
// page is painted.
std::vector<GdiRuleCase> ClipRows()
{
    const auto inA = [](double x, double y) { return x >= 10 && x < 60 && y >= 10 && y < 60; };
    const auto inB = [](double x, double y) { return std::hypot(x - 67.5, y - 67.5) < 27.5; };
    const auto clipped = [](Emf e) {
        return e.Record(EMR_RECTANGLE, {-10, -10, 110, 110}).Bytes();
    };
    const auto clipPath = [](Emf& e, uint32_t shape, std::vector<int32_t> box, int mode) {
        e.Record(EMR_BEGINPATH, {}).Record(shape, box).Record(EMR_ENDPATH, {}).Record(EMR_SELECTCLIPPATH, {mode});
    };
    const std::pair<const char*, bool (*)(bool, bool)> modes[] = {
        {"And", [](bool a, bool b) { return a && b; }}, {"Or", [](bool a, bool b) { return a || b; }},
        {"Xor", [](bool a, bool b) { return a != b; }}, {"Diff", [](bool a, bool b) { return a && !b; }},
        {"Copy", [](bool, bool b) { return b; }}};
    std::vector<GdiRuleCase> v;
    for (int mode = 1; mode <= 5; ++mode) {
        Emf e = Drawing();
        clipPath(e, EMR_RECTANGLE, {10, 10, 60, 60}, 5);
        clipPath(e, EMR_ELLIPSE, {40, 40, 95, 95}, mode);
        std::vector<Probe> probes;
        for (auto [x, y] : {std::pair{20, 20}, {44, 44}, {50, 50}, {80, 80}, {85, 20}, {20, 85}})
            probes.push_back({int(x * 0.96), int(y * 0.96), modes[mode - 1].second(inA(x, y), inB(x, y)) ? kBrush : clWhite});
        v.push_back({std::string("ClipPath") + modes[mode - 1].first, clipped(e), 96, 96, probes,
                     "a clip path is combined with the clip by its region mode"});
    }
    // Without a clip the whole page is the clip.
    Emf whole = Drawing();
    clipPath(whole, EMR_ELLIPSE, {40, 40, 95, 95}, 4);
    v.push_back({"ClipPathDiffWithoutAClip", clipped(whole), 96, 96, {{80, 80, clWhite}, {85, 20, kBrush}, {44, 44, kBrush}},
                 "with no clip set, a region mode combines with the whole page"});
    Emf saved = Drawing().Record(EMR_SAVEDC, {});
    clipPath(saved, EMR_RECTANGLE, {10, 10, 60, 60}, 5);
    saved.Record(EMR_RESTOREDC, {-1});
    v.push_back({"ClipPathGoesWithTheSavedState", clipped(saved), 96, 96, {{80, 80, kBrush}, {20, 20, kBrush}},
                 "RestoreDC brings back the clip of the state it restores"});
    // One rectangle of the reference device's pixels, taken as the clip.
    Emf region = Drawing().Record(EMR_EXTSELECTCLIPRGN, {48, 5, 32, 1, 1, 16, 10, 10, 60, 60, 10, 10, 60, 60});
    v.push_back({"ClipRegionRecord", clipped(region), 96, 96, {{20, 20, kBrush}, {56, 56, kBrush}, {62, 62, clWhite}, {5, 30, clWhite}},
                 "a region record's rectangles become the clip"});
    // A red pixel stretched over the page, clipped to the ellipse.
    Emf blit = Drawing();
    clipPath(blit, EMR_ELLIPSE, {40, 40, 95, 95}, 5);
    blit.Record(EMR_STRETCHDIBITS, {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 80, 40, 120, 4, 0, 0x00CC0020, 100, 100, 40, 1, 1,
                                    0x00180001, 0, 0, 0, 0, 0, 0, 0x00FF0000});
    v.push_back({"BlitKeepsToTheClipPath", blit.Bytes(), 96, 96,
                 {{int(67.5 * 0.96), int(67.5 * 0.96), RGB(255, 0, 0)}, {int(44 * 0.96), int(44 * 0.96), clWhite}, {10, 10, clWhite}},
                 "a blit draws only inside the clip path"});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Clip, GdiRule, testing::ValuesIn(ClipRows()), GdiRuleName);

INSTANTIATE_TEST_SUITE_P(Figures, GdiRule, testing::ValuesIn(FigureRows()), GdiRuleName);

} // namespace
} // namespace pc::test
