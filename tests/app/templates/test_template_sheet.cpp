// The template list and the sheet's fill and selection, without a window.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/templates/template_sheet.h"
#include "tests/app/templates/template_files.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const std::vector<TemplateFile>& files)
{
    std::vector<std::string> names;
    for (const TemplateFile& f : files)
        names.push_back(f.name);
    return names;
}

// Fills the whole sheet; returns the number of FillNext calls that drew a cell.
int FillAll(TemplateSheet& sheet)
{
    int drawn = 0;
    while (sheet.FillNext())
        ++drawn;
    return drawn;
}

TColor CellCentre(const TemplateSheet& sheet, int index)
{
    Point o = CellOrigin(index, sheet.ColumnCount);
    return sheet.Sheet().Pixel(o.x + 120, o.y + 120);
}

TEST(TemplateList, SortedByNameWithoutRegardToCaseAcrossFolders)
{
    TempDir program, own;
    for (const char* name : {"book.qv7kb", "Zebra.qv7kb", "apple.QV7KB", "readme.txt", "Box.qv7kb.bak"})
        WriteTemplate(program.file(name));
    fs::create_directory(program.file("folder.qv7kb"));
    for (const char* name : {"Cd.qv7kb", "anvil.qv7kb"})
        WriteTemplate(own.file(name));

    auto files = ListTemplates({program.file(""), own.file("")});
    EXPECT_EQ(Names(files), (std::vector<std::string>{"anvil", "apple", "book", "Cd", "Zebra"}));
    EXPECT_EQ(files[1].path, program.file("apple.QV7KB"));
    EXPECT_EQ(files[0].path, own.file("anvil.qv7kb"));
}

TEST(TemplateList, OneFolderNamedTwiceAndMissingFolders)
{
    TempDir program;
    WriteTemplate(program.file("one.qv7kb"));
    auto files = ListTemplates({program.file(""), program.path().string(), program.file("missing/")});
    EXPECT_EQ(Names(files), (std::vector<std::string>{"one"}));
}

TEST(TemplateList, AtMostAThousandInNameOrder)
{
    TempDir folder;
    for (int i = 0; i <= int(kMaxTemplates); ++i)
        WriteTemplate(folder.file("t" + std::to_string(10000 + i) + ".qv7kb"));
    auto files = ListTemplates({folder.file("")});
    ASSERT_EQ(files.size(), kMaxTemplates);
    EXPECT_EQ(files.back().name, "t" + std::to_string(10000 + int(kMaxTemplates) - 1));
}

class TemplateSheetTest : public testing::Test {
protected:
    TempDir dir;
    TemplateSheet sheet;

    void Begin(int clientWidth = 500) { sheet.Begin(ListTemplates({dir.file("")}), clientWidth); }
};

TEST_F(TemplateSheetTest, FiveTemplatesInTwoColumns)
{
    for (const char* name : {"a", "b", "c", "d", "e"})
        WriteTemplate(dir.file(std::string(name) + ".qv7kb"));
    Begin(500);
    EXPECT_TRUE(sheet.Filling());
    EXPECT_EQ(sheet.ColumnCount, 2);
    EXPECT_EQ(sheet.Sheet().Width(), 483);
    EXPECT_EQ(sheet.Total(), 5);
    EXPECT_EQ(FillAll(sheet), 5);
    EXPECT_FALSE(sheet.Filling());
    EXPECT_EQ(sheet.TemplateCount, 5);
    EXPECT_EQ(sheet.Sheet().Height(), 721);
    ASSERT_EQ(sheet.TemplatePaths.size(), 5u);
    EXPECT_EQ(sheet.TemplatePaths[4], dir.file("e.qv7kb"));
    // The frame of the fifth cell ends on row 719.
    EXPECT_EQ(sheet.Sheet().Pixel(10, 719), clBlack);
    EXPECT_EQ(sheet.Sheet().Pixel(10, 720), clWhite);
    EXPECT_EQ(sheet.Sheet().Pixel(250, 600), clWhite);
}

TEST_F(TemplateSheetTest, PreviewsAndTheirFallback)
{
    const TColor red = RGB(200, 0, 0), green = RGB(0, 160, 0), blue = RGB(0, 0, 180);
    WriteTemplate(dir.file("1 both.qv7kb"));
    WriteBmpPreview(dir.file("1 both.bmp"), 200, 200, red);
    WritePngPreview(dir.file("1 both.png"), 200, 200, green);
    WriteTemplate(dir.file("2 png.qv7kb"));
    WritePngPreview(dir.file("2 png.png"), 200, 200, green);
    // A preview that fails to decode must not stop the fill.
    WriteTemplate(dir.file("3 broken.qv7kb"));
    std::ofstream(dir.file("3 broken.png"), std::ios::binary) << "\x89PNG\r\n\x1a\n truncated";
    WriteTemplate(dir.file("4 none.qv7kb"));
    WriteTemplate(dir.file("5 wide.qv7kb"));
    WriteBmpPreview(dir.file("5 wide.bmp"), 400, 100, blue);
    Begin(500);
    EXPECT_EQ(FillAll(sheet), 5);

    EXPECT_EQ(CellCentre(sheet, 0), red);
    EXPECT_EQ(CellCentre(sheet, 1), green);
    for (int cell : {2, 3}) {
        // "No preview." in black at (20, 80) of the preview area, white elsewhere.
        Point o = CellOrigin(cell, 2);
        int dark = 0;
        for (int y = 80; y < 100; ++y)
            for (int x = 20; x < 100; ++x)
                dark += GetGValue(sheet.Sheet().Pixel(o.x + 20 + x, o.y + 20 + y)) < 100 ? 1 : 0;
        EXPECT_GT(dark, 30) << "cell " << cell;
        EXPECT_EQ(sheet.Sheet().Pixel(o.x + 30, o.y + 30), clWhite) << "cell " << cell;
    }
    // 400 x 100 is drawn 200 x 50 at (x + 20, y + 95).
    Point o = CellOrigin(4, 2);
    EXPECT_EQ(sheet.Sheet().Pixel(o.x + 20, o.y + 95), blue);
    EXPECT_EQ(sheet.Sheet().Pixel(o.x + 219, o.y + 144), blue);
    EXPECT_EQ(sheet.Sheet().Pixel(o.x + 20, o.y + 94), clWhite);
    EXPECT_EQ(sheet.Sheet().Pixel(o.x + 20, o.y + 145), clWhite);
}

