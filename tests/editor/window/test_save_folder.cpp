// The folder the save dialog proposes: never the private work folder.
#include "tests/editor/window/model_fixture.h"

#include <cstdlib>
#include <fstream>

#include "editor/window/picture_files.h"
#include "editor/window/save_folder.h"
#include "platform/bmp_file.h"

namespace pc::editor::test {
namespace {

namespace fs = std::filesystem;

// HOME and XDG_CONFIG_HOME inside the test's folder, put back afterwards.
class SaveFolder : public ModelTest {
protected:
    void SetUp() override
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
            if (const char* v = std::getenv(name))
                saved_.emplace_back(name, v);
        fs::create_directories(Home() + "Bilder");
        fs::create_directories(Folder() + "config");
        fs::create_directories(Work());
        std::ofstream(Folder() + "config/user-dirs.dirs") << "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
        setenv("HOME", (Folder() + "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (Folder() + "config").c_str(), 1);
        Bitmap b(5, 3);
        b.Fill(clWhite);
        SaveBmpFile(HandOverFile(), b);
    }
    void TearDown() override
    {
        unsetenv("HOME");
        unsetenv("XDG_CONFIG_HOME");
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
    }
    std::string Home() const { return Folder() + "home/"; }
    std::string Work() const { return Folder() + "work/"; }
    std::string HandOverFile() const { return Work() + "tempimage.bmp"; }

    // A window opened on the hand-over file, saved by the user.
    std::string SaveFromHandOver(std::optional<SaveChoice> answer)
    {
        EditorModel m(Work(), dialogs);
        m.Open(HandOverFile());
        dialogs.saves.push_back(answer);
        m.Save();
        return dialogs.proposedNames.back();
    }

private:
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(SaveFolder, TheProposalLeavesTheWorkFolderForOneThatStays)
{
    EXPECT_EQ(SaveFromHandOver(std::nullopt), Home() + "Bilder/tempimage");

    // A hand-over save into the work folder is not a folder the user chose.
    {
        EditorModel m(Work(), dialogs);
        m.OpenFace(HandOverFile());
        ASSERT_TRUE(m.Save());
    }
    EXPECT_EQ(SaveFromHandOver(std::nullopt), Home() + "Bilder/tempimage");

    fs::create_directories(Folder() + "mine");
    EXPECT_EQ(SaveFromHandOver(SaveChoice{Folder() + "mine/box", kSaveBmp}), Home() + "Bilder/tempimage");
    EXPECT_TRUE(fs::exists(Folder() + "mine/box.bmp"));
    EXPECT_EQ(SaveFromHandOver(std::nullopt), Folder() + "mine/tempimage");

    fs::remove_all(Folder() + "mine");
    EXPECT_EQ(SaveFromHandOver(std::nullopt), Home() + "Bilder/tempimage");
    fs::remove_all(Home() + "Bilder");
    EXPECT_EQ(SaveFromHandOver(std::nullopt), Home() + "tempimage");
}

TEST_F(SaveFolder, ANameOutsideTheWorkFolderIsProposedAsItIs)
{
    EXPECT_EQ(ProposedSaveName(Folder() + "cover", Work()), Folder() + "cover");
    EXPECT_EQ(ProposedSaveName(Work() + "sub/cover", Work()), Home() + "Bilder/cover");
    EXPECT_EQ(ProposedSaveName(Folder() + "work-2/cover", Work()), Folder() + "work-2/cover");
}

} // namespace
} // namespace pc::editor::test
