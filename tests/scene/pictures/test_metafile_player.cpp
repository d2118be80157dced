// Metafiles from a real producer (gnuplot's EMF terminal, run at test time)
// and small WMFs built here record by record.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/bitmap.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/metafile_records.h"
#include "scene/pictures/picture_converters.h"
#include "tests/support/test_data.h"
#include "tests/scene/pictures/metafile_builders.h"

namespace pc {
namespace {

using namespace test; // record builders and numbers
using test::TempDir;

// Runs gnuplot with the given commands, writing the EMF to path.
bool Gnuplot(const std::string& path, const std::string& commands)
{
    if (std::system("command -v gnuplot > /dev/null 2>&1") != 0)
        return false;
    const std::string cmd = "gnuplot -e \"set terminal emf size 400,300; set output '" + path + "'; " + commands + "\" 2>/dev/null";
    return std::system(cmd.c_str()) == 0 && FileExists(path);
}

TEST(MetafileGnuplot, FilledAreaShowsAtThePictureSize)
{
    TempDir dir;
    if (!Gnuplot(dir.file("half.emf"), "unset key; unset border; unset tics; set margins 0,0,0,0; "
                                       "set xrange [0:1]; set yrange [0:1]; "
                                       "plot 0.5 with filledcurves x1 fillcolor rgb '#ff0000' fillstyle solid noborder"))
        GTEST_SKIP() << "gnuplot not installed";
    ASSERT_NO_THROW(ConvertPictureFile(dir.file("half.emf"), dir.file("half.bmp")));
    const Bitmap b = LoadBmpFile(dir.file("half.bmp"));
    EXPECT_EQ(b.Bits(), 24);
    // gnuplot's frame is the size it was asked for, give or take its border.
    EXPECT_NEAR(b.Width(), 400, 4);
    EXPECT_NEAR(b.Height(), 300, 4);
    const int w = b.Width(), h = b.Height();
    for (int x : {w / 10, w / 2, 9 * w / 10}) {
        EXPECT_EQ(b.Pixel(x, 3 * h / 4), RGB(255, 0, 0)) << x;
        EXPECT_EQ(b.Pixel(x, h / 4), clWhite) << x;
    }
}

TEST(MetafileGnuplot, SineFilledCurvesAndAxisText)
{
    TempDir dir;
    if (!Gnuplot(dir.file("sin.emf"), "plot sin(x) with filledcurves"))
        GTEST_SKIP() << "gnuplot not installed";
    const Bitmap b = PlayMetafile(ReadFileBytes(dir.file("sin.emf")));
    // The fill is gnuplot's first line colour, a purple.
    const TColor fill = RGB(0x94, 0x00, 0xd3);
    int filled = 0, dark = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            filled += b.Pixel(x, y) == fill;
            dark += b.Pixel(x, y) == clBlack;
        }
    const int total = b.Width() * b.Height();
    EXPECT_GT(filled, total / 5);
    EXPECT_LT(filled, total / 2);
    EXPECT_GT(dark, 1000); // border, tics and labels
}

constexpr uint16_t kCreateBrush = 0x02FC, kCreatePen = 0x02FA, kSelect = 0x012D, kRectangle = 0x041B,
                   kEllipse = 0x0418, kWindowOrg = 0x020B, kWindowExt = 0x020C, kSaveDC = 0x001E,
                   kRestoreDC = 0x0127, kDelete = 0x01F0, kPolygon = 0x0324;

TEST(MetafileWmf, PlaceableBoxMapsOntoThePicture)
{
    // 2 x 1 inches at 1000 units per inch: 192 x 96 pixels.
    Wmf w(2000, 1000, 1000);
    w.Record(kCreateBrush, {0, 0x00FF, 0x0000, 0}) // solid red
        .Record(kCreatePen, {5, 0, 0, 0, 0})      // null pen
        .Record(kSelect, {0})
        .Record(kSelect, {1})
        .Record(kRectangle, {1000, 1000, 0, 0}); // left half: bottom, right, top, left
    const Bitmap b = PlayMetafile(w.Bytes());
    ASSERT_EQ(b.Width(), 192);
    ASSERT_EQ(b.Height(), 96);
    EXPECT_EQ(b.Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(90, 90), RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(100, 50), clWhite);
}

TEST(MetafileWmf, WindowFlipAndSavedStates)
{
    Wmf w(100, 100, 96); // 100 x 100 pixels
    // A y-up window: logical (0, 0) is the bottom-left corner.
    w.Record(kWindowOrg, {100, 0})
        .Record(kWindowExt, {-100, 100})
        .Record(kCreateBrush, {0, 0x0000, 0x00FF, 0}) // solid blue
        .Record(kSelect, {0})
        .Record(kSaveDC, {})
        .Record(kCreateBrush, {0, 0xFF00, 0x0000, 0}) // solid green, second slot
        .Record(kSelect, {1})
        .Record(kRestoreDC, {0xFFFF})                 // -1: back to blue
        .Record(kDelete, {1})
        .Record(kEllipse, {10, 40, 0, 10});           // near the bottom
    w.Record(kPolygon, {3, 60, 90, 90, 90, 75, 60}); // a triangle near the top
    const Bitmap b = PlayMetafile(w.Bytes());
    EXPECT_EQ(b.Pixel(25, 95), RGB(0, 0, 255)) << "ellipse drawn near the bottom";
    EXPECT_EQ(b.Pixel(75, 15), RGB(0, 0, 255)) << "triangle drawn near the top";
    EXPECT_EQ(b.Pixel(25, 5), clWhite);
}

// Objects fill the lowest free slot; each record costs a unit of the
// file's work, so endless object records run out of it.
TEST(MetafileWmf, ObjectsTakeTheLowestFreeSlotAndEveryRecordIsCharged)
{
    Wmf objects(16, 16, 96);
    objects.Record(kCreateBrush, {0, 0x00FF, 0x0000, 0}) // red, slot 0
        .Record(kCreateBrush, {0, 0xFF00, 0x0000, 0})   // green, slot 1
        .Record(kDelete, {0})
        .Record(kCreateBrush, {0, 0x0000, 0x00FF, 0}) // blue, slot 0 again
        .Record(kSelect, {0});
    Wmf drawn = objects;
    EXPECT_EQ(PlayMetafile(drawn.Record(kRectangle, {12, 12, 4, 4}).Bytes()).Pixel(8, 8), RGB(0, 0, 255));
    const auto five = objects.Bytes();
    Bitmap out(16, 16);
    Canvas canvas(out);
    metafile::Device dev(canvas, {0, 0}, {1, 1}, {1, 1});
    canvas.SetWorkLimit(4);
    EXPECT_THROW(metafile::PlayWmfRecords(five, metafile::ReadWmfHeader(five), dev, {}), BadInput);
    canvas.SetWorkLimit(5);
    EXPECT_NO_THROW(metafile::PlayWmfRecords(five, metafile::ReadWmfHeader(five), dev, {}));
}

// In a table of 8: a null pen, red, green and blue brushes in slots 0 to 3;
// green deleted from slot 2, then yellow takes that slot and cyan the next
// free one, 4. Rectangles drawn with a null pen leave out their right column
// and bottom row.
TEST(MetafileWmf, FreedSlotIsTakenFirstAndANullPenLeavesTheEdge)
{
    Wmf w(100, 100, 96);
    w.Record(kCreatePen, {5, 0, 0, 0, 0})
        .Record(kCreateBrush, {0, 0x00FF, 0x0000, 0}) // red
        .Record(kCreateBrush, {0, 0xFF00, 0x0000, 0}) // green
        .Record(kCreateBrush, {0, 0x0000, 0x00FF, 0}) // blue
        .Record(kDelete, {2})
        .Record(kCreateBrush, {0, 0xFFFF, 0x0000, 0}) // yellow
        .Record(kCreateBrush, {0, 0xFF00, 0x00FF, 0}) // cyan
        .Record(kSelect, {0});
    const int slots[] = {1, 2, 3, 4};
    for (int i = 0; i < 4; ++i)
        w.Record(kSelect, {slots[i]}).Record(kRectangle, {30, 30 + 20 * i, 10, 10 + 20 * i});
    const Bitmap b = PlayMetafile(w.Bytes());
    const TColor want[] = {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255), RGB(0, 255, 255)};
    for (int i = 0; i < 4; ++i) {
        const int left = 10 + 20 * i;
        EXPECT_EQ(b.Pixel(left, 10), want[i]) << "slot " << slots[i];
        EXPECT_EQ(b.Pixel(left + 18, 28), want[i]) << "slot " << slots[i];
        EXPECT_EQ(b.Pixel(left + 19, 20), clWhite) << "right column, slot " << slots[i];
        EXPECT_EQ(b.Pixel(left + 10, 29), clWhite) << "bottom row, slot " << slots[i];
    }
}

