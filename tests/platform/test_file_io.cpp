// A save replaces the bytes of the file the user has, not the file itself:
// its mode stays, and a symbolic link keeps pointing at the file it named.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

#include "platform/bitmap.h"
#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "tests/support/test_data.h"

namespace {

namespace fs = std::filesystem;

std::string Text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

mode_t Mode(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

struct Saver {
    const char* name;
    std::function<void(const std::string& path)> save;
};

const Saver kSavers[] = {
    {"Bytes", [](const std::string& p) { pc::WriteFileAtomic(p, {'n', 'e', 'w', '\n'}); }},
    {"Ini",
     [](const std::string& p) {
         pc::IniFile ini;
         ini.WriteInteger("S", "K", 7);
         ini.Save(p);
     }},
    {"Bmp", [](const std::string& p) { pc::SaveBmpFile(p, pc::Bitmap(3, 5, pc::PixelFormat::pf24bit)); }},
};

void PrintTo(const Saver& s, std::ostream* os)
{
    *os << s.name;
}

class AtomicSave : public testing::TestWithParam<Saver> {};

TEST_P(AtomicSave, KeepsTheModeOfTheFileItReplaces)
{
    pc::test::TempDir dir;
    for (mode_t mode : {0600, 0640, 0604, 07754}) {
        const std::string path = dir.file("f" + std::to_string(mode));
        std::ofstream(path) << "old";
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        GetParam().save(path);
        EXPECT_NE(Text(path), "old");
        EXPECT_EQ(Mode(path), mode) << std::oct << mode;
    }
}

TEST_P(AtomicSave, RewritesTheFileASymbolicLinkNames)
{
    pc::test::TempDir dir;
    fs::create_directories(dir.path() / "real" / "deep");
    fs::create_directory(dir.path() / "links");
    const std::string real = dir.file("real/deep/file");
    std::ofstream(real) << "old";
    ASSERT_EQ(::chmod(real.c_str(), 0600), 0);
    // A relative link to a relative link to the file.
    fs::create_symlink("../real/deep/file", dir.path() / "links" / "one");
    fs::create_symlink("one", dir.path() / "links" / "two");

    GetParam().save(dir.file("links/two"));

    EXPECT_TRUE(fs::is_symlink(dir.path() / "links" / "one"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "links" / "two"));
    EXPECT_EQ(fs::read_symlink(dir.path() / "links" / "two"), "one");
    EXPECT_NE(Text(real), "old");
    EXPECT_EQ(Mode(real), 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "links"), {}), 2);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real" / "deep"), {}), 1);
}

// A FIFO, a folder, or a link to one, is refused and stays as it was, with
// nothing written beside it. (No device here: with the check broken, a test
// run as root would replace it.)
TEST_P(AtomicSave, RefusesATargetThatIsNotARegularFile)
{
    pc::test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("fifo").c_str(), 0600), 0);
    fs::create_directory(dir.path() / "folder");
    fs::create_symlink("fifo", dir.path() / "to-fifo");
    fs::create_symlink("folder", dir.path() / "to-folder");
    const std::pair<const char*, std::string> cases[] = {
        {"fifo", "it is not a regular file but a FIFO."},
        {"folder", "it is not a regular file but a folder."},
        {"to-fifo", "the file it links to (" + dir.file("fifo") + ") is not a regular file but a FIFO."},
        {"to-folder", "the file it links to (" + dir.file("folder") + ") is not a regular file but a folder."},
    };
    for (const auto& [name, message] : cases) {
        try {
            GetParam().save(dir.file(name));
            ADD_FAILURE() << name << " replaced";
        } catch (const pc::FileError& e) {
            EXPECT_EQ(e.what(), "Cannot save \"" + dir.file(name) + "\": " + message);
        }
    }
    EXPECT_TRUE(fs::is_fifo(dir.path() / "fifo"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 4);
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder"));
}

INSTANTIATE_TEST_SUITE_P(Savers, AtomicSave, testing::ValuesIn(kSavers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AtomicSave, AFailedWriteNamesTheFileAndTheReasonAndKeepsTheOldFile)
{
    pc::test::TempDir dir;
    const std::string path = dir.file("kept");
    std::ofstream(path) << "old";
    std::string error;
    {
        pc::test::FileSizeLimit limit(1000);
        try {
            pc::WriteFileAtomic(path, std::vector<uint8_t>(5000, 'x'));
        } catch (const pc::FileError& e) {
            error = e.what();
        }
    }
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find("File too large"), std::string::npos) << error;
    EXPECT_EQ(Text(path), "old");
}

TEST(AtomicSave, OnlyTheWorkFolderHoldsScratchFiles)
{
    pc::test::TempDir dir;
    EXPECT_FALSE(pc::IsWorkFile(pc::WorkFolder().substr(0, pc::WorkFolder().size() - 1) + "-other/x"));
    const std::string texture = pc::TextureFolder() + "7";
    EXPECT_TRUE(pc::IsWorkFile(texture));
    EXPECT_FALSE(pc::IsWorkFile(dir.file("scene.qv7kb")));
    pc::RemoveWorkFolder();
    EXPECT_FALSE(pc::IsWorkFile(texture)); // no work folder: nothing is scratch
}

// Regular files are read up to the limit, to the byte; anything else is
// refused at once, never waited on or read without end.
TEST(ReadFile, TakesOnlyRegularFilesUpToTheLimit)
{
    pc::test::TempDir dir;
    const std::string file = dir.file("limit"), fifo = dir.file("fifo");
    std::vector<uint8_t> bytes(1001);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + i / 256);
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    EXPECT_EQ(pc::ReadFileBytes(file, 1001), bytes);
    EXPECT_THROW(pc::ReadFileBytes(file, 1000), pc::FileError);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path().string()}) {
        try {
            pc::ReadFileBytes(path);
            ADD_FAILURE() << path << " read";
        } catch (const pc::FileError& e) {
            EXPECT_EQ(e.what(), "Cannot open file \"" + path + "\": not a regular file");
        }
        EXPECT_THROW(pc::FileReader{path}, pc::FileError) << path;
    }
}

} // namespace
