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
    const std::span<const uint8_t> file(bytes.data() + 1, bytes.size() - 1);
    const PictureLimits limits{1024, 1 << 18};
    try {
        Bitmap b;
        switch (bytes[0] % 5) {
        case 0: b = ReadTga(file, limits); break;
        case 1: b = ReadIcon(file, limits); break;
        case 2: b = PlayMetafile(file, limits); break;
        case 3: b = ReadBmp(file, limits); break;
        case 4: b = ReadJpeg(file, limits); break;
        }
        EXPECT_FALSE(b.Empty());
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