// Whether an EMF's records, played 1:1 into a small picture, run out of the
// given work.
bool RunsOutOfWork(const std::vector<uint8_t>& file, int64_t limit)
{
    Bitmap out(100, 100);
    Canvas canvas(out);
    canvas.SetWorkLimit(limit);
    metafile::Device dev(canvas, {0, 0}, {1, 1}, {1, 1});
    try {
        metafile::PlayEmfRecords(file, metafile::ReadEmfHeader(file), dev, {});
        return false;
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "picture too complex");
        return true;
    }
}

// Each EMF record costs a unit of work: the header, three records that only
// set a mode, and the end record are five.
TEST(MetafileEmf, EveryRecordIsCharged)
{
    const auto five = Emf().Record(18, {1}).Record(18, {2}).Record(18, {1}).Bytes(); // EMR_SETBKMODE
    EXPECT_TRUE(RunsOutOfWork(five, 4));
    EXPECT_FALSE(RunsOutOfWork(five, 5));
}

// Paths: the figure is filled, or only stroked, and never drawn while built.
TEST(MetafileEmf, PathsFillOrStrokeTheirFigures)
{
    for (bool fill : {true, false}) {
        Emf e;
        e.Record(EMR_CREATEBRUSHINDIRECT, {1, 0, 0x0000FF, 0})
            .Record(EMR_SELECTOBJECT, {1})
            .Record(EMR_CREATEPEN, {2, 0, 1, 0, 0xFF0000})
            .Record(EMR_SELECTOBJECT, {2})
            .Record(EMR_BEGINPATH, {})
            .Record(EMR_MOVETOEX, {10, 10})
            .Record(EMR_LINETO, {90, 10})
            .Record(EMR_LINETO, {90, 90})
            .Record(EMR_LINETO, {10, 90})
            .Record(EMR_CLOSEFIGURE, {})
            .Record(EMR_ENDPATH, {})
            .Record(fill ? EMR_FILLPATH : EMR_STROKEPATH, {0, 0, 100, 100});
        const Bitmap b = PlayMetafile(e.Bytes());
        ASSERT_EQ(b.Width(), 96);
        EXPECT_EQ(b.Pixel(48, 48), fill ? RGB(255, 0, 0) : clWhite);
        // The left edge, which only the closing line draws.
        EXPECT_EQ(b.Pixel(10, 48), fill ? RGB(255, 0, 0) : RGB(0, 0, 255));
        EXPECT_EQ(b.Pixel(5, 48), clWhite);
    }
}

