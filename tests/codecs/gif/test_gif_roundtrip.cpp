// Load, save, and let gifsicle's gifdiff compare the result with the
// original: same frames, same pixels, same delays, loops and transparency.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "codecs/gif/gif_errors.h"
#include "gif_test_util.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

using Case = std::tuple<std::string, TGIFCompression>;

class GifDiffRoundTrip : public testing::TestWithParam<Case> {};

TEST_P(GifDiffRoundTrip, SamePicture)
{
    const auto& [path, compression] = GetParam();
    TGIFImage gif;
    if (!LoadInto(gif, ReadAll(path)).ok)
        GTEST_SKIP() << "refused on load (checked by the conformance tests)";
    if (ImageFrames(gif).empty())
        GTEST_SKIP() << "no frames: nothing to save";
    gif.SetCompression(compression);
    pc::test::TempDir dir;
    const std::string out = dir.file("copy.gif");
    try {
        gif.SaveToFile(out);
    } catch (const GIFException& e) {
        ASSERT_STREQ(e.what(), msg::kColorNotInTable) << "only indices beyond the map may stop a save";
        GTEST_SKIP() << e.what();
    }
    const std::string cmd = "gifdiff '" + path + "' '" + out + "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

INSTANTIATE_TEST_SUITE_P(
    Suite, GifDiffRoundTrip,
    testing::Combine(testing::ValuesIn(pc::test::FilesIn(pc::test::kGifTestImages + "gif-test-suite", {".gif"})),
                     testing::Values(TGIFCompression::gcLZW, TGIFCompression::gcRLE)),
    [](const auto& info) {
        return pc::test::CaseName(std::filesystem::path(std::get<0>(info.param)).stem().string() +
                                  (std::get<1>(info.param) == TGIFCompression::gcRLE ? "_rle" : "_lzw"));
    });

} // namespace
} // namespace pc::gif::test
