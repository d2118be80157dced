#include <gtest/gtest.h>

#include "platform/gl_context.h"
#include "platform/pixel_format.h"

namespace {

using namespace pc;

constexpr uint32_t kWin = kDoubleBuffer | kDrawToWindow | kSupportOpenGL;
constexpr uint32_t kSoft = kWin | kGenericFormat;
constexpr uint32_t kAccel = kWin | kGenericFormat | kGenericAccelerated;

PixelFormatDescriptor F(uint32_t flags, int color, int depth, int stencil = 8, int accum = 16)
{
    return {flags, color, depth, stencil, accum};
}

struct SelectionCase {
    const char* name;
    PixelFormatTable table;
    int index;
    bool software;
    int expected;
};

class PixelFormatSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(PixelFormatSelection, PicksExpectedNumber)
{
    const auto& c = GetParam();
    auto choice = SetupPixelFormat(c.table, c.index, c.software, 32);
    EXPECT_EQ(choice.number, c.expected);
    if (c.expected > 0) {
        EXPECT_EQ(choice.described.colorBits, c.table[size_t(c.expected) - 1].colorBits);
        EXPECT_EQ(choice.described.depthBits, c.table[size_t(c.expected) - 1].depthBits);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FakeDevices, PixelFormatSelection,
    testing::Values(
        // Same best score twice: the lower number wins.
        SelectionCase{"TieGoesToLowerNumber", {F(kDrawToBitmap | kSupportOpenGL, 32, 32), F(kWin, 32, 24), F(kWin, 32, 24)}, 0, false, 2},
        // ICD outscores generic accelerated, which outscores software.
        SelectionCase{"DriverClassesRank", {F(kSoft, 32, 32), F(kAccel, 32, 32), F(kWin, 32, 16)}, 0, false, 3},
        SelectionCase{"DeeperDepthWinsWithinClass", {F(kWin, 32, 16), F(kWin, 32, 24), F(kWin, 24, 24)}, 0, false, 2},
        // Nothing double-buffered: every score is 0 and the fallback decides.
        SelectionCase{"NoCandidateFallsBack", {F(kDrawToBitmap | kSupportOpenGL, 24, 32), F(kDrawToWindow | kSupportOpenGL, 32, 32)}, 0, false, 2},
        SelectionCase{"NoOpenGLAtAll", {F(kDrawToWindow | kDoubleBuffer, 32, 32)}, 0, false, 0},
        SelectionCase{"EmptyTable", {}, 0, true, 0},
        // Software wanted: the first software format with enough bits.
        SelectionCase{"SoftwareFirstFit", {F(kWin, 32, 32), F(kSoft, 16, 32), F(kSoft, 32, 32), F(kSoft, 32, 32)}, 0, true, 3},
        // Software wanted but none deep enough: the best score.
        SelectionCase{"SoftwareShortFallsToBest", {F(kSoft, 32, 16), F(kAccel, 32, 16)}, 0, true, 2},
        SelectionCase{"ExplicitIndexUsedAsItStands", {F(kWin, 32, 32), F(kSoft, 32, 16)}, 2, true, 2},
        // Settings naming a format the table lacks, or not a window format: automatic.
        SelectionCase{"IndexBeyondTable", {F(kSoft, 32, 32), F(kWin, 32, 32)}, 7, true, 1},
        SelectionCase{"NegativeIndex", {F(kSoft, 32, 32), F(kWin, 32, 32)}, -3, false, 2},
        SelectionCase{"IndexNotACandidate", {F(kSoft, 32, 32), F(kDrawToBitmap | kSupportOpenGL, 32, 32)}, 2, true, 1},
        // Without stencil the floor mask, reflection and shadow break.
        SelectionCase{"NoStencilNeverChosen", {F(kWin, 32, 32, 0, 16), F(kSoft, 32, 24)}, 0, false, 2},
        SelectionCase{"NoAccumNeverChosen", {F(kSoft, 32, 32, 8, 0), F(kSoft, 32, 32)}, 0, true, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PixelFormatText, InfoCaptionAndHint)
{
    auto soft = F(kSoft, 32, 24);
    auto hard = F(kWin, 16, 32);
    EXPECT_EQ(PixelFormatInfo(soft), "Software Rendering; Colors:32bits;  Depth:24bits;");
    EXPECT_EQ(PixelFormatInfo(hard), "Hardware Rendering; Colors:16bits;  Depth:32bits;");
    EXPECT_EQ(AdvanceMenuCaption(soft), "Colors:32bits; Depth:24bits; Software Rendering");
    EXPECT_EQ(AdvanceMenuCaption(F(kAccel, 24, 16)), "Colors:24bits; Depth:16bits; Hardware Rendering");
    EXPECT_EQ(AdvanceMenuCaption(hard), "Colors:16bits; Depth:32bits; Hardware Rendering");

    EXPECT_TRUE(ShowReturnToSoftwareHint(soft, false));
    EXPECT_FALSE(ShowReturnToSoftwareHint(soft, true));
    EXPECT_FALSE(ShowReturnToSoftwareHint(hard, false));
}

TEST(PixelFormatMenu, ListsCandidatesAndChecksExplicitChoice)
{
    PixelFormatTable t = {F(kSoft, 32, 24), F(kDrawToBitmap | kSupportOpenGL, 24, 32), F(kAccel, 32, 16)};
    auto entries = AdvanceMenuEntries(t, 3);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].number, 1);
    EXPECT_FALSE(entries[0].checked);
    EXPECT_EQ(entries[1].number, 3);
    EXPECT_TRUE(entries[1].checked);
    for (const auto& e : AdvanceMenuEntries(t, 0))
        EXPECT_FALSE(e.checked);
}

// What our table promises is what OSMesa really gives, and every offered
// format has the stencil and accumulation the scene passes need.
TEST(OfferedPixelFormats, DescribeRealContexts)
{
    const auto& table = OfferedPixelFormats();
    ASSERT_FALSE(table.empty());
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(i + 1);
        const auto& f = table[i];
        EXPECT_GE(f.stencilBits, 8);
        EXPECT_GE(f.accumBits, 16);
        auto ctx = GLContext::Create(ContextBits(f));
        ctx->Bind(4, 4, true);
        auto bits = ctx->QueryBits();
        EXPECT_EQ(bits.depth, f.depthBits);
        EXPECT_EQ(bits.stencil, f.stencilBits);
        EXPECT_EQ(bits.accum, f.accumBits);
        GLContext::ReleaseCurrent();
    }
    for (bool software : {true, false}) {
        auto choice = SetupPixelFormat(table, 0, software, 32);
        ASSERT_GT(choice.number, 0);
        EXPECT_TRUE(IsCandidate(choice.described));
    }
    EXPECT_GT(ChoosePixelFormat(table, OffscreenTemplate()), 0);
    EXPECT_TRUE(table[size_t(ChoosePixelFormat(table, OffscreenTemplate())) - 1].flags & kDrawToBitmap);
}

} // namespace