// Records that draw on from the current position start there, wherever the
// position was set: by a move, a line, the start of a closed figure, or a
// state restored. Each case draws straight lines only (a Bézier with its
// controls on the line), given in logical units, 100 to 96 pixels.
struct Segment {
    double x0, y0, x1, y1;
};

struct CurrentPositionCase {
    const char* name;
    std::vector<uint8_t> file;
    std::vector<Segment> drawn;
};

void PrintTo(const CurrentPositionCase& c, std::ostream* os) { *os << c.name; }

class CurrentPosition : public testing::TestWithParam<CurrentPositionCase> {};

double DistanceToSegment(double px, double py, const Segment& s)
{
    const double dx = s.x1 - s.x0, dy = s.y1 - s.y0, len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((px - s.x0) * dx + (py - s.y0) * dy) / len2, 0.0, 1.0) : 0;
    return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

TEST_P(CurrentPosition, DrawsOnlyTheSegmentsFromThere)
{
    const Bitmap b = PlayMetafile(GetParam().file);
    std::vector<Segment> px;
    for (const Segment& s : GetParam().drawn)
        px.push_back({s.x0 * 0.96, s.y0 * 0.96, s.x1 * 0.96, s.y1 * 0.96});
    int stray = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            double d = 1e9;
            for (const Segment& s : px)
                d = std::min(d, DistanceToSegment(x + 0.5, y + 0.5, s));
            stray += b.Pixel(x, y) != clWhite && d > 2;
        }
    EXPECT_EQ(stray, 0);
    for (const Segment& s : px)
        for (double t : {0.25, 0.5, 0.75})
            EXPECT_NE(b.Pixel(int(std::lround(s.x0 + t * (s.x1 - s.x0))), int(std::lround(s.y0 + t * (s.y1 - s.y0)))), clWhite)
                << "at " << t << " of (" << s.x0 << ", " << s.y0 << ")-(" << s.x1 << ", " << s.y1 << ")";
}

