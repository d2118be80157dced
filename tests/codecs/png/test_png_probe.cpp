// The probe commands as a reviewer runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/codecs/png/png_builder.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::Be32;
using test::Bytes;
using test::Deflate;
using test::PngBuilder;

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

// A header with filter method 1 and a row of filter type 7: refused by
// name, and no copy made that other readers would refuse.
TEST(PngProbe, UnknownFilterMethodOrTypeIsRefusedAndNothingWritten)
{
    Bytes ihdr = Be32(3);
    for (uint8_t b : Be32(2))
        ihdr.push_back(b);
    ihdr.insert(ihdr.end(), {8, 0, 0, 1, 0});
    const Bytes rows = {0, 1, 2, 3, 7, 4, 5, 6};
    const struct {
        const char* name;
        Bytes file;
        const char* fault;
    } cases[] = {
        {"method1.png", PngBuilder().Chunk("IHDR", ihdr).Idats(Deflate({0, 1, 2, 3, 0, 4, 5, 6})).Iend().bytes(),
         "unknown filter method 1"},
        {"type7.png", PngBuilder().Ihdr(3, 2, 8, 0).Idats(Deflate(rows)).Iend().bytes(), "unknown filter type 7 in row 1"},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        const std::string in = dir.file(c.name), out = dir.file("out.png");
        WriteFileAtomic(in, c.file);
        ProbeRun r = Probe("png-copy '" + in + "' '" + out + "'", dir);
        EXPECT_EQ(r.exitCode, 1) << c.name;
        EXPECT_NE(r.stderrText.find(c.fault), std::string::npos) << r.stderrText;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.name;
    }
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
