// Optimize, Pack and the colour-map optimiser: small pictures built here
// for the rules, and real animations that gifdiff must find unchanged.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "codecs/gif/color_map_optimizer.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "gif_test_util.h"
#include "giflib_reference.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

TGIFSubImage& AddFrame(TGIFImage& gif, int left, int top, const std::vector<std::vector<uint8_t>>& rows,
                       const std::vector<TGIFColor>& localMap = {})
{
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    frame->DoSetBounds(left, top, int(rows[0].size()), int(rows.size()));
    for (const TGIFColor& c : localMap)
        frame->ColorMap().Add(c);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            frame->SetPixel(int(x), int(y), rows[y][x]);
    auto* raw = frame.get();
    gif.Add(std::move(frame));
    return *raw;
}

TGIFGraphicControlExtension& Gce(TGIFSubImage& frame, int delay, TDisposalMethod disposal = TDisposalMethod::dmNone,
                                 int transparent = -1)
{
    auto gce = std::make_unique<TGIFGraphicControlExtension>(&frame);
    auto& ref = *gce;
    frame.Extensions().Add(std::move(gce));
    ref.SetDelay(delay);
    ref.SetDisposal(disposal);
    if (transparent >= 0) {
        ref.SetTransparentColorIndex(transparent);
        ref.SetTransparent(true);
    }
    return ref;
}

void Colours(TGIFImage& gif, std::initializer_list<TGIFColor> colours)
{
    for (const TGIFColor& c : colours)
        gif.ColorMap().Add(c);
}

// The colour a frame shows at x, y (of the frame).
TGIFColor Shown(const TGIFSubImage& f, int x, int y)
{
    return f.ActiveColorMap().Color(f.Pixels(x, y));
}

constexpr TGIFColor kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0}, kWhite{255, 255, 255};

// ---- colour-map optimiser ----

TEST(ColorMapOptimizer, SharedColoursOfLocalMapsBecomeOneEntry)
{
    TGIFImage gif;
    AddFrame(gif, 0, 0, {{0, 1, 1}}, {kRed, kGreen});
    AddFrame(gif, 0, 0, {{1, 1, 0}}, {kBlue, kRed});
    EXPECT_TRUE(gif.OptimizeColorMap());
    EXPECT_EQ(gif.ColorMap().Count(), 3);
    EXPECT_TRUE(gif.ColorMap().Optimized());
    EXPECT_EQ(gif.ColorMap().Color(0), kRed) << "four red pixels: most used first";
    for (const auto& f : gif.Images().Items())
        EXPECT_EQ(f->ColorMap().Count(), 0);
    const TGIFSubImage& a = *gif.Images().Image(0);
    const TGIFSubImage& b = *gif.Images().Image(1);
    EXPECT_EQ(a.Pixels(0, 0), 0);
    EXPECT_EQ(b.Pixels(0, 0), 0);
    EXPECT_EQ(Shown(a, 1, 0), kGreen);
    EXPECT_EQ(Shown(b, 2, 0), kBlue);
}

// 300 colours, the first 256 twice as used: those stay exactly; the others
// go to the nearest kept colour by the sum of channel differences.
TEST(ColorMapOptimizer, TooManyColoursKeepTheMostUsedAndMapTheRestToTheNearest)
{
    for (bool transparency : {false, true}) {
        SCOPED_TRACE(transparency);
        TGIFImage gif;
        std::vector<TGIFColor> colours;
        for (int i = 0; i < 300; ++i)
            colours.push_back({uint8_t(i < 256 ? i : 255), uint8_t(i < 256 ? 0 : 255), uint8_t(i < 256 ? 0 : i - 256)});
        // Frame k holds colours 100k .. 100k+99, each once; a second copy of
        // the first 256 makes them the most used.
        for (int k = 0; k < 3; ++k) {
            std::vector<TGIFColor> map(colours.begin() + k * 100, colours.begin() + k * 100 + 100);
            std::vector<uint8_t> row(100);
            for (int i = 0; i < 100; ++i)
                row[size_t(i)] = uint8_t(i);
            AddFrame(gif, 0, 0, {row}, map);
        }
        std::vector<TGIFColor> firstMap(colours.begin(), colours.begin() + 256);
        std::vector<uint8_t> all(256);
        for (int i = 0; i < 256; ++i)
            all[size_t(i)] = uint8_t(i);
        TGIFSubImage& extra = AddFrame(gif, 0, 0, {all, all}, firstMap);
        if (transparency)
            Gce(extra, 0, TDisposalMethod::dmNone, 0);
        EXPECT_FALSE(gif.OptimizeColorMap(true));
        EXPECT_EQ(gif.ColorMap().Count(), 0) << "only when exact: left as it was";
        EXPECT_EQ(extra.ColorMap().Count(), 256);
        EXPECT_FALSE(gif.OptimizeColorMap());
        ASSERT_EQ(gif.ColorMap().Count(), 256);
        if (transparency) {
            EXPECT_EQ(extra.TransparentIndex(), 255);
            EXPECT_EQ(gif.ColorMap().Color(255), kBlack);
            EXPECT_EQ(extra.Pixels(0, 0), 255);
        }
        // Colour 256 + j is (255, 255, j): nearest kept is (255, 0, 0), 255 + j away.
        const TGIFSubImage& third = *gif.Images().Image(2);
        EXPECT_EQ(Shown(third, 0, 0), (TGIFColor{200, 0, 0}));
        for (int i = 56; i < 100; ++i)
            EXPECT_EQ(Shown(third, i, 0), (TGIFColor{255, 0, 0})) << i;
    }
}