TEST_F(TemplateSheetTest, NameIsCentredUnderThePreview)
{
    WriteTemplate(dir.file("I.qv7kb"));
    Begin();
    FillAll(sheet);
    int left = 240, right = -1;
    for (int y = 222; y < 237; ++y)
        for (int x = 2; x < 237; ++x)
            if (sheet.Sheet().Pixel(x, y) != clWhite) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    ASSERT_GE(right, left);
    EXPECT_NEAR((left + right) / 2.0, 120, 4);
}

TEST_F(TemplateSheetTest, SelectionByMouse)
{
    for (const char* name : {"a", "b", "c"})
        WriteTemplate(dir.file(std::string(name) + ".qv7kb"));
    Begin();
    FillAll(sheet);
    const Bitmap before = sheet.Sheet();

    EXPECT_TRUE(sheet.MouseUp(300, 10));
    EXPECT_EQ(sheet.SelectedIndex, 1);
    EXPECT_EQ(sheet.FileName, dir.file("b.qv7kb"));
    EXPECT_EQ(sheet.SelectionRect.left, 244);
    EXPECT_EQ(sheet.SelectionRect.bottom, 236);
    // The frame inverts what is under it.
    EXPECT_EQ(sheet.Sheet().Pixel(244, 120), clBlack);

    // The right margin: nothing selected, the choice and its frame stay.
    EXPECT_FALSE(sheet.MouseUp(481, 10));
    EXPECT_EQ(sheet.SelectedIndex, -1);
    EXPECT_EQ(sheet.FileName, dir.file("b.qv7kb"));
    EXPECT_EQ(sheet.Sheet().Pixel(244, 120), clBlack);

    // Selecting another cell takes the old frame away exactly.
    EXPECT_TRUE(sheet.MouseUp(10, 250));
    EXPECT_EQ(sheet.FileName, dir.file("c.qv7kb"));
    EXPECT_TRUE(sheet.MouseUp(250, 10));
    EXPECT_TRUE(sheet.MouseUp(10, 10));
    EXPECT_TRUE(sheet.MouseUp(10, 10));
    EXPECT_EQ(sheet.Sheet().Pixel(244, 120), clWhite);
    EXPECT_NE(sheet.Sheet(), before);
}

TEST_F(TemplateSheetTest, SelectionByKeysIsClamped)
{
    Begin();
    FillAll(sheet);
    EXPECT_FALSE(sheet.Step(1));
    EXPECT_EQ(sheet.SelectedIndex, -1);

    for (const char* name : {"a", "b", "c"})
        WriteTemplate(dir.file(std::string(name) + ".qv7kb"));
    Begin();
    FillAll(sheet);
    EXPECT_EQ(sheet.Step(-1), (Point{0, 0}));
    EXPECT_EQ(sheet.SelectedIndex, 0);
    sheet.Step(1);
    EXPECT_EQ(sheet.Step(1), (Point{0, 240}));
    EXPECT_EQ(sheet.Step(1), (Point{0, 240}));
    EXPECT_EQ(sheet.SelectedIndex, 2);
    EXPECT_EQ(sheet.FileName, dir.file("c.qv7kb"));
}

TEST_F(TemplateSheetTest, StoppedFillKeepsWhatWasDrawn)
{
    for (const char* name : {"a", "b", "c", "d"})
        WriteTemplate(dir.file(std::string(name) + ".qv7kb"));
    Begin();
    EXPECT_TRUE(sheet.FillNext());
    EXPECT_TRUE(sheet.FillNext());
    sheet.Stop();
    EXPECT_FALSE(sheet.FillNext());
    EXPECT_EQ(sheet.TemplateCount, 2);
    EXPECT_EQ(CellAt(10, 250, 2, sheet.TemplateCount), -1);
    EXPECT_TRUE(sheet.MouseUp(250, 10));

    // A new fill starts over.
    Begin();
    EXPECT_EQ(sheet.TemplateCount, 0);
    EXPECT_EQ(sheet.SelectedIndex, -1);
    EXPECT_TRUE(sheet.TemplatePaths.empty());
    EXPECT_EQ(FillAll(sheet), 4);
}

} // namespace
} // namespace pc::test
