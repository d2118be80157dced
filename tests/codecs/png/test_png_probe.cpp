// The probe commands as a reviewer runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "platform/bmp_file.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

struct ProbeRun {
    int exitCode;
    std::string stderrText;
};

ProbeRun Probe(const std::string& args, const test::TempDir& dir)
{
    std::string err = dir.file("stderr.txt");
    int status = std::system((std::string(PRISMCASE_BINARY_DIR "/prismcase-probe ") + args + " 2> '" + err + "'").c_str());
    ProbeRun r{WEXITSTATUS(status), {}};
    auto bytes = test::ReadAll(err);
    r.stderrText.assign(bytes.begin(), bytes.end());
    return r;
}

TEST(PngProbe, DamagedFilePrintsTheCodecsMessageAndWritesNothing)
{
    test::TempDir dir;
    std::string out = dir.file("out.png");
    ProbeRun r = Probe("png-copy '" + test::kPngSuite + "corrupted/xcsn0g01.png' '" + out + "'", dir);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.stderrText.find("(crc error)"), std::string::npos) << r.stderrText;
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(PngProbe, CopyKeepsThePixels)
{
    test::TempDir dir;
    std::string in = test::kPngSuite + "filter/f04n2c08.png", out = dir.file("out.png");
    ASSERT_EQ(Probe("png-copy '" + in + "' '" + out + "'", dir).exitCode, 0);
    auto a = test::DecodeWithLibpng(test::ReadAll(in)), b = test::DecodeWithLibpng(test::ReadAll(out));
    EXPECT_EQ(a.rgba, b.rgba);
}

TEST(PngProbe, EncodeOfA32BitBmpKeepsItsAlpha)
{
    test::TempDir dir;
    std::string in = test::kSdlImages + "svg.bmp", out = dir.file("out.png");
    ASSERT_EQ(Probe("png-encode '" + in + "' '" + out + "'", dir).exitCode, 0);
    Bitmap bmp = LoadBmpFile(in);
    auto ref = test::DecodeWithLibpng(test::ReadAll(out));
    EXPECT_EQ(ref.colorType, 6);
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x) {
            const uint8_t* s = bmp.ScanLine(y) + 4 * x;
            const uint8_t* p = ref.At(x, y);
            ASSERT_EQ(RGB(p[0], p[1], p[2]) | uint32_t(p[3]) << 24, RGB(s[2], s[1], s[0]) | uint32_t(s[3]) << 24);
        }
}

} // namespace
} // namespace pc::png