// The nearest colour is by the sum of absolute differences: a colour off
// by +50 red and -50 green is not nearer than one off by 10.
TEST(ColorMapOptimizer, NearestIsBySumOfAbsoluteDifferences)
{
    TGIFImage gif;
    const TGIFColor target{100, 100, 100}, balanced{150, 50, 100}, close{110, 100, 100};
    std::vector<TGIFColor> map = {balanced, close};
    for (int i = 0; map.size() < 256; ++i)
        map.push_back({uint8_t(i), 0, 255});
    std::vector<uint8_t> twice(256);
    for (int i = 0; i < 256; ++i)
        twice[size_t(i)] = uint8_t(i);
    AddFrame(gif, 0, 0, {twice, twice}, map);
    TGIFSubImage& odd = AddFrame(gif, 0, 0, {{0}}, {target});
    EXPECT_FALSE(gif.OptimizeColorMap());
    EXPECT_EQ(Shown(odd, 0, 0), close);
}

TEST(ColorMapOptimizer, UnusedTransparencyIsDroppedAndReservesNothing)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue});
    TGIFSubImage& f = AddFrame(gif, 0, 0, {{0, 1}});
    Gce(f, 5, TDisposalMethod::dmNone, 2);
    EXPECT_TRUE(gif.OptimizeColorMap());
    EXPECT_FALSE(f.Transparent());
    EXPECT_EQ(gif.ColorMap().Count(), 2);
}

TEST(ColorMapOptimizer, TransparentEntryIsTheLastAndBlack)
{
    TGIFImage gif;
    TGIFSubImage& a = AddFrame(gif, 0, 0, {{0, 1, 1}}, {kRed, kGreen});
    TGIFSubImage& b = AddFrame(gif, 0, 0, {{2, 0, 1}}, {kWhite, kBlue, kRed});
    Gce(a, 5, TDisposalMethod::dmNone, 0);
    Gce(b, 5, TDisposalMethod::dmNone, 1);
    EXPECT_TRUE(gif.OptimizeColorMap());
    const int last = gif.ColorMap().Count() - 1;
    EXPECT_EQ(gif.ColorMap().Color(last), kBlack);
    EXPECT_EQ(a.TransparentIndex(), last);
    EXPECT_EQ(b.TransparentIndex(), last);
    EXPECT_EQ(a.Pixels(0, 0), last);
    EXPECT_EQ(b.Pixels(2, 0), last);
    EXPECT_EQ(Shown(a, 1, 0), kGreen);
    EXPECT_EQ(Shown(b, 0, 0), kRed);
    EXPECT_EQ(Shown(b, 1, 0), kWhite);
}

// Index 4 of a 4-entry map is the first outside it: counted as entry 0
// (red) with a warning; the map is built from the counts (green most used).
TEST(ColorMapOptimizer, IndexJustPastTheMapCountsAsTheFirstEntry)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    TGIFSubImage& f = AddFrame(gif, 0, 0, {{1, 1, 1, 4, 3, 3}});
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    gif.OptimizeColorMap();
    EXPECT_EQ(warnings, std::vector<std::string>{msg::kColorNotInTable});
    EXPECT_EQ(Shown(f, 3, 0), kRed);
    EXPECT_EQ(Shown(f, 4, 0), kWhite);
    EXPECT_EQ(gif.ColorMap().Color(0), kGreen);
}

