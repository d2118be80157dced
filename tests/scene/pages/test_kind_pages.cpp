// Each kind's page: captions, ranges, defaults and visibility of its cells,
// its sections and faces, and its tab caption.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QPushButton>

#include "pages_fixture.h"
#include "platform/track_bar.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"

namespace pc::test {
namespace {

struct Cell {
    int row, column;
    const char* caption;
    int min, max, position;
    bool visible = true;
};

struct KindCase {
    const char* name;
    int kind;
    std::vector<Cell> cells; // cells that differ from X/Y/Z/D, 0..360, 180
    std::vector<int> hiddenSections;
    std::vector<std::pair<int, const char*>> sectionCaptions;
    std::vector<int> visibleFaces;
    const char* caption;
};

const std::vector<int> kAllFaces = {0, 1, 2, 3, 4, 5};

std::vector<KindCase> Cases()
{
    return {
        {"Box", kKindBox, {{1, 2, "Z", 0, 360, 36}}, {4, 5}, {}, kAllFaces, "Box (#0)"},
        {"Book", kKindBook, {{1, 2, "Z", 0, 360, 36}}, {4, 5}, {}, kAllFaces, "Book (#0)"},
        {"NoteBook", kKindNoteBook, {{1, 2, "Z", 0, 360, 20}, {1, 3, "D", 0, 360, 20}}, {4, 5}, {}, kAllFaces,
         "Note Book (#0)"},
        {"CD",
         kKindCD,
         {{1, 0, "Outer Radius", 0, 360, 150},
          {1, 1, "Inner Radius", 0, 360, 20},
          {1, 2, "Z", 0, 360, 180, false},
          {2, 1, "Y", 0, 360, 175},
          {4, 2, "In", 0, 360, 180},
          {4, 3, "Out", 0, 360, 180}},
         {5},
         {{4, "Texture adjustment"}},
         {0, 1},
         "CD (#0)"},
        {"ThickBook",
         kKindThickBook,
         {{1, 2, "Z", 0, 360, 36},
          {4, 0, "Inside Depth", 0, 360, 180},
          {4, 1, "Corner Details", 0, 360, 180},
          {4, 2, "Left Radius", 0, 360, 10},
          {4, 3, "D", 0, 360, 180, false}},
         {5},
         {{4, "Setting"}},
         kAllFaces,
         "Thick Book (#0)"},
        {"RoundBox",
         kKindRoundBox,
         {{1, 1, "Y", 0, 360, 240},
          {1, 2, "Z", 0, 360, 36},
          {2, 1, "Y", 0, 360, 200},
          {4, 0, "Outter Box", 0, 360, 0},
          {4, 1, "Corner Details", 0, 360, 180},
          {4, 2, "Left Radius", 0, 360, 10},
          {4, 3, "Top Radius", 0, 360, 120},
          {5, 0, "Color Red", 0, 360, 180},
          {5, 1, "Color Green", 0, 360, 180},
          {5, 2, "Color Blue", 0, 360, 180},
          {5, 3, "Alpha", 0, 360, 90}},
         {},
         {{4, "Setting"}, {5, "Outter Transparent Box"}},
         kAllFaces,
         "Round Corner Box (#0)"},
        {"Curved",
         kKindCurved,
         {{1, 2, "DetailX", 1, 99, 20},
          {1, 3, "DetailY", 1, 99, 20},
          {4, 0, "Left X", 0, 720, 320},
          {4, 1, "Left Z", 0, 360, 108},
          {4, 2, "Right X", 0, 720, 400},
          {4, 3, "Right Z", 0, 360, 251},
          {5, 0, "+X", 0, 360, 180},
          {5, 1, "+Y", 0, 360, 180},
          {5, 2, "+Z", 0, 360, 180},
          {5, 3, "Corners", 0, 255, 0}},
         {},
         {{4, "Wav Settings"}, {5, "Corner Settings"}},
         {0},
         "Curved Surface (#0)"},
        {"Text",
         kKindText,
         {{1, 2, "Z", 0, 1080, 180},
          {1, 3, "All", 0, 360, 180},
          {2, 0, "X", -180, 360, 180},
          {4, 0, "H Alignment", -1, 1, 0},
          {4, 1, "V Alignment", -1, 1, 0},
          {4, 2, "Depth", -360, 360, 30},
          {4, 3, "Spacing", -360, 360, 135},
          {5, 0, "Alpha", 0, 360, 360},
          {5, 1, "Shadow", 0, 1, 1},
          {5, 2, "Z", 0, 360, 180, false},
          {5, 3, "D", 0, 360, 180, false}},
         {4},
         {{4, "Settings(Removed from new version)"}, {5, "Transparent"}},
         {0},
         "3D Text (#0)"},
    };
}

class KindPageTest : public PagesTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(KindPageTest, ControlsRangesAndDefaults)
{
    const KindCase& k = GetParam();
    ASSERT_EQ(commands.AddObject(k.kind), 0);
    GLTSObject& page = Page(0);
    EXPECT_EQ(tabs.tabText(0).toStdString(), k.caption);
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        for (int c = 0; c < 4; ++c) {
            static const char* defaults[] = {"X", "Y", "Z", "D"};
            Cell want{r, c, defaults[c], 0, 360, 180, !(c == 3 && r <= 3)};
            if (r == kRowPosition && c != kColY)
                want.position = page.TrackbarTable[r][c]->Position(); // grid placement, checked elsewhere
            for (const Cell& cell : k.cells)
                if (cell.row == r && cell.column == c)
                    want = cell;
            TrackBar* bar = page.TrackbarTable[r][c];
            ASSERT_NE(bar, nullptr);
            SCOPED_TRACE("cell " + std::to_string(r) + "/" + std::to_string(c));
            EXPECT_EQ(page.TrackbarLabels[r][c]->text().toStdString(), want.caption);
            EXPECT_EQ(bar->Min(), want.min);
            EXPECT_EQ(bar->Max(), want.max);
            EXPECT_EQ(bar->Position(), want.position);
            EXPECT_EQ(!bar->isHidden(), want.visible);
            EXPECT_EQ(!page.TrackbarLabels[r][c]->isHidden(), want.visible);
            EXPECT_EQ(bar->Hint.toStdString(), std::to_string(bar->Position())) << "buffer follows position";
        }
    // Rows 0 and 6 and columns 4 to 12 hold nothing.
    for (int c = 0; c < kTableColumns; ++c) {
        EXPECT_EQ(page.TrackbarTable[kRowSkin][c], nullptr);
        EXPECT_EQ(page.TrackbarTable[kRowMaterial][c], nullptr);
    }
    for (int r = 0; r < kTableRows; ++r)
        for (int c = 4; c < kTableColumns; ++c)
            EXPECT_EQ(page.TrackbarTable[r][c], nullptr);
    for (int s = 0; s < kTableRows; ++s) {
        bool hidden = s == kRowMaterial || std::count(k.hiddenSections.begin(), k.hiddenSections.end(), s);
        EXPECT_EQ(page.GroupBoxes[s]->isHidden(), hidden) << "section " << s;
        std::string caption = kSectionCaptions[s];
        for (auto [row, text] : k.sectionCaptions)
            if (row == s)
                caption = text;
        EXPECT_EQ(page.GroupBoxes[s]->title().toStdString(), caption);
    }
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(!page.Faces[f]->isHidden(), std::count(k.visibleFaces.begin(), k.visibleFaces.end(), f) > 0)
            << "face " << f;
    // Only the Position row's drag lock is ever shown.
    for (int r = kRowSize; r <= kRowKeep5; ++r)
        EXPECT_EQ(page.DragLocks[r]->isHidden(), r != kRowPosition);
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindPageTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PagesTest, BoxNetUnfoldsAroundTheFront)
{
    commands.AddObject(kKindBox);
    const auto& f = Page(0).Faces;
    // L, Front, R, Back side by side, neighbours sharing their frame column;
    // Top above Front and Bottom below Back, sharing a frame row.
    EXPECT_EQ(f[5]->pos(), QPoint(4, 39));
    EXPECT_EQ(f[0]->x(), f[5]->x() + f[5]->width() - 1);
    EXPECT_EQ(f[4]->x(), f[0]->x() + f[0]->width() - 1);
    EXPECT_EQ(f[1]->x(), f[4]->x() + f[4]->width() - 1);
    for (int side : {0, 1, 4, 5}) {
        EXPECT_EQ(f[side]->y(), 39);
        EXPECT_EQ(f[side]->height(), 65);
    }
    EXPECT_EQ(f[2]->geometry(), QRect(f[0]->x(), 15, f[0]->width(), 25));
    EXPECT_EQ(f[3]->geometry(), QRect(f[1]->x(), 39 + 65 - 1, f[1]->width(), 25));
    EXPECT_EQ(f[0]->width(), f[1]->width());
    EXPECT_GE(f[0]->width(), 41);
    EXPECT_EQ(f[4]->width(), f[5]->width());
    // Painted in its colour, framed in blue.
    FacePicture& front = *f[0];
    EXPECT_EQ(front.CanvasPixel(1, 1), TColor(0xFF0000));
    EXPECT_EQ(front.CanvasPixel(2, 2), front.BrushColor);
}

TEST_F(PagesTest, TextPageHasMemoSwatchAndFontButton)
{
    commands.AddObject(kKindText);
    GLTSObject& page = Page(0);
    ASSERT_NE(page.TextMemo, nullptr);
    EXPECT_EQ(page.TextMemo->toPlainText(), "Text");
    EXPECT_EQ(page.TextMemo->font().family(), "Arial");
    ASSERT_NE(page.FontButton, nullptr);
    EXPECT_EQ(page.FontButton->text(), "Font");
    EXPECT_EQ(page.Faces[0]->height(), 20);
    EXPECT_EQ(page.FontButton->y(), page.Faces[0]->y());
    // Lines wrap between words only: breaking a long word anywhere took the
    // layout minutes on a line of some 100k characters.
    page.TextMemo->setPlainText(QString(2000, 'W') + "\n" + QString("WW ").repeated(600));
    page.window()->show(); // the memo's width is the one to wrap at
    const QTextDocument* text = page.TextMemo->document();
    auto lines = [&](const QTextBlock& b) {
        text->documentLayout()->blockBoundingRect(b); // lays it out
        return b.layout()->lineCount();
    };
    EXPECT_EQ(lines(text->firstBlock()), 1);
    EXPECT_GT(lines(text->lastBlock()), 1);
}

TEST_F(PagesTest, RestoreDefaultsOnlyAfterSave)
{
    commands.AddObject(kKindRoundBox);
    GLTSObject& page = Page(0);
    page.SetPosition(kRowSize, kColX, 10);
    page.RestoreDefaults(); // nothing saved yet
    EXPECT_EQ(page.Position(kRowSize, kColX), 10);
    page.SaveDefaults();
    page.SetPosition(kRowSize, kColX, 300);
    page.SetPosition(kRowKeep5, kColD, 1);
    page.RestoreDefaults();
    EXPECT_EQ(page.Position(kRowSize, kColX), 10);
    EXPECT_EQ(page.Position(kRowKeep5, kColD), 90);
}

TEST(KindControls, BoxNetOfTheClassicSizes)
{
    const auto f = BoxNetFaces(41, 25);
    const std::array<std::array<int, 4>, 6> expected = {{{28, 39, 41, 65}, {92, 39, 41, 65}, {28, 15, 41, 25},
                                                         {92, 103, 41, 25}, {68, 39, 25, 65}, {4, 39, 25, 65}}};
    for (size_t i = 0; i < 6; ++i) {
        ASSERT_TRUE(f[i]) << kFaceCaptions[i];
        EXPECT_EQ((std::array<int, 4>{f[i]->left, f[i]->top, f[i]->width, f[i]->height}), expected[i]) << kFaceCaptions[i];
    }
}

TEST(KindControls, TabCaptions)
{
    EXPECT_EQ(TabCaption(kKindCD, 3), "CD (#3)");
    EXPECT_EQ(TabCaption(kKindModel, 2, "/models/teapot.3ds"), "3D teapo(#2)");
    EXPECT_EQ(TabCaption(kKindModel, 12, "a.3ds"), "3D a.3ds(#12)");
    EXPECT_EQ(TabCaption(kKindModel, 0, "C:\\MODELS\\BOX.3DS"), "3D BOX.3(#0)");
    EXPECT_THROW(TabCaption(9, 0), BadInput);
}

} // namespace
} // namespace pc::test
