// The picture object: settings, saving, conversion from bitmaps of every
// depth, transparency, rendering and drawing, clipboard and event handlers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "gif_test_util.h"
#include "giflib_reference.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

template <class F>
std::string ErrorOf(F&& f)
{
    try {
        f();
    } catch (const GIFException& e) {
        return e.what();
    }
    return "";
}

// An 8-bit bitmap whose pixel (x, y) is index (x + y * w) % colors, grey palette.
Bitmap Indexed(int w, int h, int colors)
{
    Bitmap bmp(w, h, PixelFormat::pf8bit);
    bmp.Palette().resize(size_t(colors));
    for (int i = 0; i < colors; ++i)
        bmp.Palette()[size_t(i)] = RGBQuad{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            bmp.ScanLine(y)[x] = uint8_t((x + y * w) % colors);
    return bmp;
}

TEST(GifImage, SettingsAreCheckedAndClamped)
{
    TGIFImage gif;
    EXPECT_EQ(ErrorOf([&] { gif.SetReductionBits(2); }), msg::kBadReductionBits);
    EXPECT_EQ(ErrorOf([&] { gif.SetReductionBits(9); }), msg::kBadReductionBits);
    gif.SetReductionBits(3);
    EXPECT_EQ(gif.ReductionBits(), 3);
    gif.SetReductionBits(8);
    EXPECT_EQ(gif.ReductionBits(), 8);
    gif.SetAnimationSpeed(-5);
    EXPECT_EQ(gif.AnimationSpeed(), 0);
    gif.SetAnimationSpeed(5000);
    EXPECT_EQ(gif.AnimationSpeed(), 1000);
}

TEST(GifImage, ScreenMustHoldEveryFrame)
{
    TGIFImage gif;
    gif.Add(Indexed(10, 6, 4));
    EXPECT_EQ(ErrorOf([&] { gif.SetWidth(9); }), msg::kWidthTooSmall);
    EXPECT_EQ(ErrorOf([&] { gif.SetHeight(5); }), msg::kHeightTooSmall);
    EXPECT_EQ(gif.Width(), 10);
    EXPECT_EQ(gif.Height(), 6);
    gif.SetWidth(20);
    EXPECT_EQ(gif.Width(), 20);
}

TEST(GifImage, SizesBeyondSixteenBitsAreRefused)
{
    TGIFImage gif;
    EXPECT_EQ(ErrorOf([&] { gif.SetWidth(70000); }), msg::kInvalidDimensions);
    TGIFSubImage frame(&gif);
    EXPECT_EQ(ErrorOf([&] { frame.DoSetBounds(60000, 0, 10000, 1); }), msg::kInvalidDimensions);
    EXPECT_EQ(ErrorOf([&] { frame.DoSetBounds(0, 65000, 1, 1000); }), msg::kInvalidDimensions);
    EXPECT_EQ(gif.Width(), 0) << "nothing changed";
}

// A side may be anything the 16-bit field holds; only the total is capped.
TEST(GifImage, SidesUpToTheFieldSizeLoadSaveAndDraw)
{
    for (auto [w, h] : {std::pair{65535, 1}, {1, 65535}}) {
        TGIFImage gif;
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        frame->DoSetBounds(0, 0, w, h);
        frame->ColorMap().Add({1, 2, 3});
        frame->ColorMap().Add({200, 100, 50});
        frame->SetPixel(w - 1, h - 1, 1);
        gif.Add(std::move(frame));
        TGIFImage back;
        const LoadResult res = LoadInto(back, SaveToBytes(gif));
        ASSERT_TRUE(res.ok) << res.error;
        EXPECT_TRUE(res.warnings.empty());
        const Bitmap* bmp = back.GetBitmap();
        ASSERT_NE(bmp, nullptr);
        EXPECT_EQ(bmp->Width(), w);
        EXPECT_EQ(bmp->Height(), h);
        EXPECT_EQ(bmp->Pixel(w - 1, h - 1), RGB(200, 100, 50));
        EXPECT_EQ(bmp->Pixel(0, 0), RGB(1, 2, 3));
    }
    TGIFImage gif;
    TGIFSubImage frame(&gif);
    EXPECT_EQ(ErrorOf([&] { frame.DoSetBounds(0, 0, 65535, 16385); }), msg::kInvalidDimensions) << "over 2^30 pixels";
}

TEST(GifImage, FrameOutsideTheScreenWidensItWithWarnings)
{
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    gif.SetWidth(10);
    gif.SetHeight(10);
    TGIFSubImage frame(&gif);
    frame.DoSetBounds(5, 0, 8, 4);
    EXPECT_EQ(gif.Width(), 13);
    EXPECT_EQ(warnings, (std::vector<std::string>{msg::kWidthTooSmall, msg::kExceedsScreen}));
    frame.SetPixel(1, 1, 3);
    frame.SetBounds(3, 9);
    EXPECT_EQ(frame.Pixels(1, 1), 0) << "a new width gives fresh pixels";
    EXPECT_EQ(ErrorOf([&] { frame.Pixels(9, 0); }), msg::kBadPixelCoordinates);
}

TEST(GifImage, SavingNothingRaisesAndKeepsTheOldFile)
{
    pc::test::TempDir dir;
    const std::string path = dir.file("old.gif");
    WriteFileAtomic(path, {'o', 'l', 'd'});
    TGIFImage gif;
    EXPECT_EQ(ErrorOf([&] { gif.SaveToFile(path); }), msg::kUnsupportedVersion);
    EXPECT_EQ(ReadFileBytes(path), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary file left";
}

// A few bytes that declare a huge frame are refused before its pixels are
// allocated, with the size in the message; a frame at the budget's edge loads.
TEST(GifImage, FramesBeyondThePictureBudgetAreRefused)
{
    auto tiny = [](int w, int h) {
        std::vector<uint8_t> d = {'G', 'I', 'F', '8', '9', 'a', uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8),
                                  0x80, 0, 0, 0, 0, 0, 255, 255, 255, ','};
        for (int v : {0, 0, w, h})
            d.insert(d.end(), {uint8_t(v), uint8_t(v >> 8)});
        d.insert(d.end(), {0, 2, 2, 0x44, 0x01, 0, ';'});
        return d;
    };
    TGIFImage gif;
    const LoadResult huge = LoadInto(gif, tiny(65535, 16000));
    EXPECT_FALSE(huge.ok);
    EXPECT_NE(huge.error.find("too large (65535 x 16000 pixels)"), std::string::npos) << huge.error;
    // Index and 8-bit bitmap of 8192 x 16383 take 256 MB less one row pair: allowed.
    const LoadResult edge = LoadInto(gif, tiny(8192, 16383));
    EXPECT_TRUE(edge.ok) << edge.error;
    const LoadResult over = LoadInto(gif, tiny(8192, 16385));
    EXPECT_FALSE(over.ok);
}

TEST(GifImage, FailedLoadLeavesItClearedAndTheReaderWhereItWas)
{
    TGIFImage gif;
    gif.Add(Indexed(4, 4, 4));
    const std::vector<uint8_t> bad = {'G', 'I', 'F', '8', '9', 'a', 1};
    ByteReader r(bad);
    EXPECT_THROW(gif.LoadFromStream(r), GIFException);
    EXPECT_TRUE(gif.Empty());
    EXPECT_EQ(r.pos(), 0u);
}

// Bitmaps of the palette depths keep their indices and colours exactly.
class PaletteDepth : public testing::TestWithParam<PixelFormat> {};

TEST_P(PaletteDepth, ColoursSurviveSaveAndLoad)
{
    const int bits = BitsPerPixel(GetParam());
    Bitmap src = Indexed(13, 7, 1 << bits);
    src.SetPixelFormat(GetParam());
    TGIFImage gif;
    gif.Assign(src);
    TGIFImage back;
    ASSERT_TRUE(LoadInto(back, SaveToBytes(gif)).ok);
    const Bitmap* out = back.GetBitmap();
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(out->Width(), 13);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(out->Pixel(x, y), src.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(SaveToBytes(gif)[10], (bits - 1) << 4 | (bits - 1)) << "resolution and size fields from the local map";
}

INSTANTIATE_TEST_SUITE_P(Depths, PaletteDepth,
                         testing::Values(PixelFormat::pf1bit, PixelFormat::pf4bit, PixelFormat::pf8bit),
                         [](const auto& info) { return "bits" + std::to_string(BitsPerPixel(info.param)); });

Bitmap Mask(const Bitmap& bmp, uint8_t index)
{
    Bitmap mask(bmp.Width(), bmp.Height(), PixelFormat::pf8bit);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            mask.ScanLine(y)[x] = bmp.ScanLine(y)[x] == index ? 1 : 0;
    return mask;
}

TEST(GifTransparency, MaskedPixelsShareOneNewIndex)
{
    Bitmap src = Indexed(8, 8, 16);
    const Bitmap mask = Mask(src, 5);
    TGIFImage gif;
    gif.Assign(src, &mask);
    TGIFSubImage* f = gif.Images().Image(0);
    ASSERT_TRUE(f->Transparent());
    const int t = f->TransparentIndex();
    EXPECT_EQ(f->ColorMap().Count(), 17);
    EXPECT_EQ(f->ColorMap().Color(t), (TGIFColor{0, 0, 0}));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(f->Pixels(x, y) == t, src.ScanLine(y)[x] == 5);
    EXPECT_EQ(gif.Version(), TGIFVersion::gv89a);
}

// A full map has no room for a new entry: a colour that only masked pixels
// use becomes the transparent one.
TEST(GifTransparency, FullMapUsesAColourOnlyMaskedPixelsHave)
{
    Bitmap src = Indexed(32, 16, 256);
    const Bitmap mask = Mask(src, 200);
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    gif.Assign(src, &mask);
    TGIFSubImage* f = gif.Images().Image(0);
    ASSERT_TRUE(f->Transparent());
    EXPECT_TRUE(warnings.empty());
    EXPECT_EQ(f->ColorMap().Count(), 256);
    const int t = f->TransparentIndex();
    int masked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            EXPECT_EQ(f->Pixels(x, y) == t, src.ScanLine(y)[x] == 200);
            masked += f->Pixels(x, y) == t;
        }
    EXPECT_EQ(masked, 2);
    // It survives the file, and the rendering masks exactly those pixels.
    TGIFImage back;
    ASSERT_TRUE(LoadInto(back, SaveToBytes(gif)).ok);
    const Bitmap* m = back.Images().Image(0)->Mask();
    ASSERT_NE(m, nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(m->RawPixel(x, y), src.ScanLine(y)[x] == 200 ? 1u : 0u);
}

TEST(GifTransparency, FullMapWithoutAFreeColourWarns)
{
    Bitmap src = Indexed(32, 16, 256);
    Bitmap mask(32, 16, PixelFormat::pf8bit);
    mask.ScanLine(0)[0] = 1; // shares index 0 with the opaque pixel at (0, 8)
    TGIFImage gif;
    std::vector<std::string> warnings;
    gif.OnWarning = [&](const void*, TGIFSeverity, const std::string& m) { warnings.push_back(m); };
    gif.Assign(src, &mask);
    EXPECT_FALSE(gif.IsTransparent());
    EXPECT_EQ(warnings, std::vector<std::string>{msg::kNoTransparentIndex});
}

TEST(GifTransparency, EmptyMaskAddsNothing)
{
    Bitmap src = Indexed(8, 8, 16);
    Bitmap mask(8, 8, PixelFormat::pf8bit);
    TGIFImage gif;
    gif.Assign(src, &mask);
    EXPECT_FALSE(gif.IsTransparent());
    EXPECT_EQ(gif.Images().Image(0)->ColorMap().Count(), 16);
    EXPECT_EQ(gif.Version(), TGIFVersion::gv87a);
}

// Screen 6x6 with a 2x2 frame at 2,2: drawing scales and places it, and
// transparent pixels leave the destination alone.
TEST(GifDraw, FramePlacedScaledAndMasked)
{
    TGIFImage gif;
    gif.SetWidth(6);
    gif.SetHeight(6);
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    frame->DoSetBounds(2, 2, 2, 2);
    frame->ColorMap().Add({255, 0, 0});
    frame->ColorMap().Add({0, 0, 255});
    frame->SetPixel(1, 0, 1);
    frame->SetPixel(0, 1, 1);
    frame->SetPixel(1, 1, 1);
    auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
    gce->SetTransparentColorIndex(1);
    gce->SetTransparent(true);
    frame->Extensions().Add(std::move(gce));
    gif.Add(std::move(frame));
    gif.SetForceFrame(3); // out of range: frame 0

    Bitmap dest(12, 12, PixelFormat::pf24bit);
    dest.Fill(RGB(0, 255, 0));
    gif.Draw(dest, TRect{0, 0, 12, 12});
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            TColor expect = x >= 4 && x < 6 && y >= 4 && y < 6 ? RGB(255, 0, 0) : RGB(0, 255, 0);
            EXPECT_EQ(dest.Pixel(x, y), expect) << x << "," << y;
        }

    gif.SetDrawOptions(gif.DrawOptions() & ~DrawOption(goTransparent));
    gif.Draw(dest, TRect{0, 0, 12, 12});
    EXPECT_EQ(dest.Pixel(7, 7), RGB(0, 0, 255));
    // Rectangles partly or wholly outside the destination are clipped.
    gif.Draw(dest, TRect{-30, -30, 6, 6});
    gif.Draw(dest, TRect{100, 100, 400, 400});
    gif.Draw(dest, TRect{-2000000000, -2000000000, 2000000000, 2000000000});
}

TEST(GifDraw, TilesRepeatAtTheScreenSizeAndStayClipped)
{
    TGIFImage gif;
    gif.Add(Indexed(2, 1, 2));
    gif.SetDrawOptions(gif.DrawOptions() | DrawOption(goTile));
    Bitmap dest(5, 3, PixelFormat::pf24bit);
    gif.Draw(dest, TRect{-1, 0, 5, 3});
    const Bitmap& src = gif.Images().Image(0)->GetBitmap();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(dest.Pixel(x, y), src.Pixel((x + 1) % 2, 0)) << x << "," << y;
    // A rectangle far larger than the destination draws only what is visible.
    gif.Draw(dest, TRect{-2000000000, -2000000000, 2000000000, 2000000000});
}

// The first frame drawn on a bitmap of the 4 x 3 screen, black around it: a
// frame of the screen's width or height alone is no screen-sized frame.
TEST(GifDraw, FirstFrameOnTheScreenBitmap)
{
    struct Case {
        int left, top, width, height;
    };
    for (const Case& c : {Case{1, 1, 2, 1}, Case{0, 1, 4, 2}, Case{1, 0, 3, 3}}) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        TGIFImage gif;
        gif.SetWidth(4);
        gif.SetHeight(3);
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        frame->DoSetBounds(c.left, c.top, c.width, c.height);
        frame->ColorMap().Add({10, 20, 30});
        frame->ColorMap().Add({40, 50, 60});
        frame->SetPixel(1, 0, 1);
        gif.Add(std::move(frame));
        const Bitmap* bmp = gif.GetBitmap();
        ASSERT_NE(bmp, nullptr);
        ASSERT_EQ(bmp->Width(), 4);
        ASSERT_EQ(bmp->Height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                const int fx = x - c.left, fy = y - c.top;
                const bool inside = fx >= 0 && fx < c.width && fy >= 0 && fy < c.height;
                const TColor want = !inside ? clBlack : fx == 1 && fy == 0 ? RGB(40, 50, 60) : RGB(10, 20, 30);
                EXPECT_EQ(bmp->Pixel(x, y), want) << x << "," << y;
            }
    }
}