// 256 colours in use, none of them the background (white): the map stays
// at 256 entries and the background takes the nearest kept colour, the
// last of the map.
TEST(ColorMapOptimizer, FullMapLeavesNoRoomForTheBackground)
{
    TGIFImage gif;
    Colours(gif, {kWhite, kBlack});
    std::vector<TGIFColor> local;
    std::vector<uint8_t> row;
    for (int i = 0; i < 256; ++i) {
        local.push_back({uint8_t(i), uint8_t(i), uint8_t(255 - i)});
        row.push_back(uint8_t(i));
    }
    AddFrame(gif, 0, 0, {row}, local);
    EXPECT_TRUE(gif.OptimizeColorMap());
    ASSERT_EQ(gif.ColorMap().Count(), 256);
    ASSERT_LT(gif.BackgroundColorIndex(), 256);
    EXPECT_EQ(gif.ColorMap().Color(gif.BackgroundColorIndex()), (TGIFColor{255, 255, 0}));
}

// Without a global map the screen around the frame is transparent: the new
// map gives it an entry of its own, which no pixel takes.
TEST(ColorMapOptimizer, UncoveredScreenWithoutAGlobalMapStaysTransparent)
{
    TGIFImage gif;
    TGIFSubImage& f = AddFrame(gif, 1, 0, {{0, 1, 1}}, {kRed, kGreen});
    gif.OptimizeColorMap();
    ASSERT_TRUE(f.Transparent());
    EXPECT_EQ(gif.BackgroundColorIndex(), f.TransparentIndex());
    for (int x = 0; x < 3; ++x)
        EXPECT_NE(f.Pixels(x, 0), f.TransparentIndex()) << x;
    EXPECT_EQ(Shown(f, 0, 0), kRed);
    EXPECT_EQ(Shown(f, 2, 0), kGreen);
}

TEST(ColorMapOptimizer, BackgroundKeepsItsColour)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    gif.SetBackgroundColorIndex(3);
    AddFrame(gif, 0, 0, {{1, 1, 2}});
    EXPECT_TRUE(gif.OptimizeColorMap());
    EXPECT_EQ(gif.BackgroundColor(), RGB2Color(kWhite));
}

// ---- sorting one map ----

TEST(GifOptimize, SortingTheGlobalMapKeepsTheBackgroundColour)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    gif.SetBackgroundColorIndex(1);
    AddFrame(gif, 0, 0, {{3, 3, 3, 2, 2, 0}});
    gif.Optimize(OptimizeOption(ooColorMap), TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    EXPECT_EQ(gif.ColorMap().Color(0), kWhite);
    EXPECT_EQ(gif.BackgroundColor(), RGB2Color(kGreen));
    EXPECT_EQ(gif.ColorMap().Count(), 4) << "the background counts as used";
}

// Pixels that show a transparent index past the end of the frame's table
// get an entry of their own; sorting moves it with them.
TEST(GifOptimize, SortingKeepsPixelsOfATransparentIndexPastTheTable)
{
    TGIFImage gif;
    const std::vector<std::vector<uint8_t>> rows = {{1, 3, 1}, {0, 1, 3}};
    TGIFSubImage& f = AddFrame(gif, 0, 0, rows);
    Gce(f, 0, TDisposalMethod::dmNone, 3);
    f.ColorMap().Add(kRed);
    f.ColorMap().Add(kGreen);
    gif.Optimize(OptimizeOption(ooColorMap), TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    ASSERT_LT(f.TransparentIndex(), f.ColorMap().Count());
    EXPECT_EQ(f.ColorMap().Color(0), kGreen);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const uint8_t was = rows[size_t(y)][size_t(x)];
            if (was == 3)
                EXPECT_EQ(f.Pixels(x, y), f.TransparentIndex()) << x << "," << y;
            else
                EXPECT_EQ(Shown(f, x, y), was == 0 ? kRed : kGreen) << x << "," << y;
        }
}

// ---- merge and crop ----

constexpr TGIFOptimizeOptions kMergeCrop = OptimizeOption(ooMerge) | OptimizeOption(ooCrop);

void Optimize(TGIFImage& gif, TGIFOptimizeOptions options)
{
    gif.Optimize(options, TColorReduction::rmNone, TDitherMode::dmNearest, 8);
}

