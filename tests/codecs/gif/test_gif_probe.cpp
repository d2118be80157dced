// The gif-encode, gif-copy and gif-decode probe commands as a reviewer runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "gif_test_util.h"
#include "giflib_reference.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

struct ProbeRun {
    int exitCode;
    std::string stderrText;
};

ProbeRun RunShell(const std::string& command, const pc::test::TempDir& dir)
{
    const std::string err = dir.file("stderr.txt");
    const int status = std::system((command + " 2> '" + err + "'").c_str());
    const auto bytes = ReadAll(err);
    return {WEXITSTATUS(status), std::string(bytes.begin(), bytes.end())};
}

ProbeRun Probe(const std::string& args, const pc::test::TempDir& dir)
{
    return RunShell(std::string(PRISMCASE_BINARY_DIR "/prismcase-probe ") + args, dir);
}

const std::string kSuite = pc::test::kGifTestImages + "gif-test-suite/";

TEST(GifProbe, DamagedFilePrintsTheCodecsMessageAndWritesNothing)
{
    pc::test::TempDir dir;
    const std::string out = dir.file("out.gif");
    const ProbeRun r = Probe("gif-copy '" + pc::test::kGifTestImages + "fail/bug778584.gif' '" + out + "'", dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.stderrText.find("Invalid GIF signature"), std::string::npos) << r.stderrText;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(GifProbe, DecodeWritesTheFirstFrame)
{
    pc::test::TempDir dir;
    const std::string in = kSuite + "interlace.gif", out = dir.file("out.bmp");
    ASSERT_EQ(Probe("gif-decode '" + in + "' '" + out + "'", dir).exitCode, 0);
    const RefGif ref = GiflibDecode(ReadAll(in));
    ASSERT_TRUE(ref.ok);
    const RefFrame& f = ref.frames.at(0);
    const std::vector<uint8_t>& map = f.localMap.empty() ? ref.globalMap : f.localMap;
    const Bitmap bmp = LoadBmpFile(out);
    ASSERT_EQ(bmp.Width(), f.width);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const uint8_t* c = &map[size_t(f.pixels[size_t(y * f.width + x)]) * 3];
            ASSERT_EQ(bmp.Pixel(x, y), RGB(c[0], c[1], c[2])) << x << "," << y;
        }
}

// gif-decode reads the first frame alone: the 64 frames after it, which
// with it pass the pixels all frames of a picture may have, are not read.
TEST(GifProbe, DecodeReadsOnlyTheFirstFrame)
{
    pc::test::TempDir dir;
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 16, 0, 16, 0x80, 0, 0, 255, 0, 0, 0, 0, 0};
    // 4096 x 4096 pixels of index 0 each.
    const std::vector<uint8_t> frame = {',', 0, 0, 0, 0, 0, 16, 0, 16, 0, 2, 2, 0x44, 0x01, 0};
    for (int i = 0; i < 65; ++i)
        gif.insert(gif.end(), frame.begin(), frame.end());
    gif.push_back(';');
    const std::string in = dir.file("in.gif"), out = dir.file("out.bmp");
    WriteFileAtomic(in, gif);
    const ProbeRun r = Probe("gif-decode '" + in + "' '" + out + "'", dir);
    ASSERT_EQ(r.exitCode, 0) << r.stderrText;
    const Bitmap bmp = LoadBmpFile(out);
    EXPECT_EQ(bmp.Width(), 4096);
    EXPECT_EQ(bmp.Pixel(4095, 4095), RGB(255, 0, 0));
}

// Files that load but hold no image cannot be written as GIF: the
// optimiser keeps them byte for byte and says why.
TEST(GifProbe, OptimizeKeepsAFileWithoutAnImage)
{
    for (const char* name : {"max-size", "no-data", "zero-height", "zero-size", "zero-width"}) {
        SCOPED_TRACE(name);
        pc::test::TempDir dir;
        const std::string in = kSuite + name + ".gif", out = dir.file("out.gif");
        const ProbeRun r = Probe("gif-optimize '" + in + "' '" + out + "' > /dev/null", dir);
        EXPECT_EQ(r.exitCode, 0) << r.stderrText;
        EXPECT_NE(r.stderrText.find("holds no image"), std::string::npos) << r.stderrText;
        EXPECT_EQ(ReadAll(out), ReadAll(in));
    }
}

// A one-pixel frame on a screen of 16384 x 16384 would render into 768 MB:
// refused by the picture budget, nothing written. A smaller screen renders.
TEST(GifProbe, DecodeBudgetsTheScreen)
{
    struct Case {
        int width, height;
        bool fits;
    };
    for (const Case c : {Case{16384, 16384, false}, Case{301, 7, true}}) {
        SCOPED_TRACE(c.width);
        pc::test::TempDir dir;
        RefGif ref{true, c.width, c.height, 0, {0, 0, 0, 255, 0, 0}, {{2, 3, 1, 1, false, {}, {1}}}, -1};
        const std::string in = dir.file("in.gif"), out = dir.file("out.bmp");
        WriteFileAtomic(in, GiflibEncode(ref));
        const ProbeRun r = Probe("gif-decode '" + in + "' '" + out + "'", dir);
        EXPECT_EQ(r.exitCode, c.fits ? 0 : 1);
        EXPECT_EQ(std::filesystem::exists(out), c.fits);
        if (c.fits) {
            const Bitmap bmp = LoadBmpFile(out);
            EXPECT_EQ(bmp.Width(), c.width);
            EXPECT_EQ(bmp.Pixel(2, 3), RGB(255, 0, 0));
        } else {
            EXPECT_NE(r.stderrText.find("768 MB, more than the 256 MB a picture may take"), std::string::npos)
                << r.stderrText;
        }
    }
}

class GifProbeEncode : public testing::TestWithParam<std::string> {};

TEST_P(GifProbeEncode, GifsicleAndGiflibReadIt)
{
    pc::test::TempDir dir;
    const std::string out = dir.file("out.gif");
    const ProbeRun r = Probe("gif-encode '" + pc::test::kSdlImages + "sample.bmp' '" + out + "' " + GetParam(), dir);
    ASSERT_EQ(r.exitCode, 0) << r.stderrText;
    EXPECT_EQ(RunShell("gifsicle --info '" + out + "' > /dev/null", dir).exitCode, 0);
    const RefGif ref = GiflibDecode(ReadAll(out));
    ASSERT_TRUE(ref.ok);
    EXPECT_EQ(ref.frames.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Options, GifProbeEncode,
                         testing::Values("", "--reduction Quantize --dither FloydSteinberg",
                                         "--reduction QuantizeWindows --dither Burkes", "--reduction Monochrome",
                                         "--reduction rmGrayScale --dither dmStucki", "--reduction Windows20",
                                         "--transparent-black"),
                         [](const auto& info) {
                             return info.param.empty() ? std::string("defaults") : pc::test::CaseName(info.param);
                         });

TEST(GifProbe, UnknownOptionsAreRefused)
{
    pc::test::TempDir dir;
    for (const char* opt : {"--reduction Sepia", "--dither Random", "--speed 3"}) {
        const ProbeRun r =
            Probe("gif-encode '" + pc::test::kSdlImages + "sample.bmp' '" + dir.file("x.gif") + "' " + opt, dir);
        EXPECT_EQ(r.exitCode, 1) << opt;
        EXPECT_FALSE(std::filesystem::exists(dir.file("x.gif")));
    }
}

} // namespace
} // namespace pc::gif::test
