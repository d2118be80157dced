// The browser window on the offscreen platform: the timer-driven fill, the
// mouse and keys, and its buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>

#include "app/templates/template_dialog.h"
#include "platform/message_box.h"
#include "tests/app/templates/template_files.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

class TemplateDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 12; ++i)
            WriteTemplate(dir.file("t" + std::to_string(10 + i) + ".qv7kb"));
        WritePngPreview(dir.file("t10.png"), 200, 200, RGB(0, 0, 200));
        browser = std::make_unique<TTemplate>(nullptr, std::vector<std::string>{dir.file("")});
        browser->OpenWebPage = [this](const std::string& url) { opened.push_back(url); };
    }

    // Runs the event loop until the fill started and ended (a guard, not a timing).
    void WaitForSheet()
    {
        QElapsedTimer guard;
        guard.start();
        // A fill has begun (the sheet exists) and is over.
        while (guard.elapsed() < 20000 && (browser->Sheet().Filling() || browser->Sheet().Sheet().Empty()))
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_FALSE(browser->Sheet().Filling()) << "the sheet was not filled";
        ASSERT_FALSE(browser->Sheet().Sheet().Empty()) << "the sheet was not filled";
    }
    void Click(int x, int y, QEvent::Type type = QEvent::MouseButtonRelease)
    {
        QMouseEvent e(type, QPointF(x, y), browser->Image1->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(browser->Image1, &e);
    }
    void Key(int key)
    {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(browser->Image1, &e);
    }

    TempDir dir;
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    std::unique_ptr<TTemplate> browser;
    std::vector<std::string> opened;
};

TEST_F(TemplateDialogTest, ShownBrowserFillsItsSheet)
{
    browser->resize(1010, 600);
    browser->show();
    WaitForSheet();
    EXPECT_EQ(browser->Sheet().TemplateCount, 12);
    EXPECT_EQ(browser->Sheet().ColumnCount, 4);
    EXPECT_EQ(browser->Image1->size(), QSize(963, 721));
    EXPECT_FALSE(browser->ProgressBar1->isVisible());
    EXPECT_EQ(browser->Sheet().Sheet().Pixel(120, 120), RGB(0, 0, 200));
    // Painted as it is held.
    QImage shown = browser->Image1->grab().toImage();
    EXPECT_EQ(shown.pixelColor(120, 120), QColor(0, 0, 200));
    EXPECT_EQ(shown.pixelColor(0, 120), QColor(0, 0, 0));
}

TEST_F(TemplateDialogTest, FillGoesOneCellAtATimeAndCancelStopsIt)
{
    browser->show();
    browser->FreshClick();
    EXPECT_TRUE(browser->Sheet().Filling());
    EXPECT_TRUE(browser->ProgressBar1->isVisible());
    EXPECT_EQ(browser->ProgressBar1->maximum(), 12);
    QApplication::processEvents();
    const int early = browser->Sheet().TemplateCount;
    EXPECT_LT(early, 12);
    // A second fill is refused while one runs.
    browser->FreshClick();
    Key(Qt::Key_F5);
    EXPECT_EQ(browser->Sheet().TemplateCount, early);
    EXPECT_TRUE(browser->Sheet().Filling());

    browser->BitBtn2Click();
    EXPECT_EQ(browser->result(), kTemplateCancel);
    QApplication::processEvents();
    EXPECT_FALSE(browser->Sheet().Filling());
    EXPECT_LT(browser->Sheet().TemplateCount, 12);
    EXPECT_EQ(browser->BitBtn2Tag, 0);
    // A closed browser does not fill again.
    EXPECT_FALSE(browser->Timer1.isActive());
}

TEST_F(TemplateDialogTest, MouseAndKeysChoose)
{
    browser->show();
    browser->FreshClick();
    WaitForSheet();
    const int columns = browser->Sheet().ColumnCount;
    ASSERT_EQ(columns, 2);

    // Load without a choice.
    browser->BitBtn1Click();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "No template is selected.");
    EXPECT_TRUE(browser->isVisible());

    // The right margin of the first row is no cell.
    Click(481, 10);
    EXPECT_EQ(browser->Sheet().SelectedIndex, -1);
    EXPECT_TRUE(browser->FileName->text().isEmpty());

    Key(Qt::Key_Down);
    EXPECT_EQ(browser->Sheet().SelectedIndex, 0);
    Key(Qt::Key_PageDown);
    Key(Qt::Key_Right);
    EXPECT_EQ(browser->Sheet().SelectedIndex, 2);
    EXPECT_EQ(browser->FileName->text().toStdString(), dir.file("t12.qv7kb"));
    Key(Qt::Key_Up);
    EXPECT_EQ(browser->FileName->text().toStdString(), dir.file("t11.qv7kb"));

    Click(250, 250);
    EXPECT_EQ(browser->FileName->text().toStdString(), dir.file("t13.qv7kb"));
    // A double click on empty space clears the choice's index: nothing happens.
    Click(250, 20 * 240, QEvent::MouseButtonRelease);
    Click(250, 20 * 240, QEvent::MouseButtonDblClick);
    EXPECT_TRUE(browser->isVisible());
    EXPECT_EQ(browser->FileName->text().toStdString(), dir.file("t13.qv7kb"));

    Click(250, 250);
    Click(250, 250, QEvent::MouseButtonDblClick);
    EXPECT_FALSE(browser->isVisible());
    EXPECT_EQ(browser->result(), kTemplateLoad);
}

TEST_F(TemplateDialogTest, ButtonsAndEscape)
{
    browser->show();
    browser->BitBtn3Click();
    EXPECT_EQ(opened, (std::vector<std::string>{kMoreTemplatesPage}));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(browser.get(), &escape);
    EXPECT_EQ(browser->result(), kTemplateCancel);
    EXPECT_EQ(browser->CheckBox1->text(), "Show this when launch up");
}

} // namespace
} // namespace pc::test
