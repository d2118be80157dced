// The floating picture layer, the crop and the text tool.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "editor/tools/crop.h"
#include "editor/tools/image_shape.h"
#include "editor/tools/layer_composite.h"
#include "editor/tools/text_tool.h"

namespace pc::editor {
namespace {

Bitmap Noise(int w, int h, unsigned seed)
{
    std::mt19937 rng(seed);
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, TColor(rng() & 0xFFFFFF));
    return b;
}

Bitmap Uniform(int w, int h, TColor c)
{
    Bitmap b(w, h);
    b.Fill(c);
    return b;
}

// The layer over a 40 x 30 picture at (10, 8), its own size.
const std::array<Point, 4> kQuad{Point{10, 8}, Point{29, 8}, Point{29, 22}, Point{10, 22}};

TEST(CompositeLayer, AlphaWeightMixesWithThePixelUnder)
{
    struct Case {
        int alpha;
        uint8_t out;
    };
    for (Case c : {Case{0, 200}, Case{50, 150}, Case{100, 100}, Case{30, 170}}) {
        Bitmap target = Uniform(40, 30, RGB(100, 100, 100));
        CompositeLayer(target, Rect{0, 0, 40, 30}, Uniform(20, 15, RGB(200, 200, 200)), kQuad,
                       LayerOptions{c.alpha, false, 0, 1});
        EXPECT_EQ(target.Pixel(15, 15), RGB(c.out, c.out, c.out)) << c.alpha;
        EXPECT_EQ(target.Pixel(29, 22), RGB(c.out, c.out, c.out)) << c.alpha;
        EXPECT_EQ(target.Pixel(30, 15), RGB(100, 100, 100));
        EXPECT_EQ(target.Pixel(9, 15), RGB(100, 100, 100));
    }
}

TEST(CompositeLayer, AtItsOwnSizeTheLayerLandsPixelForPixel)
{
    // Every width and height up to 70: the picture coordinates are whole
    // numbers and must come out exact.
    Bitmap target = Uniform(90, 90, clBlack);
    for (int w = 1; w <= 70; ++w)
        for (int h : {1, 2, 3, 7, 31, 64, 69}) {
            const Bitmap layer = Noise(w, h, unsigned(w * 100 + h));
            const Point at{3 + w % 5, 2 + h % 3};
            const std::array<Point, 4> quad{at, Point{at.x + w - 1, at.y}, Point{at.x + w - 1, at.y + h - 1},
                                            Point{at.x, at.y + h - 1}};
            CompositeLayer(target, Rect{0, 0, 90, 90}, layer, quad, LayerOptions{});
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    ASSERT_EQ(target.Pixel(at.x + x, at.y + y), layer.Pixel(x, y)) << w << "x" << h << " at " << x << "," << y;
        }
}

TEST(CompositeLayer, AUniformLayerStaysUniformUnderAFreeStretch)
{
    const TColor c = RGB(201, 77, 13);
    const std::array<Point, 4> skew{Point{7, 3}, Point{71, 12}, Point{60, 58}, Point{2, 47}};
    for (Point size : {Point{3, 3}, Point{17, 9}, Point{40, 33}}) {
        Bitmap target = Uniform(80, 64, clBlack);
        CompositeLayer(target, Rect{0, 0, 80, 64}, Uniform(size.x, size.y, c), skew, LayerOptions{});
        int layer = 0, other = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 80; ++x) {
                const TColor p = target.Pixel(x, y);
                layer += p == c;
                other += p != c && p != clBlack;
            }
        EXPECT_GT(layer, 2000) << size.x;
        EXPECT_EQ(other, 0) << size.x;
    }
}

// Picture pixel (iu + ru / d, iv + rv / d) by bilinear weights in whole
// numbers, the last two rows and columns taking the pixel itself.
TColor Bilinear(const Bitmap& pic, int iu, int ru, int iv, int rv, int d)
{
    const int w1 = pic.Width() - 1, h1 = pic.Height() - 1;
    if (iu >= w1 - 1 || iv >= h1 - 1)
        return pic.Pixel(iu, iv);
    int out[3];
    for (int c = 0; c < 3; ++c) {
        auto ch = [&](int u, int v) { return int((pic.Pixel(u, v) >> (8 * c)) & 0xFF); };
        const int64_t sum = int64_t(ch(iu, iv)) * (d - ru) * (d - rv) + int64_t(ch(iu + 1, iv)) * ru * (d - rv) +
                            int64_t(ch(iu, iv + 1)) * (d - ru) * rv + int64_t(ch(iu + 1, iv + 1)) * ru * rv;
        out[c] = int(sum / (int64_t(d) * d));
    }
    return RGB(out[0], out[1], out[2]);
}

