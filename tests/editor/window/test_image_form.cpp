// The editor window on the offscreen platform, driven through its actions
// and mouse events on the picture view.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>

#include "codecs/png/png_object.h"
#include "editor/window/image_form.h"
#include "editor/window/picture_files.h"
#include "editor/window/picture_view.h"
#include "editor/window/zoomed_part.h"
#include "platform/bmp_file.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "tests/editor/window/model_fixture.h"
#include "tests/support/test_data.h"

namespace pc::editor::test {
namespace {

void Send(QWidget* view, QEvent::Type type, QPoint p, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(p), QPointF(view->mapToGlobal(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &e);
}

void DragOn(QWidget* view, QPoint a, QPoint b)
{
    Send(view, QEvent::MouseButtonPress, a, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        Send(view, QEvent::MouseMove, a + (b - a) * i / 4, Qt::LeftButton);
    Send(view, QEvent::MouseButtonRelease, b, Qt::NoButton);
}

class ImageFormTest : public testing::Test {
protected:
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    pc::test::TempDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<TImageForm> form = std::make_unique<TImageForm>(nullptr, &dialogs);
};

TEST_F(ImageFormTest, ARectangleDraggedAtDoubleSizeLandsAtHalfTheViewPoints)
{
    form->ARectangle->trigger();
    EXPECT_TRUE(form->ARectangle->isChecked());
    EXPECT_TRUE(form->PenBar->isVisibleTo(form.get()));
    form->ZoomPreset(200);
    EXPECT_EQ(form->Image1->size(), QSize(512, 512));
    form->show();
    QApplication::processEvents();
    DragOn(form->Image1, QPoint(10, 10), QPoint(60, 40));

    dialogs.saves.push_back(SaveChoice{dir.file("out.png"), kSavePng});
    ASSERT_TRUE(form->ASaveExecute());
    EXPECT_TRUE(boxes.Shown().empty());
    png::TPNGObject png;
    png.LoadFromFile(dir.file("out.png"));
    const Bitmap saved = png.ToBitmap();
    ASSERT_EQ(saved.Width(), 256);
    struct Probe {
        int x, y;
        TColor c;
    };
    // The outline runs from (5, 5) to (29, 19): right and bottom exclusive.
    for (Probe p : {Probe{5, 5, clBlack}, Probe{29, 19, clBlack}, Probe{17, 5, clBlack}, Probe{5, 12, clBlack},
                    Probe{4, 5, clWhite}, Probe{30, 19, clWhite}, Probe{29, 20, clWhite}, Probe{17, 12, clWhite}})
        EXPECT_EQ(saved.Pixel(p.x, p.y), p.c) << p.x << "," << p.y;
    EXPECT_FALSE(form->ARectangle->isChecked()); // the save committed the tool
    EXPECT_TRUE(form->AUndo->isEnabled());
}

TEST_F(ImageFormTest, AtEveryZoomTheRectangleStartsOnThePixelUnderThePointer)
{
    struct Case {
        int percent, from, to, first, last;
    };
    // Odd view points deep in the right half of their zoomed pixels.
    for (Case c : {Case{400, 42, 83, 10, 19}, Case{300, 31, 65, 10, 20}, Case{1600, 175, 335, 10, 19},
                   Case{150, 15, 47, 10, 30}}) {
        TImageForm f;
        f.ARectangle->trigger();
        f.ZoomPreset(c.percent);
        f.show();
        QApplication::processEvents();
        DragOn(f.Image1, QPoint(c.from, c.from), QPoint(c.to, c.to));
        const Bitmap& pic = f.Model().Picture();
        for (int d : {c.first, c.last}) {
            EXPECT_EQ(pic.Pixel(d, d), clBlack) << c.percent << "% at " << d;
            EXPECT_EQ(pic.Pixel(c.first - 1, d), clWhite) << c.percent << "% at " << d;
            EXPECT_EQ(pic.Pixel(c.last + 1, d), clWhite) << c.percent << "% at " << d;
        }
    }
}

TEST_F(ImageFormTest, APointerInsideAViewPixelMapsToThatPixel)
{
    // At 400%, 43.75 lies in view pixel 43, which shows picture pixel 10;
    // the nearest whole point, 44, would be pixel 11.
    form->ZoomPreset(400);
    form->show();
    QApplication::processEvents();
    const QPointF p(43.75, 47.75);
    QMouseEvent e(QEvent::MouseMove, p, form->Image1->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Image1, &e);
    EXPECT_EQ(form->Model().PositionText(), "X: 10   Y: 11");
}

TEST_F(ImageFormTest, LoadingSetsTheSpinsWithoutAskingToSaveOnClose)
{
    Bitmap b(90, 60);
    b.Fill(RGB(10, 20, 30));
    SaveBmpFile(dir.file("in.bmp"), b);
    EditorModel& m = form->Model();
    ASSERT_TRUE(form->OpenExecute(dir.file("in.bmp")));
    EXPECT_EQ(form->CSWidth->value(), 90);
    EXPECT_EQ(form->CSHeight->value(), 60);
    EXPECT_FALSE(m.Modified());
    form->show();
    form->close();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_FALSE(form->isVisible());
}

// Types text into a control key by key, as the user does.
void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int key = Qt::Key_0 + c.digitValue();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

TEST_F(ImageFormTest, ATypedSizeAboveTheMaximumBecomesTheMaximum)
{
    const std::pair<const char*, int> cases[] = {{"5000", 4096}, {"4097", 4096}, {"307", 307}, {"99999", 4096}};
    for (const auto& [typed, side] : cases) {
        form->CSWidth->selectAll();
        Type(form->CSWidth, typed);
        EXPECT_EQ(form->CSWidth->value(), side) << typed;
        EXPECT_EQ(form->Model().Width(), side) << typed;
    }
}

TEST_F(ImageFormTest, PasteFollowsTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(form->APaste->isEnabled());
    Bitmap b(3, 2);
    clipboard::SetBitmap(b);
    EXPECT_TRUE(form->APaste->isEnabled());
    QGuiApplication::clipboard()->setText("words");
    EXPECT_FALSE(form->APaste->isEnabled());
}

TEST_F(ImageFormTest, OpeningLeavesTheClipboardAloneUntilPasteIsAsked)
{
    // An owner that stopped answering would hold an opening that asked it.
    QGuiApplication::clipboard()->setText("words");
    TImageForm f;
    EXPECT_TRUE(f.APaste->isEnabled());
    f.APaste->trigger();
    EXPECT_FALSE(f.APaste->isEnabled());
    EXPECT_TRUE(f.Model().Picture() == form->Model().Picture());
}

TEST_F(ImageFormTest, TheZoomMenuChecksTheCurrentZoomOnly)
{
    auto checked = [&] {
        QStringList names;
        for (QAction* a : form->ZoomMenu->actions())
            if (a->isChecked())
                names << a->text();
        return names;
    };
    EXPECT_EQ(checked(), QStringList{"100%"});
    const std::pair<std::function<void()>, QStringList> steps[] = {
        {[&] { form->AZoomIn->trigger(); }, {"120%"}},  {[&] { form->AZoomIn->trigger(); }, {}},
        {[&] { form->ZoomPreset(400); }, {"400%"}},     {[&] { form->AZoomOut->trigger(); }, {}},
        {[&] { form->ZoomPreset(5); }, {"5%"}},         {[&] { form->ZoomPreset(100); }, {"100%"}}};
    for (const auto& [step, shown] : steps) {
        step();
        EXPECT_EQ(checked(), shown) << form->Model().ViewZoom().Factor();
    }
}

// Records the cursor a widget takes at every change.
class CursorLog : public QObject {
public:
    std::vector<Qt::CursorShape> shapes;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::CursorChange)
            shapes.push_back(static_cast<QWidget*>(watched)->cursor().shape());
        return false;
    }
};

TEST_F(ImageFormTest, AFillShowsTheHourglassWhileItRuns)
{
    form->AFloodFill->trigger();
    form->Model().SetBrushColor(RGB(200, 0, 0));
    form->show();
    QApplication::processEvents();
    CursorLog log;
    form->Image1->installEventFilter(&log);
    Send(form->Image1, QEvent::MouseButtonPress, QPoint(101, 37), Qt::LeftButton);
    Send(form->Image1, QEvent::MouseButtonRelease, QPoint(101, 37), Qt::NoButton);
    form->Image1->removeEventFilter(&log);
    EXPECT_EQ(form->Model().Picture().Pixel(0, 255), RGB(200, 0, 0));
    ASSERT_GE(log.shapes.size(), 2u);
    EXPECT_EQ(log.shapes.front(), Qt::WaitCursor);
    EXPECT_NE(log.shapes.back(), Qt::WaitCursor);
}

TEST_F(ImageFormTest, TheSizeSpinsResizeThePictureAndMarkAnEdit)
{
    form->CSWidth->setValue(300);
    EXPECT_EQ(form->Model().Width(), 300);
    EXPECT_EQ(form->Image1->width(), 300);
    EXPECT_TRUE(form->Model().Modified());
    form->show();
    boxes.Queue(Answer::Cancel);
    form->close();
    EXPECT_TRUE(form->isVisible()); // cancelled: still open
    boxes.Queue(Answer::No);
    form->close();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ImageFormTest, TextPageFollowsTheTextTool)
{
    form->AText->trigger();
    EXPECT_EQ(form->PCImage->currentWidget(), form->ImageFont);
    form->BitBtn1->click();
    EXPECT_EQ(form->PCImage->currentWidget(), form->ImageTool);
    EXPECT_TRUE(form->ASelect->isChecked());
    form->APicture->trigger();
    EXPECT_EQ(form->PCImage->currentWidget(), form->ImagePicture);
    EXPECT_FALSE(form->CBImageTrans->isChecked());
    // A drawing tool brings back the page with its pen and brush bars.
    form->AEllipse->trigger();
    EXPECT_EQ(form->PCImage->currentWidget(), form->ImageTool);
    EXPECT_TRUE(form->BrushBar->isVisibleTo(form.get()));
}

TEST(ZoomedPart, OnlyThePartAskedForIsMade)
{
    Bitmap pic(4096, 4096);
    pic.Fill(clWhite);
    pic.SetPixel(4095, 4095, RGB(255, 0, 0));
    // 16x: the view is 65536 pixels a side; the part costs its own size.
    const QImage part = ZoomedPart(pic, QSize(4096, 4096), QSize(65536, 65536), QRect(65520, 65520, 32, 32));
    EXPECT_EQ(part.size(), QSize(16, 16)); // clipped to the view
    EXPECT_EQ(part.pixel(0, 0), qRgb(255, 0, 0));
    const QImage corner = ZoomedPart(pic, QSize(4096, 4096), QSize(65536, 65536), QRect(65504, 65504, 16, 16));
    EXPECT_EQ(corner.pixel(15, 15), qRgb(255, 255, 255));
    // Half size: every other source pixel.
    Bitmap stripes(8, 1);
    for (int x = 0; x < 8; ++x)
        stripes.SetPixel(x, 0, x % 2 ? clBlack : clWhite);
    const QImage half = ZoomedPart(stripes, QSize(8, 1), QSize(4, 1), QRect(0, 0, 4, 1));
    EXPECT_EQ(half.pixel(0, 0), qRgb(0, 0, 0)); // the centre of view pixel 0 is source pixel 1
}

} // namespace
} // namespace pc::editor::test
