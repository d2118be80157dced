// Optimised files look the same: every GIF of the test data, optimised in
// process and by the probe, composites (as giflib decodes it, with gifsicle's
// screen background) to the same pixels, transparent ones included, frame by
// frame. Frames that show nothing new may go; their time stays.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "gif_test_util.h"
#include "giflib_reference.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

constexpr uint32_t kClear = 0; // a transparent screen pixel; colours carry 0xFF in the top byte

uint32_t Rgb(const std::vector<uint8_t>& map, int i)
{
    if (size_t(i) * 3 + 2 >= map.size())
        return 0xFF000000u; // outside its map: black, as the optimiser maps it
    return 0xFF000000u | uint32_t(map[size_t(i) * 3]) << 16 | uint32_t(map[size_t(i) * 3 + 1]) << 8 |
           map[size_t(i) * 3 + 2];
}

struct Shown {
    std::vector<uint32_t> pixels;
    int delay = 0;
};

// The screen after each frame; a frame that changes nothing adds its delay
// to the one before. The background is transparent when the first frame is.
std::vector<Shown> Composite(const RefGif& gif)
{
    const bool clearBackground = gif.frames.empty() || gif.frames[0].transparent >= 0 ||
                                 size_t(gif.background) * 3 >= gif.globalMap.size();
    const uint32_t background = clearBackground ? kClear : Rgb(gif.globalMap, gif.background);
    std::vector<uint32_t> screen(size_t(gif.width) * size_t(gif.height), background);
    std::vector<Shown> shown;
    for (const RefFrame& f : gif.frames) {
        const std::vector<uint32_t> before = screen;
        const auto& map = f.localMap.empty() ? gif.globalMap : f.localMap;
        auto inside = [&](int x, int y) { return f.left + x < gif.width && f.top + y < gif.height; };
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const int p = f.pixels[size_t(y) * size_t(f.width) + size_t(x)];
                if (p != f.transparent && inside(x, y))
                    screen[size_t(f.top + y) * size_t(gif.width) + size_t(f.left + x)] = Rgb(map, p);
            }
        if (!shown.empty() && shown.back().pixels == screen)
            shown.back().delay += f.delay;
        else
            shown.push_back({screen, f.delay});
        if (f.disposal == 2) {
            for (int y = 0; y < f.height; ++y)
                for (int x = 0; x < f.width; ++x)
                    if (inside(x, y))
                        screen[size_t(f.top + y) * size_t(gif.width) + size_t(f.left + x)] = background;
        } else if (f.disposal == 3) {
            screen = before;
        }
    }
    return shown;
}

void ExpectSameLook(const std::vector<uint8_t>& original, const std::vector<uint8_t>& optimized)
{
    const RefGif a = GiflibDecode(original), b = GiflibDecode(optimized);
    if (!a.ok)
        GTEST_SKIP() << "giflib does not read the original";
    ASSERT_TRUE(b.ok);
    ASSERT_EQ(b.width, a.width);
    ASSERT_EQ(b.height, a.height);
    const std::vector<Shown> want = Composite(a), got = Composite(b);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i].delay, want[i].delay) << "frame " << i;
        for (size_t k = 0; k < want[i].pixels.size(); ++k)
            ASSERT_EQ(got[i].pixels[k], want[i].pixels[k])
                << "frame " << i << " at " << k % size_t(a.width) << "," << k / size_t(a.width);
    }
}

std::vector<std::string> AllGifs()
{
    std::vector<std::string> files = ReadableSuiteFiles();
    for (const auto& f : pc::test::FilesIn("/usr/libexec/installed-tests/gdk-pixbuf", {".gif"}))
        if (std::filesystem::path(f).parent_path() == "/usr/libexec/installed-tests/gdk-pixbuf")
            files.push_back(f);
    for (const auto& f : pc::test::FilesIn("/usr/share/doc/libsixel-examples/examples/images", {".gif"}))
        files.push_back(f);
    files.push_back(pc::test::kSdlImages + "palette.gif");
    return files;
}

void CheckInProcess(const std::string& path)
{
    const std::vector<uint8_t> input = ReadAll(path);
    TGIFImage gif;
    if (!LoadInto(gif, input).ok || ImageFrames(gif).empty())
        GTEST_SKIP() << "no picture to optimise";
    gif.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup) |
                     OptimizeOption(ooColorMap),
                 TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    // One map for all only when it holds every colour the frames show.
    TGIFImage merged;
    merged.Assign(gif);
    ExpectSameLook(input, SaveToBytes(merged.OptimizeColorMap() ? merged : gif));
}

