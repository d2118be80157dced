// EMF and WMF files that Inkscape wrote from drawings Debian ships, played
// and compared with Inkscape's own PNG render of the same drawing (see
// tests/data/metafiles/inkscape/README.md). Both pictures are shrunk to 96
// pixels wide by plain box averaging and compared in grey; the bound of each
// drawing was set from its WMF, which holds only polygons.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_io.h"
#include "scene/pictures/metafile_player.h"
#include "tests/scene/pictures/grey_compare.h"

namespace pc {
namespace {

const std::string kDir = std::string(PRISMCASE_SOURCE_DIR) + "/tests/data/metafiles/inkscape/";
constexpr int kSide = 96;

struct InkscapeCase {
    const char* name;
    double bound; // mean grey difference, from 0 to 255
};

// Bounds: one and a half times the WMF's difference here, plus one level.
const InkscapeCase kDrawings[] = {
    {"tiger", 8},
    {"live-path-effects-gears", 2},
    {"art-nouveau-P3", 3.6},
    {"i18n-lines", 10.5},
};

void PrintTo(const InkscapeCase& c, std::ostream* os) { *os << c.name; }

class InkscapeMetafile : public testing::TestWithParam<InkscapeCase> {};

TEST_P(InkscapeMetafile, LooksLikeInkscapesOwnRender)
{
    const std::string base = kDir + GetParam().name;
    const test::Grey ref = test::ReadPngGrey(base + ".png");
    ASSERT_GT(ref.width, 0) << base << ".png";
    for (const char* ext : {".emf", ".wmf"}) {
        const double diff =
            test::MeanGreyDifference(ref, test::GreyOf(PlayMetafile(ReadFileBytes(base + ext))), kSide);
        RecordProperty(std::string("difference") + ext, std::to_string(diff));
        EXPECT_LE(diff, GetParam().bound) << ext;
    }
}

INSTANTIATE_TEST_SUITE_P(Drawings, InkscapeMetafile, testing::ValuesIn(kDrawings),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             std::erase(n, '-');
                             return n;
                         });

} // namespace
} // namespace pc