// Nearest whole number of n / d, halves up.
int NearRatio(int n, int d)
{
    return (2 * n + d) / (2 * d);
}

TEST(CompositeLayer, StretchedAndQuarterTurnedLayersMatchAPlainBilinearReference)
{
    // Spans of 257 (a prime above every channel difference) and 13 keep
    // exact values away from whole numbers, so float and whole-number
    // arithmetic agree.
    const Bitmap pic = Noise(6, 5, 11);
    const int w1 = 5, h1 = 4, L = 3, T = 2, R = L + 257, B = T + 13;
    struct Case {
        const char* name;
        std::array<Point, 4> quad;
    };
    for (const Case& c : {Case{"stretched", {Point{L, T}, Point{R, T}, Point{R, B}, Point{L, B}}},
                          Case{"quarter turn", {Point{R, T}, Point{R, B}, Point{L, B}, Point{L, T}}}}) {
        Bitmap target = Uniform(R + 5, B + 4, RGB(9, 9, 9));
        CompositeLayer(target, Rect{0, 0, R + 5, B + 4}, pic, c.quad, LayerOptions{});
        const bool turned = c.quad[0].x == R;
        for (int y = 0; y < B + 4; ++y)
            for (int x = 0; x < R + 5; ++x) {
                TColor want = RGB(9, 9, 9);
                if (x >= L && x <= R && y >= T && y <= B) {
                    if (!turned) // u runs along the row, v is whole per row
                        want = Bilinear(pic, w1 * (x - L) / 257, w1 * (x - L) % 257, NearRatio(h1 * (y - T), 13), 0, 257);
                    else // the picture's top at the right: v runs back along the row
                        want = Bilinear(pic, NearRatio(w1 * (y - T), 13), 0, h1 * (R - x) / 257, h1 * (R - x) % 257, 257);
                }
                ASSERT_EQ(target.Pixel(x, y), want) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(CompositeLayer, TransparentColourWithDiffuse)
{
    struct Case {
        int diffuse;
        TColor pixel;
        bool skipped;
    };
    for (Case c : {Case{1, clWhite, true}, Case{1, RGB(255, 255, 254), false}, Case{10, RGB(246, 250, 255), true},
                   Case{10, RGB(245, 255, 255), false}}) {
        Bitmap target = Uniform(40, 30, clBlack);
        CompositeLayer(target, Rect{0, 0, 40, 30}, Uniform(20, 15, c.pixel), kQuad,
                       LayerOptions{0, true, clWhite, c.diffuse});
        EXPECT_EQ(target.Pixel(15, 15) == clBlack, c.skipped) << c.diffuse << " " << std::hex << c.pixel;
    }
}

TEST(CompositeLayer, AHugeQuadWorksOnlyOnThePicture)
{
    // A quad far larger than any picture: only the picture's pixels are
    // visited, and they all take the layer.
    Bitmap target = Uniform(64, 48, clBlack);
    const std::array<Point, 4> huge{Point{-1000000, -1000000}, Point{1000000, -1000000}, Point{1000000, 1000000},
                                    Point{-1000000, 1000000}};
    CompositeLayer(target, Rect{-1000010, -1000010, 1000010, 1000010}, Uniform(8, 8, RGB(1, 2, 3)), huge,
                   LayerOptions{});
    EXPECT_EQ(target.Pixel(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(target.Pixel(63, 47), RGB(1, 2, 3));
}

TEST(CompositeLayer, TheLastTwoRowsAndColumnsTakeTheNearestPixel)
{
    // Stretched twice as wide, a pixel between the last two columns is not
    // blended.
    Bitmap layer = Uniform(4, 4, RGB(0, 0, 0));
    for (int y = 0; y < 4; ++y)
        layer.SetPixel(3, y, RGB(200, 200, 200));
    Bitmap target = Uniform(20, 20, clWhite);
    const std::array<Point, 4> wide{Point{0, 0}, Point{6, 0}, Point{6, 6}, Point{0, 6}};
    CompositeLayer(target, Rect{0, 0, 20, 20}, layer, wide, LayerOptions{});
    EXPECT_EQ(target.Pixel(5, 1), RGB(0, 0, 0)); // U = 2.5: column 2 itself
    EXPECT_EQ(target.Pixel(6, 1), RGB(200, 200, 200));
    // Away from the edge the colours blend.
    layer.SetPixel(1, 0, RGB(100, 100, 100));
    CompositeLayer(target, Rect{0, 0, 20, 20}, layer, wide, LayerOptions{});
    EXPECT_EQ(target.Pixel(1, 0), RGB(50, 50, 50)); // U = 0.5
}

struct LayerPicture {
    Bitmap bitmap = Noise(60, 50, 5);
    Canvas canvas{bitmap};
};

TEST(ImageShape, RectangularDragOfCorner3KeepsCorner1AndTheQuadAxisAligned)
{
    LayerPicture pic;
    CImageShape tool(pic.canvas, Uniform(10, 10, clWhite));
    tool.Redraw(Rect{10, 10, 30, 25});
    tool.MouseDown({30, 25}); // within 5 of corner 3 at (29, 24)
    tool.MouseMove({40, 35});
    tool.MouseUp({45, 40});
    const auto& q = tool.Corners();
    EXPECT_EQ(q[0], (Point{10, 10}));
    EXPECT_EQ(q[1], (Point{45, 10}));
    EXPECT_EQ(q[2], (Point{45, 40}));
    EXPECT_EQ(q[3], (Point{10, 40}));
}

TEST(ImageShape, RotationalDragTurnsTheQuadAndEdgesDoNothing)
{
    LayerPicture pic;
    CImageShape tool(pic.canvas, Uniform(10, 10, clWhite));
    tool.Redraw(Rect{20, 20, 41, 41}); // corners (20, 20) to (40, 40)
    tool.SetMode(LayerStretch::Rotational);
    const auto before = tool.Corners();
    tool.MouseDown({30, 20}); // middle of the top edge
    tool.MouseUp({10, 10});
    EXPECT_EQ(tool.Corners(), before);
    // Centre (30, 30): corner 3 at (40, 40) turned a quarter to (20, 40).
    ASSERT_EQ(before[2], (Point{40, 40}));
    tool.MouseDown({40, 40});
    tool.MouseUp({20, 40});
    const auto& q = tool.Corners();
    EXPECT_EQ(q[0], (Point{40, 20}));
    EXPECT_EQ(q[1], (Point{40, 40}));
    EXPECT_EQ(q[2], (Point{20, 40}));
    EXPECT_EQ(q[3], (Point{20, 20}));
}

TEST(ImageShape, ATurnIsAboutTheCentreRoundedUp)
{
    // Corners (10, 10) to (21, 21): the centre is (16, 16), half a pixel
    // past the middle. Corner 3 at (+5, +5) dragged to (-5, +5) is a quarter turn.
    LayerPicture pic;
    CImageShape tool(pic.canvas, Noise(12, 12, 3));
    tool.Redraw(Rect{10, 10, 22, 22});
    tool.SetMode(LayerStretch::Rotational);
    tool.MouseDown({21, 21});
    tool.MouseUp({11, 21});
    const Quad want{Point{22, 10}, Point{22, 21}, Point{11, 21}, Point{11, 10}};
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(tool.Corners()[k], want[k]) << k + 1;
}

TEST(ImageShape, AQuarterTurnInManyMovesKeepsTheLayersSides)
{
    Bitmap b = Uniform(400, 400, clWhite);
    Canvas c(b);
    CImageShape tool(c, Uniform(200, 100, RGB(1, 2, 3)));
    tool.Redraw(Rect{100, 150, 300, 250}); // corners (100, 150) to (299, 249)
    tool.SetMode(LayerStretch::Rotational);
    auto side = [](Point a, Point b) { return std::hypot(double(b.x) - a.x, double(b.y) - a.y); };
    const Quad start = tool.Corners();
    // Centre (200, 200); corner 3 at (99, 49) from it, turned in 200 steps.
    const Point centre{200, 200};
    const double r = std::hypot(99.0, 49.0), a0 = std::atan2(49.0, 99.0);
    tool.MouseDown(start[2]);
    for (int i = 1; i <= 200; ++i) {
        const double a = a0 + std::numbers::pi / 2 * i / 200;
        tool.MouseMove({int(std::lround(centre.x + r * std::cos(a))), int(std::lround(centre.y + r * std::sin(a)))});
    }
    tool.MouseUp({int(std::lround(centre.x + r * std::cos(a0 + std::numbers::pi / 2))),
                  int(std::lround(centre.y + r * std::sin(a0 + std::numbers::pi / 2)))});
    const Quad& q = tool.Corners();
    for (size_t k = 0; k < 4; ++k)
        EXPECT_NEAR(side(q[k], q[(k + 1) % 4]), side(start[k], start[(k + 1) % 4]), 1.0) << "side " << k + 1;
    // A quarter turn: the top edge now runs down the right.
    EXPECT_NEAR(q[0].x, 250, 1);
    EXPECT_NEAR(q[1].y, 299, 1);
}

TEST(ImageShape, ACornerOnTheCentreCannotScale)
{
    LayerPicture pic;
    CImageShape tool(pic.canvas, Uniform(10, 10, clWhite));
    tool.Redraw(Rect{20, 20, 21, 21}); // every corner at (20, 20), the centre too
    tool.SetMode(LayerStretch::Rotational);
    tool.MouseDown({20, 20});
    tool.MouseMove({30, 30});
    tool.MouseUp({30, 30});
    for (const Point& p : tool.Corners())
        EXPECT_EQ(p, (Point{20, 20}));
}

TEST(ImageShape, MovedLayerFinishesAsTheCompositeWithoutFrame)
{
    LayerPicture pic;
    const Bitmap background = pic.bitmap;
    const Bitmap layer = Noise(20, 15, 6);
    CImageShape tool(pic.canvas, layer);
    tool.SetOptions(LayerOptions{40, false, 0, 1});
    tool.Redraw(Rect{5, 5, 25, 20});
    tool.MouseDown({15, 12});
    tool.MouseMove({20, 20});
    tool.MouseUp({25, 27}); // moved by (10, 15)
    tool.Finish();
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            TColor want = background.Pixel(x, y);
            if (x >= 15 && x < 35 && y >= 20 && y < 35) {
                const TColor top = layer.Pixel(x - 15, y - 20);
                int mixed[3];
                for (int c = 0; c < 3; ++c)
                    mixed[c] = (int((want >> (8 * c)) & 0xFF) * 40 + int((top >> (8 * c)) & 0xFF) * 60) / 100;
                want = RGB(mixed[0], mixed[1], mixed[2]);
            }
            ASSERT_EQ(pic.bitmap.Pixel(x, y), want) << x << "," << y;
        }
}

TEST(ImageShape, UndoBringsBackCornersAndARefusedUndoKeepsThem)
{
    LayerPicture pic;
    CImageShape tool(pic.canvas, Uniform(10, 10, clWhite));
    tool.Redraw(Rect{5, 5, 30, 30});
    const auto first = tool.Corners();
    const Bitmap firstPicture = pic.bitmap;
    tool.Redraw(Rect{20, 20, 30, 30});
    ASSERT_GE(tool.Undo(), 0);
    EXPECT_EQ(tool.Corners(), first);
    EXPECT_EQ(pic.bitmap, firstPicture);
    EXPECT_EQ(tool.Undo(), -1);
    EXPECT_EQ(tool.Corners(), first);
    // The move grip follows the restored corners.
    tool.MouseDown({20, 12});
    tool.MouseUp({21, 13});
    EXPECT_EQ(tool.Corners()[0], (Point{6, 6}));
}

TEST(ImageShape, APictureGrownMeanwhileIsRecompositedCleanly)
{
    LayerPicture pic;
    CImageShape tool(pic.canvas, Uniform(10, 10, RGB(1, 2, 3)));
    tool.Redraw(Rect{5, 5, 25, 25});
    pic.canvas.Resize(120, 50);
    pic.canvas.Draw(60, 0, Noise(60, 50, 10)); // the editor paints the new part
    const Bitmap grown = pic.bitmap;
    tool.MouseDown({15, 15});
    tool.MouseUp({85, 15}); // into the new part
    tool.MouseDown({85, 15});
    tool.MouseUp({15, 15}); // and back
    tool.Finish();
    int differ = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 60; x < 120; ++x)
            differ += pic.bitmap.Pixel(x, y) != grown.Pixel(x, y);
    EXPECT_EQ(differ, 0);
}

TEST(Crop, UntouchedKeepsTheWholePicture)
{
    Bitmap b = Noise(37, 23, 1);
    const Bitmap before = b;
    Canvas c(b);
    CCrop tool(c);
    EXPECT_NE(b, before); // the outside is shown inverted... and the frame
    tool.Finish();
    EXPECT_EQ(b, before);
    EXPECT_EQ(b.Width(), 37);
    EXPECT_EQ(b.Height(), 23);
}

TEST(Crop, DraggedCornersCutAndStopAtThePictureEdges)
{
    Bitmap b = Noise(40, 30, 2);
    const Bitmap before = b;
    Canvas c(b);
    CCrop tool(c);
    tool.MouseDown({2, 1}); // corner 1
    tool.MouseMove({-50, -3});
    EXPECT_EQ(tool.CropRect().left, 0);
    EXPECT_EQ(tool.CropRect().top, 0);
    tool.MouseMove({5, 6});
    tool.MouseDown({39, 29}); // corner 3 at (40, 30)
    tool.MouseMove({100, 31});
    EXPECT_EQ(tool.CropRect().right, 40); // stopped at the edge while the pointer is past it
    EXPECT_EQ(tool.CropRect().bottom, 30);
    tool.MouseMove({41, 100});
    EXPECT_EQ(tool.CropRect().right, 40);
    EXPECT_EQ(tool.CropRect().bottom, 30);
    tool.MouseMove({30, 26});
    tool.MouseDown({17, 6}); // middle of the top edge (17, 6)
    tool.MouseMove({17, 8});
    EXPECT_EQ(tool.CropRect().left, 5);
    EXPECT_EQ(tool.CropRect().top, 8);
    EXPECT_EQ(tool.CropRect().right, 30);
    EXPECT_EQ(tool.CropRect().bottom, 26);
    tool.Finish();
    ASSERT_EQ(b.Width(), 25);
    ASSERT_EQ(b.Height(), 18);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 25; ++x)
            ASSERT_EQ(b.Pixel(x, y), before.Pixel(x + 5, y + 8)) << x << "," << y;
}

TEST(Crop, CornersDraggedPastEachOtherAreNormalisedAndAnEmptyCropCutsNothing)
{
    Bitmap b = Noise(40, 30, 3);
    const Bitmap before = b;
    Canvas c(b);
    {
        CCrop tool(c);
        tool.MouseDown({0, 0});
        tool.MouseMove({40, 10}); // corner 1 past the right side
        EXPECT_EQ(tool.CropRect().left, 40);
        tool.MouseDown({40, 30});
        tool.MouseMove({40, 30});
        tool.Finish();
        EXPECT_EQ(b, before); // zero width: refused
    }
    CCrop tool(c);
    tool.MouseDown({40, 30});
    tool.MouseMove({10, 30});
    tool.MouseDown({0, 0});
    tool.MouseMove({30, 5}); // corner 1 to the right of corner 3
    tool.Finish();
    ASSERT_EQ(b.Width(), 20);
    ASSERT_EQ(b.Height(), 25);
    EXPECT_EQ(b.Pixel(0, 0), before.Pixel(10, 5));
    EXPECT_EQ(b.Pixel(19, 24), before.Pixel(29, 29));
}

TEST(Crop, FollowsAPictureGrownOrShrunkWhileItIsOn)
{
    struct Case {
        int width, height;
        Point drag, to; // a grip, where it goes
        Rect want;
    };
    // From 40 x 30 with the left edge at 4: sides on the picture's edge follow it.
    for (const Case& c : {Case{61, 45, {}, {}, Rect{4, 0, 61, 45}},
                          Case{61, 45, {32, 0}, {32, 7}, Rect{4, 7, 61, 45}},
                          Case{61, 45, {61, 45}, {90, 90}, Rect{4, 0, 61, 45}},
                          Case{25, 17, {}, {}, Rect{4, 0, 25, 17}}}) {
        Bitmap b = Noise(40, 30, 12);
        const Bitmap before = b;
        Canvas canvas(b);
        CCrop tool(canvas);
        tool.MouseDown({0, 15});
        tool.MouseMove({4, 15});
        if (c.width > 40) {
            canvas.Resize(c.width, c.height);
            canvas.FillRect(Rect{40, 0, c.width, c.height}); // the new area, in the brush's white
            canvas.FillRect(Rect{0, 30, c.width, c.height});
        }
        tool.PictureResized(c.width, c.height);
        if (c.drag != c.to) {
            tool.MouseDown(c.drag);
            tool.MouseMove(c.to);
        }
        const Rect r = tool.CropRect();
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
                  (std::array{c.want.left, c.want.top, c.want.right, c.want.bottom}))
            << c.width;
        tool.Finish();
        ASSERT_EQ(b.Width(), c.want.Width()) << c.width;
        ASSERT_EQ(b.Height(), c.want.Height()) << c.width;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                const int ox = x + c.want.left, oy = y + c.want.top;
                ASSERT_EQ(b.Pixel(x, y), ox < 40 && oy < 30 ? before.Pixel(ox, oy) : clWhite) << x << "," << y;
            }
    }
}