TEST(GifImage, AssignCopiesFramesAndKeepsOwnHandlers)
{
    TGIFImage source;
    source.Add(Indexed(5, 5, 8));
    source.Add(Indexed(3, 2, 4));
    std::vector<std::string> sourceProgress;
    source.OnProgress = [&](TProgressStage, int, bool, const std::string& m) { sourceProgress.push_back(m); };

    TGIFImage target;
    int ownWarnings = 0;
    target.OnWarning = [&](const void*, TGIFSeverity, const std::string&) { ++ownWarnings; };
    target.Assign(source);
    ASSERT_EQ(target.Images().Count(), 2);
    EXPECT_EQ(target.Images().Image(1)->Data(), source.Images().Image(1)->Data());
    EXPECT_EQ(SaveToBytes(target), SaveToBytes(source));
    EXPECT_NE(std::find(sourceProgress.begin(), sourceProgress.end(), msg::kCopying), sourceProgress.end());
    EXPECT_EQ(ownWarnings, 0);
    target.ColorMap().Add({1, 1, 1});
    target.ColorMap().Color(3);
    EXPECT_EQ(ownWarnings, 1);
}

TEST(GifImage, ClipboardCarriesTheGifStream)
{
    TGIFImage gif;
    gif.Add(Indexed(9, 4, 16));
    gif.SaveToClipboardFormat();
    TGIFImage back;
    back.LoadFromClipboardFormat();
    EXPECT_EQ(SaveToBytes(back), SaveToBytes(gif));
}

} // namespace
} // namespace pc::gif::test

