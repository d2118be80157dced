#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/window/preview_fit.h"
#include "app/window/size_presets.h"
#include "app/window/window_commands.h"
#include "tests/support/test_data.h"

namespace {

using namespace pc;

TEST(FitPreview, FollowsTheOutputAspectWithAFloatScale)
{
    struct Case {
        int w, h, cw, ch;
        bool quick;
        int pw, ph;
    } cases[] = {
        {400, 200, 440, 500, false, 379, 189}, // k = 0.95f, just below 0.95
        {800, 600, 440, 500, true, 200, 150},
        {100, 4000, 900, 900, true, 5, 200},
        {400, 400, 440, 500, false, 379, 379},
        {1, 4096, 440, 500, false, 1, 380},
        {400, 300, 50, 50, false, 1, 1}, // smaller than the margin
        {400, 300, 60, 60, false, 1, 1},
    };
    for (const Case& c : cases) {
        PanelSize p = FitPreview(c.w, c.h, c.cw, c.ch, c.quick);
        EXPECT_EQ(p.width, c.pw) << c.w << "x" << c.h;
        EXPECT_EQ(p.height, c.ph) << c.w << "x" << c.h;
    }
}

TEST(SideFromEditText, NumberOrZero)
{
    EXPECT_EQ(SideFromEditText("3000"), 3000);
    EXPECT_EQ(SideFromEditText(""), 0);
    EXPECT_EQ(SideFromEditText("12a"), 0);
}

TEST(SizePresets, EveryCaptionReadsBackAsItsSize)
{
    ASSERT_EQ(kSizePresets.size(), 20u);
    EXPECT_STREQ(kSizePresets.front(), "200 X 150");
    EXPECT_STREQ(kSizePresets.back(), "1000 X 1000");
    for (const char* caption : kSizePresets) {
        PresetSize s = ParsePreset(caption);
        EXPECT_EQ(std::to_string(s.width) + " X " + std::to_string(s.height), caption);
    }
}

TEST(SizePresets, AcceleratorAndBadCaptions)
{
    struct Case {
        const char* caption;
        int w, h;
    } cases[] = {
        {"&1000 X 1000", 1000, 1000}, {"4&68 X 60", 468, 60}, {"Custom", 200, 200},
        {"1234", 200, 200},           {"x X 300", 200, 300},  {"300 X ", 300, 200},
    };
    for (const Case& c : cases) {
        PresetSize s = ParsePreset(c.caption);
        EXPECT_EQ(s.width, c.w) << c.caption;
        EXPECT_EQ(s.height, c.h) << c.caption;
    }
}

TEST(CommandStates, CopyNeedsAnObjectAndTilingNeedsAPicture)
{
    CommandStates none = CommandStatesFor({});
    EXPECT_FALSE(none.copyObject);
    EXPECT_FALSE(none.floorTiling);
    EXPECT_FALSE(none.backgroundTiling);
    CommandStates all = CommandStatesFor({true, 3, 7});
    EXPECT_TRUE(all.copyObject);
    EXPECT_TRUE(all.floorTiling);
    EXPECT_TRUE(all.backgroundTiling);
    EXPECT_TRUE(CommandStatesFor({false, 0, 1}).backgroundTiling);
    EXPECT_FALSE(CommandStatesFor({false, 0, 1}).floorTiling);
    EXPECT_FALSE(CommandStatesFor({true, 0, 0, true}).copyObject); // not while publishing
}

TEST(FindHelpFile, TakesTheFirstOfTheKnownNames)
{
    test::TempDir dir;
    const std::string folder = dir.path().string() + "/";
    EXPECT_FALSE(FindHelpFile(folder));
    std::ofstream(folder + "help.txt") << "x";
    EXPECT_EQ(FindHelpFile(folder), folder + "help.txt");
    std::ofstream(folder + "help.html") << "x";
    EXPECT_EQ(FindHelpFile(folder), folder + "help.html");
    std::filesystem::create_directory(folder + "help.htm"); // a folder is no help file
    EXPECT_EQ(FindHelpFile(folder), folder + "help.html");
    std::ofstream(folder + "help.chm") << "x";
    EXPECT_EQ(FindHelpFile(folder), folder + "help.chm");
}

TEST(AboutText, NamesTheFormatAndTheAddressAndAsks)
{
    const std::string text = AboutText("Software Rendering; Colors:32bits;");
    EXPECT_EQ(text.rfind(kProductName, 0), 0u);
    EXPECT_NE(text.find("\n\nSoftware Rendering; Colors:32bits;\n\n"), std::string::npos);
    EXPECT_NE(text.find(std::string(kProductWebAddress) + "\n\nDo you want to access home page now?\n"),
              std::string::npos);
}

} // namespace
