#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/ini_file.h"
#include "tests/support/test_data.h"

namespace {

using pc::IniFile;

TEST(IniRead, ProfileSemantics)
{
    auto ini = IniFile::FromText(
        "[Settings]\r\n"
        "  StartMode =  2  \r\n"
        "Name=\"quoted value\"\r\n"
        "Single='x'\r\n"
        "Half=\"open\r\n"
        "NoEquals line\r\n"
        "startmode=9\r\n"
        "[settings]\r\n"
        "Late=1\r\n"
        "[ Spaced ]\n"
        "Hex=$1F\n"
        "Hex2=0xFFFFFFFF\n"
        "Bad=12abc\n"
        "Float=0.25\n"
        "Last=end");
    EXPECT_EQ(ini.ReadInteger("SETTINGS", "startMODE", 0), 2); // case-insensitive, first match wins
    EXPECT_EQ(ini.ReadString("Settings", "Name"), "quoted value");
    EXPECT_EQ(ini.ReadString("Settings", "Single"), "x");
    EXPECT_EQ(ini.ReadString("Settings", "Half"), "\"open");
    EXPECT_EQ(ini.ReadString("Settings", "Late", "none"), "none"); // only the first section is read
    EXPECT_EQ(ini.ReadInteger("Spaced", "Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("Spaced", "Hex2", 0), -1);
    EXPECT_EQ(ini.ReadInteger("Spaced", "Bad", 7), 7);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("Spaced", "Float", 0), 0.25);
    EXPECT_EQ(ini.ReadString("Spaced", "Last"), "end"); // no final newline
    EXPECT_TRUE(ini.ReadBool("Spaced", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("Missing", "Hex", false));
    EXPECT_EQ(ini.Keys("Settings"), (std::vector<std::string>{"StartMode", "Name", "Single", "Half", "startmode"}));
}

// Hand-edited files: comments, a byte-order mark and any line end read as
// the plain text does; the mark and CR line ends are written back as read.
TEST(IniRead, CommentsByteOrderMarkAndLineEnds)
{
    const std::vector<std::string> plain = {"[Camera]", "X=240", "Name=a b", "[Light]", "SV=1"};
    const std::vector<std::string> commented = {"; by hand", "# also",   "[Camera] ; the view", ";X=7", "X=240",
                                                "  # Name=no", "Name=a b", "[Light]",            "SV=1"};
    const std::string mark = "\xEF\xBB\xBF";
    struct Case {
        const char* name;
        std::string prefix;
        std::vector<std::string> lines;
        std::string eol, eolWritten;
    };
    const Case cases[] = {
        {"CR LF", "", plain, "\r\n", "\r\n"},
        {"LF", "", plain, "\n", "\r\n"},
        {"CR", "", plain, "\r", "\r"},
        {"comments", "", commented, "\r\n", "\r\n"},
        {"byte-order mark", mark, plain, "\r\n", "\r\n"},
        {"byte-order mark and CR", mark, commented, "\r", "\r"},
    };
    auto join = [](const Case& c, const std::vector<std::string>& lines, const std::string& eol) {
        std::string text = c.prefix;
        for (const auto& l : lines)
            text += l + eol;
        return text;
    };
    for (const Case& c : cases) {
        auto ini = IniFile::FromText(join(c, c.lines, c.eol));
        EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Camera", "Light"})) << c.name;
        EXPECT_EQ(ini.Keys("camera"), (std::vector<std::string>{"X", "Name"})) << c.name;
        EXPECT_EQ(ini.ReadInteger("Camera", "X", 0), 240) << c.name;
        EXPECT_EQ(ini.ReadString("Camera", "Name"), "a b") << c.name;
        EXPECT_EQ(ini.ReadInteger("Light", "SV", 0), 1) << c.name;
        int visited = 0;
        ini.ForEachLine([&](IniFile::LineKind, const std::string&, const std::string&, const std::string& line) {
            ++visited;
            EXPECT_EQ(line.find('\r'), std::string::npos) << c.name;
        });
        EXPECT_EQ(visited, 5) << c.name;
        ini.WriteString("Light", "DL", "0");
        auto written = c.lines;
        written.push_back("DL=0");
        EXPECT_EQ(ini.Text(), join(c, written, c.eolWritten)) << c.name;
    }
}

TEST(IniRead, ValuesAreCutAt2047Characters)
{
    // Characters that differ along the value, so the place of the cut shows.
    std::string pattern;
    for (int i = 0; i < 5000; ++i)
        pattern += char('a' + i % 26);
    for (size_t length : {2046u, 2047u, 2048u, 2049u, 5000u}) {
        const std::string value = pattern.substr(0, length);
        const std::string expected = pattern.substr(0, std::min<size_t>(length, 2047));
        auto ini = IniFile::FromText("[A]\r\nK=" + value + "\r\nQ=\"" + value + "\"\r\n");
        EXPECT_EQ(ini.ReadString("A", "K"), expected) << length;
        EXPECT_EQ(ini.ReadString("A", "Q"), expected) << length << " quoted";
    }
}

TEST(IniWrite, UpdatesInPlaceAndAppends)
{
    const std::string text = "; comment\r\n[Settings]\r\nStartMode=0\r\n\r\n[Other]\r\nA=1";
    auto ini = IniFile::FromText(text);
    EXPECT_EQ(ini.Text(), text); // untouched text round-trips byte for byte

    ini.WriteInteger("settings", "STARTMODE", 2);
    ini.WriteBool("Settings", "SoftwareRender", false);
    ini.WriteString("Other", "B", "x");
    ini.WriteString("New", "C", "y");
    EXPECT_EQ(ini.Text(),
              "; comment\r\n[Settings]\r\nSTARTMODE=2\r\nSoftwareRender=0\r\n\r\n[Other]\r\nA=1\r\nB=x\r\n[New]\r\nC=y\r\n");

    ini.DeleteKey("Other", "A");
    ini.EraseSection("settings");
    EXPECT_EQ(ini.Sections(), (std::vector<std::string>{"Other", "New"}));
}

// Runs of empty lines, held as counts, stay where they were through changes.
TEST(IniWrite, EmptyLinesStayInPlace)
{
    auto ini = IniFile::FromText("\r\n\r\n[A]\r\nk=1\r\n\r\n\r\nm=2\r\n\r\n[B]\r\n\r\n");
    ini.DeleteKey("A", "m");
    ini.WriteString("B", "n", "3");
    EXPECT_EQ(ini.Text(), "\r\n\r\n[A]\r\nk=1\r\n\r\n\r\n\r\n[B]\r\nn=3\r\n\r\n");
}

// Reads between writes see every line where the writes moved it.
TEST(IniWrite, ReadsAfterEachKindOfChange)
{
    auto ini = IniFile::FromText("[A]\r\nk=1\r\n[B]\r\nk=2\r\nm=3\r\n[a]\r\nk=9\r\n");
    EXPECT_EQ(ini.ReadInteger("B", "m", 0), 3);
    ini.WriteString("A", "new", "x"); // a line inserted before [B]
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 2);
    EXPECT_EQ(ini.ReadInteger("B", "m", 0), 3);
    ini.WriteString("b", "K", "4"); // updated in place
    EXPECT_EQ(ini.ReadInteger("B", "k", 0), 4);
    ini.DeleteKey("A", "k");
    EXPECT_FALSE(ini.ValueExists("A", "k"));
    EXPECT_EQ(ini.ReadString("A", "new"), "x");
    EXPECT_EQ(ini.ReadInteger("B", "m", 0), 3);
    ini.EraseSection("A"); // both [A] and [a]
    EXPECT_FALSE(ini.SectionExists("a"));
    EXPECT_EQ(ini.ReadInteger("B", "m", 0), 3);
    ini.WriteString("C", "z", "5"); // a new section at the end
    EXPECT_EQ(ini.ReadInteger("c", "Z", 0), 5);
    EXPECT_EQ(ini.Text(), "[B]\r\nK=4\r\nm=3\r\n[C]\r\nz=5\r\n");
}

TEST(IniFile, SavesThroughATemporaryFileAndLoadsMissingAsEmpty)
{
    pc::test::TempDir dir;
    auto missing = IniFile::Load(dir.file("none.ini"));
    EXPECT_TRUE(missing.Sections().empty());

    IniFile ini;
    ini.WriteInteger("Settings", "PixelsFormat", 5);
    ini.Save(dir.file("a.INI"));
    auto back = IniFile::Load(dir.file("a.INI"));
    EXPECT_EQ(back.ReadInteger("Settings", "PixelsFormat", 0), 5);
    EXPECT_EQ(back.Text(), "[Settings]\r\nPixelsFormat=5\r\n");

    EXPECT_THROW(ini.Save(dir.file("no/such/folder/a.ini")), pc::FileError);
}

} // namespace
