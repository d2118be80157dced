#include <gtest/gtest.h>

#include "app/settings/settings_file.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "tests/support/test_data.h"

namespace {

TEST(SettingsFile, DefaultsWhenMissingOrDamaged)
{
    pc::test::TempDir dir;
    pc::IniSettings missing(dir.file("prismcase.INI"));
    EXPECT_EQ(missing.StartMode(), 0);
    EXPECT_TRUE(missing.SoftwareRender());
    EXPECT_EQ(missing.PixelsFormat(), 0);

    pc::WriteFileAtomic(dir.file("bad.INI"), {'[', 'S', 0xFF, '\n', '=', '=', '\n'});
    pc::IniSettings bad(dir.file("bad.INI"));
    EXPECT_EQ(bad.StartMode(), 0);
    EXPECT_TRUE(bad.SoftwareRender());
}

TEST(SettingsFile, ValuesAreKeptAcrossRunsAndWrittenAsTheProfileDoes)
{
    pc::test::TempDir dir;
    std::string path = dir.file("prismcase.INI");
    {
        pc::IniSettings s(path);
        s.WriteStartMode(2);
        s.WriteRendering(false, 5);
    }
    pc::IniSettings again(path);
    EXPECT_EQ(again.StartMode(), 2);
    EXPECT_FALSE(again.SoftwareRender());
    EXPECT_EQ(again.PixelsFormat(), 5);
    auto ini = pc::IniFile::Load(path);
    EXPECT_EQ(ini.ReadString("Settings", "SoftwareRender"), "0");
    EXPECT_EQ(ini.ReadString("Settings", "PixelsFormat"), "5");

    again.WriteRendering(true, 0);
    EXPECT_EQ(pc::IniFile::Load(path).ReadString("Settings", "SoftwareRender"), "1");
    EXPECT_EQ(again.StartMode(), 2); // other keys survive
}

TEST(SettingsFile, RelaunchQuestionMentionsSoftwareRenderingOnlyWhenLeavingIt)
{
    auto hw = pc::RelaunchQuestion("Hardware Rendering", false);
    EXPECT_EQ(hw, "You have adjusted the current rendering acceleration to 'Hardware Rendering'."
                  "\nIf program can not work well please return to 'Software Rendering'."
                  "\nThis change will not take effect until after you have relaunched this program."
                  "\nDo you want to quit and relaunch the program now?");
    auto sw = pc::RelaunchQuestion("Software Rendering", true);
    EXPECT_EQ(sw.find("return to"), std::string::npos);
}

} // namespace