// The delays of a frame that goes add up, held at the 65535 the field holds.
TEST(GifOptimize, RepeatedFrameGoesAndItsDelayStays)
{
    struct Case {
        bool firstTransparent;
        int first, second, sum;
    };
    for (const Case c : {Case{false, 20, 30, 50}, Case{true, 20, 30, 50}, Case{false, 40000, 40000, 65535},
                         Case{true, 65535, 1, 65535}, Case{false, 65534, 1, 65535}}) {
        SCOPED_TRACE(std::to_string(c.first) + " + " + std::to_string(c.second));
        TGIFImage gif;
        Colours(gif, {kRed, kGreen, kBlue, kWhite, kBlack});
        TGIFSubImage& first = AddFrame(gif, 0, 0, {{0, 1}, {2, 3}});
        Gce(first, c.first, TDisposalMethod::dmNone, c.firstTransparent ? 4 : -1);
        Gce(AddFrame(gif, 0, 0, {{0, 1}, {2, 3}}), c.second);
        Optimize(gif, kMergeCrop);
        ASSERT_EQ(gif.Images().Count(), 1);
        EXPECT_EQ(gif.Images().Image(0)->GraphicControlExtension()->Delay(), c.sum);
    }
}

// Frame 1 repeats frame 0 ({0, 1} over {0, 1}); which of its pixels may
// become transparent depends on what frame 0 leaves on the screen.
TEST(GifOptimize, MergeKeepsWhatThePreviousFrameDoesNotLeaveShown)
{
    struct Case {
        const char* name;
        TDisposalMethod disposal; // of frame 0
        int transparent;          // of frame 0
        std::vector<bool> cleared;
    };
    for (const Case& c : {Case{"kept", TDisposalMethod::dmNone, -1, {true, true}},
                          Case{"drawn over its transparent pixel", TDisposalMethod::dmNone, 0, {false, true}},
                          Case{"cleared", TDisposalMethod::dmBackground, -1, {false, false}},
                          Case{"restored away", TDisposalMethod::dmPrevious, -1, {false, false}}}) {
        SCOPED_TRACE(c.name);
        TGIFImage gif;
        Colours(gif, {kRed, kGreen, kBlue, kWhite});
        Gce(AddFrame(gif, 0, 0, {{0, 1}}), 10, c.disposal, c.transparent);
        TGIFSubImage& second = AddFrame(gif, 0, 0, {{0, 1}});
        Gce(second, 10);
        Optimize(gif, OptimizeOption(ooMerge));
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(second.Transparent() && second.Pixels(x, 0) == second.TransparentIndex(), c.cleared[size_t(x)])
                << x;
            if (!c.cleared[size_t(x)])
                EXPECT_EQ(Shown(second, x, 0), x == 0 ? kRed : kGreen) << x;
        }
    }
}

// A first frame that shows nothing stays (it holds the looping and the
// start); the frame after it is drawn whole.
TEST(GifOptimize, AllTransparentFirstFrameStays)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    Gce(AddFrame(gif, 0, 0, {{3, 3}, {3, 3}}), 10, TDisposalMethod::dmNone, 3);
    TGIFSubImage& second = AddFrame(gif, 0, 0, {{0, 1}, {2, 3}});
    Gce(second, 10);
    Optimize(gif, OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup) |
                      OptimizeOption(ooColorMap));
    ASSERT_EQ(gif.Images().Count(), 2);
    EXPECT_TRUE(gif.Images().Image(0)->AllTransparent());
    EXPECT_EQ(Shown(second, 1, 1), kWhite);
    EXPECT_FALSE(second.Transparent());
}

// The cropped frame stays where its pixel was, at the screen's corner or not.
TEST(GifOptimize, MergeMakesRepeatsTransparentAndCropTrimsThem)
{
    for (const auto& [left, top, cropped] :
         {std::tuple{0, 0, TRect{1, 1, 2, 2}}, std::tuple{3, 5, TRect{4, 6, 5, 7}}}) {
        SCOPED_TRACE(left);
        TGIFImage gif;
        Colours(gif, {kRed, kGreen, kBlue, kWhite});
        Gce(AddFrame(gif, left, top, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}), 10);
        Gce(AddFrame(gif, left, top, {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}), 10);
        Optimize(gif, kMergeCrop);
        ASSERT_EQ(gif.Images().Count(), 2);
        const TGIFSubImage& second = *gif.Images().Image(1);
        EXPECT_EQ(second.BoundsRect(), cropped);
        EXPECT_EQ(Shown(second, 0, 0), kGreen);
        EXPECT_TRUE(second.Transparent());
        EXPECT_EQ(gif.ColorMap().Count(), 5) << "black added for transparency";
    }
}