TEST(Crop, FrameIsTheSameWhateverPenTheCanvasHolds)
{
    Bitmap b = Noise(30, 30, 4);
    const Bitmap before = b;
    Canvas c(b);
    c.pen = Pen{RGB(255, 0, 0), 7, PenStyle::DashDot, PenMode::Copy};
    c.brush = Brush{RGB(0, 255, 0), BrushStyle::Cross};
    CCrop tool(c);
    tool.MouseDown({30, 30});
    c.pen.width = 1; // changed while the tool is active
    tool.MouseMove({20, 20});
    tool.MouseMove({30, 30});
    tool.Finish();
    EXPECT_EQ(b, before);
}

TEST(Text, TwoClicksLeaveTheTextAtTheSecondPointOnly)
{
    Bitmap b = Noise(160, 100, 5);
    const Bitmap before = b;
    Canvas c(b);
    c.font.height = -18;
    c.font.escapement = 450;
    CText tool(c);
    tool.SetText(u"Moved text");
    tool.MouseUp({20, 80});
    tool.MouseUp({60, 70});
    tool.Finish();
    Bitmap want = before;
    Canvas w(want);
    w.font = c.font;
    w.backgroundMode = BackgroundMode::Transparent;
    w.TextOut(60, 70, std::u16string(u"Moved text"));
    EXPECT_EQ(b, want);
    EXPECT_EQ(c.brush.style, BrushStyle::Solid); // given back
}

