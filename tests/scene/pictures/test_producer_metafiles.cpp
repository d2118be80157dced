// EMF and WMF files that an office suite and fig2dev wrote from drawings
// Debian ships, played and compared with the producer's own PNG render of
// the same drawing (see the README in each folder of
// tests/data/metafiles/). Grey, shrunk to 96 pixels wide, as the Inkscape
// files are compared.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/file_io.h"
#include "scene/pictures/metafile_player.h"
#include "tests/scene/pictures/grey_compare.h"

namespace pc {
namespace {

const std::string kDir = std::string(PRISMCASE_SOURCE_DIR) + "/tests/data/metafiles/";
constexpr int kSide = 96;

struct ProducedFile {
    const char* path; // under kDir; the reference is the same name in .png
    double bound;     // mean grey difference, from 0 to 255
};

// Bounds: one and a half times the difference the player gives today, plus
// one level. Where the producer's render itself differs (fig2dev's PNG
// draws hatching and line widths its own way) the file can't come near 0.
const ProducedFile kFiles[] = {
    // Icons with see-through pixels over a blue field with a yellow band:
    // written as a mask blitted with SRCPAINT and the icon with SRCAND.
    // Still far off: both blits are copied, hiding the field.
    {"office/see-through-draw-icon.emf", 35.7},
    {"office/see-through-draw-icon.wmf", 27.3},
    {"office/see-through-calendar-icon.emf", 132.4},
    {"office/see-through-calendar-icon.wmf", 75.1},
    // Gradients and paths. Still far off: the icon comes out flooded dark grey.
    {"office/chart-icon.emf", 120.8},
    {"office/chart-icon.wmf", 119.4},
    {"office/math-icon.emf", 127.4},
    {"office/math-icon.wmf", 126.9},
    // A chart with Russian, Greek and Chinese texts. Close, but the WMF's
    // 8-bit texts are read as Latin-1 (small letters weigh little here).
    {"office/chart-bar.emf", 2.3},
    {"office/chart-bar.wmf", 4.5},
    {"office/chart-pie.emf", 1.8},
    {"office/chart-pie.wmf", 3.1},
    // Arcs, dashed and dash-dotted lines, arrows, hatching. fig2dev's PNG
    // draws hatching its own way, and its EMF fills the gates in symbols
    // black (chords with the stock black brush) where its PNG leaves them
    // white.
    {"fig2dev/welding-1023.emf", 19},
    {"fig2dev/smith.emf", 5.3},
    {"fig2dev/symbols.emf", 11.5},
    {"fig2dev/origami-star.emf", 9.5},
    {"fig2dev/control-box.emf", 8},
};

void PrintTo(const ProducedFile& f, std::ostream* os) { *os << f.path; }

class ProducedMetafile : public testing::TestWithParam<ProducedFile> {};

TEST_P(ProducedMetafile, LooksLikeTheProducersOwnRender)
{
    const std::string path = kDir + GetParam().path;
    const std::string png = path.substr(0, path.rfind('.')) + ".png";
    const test::Grey ref = test::ReadPngGrey(png);
    ASSERT_GT(ref.width, 0) << png;
    const double diff = test::MeanGreyDifference(ref, test::GreyOf(PlayMetafile(ReadFileBytes(path))), kSide);
    RecordProperty("difference", std::to_string(diff));
    EXPECT_LE(diff, GetParam().bound);
}

INSTANTIATE_TEST_SUITE_P(Files, ProducedMetafile, testing::ValuesIn(kFiles), [](const auto& info) {
    std::string n = info.param.path;
    std::erase_if(n, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return n;
});

} // namespace
} // namespace pc