namespace pc::gif::test {
namespace {

const std::string kSampleBmp = pc::test::kSdlImages + "sample.bmp";

// What publishing does: defaults, a 24-bit bitmap, save.
TEST(GifPublish, DefaultsWriteAWebPaletteGif87a)
{
    const Bitmap src = LoadBmpFile(kSampleBmp);
    ASSERT_EQ(src.Bits(), 24);
    TGIFImage gif;
    gif.Assign(src);
    const std::vector<uint8_t> out = SaveToBytes(gif);
    const int w = src.Width(), h = src.Height();
    const std::vector<uint8_t> head = {'G', 'I', 'F', '8', '7', 'a', uint8_t(w), uint8_t(w >> 8), uint8_t(h),
                                       uint8_t(h >> 8), 0x77, 0, 0, 0x2C, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8),
                                       uint8_t(h), uint8_t(h >> 8), 0x87};
    ASSERT_GT(out.size(), head.size() + 768 + 2);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + long(head.size())), head);
    EXPECT_EQ(out[head.size() + 768], 8) << "code size right after the padded local map";
    EXPECT_EQ(out.back(), 0x3B);

    // giflib reads every pixel as the source colour on the nearest web level.
    const RefGif ref = GiflibDecode(out);
    ASSERT_TRUE(ref.ok);
    ASSERT_EQ(ref.frames.size(), 1u);
    const RefFrame& f = ref.frames[0];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* c = &f.localMap[size_t(f.pixels[size_t(y * w + x)]) * 3];
            const TColor s = src.Pixel(x, y);
            for (auto [got, want] : {std::pair{c[0], GetRValue(s)}, {c[1], GetGValue(s)}, {c[2], GetBValue(s)}}) {
                ASSERT_EQ(got % 51, 0);
                ASSERT_LE(std::abs(int(got) - int(want)), 25) << x << "," << y;
            }
        }
}

