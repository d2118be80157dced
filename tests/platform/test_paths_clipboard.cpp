#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/clipboard.h"
#include "platform/paths.h"

namespace {

TEST(Paths, WorkFolderIsPrivateAndRemoved)
{
    std::string work = pc::WorkFolder();
    ASSERT_FALSE(work.empty());
    EXPECT_EQ(work.back(), '/');
    std::string tex = pc::TextureFolder();
    EXPECT_EQ(tex, work + "Texture/");
    std::ofstream(tex + "1") << "x";
    pc::RemoveWorkFolder();
    EXPECT_FALSE(std::filesystem::exists(work));
    std::string again = pc::WorkFolder();
    EXPECT_NE(again, work); // a fresh folder, never the old one reused
    pc::RemoveWorkFolder();
}

TEST(Paths, SettingsBesideAWritableProgram)
{
    pc::SetProgramFolderForTesting(std::filesystem::temp_directory_path().string());
    std::string s = pc::SettingsPath();
    EXPECT_EQ(s, pc::ProgramFolder() + pc::ExecutableName() + ".INI");
    pc::SetProgramFolderForTesting("");
}

TEST(Clipboard, BitmapAndPrivateFormatRoundTrip)
{
    pc::Bitmap bmp(3, 2);
    bmp.SetPixel(0, 0, pc::RGB(10, 20, 30));
    bmp.SetPixel(2, 1, pc::RGB(200, 100, 50));
    pc::clipboard::SetBitmap(bmp);
    ASSERT_TRUE(pc::clipboard::HasBitmap());
    auto back = pc::clipboard::GetBitmap();
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, bmp);

    pc::clipboard::SetData("GIF Image", {1, 2, 3});
    EXPECT_TRUE(pc::clipboard::HasFormat("GIF Image"));
    EXPECT_EQ(pc::clipboard::GetData("GIF Image"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(pc::clipboard::GetData("Other"));
}

} // namespace