// A frame using the global map may take another frame's transparent index
// only when it does not show that index itself.
TEST(GifOptimize, MergeTakesNoTransparentIndexTheFrameShows)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    Gce(AddFrame(gif, 0, 0, {{0, 0}}), 10);
    Gce(AddFrame(gif, 0, 0, {{0, 2}}), 10);
    Gce(AddFrame(gif, 5, 5, {{2, 1}}), 10, TDisposalMethod::dmNone, 2);
    Optimize(gif, OptimizeOption(ooMerge));
    const TGIFSubImage& second = *gif.Images().Image(1);
    ASSERT_TRUE(second.Transparent());
    EXPECT_NE(second.TransparentIndex(), 2);
    EXPECT_EQ(second.Pixels(0, 0), second.TransparentIndex());
    EXPECT_EQ(Shown(second, 1, 0), kBlue);

    // Index 1 is unused by the frame: taken. Index 4 is one past the map
    // (as a file may carry it; the colours come last so that it stays): no
    // entry to take, so one is added.
    for (const auto& [other, count] : {std::pair{1, 4}, std::pair{4, 5}}) {
        SCOPED_TRACE(other);
        TGIFImage reuse;
        Gce(AddFrame(reuse, 0, 0, {{0, 0}}), 10);
        Gce(AddFrame(reuse, 0, 0, {{0, 3}}), 10);
        Gce(AddFrame(reuse, 5, 5, {{2, 1}}), 10, TDisposalMethod::dmNone, other);
        Colours(reuse, {kRed, kGreen, kBlue, kWhite});
        Optimize(reuse, OptimizeOption(ooMerge));
        EXPECT_EQ(reuse.Images().Image(1)->TransparentIndex(), other);
        EXPECT_EQ(reuse.ColorMap().Count(), count);
    }
}

// Merging runs from the last frame down: the index the last frame makes is
// the one every earlier frame borrows.
TEST(GifOptimize, MergedFramesShareOneNewIndex)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen, kBlue, kWhite});
    for (int i = 0; i < 4; ++i)
        Gce(AddFrame(gif, 0, 0, {{0, 1, 2}}), 10);
    Optimize(gif, OptimizeOption(ooMerge));
    EXPECT_EQ(gif.ColorMap().Count(), 5);
    for (int i = 1; i < 4; ++i) {
        EXPECT_EQ(gif.Images().Image(i)->TransparentIndex(), 4) << i;
        EXPECT_TRUE(gif.Images().Image(i)->AllTransparent()) << i;
    }
}

// ---- cleanup ----

TEST(GifOptimize, CleanupDropsUnusedTransparencyAndNeedlessBlocks)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen});
    TGIFSubImage& a = AddFrame(gif, 0, 0, {{0, 0}});
    auto loop = std::make_unique<TGIFAppExtNSLoop>(&a);
    a.Extensions().Add(std::move(loop));
    auto comment = std::make_unique<TGIFCommentExtension>(&a);
    comment->Text() = {"made here"};
    a.Extensions().Add(std::move(comment));
    Gce(a, 10, TDisposalMethod::dmNone, 1);
    TGIFSubImage& b = AddFrame(gif, 0, 0, {{1, 0}});
    Gce(b, 0);
    Optimize(gif, OptimizeOption(ooCleanup));
    EXPECT_FALSE(a.Transparent());
    ASSERT_EQ(a.Extensions().Count(), 2) << "loop and delay stay";
    EXPECT_NE(dynamic_cast<TGIFAppExtNSLoop*>(a.Extensions().Extensions(0)), nullptr);
    EXPECT_EQ(b.Extensions().Count(), 0) << "no delay, no transparency: nothing to say";

    TGIFImage one;
    Colours(one, {kRed, kGreen});
    TGIFSubImage& only = AddFrame(one, 0, 0, {{0, 1}});
    only.Extensions().Add(std::make_unique<TGIFAppExtNSLoop>(&only));
    Gce(only, 10);
    Optimize(one, OptimizeOption(ooCleanup));
    EXPECT_EQ(only.Extensions().Count(), 0) << "one frame: no looping, no delay";
}

