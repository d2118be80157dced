// Typing exact values into parameter track bars and the floating value edit,
// with real key events on real pages.
#include <QApplication>
#include <QKeyEvent>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include "pages_fixture.h"
#include "platform/track_bar.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/value_typing.h"
#include "tests/support/test_data.h"
#include "scene/pages/value_box.h"

namespace pc::test {
namespace {

// Keys in a readable script: digits, '-', '<' Backspace, 'L'/'R'/'U'/'D'
// arrows, '^'/'v' Page Up/Down, 'H'/'E' Home/End, 'k' keypad 5, 'x' letter X.
void Press(TrackBar& bar, const std::string& keys)
{
    for (char ch : keys) {
        int key = 0;
        Qt::KeyboardModifiers mods;
        switch (ch) {
        case '-': key = Qt::Key_Minus; break;
        case '<': key = Qt::Key_Backspace; break;
        case 'L': key = Qt::Key_Left; break;
        case 'R': key = Qt::Key_Right; break;
        case 'U': key = Qt::Key_Up; break;
        case 'D': key = Qt::Key_Down; break;
        case '^': key = Qt::Key_PageUp; break;
        case 'v': key = Qt::Key_PageDown; break;
        case 'H': key = Qt::Key_Home; break;
        case 'E': key = Qt::Key_End; break;
        case 'k': key = Qt::Key_5; mods = Qt::KeypadModifier; break;
        case 'x': key = Qt::Key_X; break;
        default: key = Qt::Key_0 + (ch - '0');
        }
        QKeyEvent e(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(&bar, &e);
    }
}

struct TypingCase {
    const char* name;
    int kind, row, column;
    int start;
    const char* keys;
    int position;
    const char* buffer;
};

class ValueTypingTest : public PagesTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(ValueTypingTest, KeysSetThePosition)
{
    const TypingCase& c = GetParam();
    int slot = commands.AddObject(c.kind);
    TrackBar& bar = *Page(slot).TrackbarTable[c.row][c.column];
    bar.SetPosition(c.start);
    bar.Hint = QString::number(bar.Position()); // as after any change
    Press(bar, c.keys);
    EXPECT_EQ(bar.Position(), c.position);
    EXPECT_EQ(bar.Hint.toStdString(), c.buffer);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ValueTypingTest,
    ::testing::Values(
        // Digits extend the shown value; past the range it clamps and restarts.
        TypingCase{"DigitPastMaxClamps", kKindBox, kRowSize, kColX, 180, "5", 360, "360"},
        TypingCase{"DigitAtMaxRestartsEmpty", kKindBox, kRowSize, kColX, 360, "5", 360, ""},
        // Exactly a bound is inside the range: the value stays and extends.
        TypingCase{"DigitsReachingMaxExactly", kKindBox, kRowSize, kColX, 36, "0", 360, "360"},
        TypingCase{"DigitsReachingMinExactly", kKindText, kRowKeep4, kColZ, -36, "0", -360, "-360"},
        TypingCase{"FreshMaxOfDetail", kKindCurved, kRowSize, kColZ, 20, "<<99", 99, "99"},
        TypingCase{"FreshMinOfDetail", kKindCurved, kRowSize, kColZ, 20, "<<1", 1, "1"},
        TypingCase{"BackspaceDropsADigit", kKindBox, kRowSize, kColX, 180, "<", 18, "18"},
        TypingCase{"BackspaceToEmptyKeepsPosition", kKindBox, kRowSize, kColX, 7, "<", 7, ""},
        TypingCase{"FreshNumberAfterEmptying", kKindBox, kRowSize, kColX, 180, "<<<42", 42, "42"},
        TypingCase{"OtherKeyEmptiesThenDigits", kKindBox, kRowSize, kColX, 180, "x9", 9, "9"},
        // Minus starts a negative number; below Min it clamps.
        TypingCase{"NegativeBelowMinClampsToZero", kKindBox, kRowSize, kColX, 180, "-5", 0, "0"},
        TypingCase{"NegativeDepthOfText", kKindText, kRowKeep4, kColZ, 30, "-5", -5, "-5"},
        TypingCase{"MinusAloneChangesNothing", kKindBox, kRowSize, kColX, 180, "-", 180, "-"},
        TypingCase{"MinusBackspaceFallsBack", kKindText, kRowKeep4, kColZ, 30, "-<", 30, ""},
        TypingCase{"DetailRangeOneToNinetyNine", kKindCurved, kRowSize, kColZ, 20, "<<7", 7, "7"},
        TypingCase{"KeypadDigitIsAnotherKey", kKindBox, kRowSize, kColX, 180, "k", 180, ""},
        // The bar's own keys, the Windows way; each change refills the buffer.
        TypingCase{"LeftDecreases", kKindBox, kRowSize, kColX, 180, "L", 179, "179"},
        TypingCase{"UpDecreases", kKindBox, kRowSize, kColX, 180, "U", 179, "179"},
        TypingCase{"RightIncreases", kKindBox, kRowSize, kColX, 180, "R", 181, "181"},
        TypingCase{"DownIncreases", kKindBox, kRowSize, kColX, 180, "D", 181, "181"},
        TypingCase{"PageUpDecreases", kKindBox, kRowSize, kColX, 180, "^^", 178, "178"},
        TypingCase{"PageDownIncreases", kKindBox, kRowSize, kColX, 180, "v", 181, "181"},
        TypingCase{"HomeGoesToMin", kKindText, kRowKeep4, kColZ, 30, "H", -360, "-360"},
        TypingCase{"EndGoesToMax", kKindBox, kRowSize, kColX, 180, "E", 360, "360"},
        TypingCase{"ArrowStopsAtTheEnd", kKindBox, kRowSize, kColX, 360, "R", 360, ""},
        TypingCase{"ArrowThenDigitsExtend", kKindBox, kRowSize, kColX, 10, "R1", 111, "111"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PagesTest, ValueEditFollowsItsTrackBarAndBack)
{
    int slot = commands.AddObject(kKindCurved);
    GLTSObject& page = Page(slot);
    tabs.show();
    QApplication::setActiveWindow(&tabs);
    TrackBar& detail = *page.TrackbarTable[kRowSize][kColZ]; // 1..99
    detail.SetPosition(20);
    detail.setFocus(Qt::TabFocusReason);
    ASSERT_EQ(page.Values->Bar(), &detail);
    EXPECT_FALSE(page.ValueEdit->isHidden());

    detail.SetPosition(33);
    EXPECT_EQ(page.ValueEdit->text(), "33");

    // Typed numbers move the bar; a change of position refills the edit, an
    // emptied edit or a lone minus leaves the bar where it is, letters are refused.
    QTest::mouseClick(page.ValueEdit, Qt::LeftButton);
    ASSERT_EQ(page.Values->Bar(), &detail);
    page.ValueEdit->selectAll();
    struct Step {
        const char* keys; // '<' Backspace
        int position;
        const char* shown;
    };
    // The bar clamps; the edit keeps what was typed.
    for (Step c : {Step{"12", 12, "12"}, Step{"<<", 1, ""}, Step{"99", 99, "99"}, Step{"<<1", 1, "1"},
                   Step{"00", 99, "100"}, Step{"<<<abc", 1, ""}, Step{"-", 1, "-"}, Step{"<7", 7, "7"}}) {
        for (const char* k = c.keys; *k; ++k)
            if (*k == '<')
                QTest::keyClick(page.ValueEdit, Qt::Key_Backspace);
            else
                QTest::keyClicks(page.ValueEdit, QString(QChar(*k)));
        EXPECT_EQ(detail.Position(), c.position) << "after " << c.keys;
        EXPECT_EQ(page.ValueEdit->text().toStdString(), c.shown) << "after " << c.keys;
    }

    // Escape, in the edit or on the bar, puts back the position of when the edit appeared.
    QTest::keyClick(page.ValueEdit, Qt::Key_Escape);
    EXPECT_EQ(detail.Position(), 20);
    EXPECT_EQ(page.ValueEdit->text(), "20");
    detail.setFocus(Qt::MouseFocusReason);
    QTest::keyClick(&detail, Qt::Key_Right);
    EXPECT_EQ(detail.Position(), 21);
    QTest::keyClick(&detail, Qt::Key_Escape);
    EXPECT_EQ(detail.Position(), 20);

    // Leaving the edit for anything but its bar hides it, as leaving the bar does.
    QTest::mouseClick(page.ValueEdit, Qt::LeftButton);
    page.VisibleCheck->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(page.ValueEdit->isHidden());
    EXPECT_EQ(page.Values->Bar(), nullptr);
    detail.setFocus(Qt::TabFocusReason);
    page.VisibleCheck->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(page.ValueEdit->isHidden());
    EXPECT_EQ(page.Values->Bar(), nullptr);
    QTest::keyClicks(page.ValueEdit, "5"); // serves nothing now
    EXPECT_EQ(detail.Position(), 20);

    // Focus the program moves there, not the user, shows no edit.
    detail.setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(page.ValueEdit->isHidden());
}

// Every visible parameter bar of a page, the model page's material bars among them.
std::vector<TrackBar*> VisibleBars(GLTSObject& page)
{
    std::vector<TrackBar*> bars;
    for (const auto& row : page.TrackbarTable)
        for (TrackBar* bar : row)
            if (bar && bar->isVisibleTo(&page))
                bars.push_back(bar);
    for (TrackBar* bar : page.KindTrackbars)
        if (bar && bar->isVisibleTo(&page))
            bars.push_back(bar);
    return bars;
}

TEST_F(PagesTest, ValueEditShowsTheValueOnFocusBesideItsBarAndCoversNoControl)
{
    host.modelAnswer = k3dsModels + "cube_with_diffuse_texture.3DS";
    tabs.show();
    tabs.activateWindow();
    QApplication::setActiveWindow(&tabs);
    for (int kind = 0; kind < kKindCount; ++kind) {
        const int slot = commands.AddObject(kind);
        ASSERT_GE(slot, 0);
        GLTSObject& page = Page(slot);
        QApplication::processEvents();
        QWidget* contents = page.ValueEdit->parentWidget();
        const auto bars = VisibleBars(page);
        ASSERT_GE(bars.size(), 8u) << "kind " << kind;
        std::vector<QWidget*> controls; // what the user works, the bar itself among them
        for (QWidget* c : contents->findChildren<QWidget*>())
            if (c != page.ValueEdit && c->isVisible() && !qobject_cast<QGroupBox*>(c) && c->children().isEmpty())
                controls.push_back(c);
        for (TrackBar* bar : bars) {
            bar->setFocus(Qt::TabFocusReason);
            ASSERT_EQ(page.Values->Bar(), bar) << "kind " << kind;
            EXPECT_TRUE(page.ValueEdit->isVisible());
            EXPECT_EQ(page.ValueEdit->text(), QString::number(bar->Position())) << "kind " << kind;
            const QRect edit = page.ValueEdit->geometry();
            const QRect at(bar->mapTo(contents, QPoint(0, 0)), bar->size());
            EXPECT_TRUE(contents->rect().contains(edit)) << "kind " << kind;
            EXPECT_TRUE(edit.center().y() >= at.top() && edit.center().y() <= at.bottom()) << "beside its bar";
            for (QWidget* c : controls)
                EXPECT_FALSE(edit.intersects(QRect(c->mapTo(contents, QPoint(0, 0)), c->size())))
                    << "kind " << kind << ": the edit of the bar at " << at.x() << "," << at.y() << " covers a "
                    << c->metaObject()->className() << " at " << c->mapTo(contents, QPoint(0, 0)).y();
        }
    }
}

TEST(TypeKey, BothBoundsAreInsideTheRange)
{
    struct Case {
        const char* buffer;
        char digit;
        int min, max, position;
        const char* next;
        int stored;
    };
    for (Case c : {Case{"36", '0', 0, 360, 36, "360", 360}, Case{"36", '1', 0, 360, 36, "", 361},
                   Case{"-36", '0', -360, 360, -36, "-360", -360}, Case{"-36", '1', -360, 360, -36, "", -361},
                   Case{"9", '9', 1, 99, 9, "99", 99}, Case{"", '1', 1, 99, 20, "1", 1},
                   Case{"", '0', 1, 99, 20, "", 0}}) {
        TypingStep step = TypeKey(c.buffer, {TypingKeyKind::Digit, c.digit}, c.min, c.max, c.position);
        EXPECT_EQ(step.buffer, c.next) << c.buffer << " + " << c.digit << " in " << c.min << ".." << c.max;
        EXPECT_EQ(step.position, c.stored) << c.buffer << " + " << c.digit << " in " << c.min << ".." << c.max;
    }
}

TEST(TrackBar, ClampsAndSignalsOnlyRealChanges)
{
    TrackBar bar;
    bar.SetRange(0, 360);
    bar.SetPosition(180);
    int changes = 0;
    QObject::connect(&bar, &TrackBar::Changed, [&](TrackBar*) { ++changes; });
    bar.SetPosition(180);
    EXPECT_EQ(changes, 0);
    bar.SetPosition(999);
    EXPECT_EQ(bar.Position(), 360);
    bar.SetPosition(400);
    EXPECT_EQ(changes, 1);
    bar.SetPosition(-3);
    EXPECT_EQ(bar.Position(), 0);
    bar.SetRange(10, 20); // a range change that moves the position is a change
    EXPECT_EQ(bar.Position(), 10);
    EXPECT_EQ(changes, 3);
}

} // namespace
} // namespace pc::test