void CheckByProbe(const std::string& path, const std::string& out)
{
    const std::string cmd =
        std::string(PRISMCASE_BINARY_DIR "/prismcase-probe gif-optimize '") + path + "' '" + out + "' > /dev/null 2>&1";
    const std::vector<uint8_t> input = ReadAll(path);
    TGIFImage gif;
    if (!LoadInto(gif, input).ok) {
        EXPECT_NE(std::system(cmd.c_str()), 0) << "a file that does not load is refused";
        return;
    }
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    ExpectSameLook(input, ReadAll(out));
}

class OptimizedLook : public testing::TestWithParam<std::string> {};

TEST_P(OptimizedLook, InProcess)
{
    CheckInProcess(GetParam());
}

TEST_P(OptimizedLook, ByTheProbe)
{
    pc::test::TempDir dir;
    CheckByProbe(GetParam(), dir.file("optimized.gif"));
}

// Built with giflib: where the screen background shows, an unused
// transparent index of the first frame still makes it transparent, and so
// does a screen without a global map that frames of local maps leave uncovered.
TEST(OptimizedLook, ScreenBackgroundStaysTransparent)
{
    const std::vector<uint8_t> map = {0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 0};
    // One 11 x 11 frame with a transparent border: cropped, it uncovers the screen.
    RefGif border{true, 11, 11, 0, map, {}, -1};
    RefFrame framed{0, 0, 11, 11, false, {}, {}, true, 0, 0, 0};
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x)
            framed.pixels.push_back(x == 0 || y == 0 || x == 10 || y == 10 ? 0 : uint8_t(1 + (x * y + x) % 3));
    border.frames = {framed};
    // An opaque first frame flagged transparent; the second is cleared after its time.
    RefGif cleared{true, 5, 3, 0, map, {}, -1};
    cleared.frames = {{0, 0, 5, 3, false, {}, {1, 2, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 2, 2, 1}, true, 0, 10, 0},
                      {1, 1, 2, 1, false, {}, {3, 2}, true, -1, 10, 2},
                      {4, 0, 1, 1, false, {}, {3}, true, -1, 10, 0}};
    RefGif local{true, 4, 3, 0, {}, {}, -1};
    const std::vector<uint8_t> map1 = {170, 170, 85, 10, 20, 200, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<uint8_t> map2 = {255, 0, 0, 0, 255, 0, 170, 170, 85, 9, 9, 9, 8, 8, 8};
    local.frames = {{1, 0, 2, 2, false, map1, {0, 1, 1, 0}}, {0, 1, 3, 2, false, map2, {0, 1, 2, 1, 2, 0}}};
    for (const auto& [name, ref] :
         {std::pair{"border", border}, std::pair{"cleared", cleared}, std::pair{"no global map", local}}) {
        SCOPED_TRACE(name);
        pc::test::TempDir dir;
        const std::string in = dir.file("in.gif"), out = dir.file("out.gif");
        WriteFileAtomic(in, GiflibEncode(ref));
        CheckInProcess(in);
        CheckByProbe(in, out);
        const std::string diff = "gifdiff '" + in + "' '" + out + "' > /dev/null 2>&1";
        EXPECT_EQ(std::system(diff.c_str()), 0) << diff;
    }
}

// What gifdiff prints on comparing the two files: nothing when they look alike.
std::string Gifdiff(const std::string& a, const std::string& b)
{
    std::string out;
    FILE* p = popen(("gifdiff '" + a + "' '" + b + "' 2>&1").c_str(), "r");
    if (!p)
        return "gifdiff did not start";
    char buf[256];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        out.append(buf, n);
    return pclose(p) == 0 || !out.empty() ? out : "gifdiff failed";
}

// Writes the input file.
using MakeInput = std::function<void(const std::string& path)>;

// Two frames on a 5 x 3 screen of four colours; the second has a local
// table of two entries and transparent index 2: the bytes of a file as
// animation tools write it, image data from giflib.
MakeInput LocalTableOfTwo(const std::vector<uint8_t>& second4x2)
{
    std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', 5, 0, 3, 0, 0xF1, 0, 0};
    f.insert(f.end(), {200, 30, 40, 20, 160, 60, 10, 20, 220, 240, 230, 20});
    f.insert(f.end(), {0x2C, 0, 0, 0, 0, 5, 0, 3, 0, 0});
    const auto first = GiflibImageData({0, 1, 2, 3, 1, 2, 2, 0, 1, 3, 3, 1, 0, 0, 2}, 5, 3, 2, false);
    f.insert(f.end(), first.begin(), first.end());
    f.insert(f.end(), {0x21, 0xF9, 4, 0x01, 10, 0, 2, 0});
    f.insert(f.end(), {0x2C, 1, 0, 1, 0, 4, 0, 2, 0, 0x80, 90, 90, 90, 250, 140, 0});
    const auto second = GiflibImageData(second4x2, 4, 2, 2, false);
    f.insert(f.end(), second.begin(), second.end());
    f.push_back(0x3B);
    return [f](const std::string& path) { WriteFileAtomic(path, f); };
}