// Without dithering a flat colour lands on its nearest level, not the one below.
TEST(GifPublish, FlatColoursTakeTheNearestWebLevel)
{
    for (auto [in, out] : {std::pair{30, 51}, {25, 0}, {26, 51}, {76, 51}, {77, 102}, {229, 204}, {230, 255}}) {
        Bitmap src(6, 4, PixelFormat::pf24bit);
        src.Fill(RGB(uint8_t(in), uint8_t(in), uint8_t(in)));
        TGIFImage gif;
        gif.Assign(src);
        const RefGif ref = GiflibDecode(SaveToBytes(gif));
        ASSERT_TRUE(ref.ok);
        const RefFrame& f = ref.frames.at(0);
        const uint8_t* c = &f.localMap.at(size_t(f.pixels.at(0)) * 3);
        EXPECT_EQ(RGB(c[0], c[1], c[2]), RGB(uint8_t(out), uint8_t(out), uint8_t(out))) << in;
    }
}

TEST(GifPublish, TransparentBlackBecomesTheTransparentIndex)
{
    Bitmap src = LoadBmpFile(kSampleBmp);
    for (int x = 0; x < src.Width(); ++x)
        src.SetPixel(x, 0, clBlack);
    Bitmap mask(src.Width(), src.Height(), PixelFormat::pf8bit);
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x)
            mask.ScanLine(y)[x] = src.Pixel(x, y) == clBlack;
    TGIFImage gif;
    gif.Assign(src, &mask);
    const RefGif ref = GiflibDecode(SaveToBytes(gif));
    ASSERT_TRUE(ref.ok);
    const RefFrame& f = ref.frames.at(0);
    ASSERT_GE(f.transparent, 0);
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x)
            ASSERT_EQ(f.pixels[size_t(y * src.Width() + x)] == f.transparent, src.Pixel(x, y) == clBlack);
}

