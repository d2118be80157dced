// Flood fill, the selection's filters, turning and mirroring.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "editor/tools/filters.h"
#include "editor/tools/flood_fill.h"
#include "editor/tools/flood_fill_tool.h"
#include "editor/tools/frame_select.h"
#include "editor/tools/picture_transforms.h"

namespace pc::editor {
namespace {

constexpr TColor kRed = RGB(255, 0, 0);

int Count(const Bitmap& b, TColor c)
{
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += b.Pixel(x, y) == c;
    return n;
}

TEST(FillArea, ToleranceOneIsExactAndTenTakesChannelsWithinNine)
{
    struct Case {
        int tolerance;
        int filled;
    };
    // Columns 0..9 of grey 100 + column index: a tolerance t takes the
    // columns within t - 1 of the seed's grey.
    for (Case c : {Case{1, 1}, Case{2, 2}, Case{10, 10}}) {
        Bitmap b(10, 1);
        for (int x = 0; x < 10; ++x)
            b.SetPixel(x, 0, RGB(uint8_t(100 + x), uint8_t(100 + x), uint8_t(100 + x)));
        EXPECT_EQ(FillArea(b, 0, 0, kRed, c.tolerance), c.filled) << c.tolerance;
        EXPECT_EQ(Count(b, kRed), c.filled);
    }
}

TEST(FillArea, DoesNotLeakThroughDiagonalGaps)
{
    // A diagonal wall of black pixels: the two halves touch only at corners.
    Bitmap b(16, 16);
    b.Fill(clWhite);
    for (int i = 0; i < 16; ++i)
        b.SetPixel(i, 15 - i, clBlack);
    EXPECT_EQ(FillArea(b, 0, 0, kRed, 1), 120);
    EXPECT_EQ(b.Pixel(15, 15), clWhite);
    EXPECT_EQ(b.Pixel(14, 0), kRed);
}

TEST(FillArea, ANewColourWithinToleranceStillEnds)
{
    // Filled pixels go on matching; the visited mask keeps the fill finite.
    Bitmap b(300, 200);
    b.Fill(RGB(100, 100, 100));
    EXPECT_EQ(FillArea(b, 150, 100, RGB(103, 100, 98), 10), 300 * 200);
    EXPECT_EQ(Count(b, RGB(103, 100, 98)), 300 * 200);
}

TEST(FillArea, SeedsOutsideOrTheSameColourChangeNothing)
{
    // Rows of exactly 24 bytes: a seed at x = 8 on the last row would be
    // read past the end of the pixels (the sanitizer build reports it).
    Bitmap b(8, 8);
    b.Fill(clWhite);
    const Bitmap before = b;
    for (Point p : {Point{-1, 0}, Point{8, 0}, Point{0, 8}, Point{3, -5}, Point{8, 7}})
        EXPECT_EQ(FillArea(b, p.x, p.y, kRed, 1), 0);
    EXPECT_EQ(FillArea(b, 3, 3, clWhite, 50), 0);
    EXPECT_EQ(b, before);
}

TEST(FloodFillTool, SolidBrushUsesThePenWidthAsToleranceAndSavesTheState)
{
    Bitmap b(20, 10);
    b.Fill(RGB(50, 50, 50));
    for (int y = 0; y < 10; ++y)
        b.SetPixel(10, y, RGB(55, 55, 55));
    Canvas c(b);
    c.brush = Brush{kRed, BrushStyle::Solid};
    c.pen.width = 5; // 55 is 5 away: not taken
    CFloodFill tool(c);
    tool.MouseDown({2, 2});
    EXPECT_EQ(Count(b, kRed), 100);
    c.pen.width = 6;
    c.brush.color = RGB(0, 0, 255);
    tool.MouseDown({2, 2}); // from red: only the red area matches
    tool.MouseDown({15, 2});
    EXPECT_EQ(Count(b, RGB(0, 0, 255)), 200);
    EXPECT_TRUE(tool.CanUndo());
    tool.MouseDown({-3, 4}); // outside: ignored, nothing saved
    ASSERT_GE(tool.Undo(), 0);
    EXPECT_EQ(Count(b, RGB(0, 0, 255)), 100);
}

TEST(FloodFillTool, FillsThePictureAsItIsAfterAResize)
{
    Bitmap b(10, 10);
    b.Fill(clWhite);
    Canvas c(b);
    CFloodFill tool(c);
    c.Resize(300, 200); // new pixels are black
    c.brush = Brush{kRed, BrushStyle::Solid};
    tool.MouseDown({299, 199});
    EXPECT_EQ(Count(b, kRed), 300 * 200 - 100);
}

TEST(FloodFillTool, PatternedBrushFillsTheExactColourWithTheHatch)
{
    Bitmap b(16, 16);
    b.Fill(clWhite);
    b.SetPixel(3, 3, RGB(250, 250, 250));
    Canvas c(b);
    c.brush = Brush{kRed, BrushStyle::Vertical};
    c.backgroundMode = BackgroundMode::Transparent;
    c.pen.width = 50; // no tolerance with a pattern
    CFloodFill tool(c);
    tool.MouseDown({1, 1});
    EXPECT_EQ(Count(b, kRed), 2 * 16);
    EXPECT_EQ(b.Pixel(8, 5), kRed);
    EXPECT_EQ(b.Pixel(9, 5), clWhite);
}

Bitmap Uniform(int w, int h, TColor c)
{
    Bitmap b(w, h);
    b.Fill(c);
    return b;
}

TEST(Filter3x3, UniformAreas)
{
    struct Case {
        FilterKind kind;
        TColor in, out;
    };
    for (Case c : {Case{FilterKind::Blur, RGB(90, 130, 200), RGB(90, 130, 200)},
                   Case{FilterKind::Sharpen, RGB(90, 130, 20), RGB(90, 130, 20)},
                   Case{FilterKind::Carve, RGB(90, 130, 200), RGB(128, 128, 128)}}) {
        Bitmap b = Uniform(6, 5, c.in);
        Filter3x3(b, c.kind, FilterDivisor(c.kind));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool border = x == 0 || y == 0 || x == 5 || y == 4;
                EXPECT_EQ(b.Pixel(x, y), border ? c.in : c.out) << int(c.kind) << " " << x << "," << y;
            }
    }
}

TEST(Filter3x3, SharpenOfASpotClampsAndTruncates)
{
    Bitmap b = Uniform(5, 5, RGB(10, 10, 10));
    b.SetPixel(2, 2, RGB(200, 200, 200));
    Filter3x3(b, FilterKind::Sharpen, 10);
    // Centre: (30 * 200 - 4 * 5 * 10) / 10 = 580 -> 255.
    EXPECT_EQ(b.Pixel(2, 2), RGB(255, 255, 255));
    // Neighbour: (30 * 10 - 5 * 200 - 3 * 5 * 10) / 10 = -85 -> 0.
    EXPECT_EQ(b.Pixel(2, 1), RGB(0, 0, 0));
    // Diagonal: (30 * 10 - 4 * 5 * 10) / 10 = 10.
    EXPECT_EQ(b.Pixel(1, 1), RGB(10, 10, 10));
}

TEST(FrameSelect, DraggedUpAndLeftGivesANormalisedClampedSelection)
{
    Bitmap b = Uniform(50, 40, clWhite);
    Canvas c(b);
    CFrameSelect tool(c, Rect{});
    EXPECT_EQ(tool.Selection().Width(), 0);
    tool.MouseDown({30, 25});
    tool.MouseMove({-20, 10});
    tool.MouseUp({-20, 10});
    const Rect s = tool.Selection();
    EXPECT_EQ(s.left, 0);
    EXPECT_EQ(s.top, 10);
    EXPECT_EQ(s.right, 30);
    EXPECT_EQ(s.bottom, 25);
    tool.MouseDown({10, 10});
    tool.MouseMove({80, 70});
    tool.MouseUp({80, 70});
    EXPECT_EQ(tool.Selection().right, 50); // stops at the picture's width
    EXPECT_EQ(tool.Selection().bottom, 40);
}

Bitmap NoisePicture(unsigned seed)
{
    std::mt19937 rng(seed);
    Bitmap b(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            b.SetPixel(x, y, TColor(rng() & 0xFFFFFF));
    return b;
}

// The three kernels, rows top to bottom, with the start value of each sum.
struct RefKernel {
    int w[9], start;
};
constexpr RefKernel kRefBlur{{5, 5, 5, 5, 60, 5, 5, 5, 5}, 0};
constexpr RefKernel kRefSharpen{{0, -5, 0, -5, 30, -5, 0, -5, 0}, 0};
constexpr RefKernel kRefCarve{{-15, -15, 0, -15, 15, 15, 0, 15, 0}, 128};

const RefKernel& RefOf(FilterKind k)
{
    return k == FilterKind::Blur ? kRefBlur : k == FilterKind::Sharpen ? kRefSharpen : kRefCarve;
}

// A plain 3x3 filter over the area (left, top, w, h) of b, borders kept.
Bitmap RefFilter(const Bitmap& b, Rect area, FilterKind kind, int divisor)
{
    const RefKernel& k = RefOf(kind);
    Bitmap out = b;
    for (int y = area.top + 1; y < area.bottom - 1; ++y)
        for (int x = area.left + 1; x < area.right - 1; ++x) {
            int ch[3];
            for (int c = 0; c < 3; ++c) {
                int sum = k.start;
                for (int j = 0; j < 3; ++j)
                    for (int i = 0; i < 3; ++i)
                        sum += k.w[j * 3 + i] * int((b.Pixel(x - 1 + i, y - 1 + j) >> (8 * c)) & 0xFF);
                ch[c] = std::clamp(sum / divisor, 0, 255);
            }
            out.SetPixel(x, y, RGB(ch[0], ch[1], ch[2]));
        }
    return out;
}

// original with the 20 x 15 area at (5, 5) filtered by each kind in turn.
Bitmap Filtered(const Bitmap& original, std::initializer_list<FilterKind> kinds)
{
    Bitmap want = original;
    for (FilterKind k : kinds)
        want = RefFilter(want, Rect{5, 5, 25, 20}, k, FilterDivisor(k));
    return want;
}

TEST(Filter3x3, EachKindMatchesAPlainReferenceOnAnOddNoisyArea)
{
    const Bitmap noise = NoisePicture(8);
    Bitmap odd(7, 6);
    Canvas(odd).Draw(-3, -2, noise);
    for (FilterKind k : {FilterKind::Blur, FilterKind::Sharpen, FilterKind::Carve})
        for (int divisor : {FilterDivisor(k), 3}) {
            Bitmap b = odd;
            Filter3x3(b, k, divisor);
            EXPECT_EQ(b, RefFilter(odd, Rect{0, 0, 7, 6}, k, divisor)) << int(k) << " / " << divisor;
        }
}

TEST(Filter3x3, ASpotShowsEveryKernelCell)
{
    // A pixel 2 above a background of 1: the 3x3 around it is the kernel
    // turned half a turn, times 2, over the background's own sum.
    for (FilterKind k : {FilterKind::Blur, FilterKind::Sharpen, FilterKind::Carve}) {
        Bitmap b(5, 5);
        b.Fill(RGB(1, 1, 1));
        b.SetPixel(2, 2, RGB(3, 3, 3));
        Filter3x3(b, k, 1);
        const RefKernel& ref = RefOf(k);
        int sum = ref.start;
        for (int w : ref.w)
            sum += w;
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) {
                const int v = std::clamp(sum + 2 * ref.w[(2 - j) * 3 + (2 - i)], 0, 255);
                EXPECT_EQ(b.Pixel(1 + i, 1 + j), RGB(v, v, v)) << int(k) << " at " << i << "," << j;
            }
    }
}

TEST(FrameSelect, UndoBringsBackTheStateWithItsFrame)
{
    Bitmap b = NoisePicture(3);
    const Bitmap original = b;
    Canvas c(b);
    CFrameSelect tool(c, Rect{5, 5, 25, 20});
    EXPECT_NE(b, original); // the frame shows
    tool.Filter(FilterKind::Blur, 100);
    tool.Filter(FilterKind::Carve, 1);
    ASSERT_GE(tool.Undo(), 0);
    EXPECT_FALSE(tool.CanUndo());
    tool.Finish();
    EXPECT_EQ(b, Filtered(original, {FilterKind::Blur}));
}

TEST(FrameSelect, AStateSavedWithTheFrameHiddenKeepsTheFrameForLater)
{
    // As a cut does: the frame is hidden around the snapshot and the fill.
    Bitmap b = NoisePicture(5);
    Canvas c(b);
    CFrameSelect tool(c, Rect{5, 5, 25, 20});
    tool.Filter(FilterKind::Blur, 100);
    tool.DrawFrame();
    tool.SaveState();
    const Bitmap hidden = b;
    c.FillRect(Rect{5, 5, 25, 20});
    tool.DrawFrame();
    ASSERT_GE(tool.Undo(), 0);
    ASSERT_GE(tool.Redo(), 0);
    EXPECT_EQ(b, hidden);
    tool.DrawFrame();
    EXPECT_NE(b, hidden);
    tool.Finish();
    EXPECT_EQ(b, hidden);
    EXPECT_EQ(tool.Selection().left, 5);
    EXPECT_EQ(tool.Selection().bottom, 20);
}

TEST(FrameSelect, FinishLeavesTheFilteredPictureWithoutItsFrame)
{
    Bitmap b = NoisePicture(4);
    const Bitmap original = b;
    Canvas c(b);
    CFrameSelect tool(c, Rect{5, 5, 25, 20});
    tool.Filter(FilterKind::Sharpen, 10);
    tool.Finish();
    EXPECT_EQ(b, Filtered(original, {FilterKind::Sharpen}));
    EXPECT_EQ(c.pen.style, PenStyle::Solid); // the pen is given back
}

TEST(PictureTransforms, QuarterTurnAndMirrors)
{
    Bitmap b(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            b.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 0));
    const Bitmap r = RotateClockwise(b);
    ASSERT_EQ(r.Width(), 2);
    ASSERT_EQ(r.Height(), 3);
    EXPECT_EQ(r.Pixel(0, 0), b.Pixel(0, 1)); // the old bottom-left pixel
    EXPECT_EQ(r.Pixel(1, 2), b.Pixel(2, 0));
    EXPECT_EQ(FlipHorizontal(b).Pixel(0, 1), b.Pixel(2, 1));
    EXPECT_EQ(FlipVertical(b).Pixel(2, 0), b.Pixel(2, 1));
    EXPECT_EQ(RotateClockwise(RotateClockwise(RotateClockwise(r))), b);
}

} // namespace
} // namespace pc::editor