MakeInput Gifsicle(const std::string& steps)
{
    return [steps](const std::string& path) {
        const std::string cmd = steps + " -o '" + path + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    };
}

// A first frame that leaves the screen's left column uncovered, transparent
// through an index past the global table of two that no pixel uses: the
// background shows transparent through it.
MakeInput OverTransparentBackground()
{
    RefGif ref{true, 5, 2, 0, {250, 140, 0, 10, 20, 220}, {}, -1};
    ref.frames = {{1, 0, 4, 2, false, {}, {1, 1, 0, 1, 1, 0, 1, 1}, true, 2, 10, 0},
                  {2, 1, 2, 1, false, {}, {0, 0}, true, -1, 10, 0}};
    return [ref](const std::string& path) { WriteFileAtomic(path, GiflibEncode(ref)); };
}

struct BeyondTableCase {
    const char* name;
    MakeInput make;
};

void PrintTo(const BeyondTableCase& c, std::ostream* os)
{
    *os << c.name;
}

class TransparentBeyondTable : public testing::TestWithParam<BeyondTableCase> {};

// Animation tools put the transparent index just past a full colour table.
// The optimised file must keep every frame's look: gifdiff finds nothing,
// whether the probe writes its own result or keeps the input.
TEST_P(TransparentBeyondTable, OptimizedLooksTheSame)
{
    pc::test::TempDir dir;
    const std::string in = dir.file("in.gif"), out = dir.file("out.gif"), probed = dir.file("probed.gif");
    if (std::system("gifsicle --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "gifsicle is not installed";
    GetParam().make(in);
    TGIFImage gif;
    ASSERT_TRUE(LoadInto(gif, ReadAll(in)).ok);
    gif.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCleanup) | OptimizeOption(ooColorMap),
                 TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    gif.OptimizeColorMap(true);
    gif.SaveToFile(out);
    EXPECT_EQ(Gifdiff(in, out), "");
    CheckByProbe(in, probed);
    EXPECT_EQ(Gifdiff(in, probed), "");
}

// Tools add a comment; the optimiser drops it, so that the probe writes its
// own result rather than keeping the input.
const std::string kComment = " --comment 'Made by an animation tool, then scaled and optimised by gifsicle; "
                             "the optimiser drops this comment, so its own result is smaller than the input.'";
const std::string kSeq2gif = "/usr/share/doc/libsixel-examples/examples/images/seq2gif.gif";
const std::string kCircles = "/usr/libexec/installed-tests/gdk-pixbuf/circular-table.gif";

INSTANTIATE_TEST_SUITE_P(
    Files, TransparentBeyondTable,
    testing::Values(
        BeyondTableCase{"seq2gif_8_colours",
                        Gifsicle("gifsicle --resize 80x_ '" + kSeq2gif + "' | gifsicle -O3 --colors 8" + kComment)},
        BeyondTableCase{"seq2gif_4_colours_dithered", Gifsicle("gifsicle --resize 160x_ '" + kSeq2gif +
                                                               "' | gifsicle -O3 --dither --colors 4" + kComment)},
        BeyondTableCase{"circles_4_colours",
                        Gifsicle("gifsicle --crop 0,0+160x90 '" + kCircles + "' | gifsicle -O3 --colors 4")},
        BeyondTableCase{"suite_animation",
                        Gifsicle("gifsicle -O3 '" + pc::test::kGifTestImages + "gif-test-suite/animation.gif'")},
        BeyondTableCase{"local_table_of_two_shown", LocalTableOfTwo({1, 2, 1, 0, 2, 1, 1, 2})},
        BeyondTableCase{"local_table_of_two_unused", LocalTableOfTwo({1, 1, 1, 0, 0, 1, 1, 1})},
        BeyondTableCase{"first_frame_over_background", OverTransparentBackground()}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Files, OptimizedLook, testing::ValuesIn(AllGifs()), [](const auto& info) {
    return pc::test::CaseName(std::filesystem::path(info.param).parent_path().filename().string() + "_" +
                              std::filesystem::path(info.param).stem().string());
});

} // namespace
} // namespace pc::gif::test