class TrueColourDepth : public testing::TestWithParam<PixelFormat> {};

TEST_P(TrueColourDepth, ExactColoursWithoutReduction)
{
    Bitmap src = Indexed(17, 16, 256);
    src.SetPixelFormat(GetParam());
    TGIFImage gif;
    gif.SetColorReduction(TColorReduction::rmNone);
    gif.Assign(src);
    TGIFImage back;
    ASSERT_TRUE(LoadInto(back, SaveToBytes(gif)).ok);
    const Bitmap* out = back.GetBitmap();
    ASSERT_NE(out, nullptr);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(out->Pixel(x, y), src.Pixel(x, y));
    src.SetPixel(0, 0, RGB(1, 2, 3)); // a 257th colour
    EXPECT_EQ(ErrorOf([&] { gif.Assign(src); }), msg::kColorTableOverflow);
    EXPECT_TRUE(gif.Empty());
}

INSTANTIATE_TEST_SUITE_P(Depths, TrueColourDepth, testing::Values(PixelFormat::pf24bit, PixelFormat::pf32bit),
                         [](const auto& info) { return "bits" + std::to_string(BitsPerPixel(info.param)); });

TEST(GifRender, DitheringKeepsTheMeanOfAFlatGrey)
{
    TGIFImage gif;
    gif.SetDrawOptions(DrawOption(goDither));
    ASSERT_TRUE(gif.DoDither());
    auto frame = std::make_unique<TGIFSubImage>(&gif);
    frame->DoSetBounds(0, 0, 32, 32);
    frame->ColorMap().Add({128, 128, 128});
    gif.Add(std::move(frame));
    const Bitmap& bmp = gif.Images().Image(0)->GetBitmap();
    std::set<TColor> seen;
    int64_t sum = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            seen.insert(bmp.Pixel(x, y));
            sum += GetRValue(bmp.Pixel(x, y));
        }
    EXPECT_EQ(seen, (std::set<TColor>{RGB(102, 102, 102), RGB(153, 153, 153)}));
    EXPECT_NEAR(double(sum) / 1024, 128.0, 2.0);

    gif.SetDrawOptions(DrawOption(goDither) | DrawOption(goAutoDither));
    EXPECT_FALSE(gif.DoDither()) << "screens here are no palette devices";
}

} // namespace
} // namespace pc::gif::test
