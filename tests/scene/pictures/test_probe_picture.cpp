// The picture probe as a reviewer runs it on tiny files declaring huge
// pictures: a bounded picture and the memory it took, or a one-line refusal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <zlib.h>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "scene/pictures/picture_bounds.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

struct ProbeRun {
    int exitCode;
    std::string out, err;
};

ProbeRun RunPicture(const test::TempDir& dir, const std::string& file, const std::string& bmp)
{
    const std::string out = dir.file("out.txt"), err = dir.file("err.txt");
    const std::string cmd =
        std::string(PRISMCASE_BINARY_DIR) + "/prismcase-probe picture '" + file + "' '" + bmp + "' >" + out + " 2>" + err;
    const int status = std::system(cmd.c_str());
    auto slurp = [](const std::string& p) {
        std::ifstream in(p);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

void Put16(std::vector<uint8_t>& v, int x) { v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8)); }
void Put32(std::vector<uint8_t>& v, uint32_t x) { Put16(v, int(x & 0xFFFF)), Put16(v, int(x >> 16)); }
void Put32be(std::vector<uint8_t>& v, uint32_t x)
{
    v.insert(v.end(), {uint8_t(x >> 24), uint8_t(x >> 16), uint8_t(x >> 8), uint8_t(x)});
}

TEST(ProbePicture, SixtyByteMetafileOfAHugePictureEndsBounded)
{
    // Placeable: 32000 x 32000 units at 96 to the inch, then one rectangle.
    std::vector<uint8_t> wmf;
    Put32(wmf, 0x9AC6CDD7);
    for (int v : {0, 0, 0, 32000, 32000, 96})
        Put16(wmf, v);
    Put32(wmf, 0);
    Put16(wmf, 0);
    for (int v : {1, 9, 0x300})
        Put16(wmf, v);
    Put32(wmf, 0);
    Put16(wmf, 8);
    Put32(wmf, 0);
    Put16(wmf, 0);
    Put32(wmf, 7);
    for (int v : {0x041B, 32000, 32000, 16000, 0})
        Put16(wmf, v);
    Put32(wmf, 3);
    Put16(wmf, 0);
    ASSERT_EQ(wmf.size(), 60u);
    test::TempDir dir;
    WriteFileAtomic(dir.file("big.wmf"), wmf);
    const ProbeRun r = RunPicture(dir, dir.file("big.wmf"), dir.file("big.bmp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    long long peak = -1;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "peak bitmap memory: %lld bytes", &peak), 1) << r.out;
    // The picture and the mask its rectangle is drawn through.
    EXPECT_LE(peak, int64_t(kScenePictureSide) * kScenePictureSide * 4 + 65536);
    EXPECT_EQ(LoadBmpFile(dir.file("big.bmp")).Width(), kScenePictureSide);
}

TEST(ProbePicture, HugePngHeaderIsRefusedInOneLine)
{
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto chunk = [&](const char* type, std::vector<uint8_t> data) {
        Put32be(png, uint32_t(data.size()));
        data.insert(data.begin(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        Put32be(png, uint32_t(crc32(0, data.data(), uInt(data.size()))));
    };
    chunk("IHDR", {0, 0, 0x40, 0, 0, 0, 0x40, 0, 8, 6, 0, 0, 0});
    chunk("IDAT", {0x78, 0x9C, 0x63, 0, 0, 0, 1, 0, 1});
    chunk("IEND", {});
    test::TempDir dir;
    WriteFileAtomic(dir.file("big.png"), png);
    const ProbeRun r = RunPicture(dir, dir.file("big.png"), dir.file("big.bmp"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, dir.file("big.png") +
                         ": The picture is too large (16384 x 16384 pixels): it would take 1024 MB, more than the "
                         "256 MB a picture may take\n");
    EXPECT_FALSE(FileExists(dir.file("big.bmp")));
}

} // namespace
} // namespace pc
