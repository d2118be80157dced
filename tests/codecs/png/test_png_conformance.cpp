// Every file of the PNG suite against libpng: valid files decode to the same
// pixels and alpha, broken ones raise the codec's error for their fault.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "codecs/png/png_errors.h"
#include "codecs/png/png_header_chunk.h"
#include "codecs/png/png_layout.h"
#include "codecs/png/png_object.h"
#include "codecs/png/png_transparency_chunk.h"
#include "tests/codecs/png/libpng_reference.h"
#include "tests/support/test_data.h"

namespace pc::png {
namespace {

using test::CaseName;

std::string FileCase(const testing::TestParamInfo<std::string>& info)
{
    return CaseName(std::filesystem::path(info.param).stem().string());
}

// One case per folder of the suite (basic, interlacing, gamma, ...).
class PngSuiteValid : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteValid, DecodesLikeLibpng)
{
    for (const auto& path : test::ValidSuiteFilesIn(GetParam())) {
        SCOPED_TRACE(path);
        auto file = test::ReadAll(path);
        TPNGObject png;
        ASSERT_NO_THROW(png.LoadFromStream(file));
        test::ExpectSamePixels(png, test::DecodeWithLibpng(file));
    }
}

INSTANTIATE_TEST_SUITE_P(Suite, PngSuiteValid, testing::ValuesIn(test::ValidSuiteFolders()),
                         [](const auto& info) { return CaseName(info.param); });

// The suite's broken files, each with the error its fault must raise.
const std::map<std::string, std::function<void(const std::vector<uint8_t>&)>> kCorruptExpectations = {
    {"xc1n0g08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidIHDR); }},
    {"xc9n2c08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidIHDR); }},
    {"xcrn0g04", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
    {"xcsn0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidCRC); }},
    {"xd0n2c08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidIHDR); }},
    {"xd3n2c08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidIHDR); }},
    {"xd9n2c08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidIHDR); }},
    {"xdtn0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGNoImageData); }},
    {"xhdn0g08", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPngInvalidCRC); }},
    {"xlfn0g04", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
    {"xs1n0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
    {"xs2n0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
    {"xs4n0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
    {"xs7n0g01", [](auto& f) { TPNGObject p; EXPECT_THROW(p.LoadFromStream(f), EPNGInvalidFileHeader); }},
};

class PngSuiteCorrupt : public testing::TestWithParam<std::string> {};

TEST_P(PngSuiteCorrupt, RaisesItsError)
{
    auto name = std::filesystem::path(GetParam()).stem().string();
    auto file = test::ReadAll(GetParam());
    auto it = kCorruptExpectations.find(name);
    ASSERT_NE(it, kCorruptExpectations.end()) << "no expectation for " << name;
    it->second(file);
    EXPECT_THROW(test::DecodeWithLibpng(file), std::exception) << "libpng accepts it too";
}

INSTANTIATE_TEST_SUITE_P(Suite, PngSuiteCorrupt, testing::ValuesIn(test::CorruptSuiteFiles()), FileCase);

TEST(PngSuite, HasTheFilesTheTestsExpect)
{
    EXPECT_GT(test::ValidSuiteFiles().size(), 140u);
    EXPECT_EQ(test::CorruptSuiteFiles().size(), kCorruptExpectations.size());
}

// 2-bit and 4-bit grey widen by bit replication, as every decoder does.
TEST(PngSuite, LowDepthGreyUsesTheFullRange)
{
    TPNGObject png;
    png.LoadFromFile(test::kPngSuite + "basic/basn0g02.png");
    std::set<TColor> colours;
    for (int y = 0; y < png.Height(); ++y)
        for (int x = 0; x < png.Width(); ++x)
            colours.insert(png.Pixels(x, y));
    std::set<TColor> want;
    for (int level : {0, 85, 170, 255}) {
        uint8_t g = png.GammaTable[size_t(level)];
        want.insert(RGB(g, g, g));
    }
    EXPECT_EQ(colours, want);
}

} // namespace
} // namespace pc::png