// Two 16-bit coordinates in one parameter.
int32_t P16(int x, int y) { return int32_t(uint32_t(uint16_t(x)) | uint32_t(uint16_t(y)) << 16); }

std::vector<CurrentPositionCase> CurrentPositionCases()
{
    const std::vector<int32_t> curve16{0, 0, 0, 0, 3, P16(40, 60), P16(60, 60), P16(80, 60)};
    const std::vector<int32_t> curve32{0, 0, 0, 0, 3, 40, 60, 60, 60, 80, 60};
    const Segment across{20, 60, 80, 60};
    std::vector<CurrentPositionCase> v;
    v.push_back({"BezierTo16AfterMove", Emf().Record(EMR_MOVETOEX, {20, 60}).Record(EMR_POLYBEZIERTO16, curve16).Bytes(),
                 {across}});
    v.push_back({"BezierToAfterMove", Emf().Record(EMR_MOVETOEX, {20, 60}).Record(EMR_POLYBEZIERTO, curve32).Bytes(),
                 {across}});
    v.push_back({"BezierToAfterLine",
                 Emf().Record(EMR_MOVETOEX, {20, 20}).Record(EMR_LINETO, {20, 60}).Record(EMR_POLYBEZIERTO16, curve16).Bytes(),
                 {{20, 20, 20, 60}, across}});
    v.push_back({"PolylineTo16AfterMove",
                 Emf().Record(EMR_MOVETOEX, {20, 60}).Record(EMR_POLYLINETO16, {0, 0, 0, 0, 2, P16(50, 60), P16(80, 60)}).Bytes(),
                 {across}});
    // Records between a path's begin and its stroke, after a move to (20, 60).
    const auto stroked = [](const std::vector<std::pair<uint32_t, std::vector<int32_t>>>& records) {
        Emf e;
        e.Record(EMR_BEGINPATH, {}).Record(EMR_MOVETOEX, {20, 60});
        for (const auto& [type, params] : records)
            e.Record(type, params);
        return e.Record(EMR_ENDPATH, {}).Record(EMR_STROKEPATH, {0, 0, 100, 100}).Bytes();
    };
    v.push_back({"BezierToInAPath", stroked({{EMR_POLYBEZIERTO16, curve16}}), {across}});
    // A closed figure's next line starts where that figure began.
    v.push_back({"BezierToAfterCloseFigure",
                 stroked({{EMR_LINETO, {20, 20}}, {EMR_CLOSEFIGURE, {}}, {EMR_POLYBEZIERTO16, curve16}}),
                 {{20, 20, 20, 60}, across}});
    // A polyline in a path leaves the position where it was, so the next
    // line does not go on from the polyline's end, even one ending level with it.
    v.push_back({"LineToAfterPolylineInAPath",
                 stroked({{EMR_POLYLINE16, {0, 0, 0, 0, 2, P16(30, 20), P16(70, 20)}}, {EMR_LINETO, {80, 60}}}),
                 {{30, 20, 70, 20}, across}});
    v.push_back({"LineToAfterPolylineEndingLevelInAPath",
                 stroked({{EMR_POLYLINE16, {0, 0, 0, 0, 2, P16(30, 20), P16(50, 60)}}, {EMR_LINETO, {80, 60}}}),
                 {{30, 20, 50, 60}, across}});
    // A Bézier of its own starts at its first point, not at the position.
    v.push_back({"BezierAfterMove", Emf()
                                        .Record(EMR_MOVETOEX, {10, 90})
                                        .Record(EMR_POLYBEZIER16, {0, 0, 0, 0, 4, P16(20, 60), P16(40, 60), P16(60, 60), P16(80, 60)})
                                        .Bytes(),
                 {across}});
    v.push_back({"BezierToAfterRestoreDC", Emf()
                                               .Record(EMR_MOVETOEX, {20, 60})
                                               .Record(EMR_SAVEDC, {})
                                               .Record(EMR_MOVETOEX, {90, 10})
                                               .Record(EMR_RESTOREDC, {-1})
                                               .Record(EMR_POLYBEZIERTO16, curve16)
                                               .Bytes(),
                 {across}});
    // The same in a WMF, which has only lines: on from a move restored.
    const uint16_t kMoveTo = 0x0214, kLineTo = 0x0213;
    v.push_back({"WmfLineToAfterRestoreDC", Wmf(100, 100, 96)
                                                .Record(kMoveTo, {60, 20})
                                                .Record(kSaveDC, {})
                                                .Record(kMoveTo, {10, 90})
                                                .Record(kRestoreDC, {0xFFFF})
                                                .Record(kLineTo, {60, 80})
                                                .Bytes(),
                 {{20 / 0.96, 60 / 0.96, 80 / 0.96, 60 / 0.96}}});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Records, CurrentPosition, testing::ValuesIn(CurrentPositionCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A StretchDIBits of one red pixel into a rectangle 20 million units high:
// the part inside the picture is drawn, and only that part is worked out.
TEST(MetafileBudget, StretchIntoAHugeRectangleTakesThePicturesMemory)
{
    Emf e;
    e.Record(EMR_STRETCHDIBITS, {0, 0, 0, 0, 10, 10, 0, 0, 1, 1, 80, 40, 120, 4, 0, 0x00CC0020, 50, 20'000'000,
                                 40, 1, 1, 0x00180001, 0, 0, 0, 0, 0, 0, 0x00FF0000});
    const auto file = e.Bytes();
    EXPECT_LE(file.size(), 276u);
    BitmapMemory::ResetPeak();
    const int64_t before = BitmapMemory::Current();
    const Bitmap b = PlayMetafile(file);
    EXPECT_LE(BitmapMemory::Peak() - before, 128 << 10);
    ASSERT_EQ(b.Height(), 96);
    EXPECT_EQ(b.Pixel(30, 95), RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(30, 5), clWhite);
    EXPECT_EQ(b.Pixel(70, 50), clWhite);
}

// An ordinary drawing of 1000 x 1000 pixels that takes a fraction of a
// second: 3,000 groups of brush, pen, rectangle, ellipse and polyline, the
// layout bench/emf_groups.py writes. It is drawn, not refused as too complex.
TEST(MetafileBudget, ThousandsOfSmallShapesDraw)
{
    Emf e(26458); // 1000 pixels at 96 an inch, in 0.01 mm
    constexpr int groups = 3000;
    int x = 0, y = 0;
    TColor colour = 0;
    for (int i = 0; i < groups; ++i) {
        x = i * 37 % 900, y = i * 91 % 900;
        colour = TColor(i * 0x010305 & 0xFFFFFF);
        std::vector<int32_t> line{x, y, x + 84, y + 70, 8};
        for (int k = 0; k < 8; ++k)
            line.push_back(P16(x + 12 * k, y + (k % 2 ? 30 : 70)));
        e.Record(EMR_CREATEBRUSHINDIRECT, {1, 0, int32_t(colour), 0})
            .Record(EMR_CREATEPEN, {2, 0, 1, 0, int32_t(colour ^ 0x808080)})
            .Record(EMR_SELECTOBJECT, {1})
            .Record(EMR_SELECTOBJECT, {2})
            .Record(EMR_RECTANGLE, {x, y, x + 60, y + 40})
            .Record(EMR_ELLIPSE, {x + 10, y + 10, x + 90, y + 90})
            .Record(EMR_POLYLINE16, line)
            .Record(EMR_SELECTOBJECT, {int32_t(0x80000000)})
            .Record(EMR_SELECTOBJECT, {int32_t(0x80000007)})
            .Record(EMR_DELETEOBJECT, {1})
            .Record(EMR_DELETEOBJECT, {2});
    }
    const Bitmap b = PlayMetafile(e.Bytes());
    ASSERT_EQ(b.Width(), 1000);
    // Inside the last rectangle, clear of its ellipse and polyline; logical
    // units are 1000 to 960 pixels.
    EXPECT_EQ(b.Pixel(int((x + 5) * 0.96), int((y + 5) * 0.96)), colour);
}

// Work that leaves no pixel in the picture still costs its time: outlines
// of shapes clipped away, text beside the picture, figures of a path that is
// never drawn. Each of these files costs more than 100,000 units.
struct UnseenWorkCase {
    const char* name;
    std::vector<uint8_t> file;
};

void PrintTo(const UnseenWorkCase& c, std::ostream* os) { *os << c.name; }

class UnseenWork : public testing::TestWithParam<UnseenWorkCase> {};

TEST_P(UnseenWork, IsCharged)
{
    EXPECT_TRUE(RunsOutOfWork(GetParam().file, 100000));
}

std::vector<UnseenWorkCase> UnseenWorkCases()
{
    std::vector<UnseenWorkCase> v;
    Emf ellipses;
    ellipses.Record(EMR_INTERSECTCLIPRECT, {50, 50, 51, 51});
    for (int i = 0; i < 10; ++i)
        ellipses.Record(EMR_ELLIPSE, {-100000, -100000, 100000, 100001});
    v.push_back({"HugeEllipsesClippedToAPixel", ellipses.Bytes()});
    Emf wide;
    wide.Record(EMR_CREATEPEN, {1, 0, 2000, 0, 0xFF}).Record(EMR_SELECTOBJECT, {1});
    wide.Record(EMR_INTERSECTCLIPRECT, {50, 50, 51, 51});
    for (int i = 0; i < 30; ++i)
        wide.Record(EMR_LINETO, {50 + i % 2, 50});
    v.push_back({"WidePenClippedToAPixel", wide.Bytes()});
    // 20,000 characters far left of the picture.
    std::vector<int32_t> text{0, 0, 0, 0, 1, 0, 0, -1000000, 10, 20000, 76, 0, 0, 0, 0, 0, 0};
    text.resize(text.size() + 10000, 0x00410042);
    v.push_back({"TextBesideThePicture", Emf().Record(EMR_EXTTEXTOUTW, text).Bytes()});
    Emf path;
    path.Record(EMR_BEGINPATH, {});
    for (int i = 0; i < 1000; ++i)
        path.Record(EMR_ELLIPSE, {10, 10, 30, 30});
    v.push_back({"EllipsesOfAPathNeverDrawn", path.Bytes()});
    // A zigzag two pixels wide whose 20 rows each cross 256 edges: sorting
    // the crossings costs more than the few pixels filled.
    std::vector<int32_t> zigzag{0, 0, 2, 20, 256};
    for (int i = 0; i < 256; ++i)
        zigzag.push_back(i % 2 ? P16(1, 20) : P16(0, 0));
    v.push_back({"RowsCrossingManyEdges", Emf()
                                              .Record(EMR_SELECTOBJECT, {int32_t(0x80000008)})
                                              .Record(86 /* EMR_POLYGON16 */, zigzag)
                                              .Bytes()});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Files, UnseenWork, testing::ValuesIn(UnseenWorkCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Rectangles over the whole of a picture at the scene bound: each writes 16
// million pixels, and the file's budget runs out long before 200 of them.
TEST(MetafileBudget, ManyFullPictureRectanglesRunOutOfWork)
{
    Wmf w(32000, 32000, 96);
    for (int i = 0; i < 200; ++i)
        w.Record(kRectangle, {32000, 32000, 0, 0});
    const auto file = w.Bytes();
    EXPECT_LE(file.size(), 2900u);
    try {
        PlayMetafile(file);
        ADD_FAILURE() << "played";
    } catch (const BadInput& e) {
        EXPECT_STREQ(e.what(), "picture too complex");
    }
}

// A figure may have 4,000,000 points, which take some 300 MB to fill; one
// more is refused by name before its points are read (none follow here).
TEST(MetafileBudget, FigurePointsAreBounded)
{
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {Emf().Record(EMR_POLYGON16, {0, 0, 0, 0, 4000000}).Bytes(), "truncated"},
        {Emf().Record(EMR_POLYGON16, {0, 0, 0, 0, 4000001}).Bytes(), "more than 4000000 points"},
        {Emf().Record(EMR_POLYPOLYGON16, {0, 0, 0, 0, 2, 4000001, 2000000, 2000001}).Bytes(), "more than 4000000 points"},
    };
    for (const auto& [file, error] : cases) {
        try {
            PlayMetafile(file);
            ADD_FAILURE() << "played";
        } catch (const BadInput& e) {
            EXPECT_TRUE(std::string(e.what()).ends_with(error)) << e.what();
        }
    }
}

// Pattern brushes of 4096 x 4096 pixels, each 76 bytes (RLE that ends at
// once: every pixel palette entry 0, blue). One is read and drawn in its
// colour; four of them cost more than three pictures' pixels.
std::vector<uint8_t> PatternBrushes(int count)
{
    Emf e;
    for (int i = 0; i < count; ++i)
        e.Record(EMR_CREATEDIBPATTERNBRUSHPT,
                 {1, 0, 32, 44, 76, 2, 40, 4096, 4096, 0x00080001, 1, 0, 0, 0, 1, 0, 0x000000FF, 0x0100});
    e.Record(EMR_SELECTOBJECT, {1}).Record(EMR_RECTANGLE, {10, 10, 60, 60});
    return e.Bytes();
}

TEST(MetafileBudget, EveryPictureDecodedIsCharged)
{
    const Bitmap one = PlayMetafile(PatternBrushes(1));
    EXPECT_EQ(one.Pixel(30, 30), RGB(0, 0, 255));
    const auto four = PatternBrushes(4);
    constexpr int64_t picture = 4096 * 4096;
    EXPECT_TRUE(RunsOutOfWork(four, 3 * picture));
    EXPECT_FALSE(RunsOutOfWork(four, 5 * picture));
}

// Pattern brushes alive at once (here kept by saved states) may hold one
// embedded picture's memory: four of 4096 x 4096 at 8 bits, not five.
TEST(MetafileBudget, LivePatternBrushesHoldAtMostOnePicturesMemory)
{
    for (int count : {4, 5}) {
        Emf e;
        for (int i = 0; i < count; ++i)
            e.Record(EMR_CREATEDIBPATTERNBRUSHPT,
                     {1, 0, 32, 44, 76, 2, 40, 4096, 4096, 0x00080001, 1, 0, 0, 0, 1, 0, 0x000000FF, 0x0100})
                .Record(EMR_SELECTOBJECT, {1})
                .Record(EMR_SAVEDC, {});
        std::string error;
        try {
            PlayMetafile(e.Bytes());
        } catch (const BadInput& x) {
            error = x.what();
        }
        EXPECT_EQ(error == "The metafile's pattern brushes take too much memory", count == 5) << error;
    }
}

// A picture inside a metafile may take a quarter of a picture file's
// memory: 4096 x 4096 at 32 bits, and not one column more.
TEST(MetafileBudget, EmbeddedPictureTakesAQuarterOfThePictureBudget)
{
    for (int width : {4096, 4097}) {
        Emf e;
        e.Record(EMR_CREATEDIBPATTERNBRUSHPT, {1, 0, 32, 40, 72, 0, 40, width, 4096, 0x00180001, 0, 0, 0, 0, 0, 0});
        std::string error;
        try {
            PlayMetafile(e.Bytes());
        } catch (const BadInput& x) {
            error = x.what();
        }
        EXPECT_EQ(error.starts_with("A picture inside the metafile is too large"), width == 4097) << error;
    }
}

// Packed pattern pixels run from the high bit: 1 bit a pixel, 3 wide, only
// the first pixel red, so every third column from the picture's left is red.
TEST(MetafileEmf, PackedPatternPixelsStartAtTheHighBit)
{
    Emf e;
    e.Record(EMR_CREATEDIBPATTERNBRUSHPT,
             {1, 0, 32, 48, 80, 4, 40, 3, 1, 0x00010001, 0, 0, 0, 0, 2, 0, 0x00000000, 0x00FF0000, 0x00000080});
    e.Record(EMR_SELECTOBJECT, {1}).Record(EMR_RECTANGLE, {10, 10, 60, 60});
    const Bitmap b = PlayMetafile(e.Bytes());
    EXPECT_EQ(b.Pixel(30, 30), RGB(255, 0, 0));
    EXPECT_EQ(b.Pixel(31, 30), clBlack);
    EXPECT_EQ(b.Pixel(32, 31), clBlack);
}

// Broken metafiles: a clear error, never a crash or a hang.
struct BrokenCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

class BrokenMetafile : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenMetafile, FailsCleanly)
{
    EXPECT_THROW(PlayMetafile(GetParam().bytes), BadInput);
}

std::vector<BrokenCase> BrokenCases()
{
    std::vector<BrokenCase> v;
    v.push_back({"empty", {}});
    v.push_back({"not_a_metafile", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}});
    auto good = Wmf(100, 100, 96).Record(kRectangle, {50, 50, 0, 0}).Bytes();
    auto truncated = good;
    truncated.resize(truncated.size() - 8);
    v.push_back({"record_past_the_end", truncated});
    auto zeroRecord = good;
    zeroRecord[40] = zeroRecord[41] = zeroRecord[42] = zeroRecord[43] = 0;
    v.push_back({"zero_size_record", zeroRecord});
    auto noSize = Wmf(0, 0, 96).Bytes();
    v.push_back({"no_size", noSize});
    auto shortPolygon = Wmf(100, 100, 96).Record(kPolygon, {30000, 1, 2}).Bytes();
    v.push_back({"polygon_count_beyond_record", shortPolygon});
    // Source rows counted from a bottom past int.
    const std::vector<int32_t> blit{0, 0, 0, 0, 10, 10, 0, INT32_MIN, 1, 1, 80, 40, 120, 4, 0, 0x00CC0020, 50, 50,
                                    40, 1, 1, 0x00180001, 0, 0, 0, 0, 0, 0, 0x00FF0000};
    v.push_back({"blit_source_beyond_int", Emf().Record(EMR_STRETCHDIBITS, blit).Bytes()});
    // 250000 Bézier segments flatten to one point more than a path may hold.
    std::vector<int32_t> bezier{0, 0, 0, 0, 1 + 3 * 250000};
    bezier.resize(bezier.size() + 1 + 3 * 250000);
    v.push_back({"bezier_beyond_the_path_bound", Emf().Record(EMR_POLYBEZIER16, bezier).Bytes()});
    return v;
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenMetafile, testing::ValuesIn(BrokenCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Every prefix of a small WMF and EMF, each in its own allocation of exactly
// its size so that a read past it is seen by AddressSanitizer.
TEST(MetafilePrefixes, EveryPrefixFailsCleanly)
{
    Wmf w(100, 100, 96);
    w.Record(kCreateBrush, {0, 0x00FF, 0x0000, 0}).Record(kSelect, {0}).Record(kRectangle, {60, 60, 10, 10});
    Emf e;
    e.Record(EMR_CREATEBRUSHINDIRECT, {1, 0, 0x0000FF, 0}).Record(EMR_SELECTOBJECT, {1});
    e.Record(EMR_RECTANGLE, {10, 10, 60, 60});
    for (const std::vector<uint8_t>& bytes : {w.Bytes(), e.Bytes()}) {
        const Bitmap whole = PlayMetafile(bytes);
        ASSERT_NE(whole.Pixel(30, 30), clWhite);
        for (size_t n = 0; n < bytes.size(); ++n) {
            const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
            EXPECT_THROW(PlayMetafile(prefix), BadInput) << "prefix " << n << " of " << bytes.size();
        }
    }
}

// Tiny files that declare huge pictures are played at the bound, never drawn
// large: a 60-byte WMF of 32000 x 32000 pixels and a 132-byte EMF ten metres square.
TEST(MetafileSize, HugePicturesArePlayedAtTheSceneBound)
{
    Wmf w(32000, 32000, 96);
    w.Record(kRectangle, {32000, 32000, 16000, 0});
    Emf e(1000000);
    e.Record(EMR_RECTANGLE, {0, 0, 50, 100});
    for (const auto& file : {w.Bytes(), e.Bytes()}) {
        EXPECT_LE(file.size(), 132u);
        BitmapMemory::ResetPeak();
        const int64_t before = BitmapMemory::Current();
        const Bitmap b = PlayMetafile(file);
        // Three bytes a pixel, and one of the mask a shape is drawn through.
        EXPECT_LE(BitmapMemory::Peak() - before, int64_t(kScenePictureSide) * kScenePictureSide * 4);
        EXPECT_EQ(b.Width(), kScenePictureSide);
        EXPECT_EQ(b.Height(), kScenePictureSide);
    }
}

TEST(MetafileWmf, HugeBoxIsScaledDownNotRefused)
{
    Wmf w(32000, 32000, 1); // 32000 inches square
    w.Record(kRectangle, {32000, 32000, 0, 0});
    PictureLimits small{512, 512 * 512};
    const Bitmap b = PlayMetafile(w.Bytes(), small);
    EXPECT_LE(b.Width(), 512);
    EXPECT_EQ(b.Width(), b.Height());
}

} // namespace
} // namespace pc
