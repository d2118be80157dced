// The crafted-record table: every row is played at its own size and its
// probes read back.
#include "tests/scene/pictures/metafile_rule_table.h"

#include "scene/pictures/metafile_player.h"
#include "tests/scene/pictures/metafile_builders.h"

namespace pc::test {
namespace {

std::string Rgb(TColor c)
{
    return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
           std::to_string(GetBValue(c)) + ")";
}

TEST_P(GdiRule, PutsItsColoursWhereTheRuleSays)
{
    const GdiRuleCase& c = GetParam();
    const Bitmap b = PlayMetafile(c.file);
    ASSERT_EQ(b.Width(), c.width) << c.rule;
    ASSERT_EQ(b.Height(), c.height) << c.rule;
    for (const Probe& p : c.probes) {
        const TColor got = b.Pixel(p.x, p.y);
        const auto near = [&](int shift) {
            return std::abs(int((got >> shift) & 255) - int((p.colour >> shift) & 255)) <= p.tolerance;
        };
        EXPECT_TRUE(near(0) && near(8) && near(16))
            << c.rule << "\n  at (" << p.x << ", " << p.y << "): got " << Rgb(got) << ", want " << Rgb(p.colour);
    }
}

std::vector<GdiRuleCase> BasicRows()
{
    // 100 logical units make 96 pixels (see Emf).
    return {
        {"RectangleWithoutAPenLeavesOutTwoEdges",
         Emf()
             .Record(EMR_CREATEBRUSHINDIRECT, {1, 0, int32_t(RGB(200, 30, 60)), 0})
             .Record(EMR_SELECTOBJECT, {1})
             .Record(EMR_SELECTOBJECT, {int32_t(0x80000008)}) // NULL_PEN
             .Record(EMR_RECTANGLE, {25, 50, 75, 75})
             .Bytes(),
         96, 96,
         {{24, 48, RGB(200, 30, 60)}, {70, 70, RGB(200, 30, 60)}, {71, 60, clWhite}, {40, 71, clWhite},
          {23, 60, clWhite}, {40, 47, clWhite}},
         "with the null pen a rectangle fills columns left to right - 2 and rows top to bottom - 2"},
    };
}

INSTANTIATE_TEST_SUITE_P(Basics, GdiRule, testing::ValuesIn(BasicRows()), GdiRuleName);

} // namespace
} // namespace pc::test
