// Every input the picture fuzzer was seeded with or ever broke on: read
// again through the same readers, each must load or fail with our error.
#include <gtest/gtest.h>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/tga_reader.h"
#include "tests/support/test_data.h"

namespace pc {
namespace {

class FuzzInput : public testing::TestWithParam<std::string> {};

TEST_P(FuzzInput, LoadsOrFailsCleanly)
{
    const auto bytes = ReadFileBytes(GetParam());
    ASSERT_FALSE(bytes.empty());
    // A copy of exactly the file's size, so a read past its end is seen.
    const std::vector<uint8_t> file(bytes.begin() + 1, bytes.end());
    const PictureLimits limits{1024, 1 << 18};
    for (int maxSide : {0, 64})
        try {
            Bitmap b;
            switch (bytes[0] % 5) {
            case 0: b = ReadTga(file, limits, maxSide); break;
            case 1: b = ReadIcon(file, limits, maxSide); break;
            case 2: b = PlayMetafile(file, limits, maxSide ? maxSide : 1024); break;
            case 3: b = ReadBmp(file, limits, maxSide); break;
            case 4: b = ReadJpeg(file, limits, maxSide); break;
            }
            EXPECT_FALSE(b.Empty());
            if (maxSide)
                EXPECT_LE(std::max(b.Width(), b.Height()), maxSide);
        } catch (const Error&) {
        }
}

std::vector<std::string> Inputs()
{
    const std::string root = std::string(PRISMCASE_SOURCE_DIR) + "/fuzz/";
    auto v = test::FilesIn(root + "seeds/fuzz_scene_pictures/");
    auto c = test::FilesIn(root + "crashers/fuzz_scene_pictures/");
    v.insert(v.end(), c.begin(), c.end());
    return v;
}

INSTANTIATE_TEST_SUITE_P(SeedsAndCrashers, FuzzInput, testing::ValuesIn(Inputs()),
                         [](const auto& info) { return test::CaseName(info.param); });

} // namespace
} // namespace pc