TEST(GifOptimize, CleanupDropsADisposalTheNextFrameHides)
{
    TGIFImage gif;
    Colours(gif, {kRed, kGreen});
    TGIFSubImage& a = AddFrame(gif, 1, 1, {{0}});
    Gce(a, 10, TDisposalMethod::dmBackground);
    Gce(AddFrame(gif, 0, 0, {{1, 1}, {1, 1}}), 10);
    TGIFSubImage& c = AddFrame(gif, 0, 0, {{0}});
    Gce(c, 10, TDisposalMethod::dmBackground);
    Gce(AddFrame(gif, 0, 0, {{1, 1}, {1, 1}}), 10, TDisposalMethod::dmPrevious);
    Gce(AddFrame(gif, 0, 0, {{1}}), 10);
    Optimize(gif, OptimizeOption(ooCleanup));
    EXPECT_EQ(a.GraphicControlExtension()->Disposal(), TDisposalMethod::dmNone);
    EXPECT_EQ(c.GraphicControlExtension()->Disposal(), TDisposalMethod::dmBackground)
        << "the next frame restores what was before it";
}

TEST(GifOptimize, PackMovesASingleLocalMapToTheGlobalOne)
{
    TGIFImage gif;
    AddFrame(gif, 0, 0, {{0, 1}}, {kRed, kBlue});
    gif.Pack();
    EXPECT_EQ(gif.ColorMap().Count(), 2);
    const RefGif ref = GiflibDecode(SaveToBytes(gif));
    ASSERT_TRUE(ref.ok);
    EXPECT_EQ(ref.globalMap, (std::vector<uint8_t>{255, 0, 0, 0, 0, 255}));
    EXPECT_TRUE(ref.frames.at(0).localMap.empty());
}

TEST(GifOptimize, PaletteReductionWithoutCleanupIsRefused)
{
    TGIFImage gif;
    AddFrame(gif, 0, 0, {{0}}, {kRed});
    try {
        gif.Optimize(OptimizeOption(ooReduceColors), TColorReduction::rmPalette, TDitherMode::dmNearest, 8);
        FAIL() << "no exception";
    } catch (const GIFException& e) {
        EXPECT_STREQ(e.what(), msg::kBadReduction);
    }
}

// ---- real animations ----

struct RealCase {
    std::string path;
    bool viaProbe; // the probe keeps frames that show nothing new
};

class OptimizedAnimation : public testing::TestWithParam<RealCase> {};

TEST_P(OptimizedAnimation, LooksTheSameAndIsSmaller)
{
    const auto& c = GetParam();
    pc::test::TempDir dir;
    const std::string out = dir.file("optimized.gif");
    if (c.viaProbe) {
        const std::string cmd = std::string(PRISMCASE_BINARY_DIR "/prismcase-probe gif-optimize '") + c.path + "' '" +
                                out + "' > /dev/null 2>&1";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    } else {
        TGIFImage gif;
        ASSERT_TRUE(LoadInto(gif, ReadAll(c.path)).ok);
        gif.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup) |
                         OptimizeOption(ooColorMap),
                     TColorReduction::rmNone, TDitherMode::dmNearest, 8);
        EXPECT_TRUE(gif.OptimizeColorMap());
        gif.SaveToFile(out);
    }
    const std::string cmd = "gifdiff '" + c.path + "' '" + out + "'";
    EXPECT_EQ(std::system((cmd + " > /dev/null 2>&1").c_str()), 0) << cmd;
    EXPECT_LT(std::filesystem::file_size(out), std::filesystem::file_size(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Files, OptimizedAnimation,
    testing::Values(RealCase{"/usr/libexec/installed-tests/gdk-pixbuf/aero.gif", false},
                    RealCase{"/usr/libexec/installed-tests/gdk-pixbuf/1_partyanimsm2.gif", false},
                    RealCase{pc::test::kGifTestImages + "gif-test-suite/animation.gif", false},
                    RealCase{"/usr/share/doc/libsixel-examples/examples/images/seq2gif.gif", true},
                    RealCase{"/usr/libexec/installed-tests/gdk-pixbuf/aero.gif", true},
                    RealCase{"/usr/libexec/installed-tests/gdk-pixbuf/1_partyanimsm2.gif", true}),
    [](const auto& info) {
        return pc::test::CaseName(std::filesystem::path(info.param.path).stem().string() +
                                  (info.param.viaProbe ? "_probe" : "_optimize"));
    });

} // namespace
} // namespace pc::gif::test
