// Load, save, and let gifsicle's gifdiff compare the result with the
// original: same frames, same pixels, same delays, loops and transparency.
// Every file we read can be saved again.
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
    const LoadResult res = LoadInto(gif, ReadAll(path));
    ASSERT_TRUE(res.ok) << res.error;
    gif.SetCompression(compression);
    pc::test::TempDir dir;
    const std::string out = dir.file("copy.gif");
    if (gif.Empty()) {
        // A screen without frames has no version to write: refused, nothing written.
        EXPECT_THROW(gif.SaveToFile(out), GIFException);
        EXPECT_FALSE(std::filesystem::exists(out));
        return;
    }
    gif.SaveToFile(out);
    const std::string cmd = "gifdiff '" + path + "' '" + out + "' > /dev/null 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

INSTANTIATE_TEST_SUITE_P(
    Suite, GifDiffRoundTrip,
    testing::Combine(testing::ValuesIn(ReadableSuiteFiles()),
                     testing::Values(TGIFCompression::gcLZW, TGIFCompression::gcRLE)),
    [](const auto& info) {
        return pc::test::CaseName(std::filesystem::path(std::get<0>(info.param)).stem().string() +
                                  (std::get<1>(info.param) == TGIFCompression::gcRLE ? "_rle" : "_lzw"));
    });

} // namespace
} // namespace pc::gif::test