TEST(Text, AnUndonePlacementMovesAndRedrawsCleanly)
{
    Bitmap b = Noise(160, 100, 7);
    const Bitmap before = b;
    Canvas c(b);
    c.font.height = -18;
    CText tool(c);
    tool.SetText(u"First");
    tool.MouseUp({10, 10});
    tool.MouseUp({60, 40});
    ASSERT_GE(tool.Undo(), 0); // the text is back at (10, 10)
    ASSERT_EQ(tool.Anchor(), (Point{10, 10}));
    tool.SetText(u"Second");
    tool.MouseUp(CText::kRedrawInPlace);
    tool.MouseUp({90, 60});
    tool.Finish();
    Bitmap want = before;
    Canvas w(want);
    w.font = c.font;
    w.backgroundMode = BackgroundMode::Transparent;
    w.TextOut(90, 60, std::u16string(u"Second"));
    EXPECT_EQ(b, want);
}

TEST(Text, APictureGrownMeanwhileIsCleanedToo)
{
    Bitmap b = Noise(60, 40, 8);
    Canvas c(b);
    c.font.height = -16;
    CText tool(c);
    tool.SetText(u"Grow");
    tool.MouseUp({5, 5});
    c.Resize(160, 100);
    Canvas(b).Draw(60, 0, Noise(100, 100, 9)); // the editor paints the new part
    const Bitmap grown = b;
    tool.MouseUp({100, 60});
    tool.MouseUp({5, 5});
    tool.MouseUp({300, 300}); // outside: nothing shows
    tool.Finish();
    int differ = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x)
            differ += (x >= 60 || y >= 40) && b.Pixel(x, y) != grown.Pixel(x, y);
    EXPECT_EQ(differ, 0);
}

TEST(Text, RedrawInPlaceBeforeAnyClickDrawsOutsideThePicture)
{
    Bitmap b = Uniform(50, 50, clWhite);
    const Bitmap before = b;
    Canvas c(b);
    CText tool(c);
    tool.SetText(u"x");
    tool.MouseUp(CText::kRedrawInPlace);
    EXPECT_EQ(b, before);
    ASSERT_TRUE(tool.Anchor().has_value());
    EXPECT_EQ(*tool.Anchor(), CText::kRedrawInPlace);
}

TEST(Text, AVeryLongTextSavesOnlyThePictureAndMovesCleanly)
{
    Bitmap b = Noise(200, 120, 6);
    const Bitmap before = b;
    Canvas c(b);
    c.font.height = -40;
    CText tool(c);
    tool.SetText(std::u16string(3000, u'W'));
    tool.MouseUp({10, 10});
    tool.MouseUp({10, 100000}); // far off: the first placement is removed
    tool.Finish();
    EXPECT_EQ(b, before);
}

} // namespace
} // namespace pc::editor
