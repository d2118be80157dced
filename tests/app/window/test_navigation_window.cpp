// The main window's navigation, preview sizing and small commands, driven
// through its widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabWidget>
#include <QTabBar>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <filesystem>

#include "app/window/camera_navigation.h"
#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/preview_fit.h"
#include "app/window/preview_panel.h"
#include "app/window/window_commands.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/track_bar.h"
#include "scene/pages/kind_controls.h"
#include "scene/pages/object_page.h"
#include "tests/support/test_data.h"
#include "scene/pages/value_box.h"

namespace {

using namespace pc;

struct NoSettings : AppSettings {
    int StartMode() const override { return 2; }
    bool SoftwareRender() const override { return true; }
    int PixelsFormat() const override { return 0; }
};

class NavigationWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolderForTesting(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
        w = std::make_unique<TFormMainQV7K>(std::make_unique<NoSettings>(), QStringList{});
        w->show();
        w->FormCreate();
        w->OpenDocument = [this](const std::string& target) { opened.push_back(target); };
        QApplication::processEvents();
    }
    void TearDown() override
    {
        w.reset();
        SetProgramFolderForTesting("");
    }

    void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons held, Qt::KeyboardModifiers mods = {})
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent e(type, QPointF(at), QPointF(w->Panel1->mapToGlobal(at)), button, held, mods);
        QApplication::sendEvent(w->Panel1, &e);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers mods = {})
    {
        Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, mods);
        Mouse(QEvent::MouseMove, to, Qt::LeftButton, mods);
        Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton, mods);
    }
    void Wheel(QWidget* target, int delta)
    {
        const QPointF at(5, 5);
        QWheelEvent e(at, QPointF(target->mapToGlobal(at.toPoint())), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &e);
    }
    static void Key(QWidget* target, int key, const QString& text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }
    static void Type(QWidget* target, const QString& text)
    {
        for (QChar c : text)
            Key(target, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_A + (c.toUpper().unicode() - 'A'), c);
    }
    static TrackBar* Bar(QSlider* s) { return qobject_cast<TrackBar*>(s); }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    std::unique_ptr<TFormMainQV7K> w;
    std::vector<std::string> opened;
};

TEST_F(NavigationWindowTest, DragAndWheelMoveTheCameraTrackBars)
{
    w->PC->setCurrentWidget(w->TSCamera);
    const float angle = w->CameraOrbitAngle;
    Drag({50, 50}, {80, 60});
    EXPECT_FALSE(w->IsDragging);
    EXPECT_EQ(w->TBCameraY->value(), 20);
    EXPECT_FLOAT_EQ(w->CameraOrbitAngle, TurnAngle(angle, 30));
    const float r = OrbitRadius(-200, 400);
    EXPECT_EQ(w->TBCameraX->value(), int(OrbitX(r, w->CameraOrbitAngle)));
    EXPECT_EQ(w->TBCameraZ->value(), int(OrbitZ(r, w->CameraOrbitAngle)));
    EXPECT_FALSE(w->Panel1->Frame().isNull()); // each drag step draws at once

    CameraBars expected;
    expected.x = {w->TBCameraX->value(), -1600, 1600};
    expected.z = {w->TBCameraZ->value(), -1600, 1600};
    expected.orbitAngle = w->CameraOrbitAngle;
    LightBars unused;
    WheelStep(false, 120, expected, unused);
    Wheel(w->Panel1, 120);
    EXPECT_EQ(w->TBCameraX->value(), expected.x.position);
    EXPECT_EQ(w->TBCameraZ->value(), expected.z.position);
    // Over the scroll box around the panel the wheel zooms too.
    WheelStep(false, 120, expected, unused);
    Wheel(w->SB->viewport(), 120);
    EXPECT_EQ(w->TBCameraX->value(), expected.x.position);

    w->BitBtn1->click();
    EXPECT_EQ(w->TBCameraX->value(), -200);
    EXPECT_EQ(w->TBCameraY->value(), 1);
    EXPECT_EQ(w->TBCameraZ->value(), 400);
    EXPECT_FLOAT_EQ(w->CameraOrbitAngle, float(std::atan2(400.0, -200.0)));
}

TEST_F(NavigationWindowTest, AMousePassingOverTheWindowDrawsNothing)
{
    auto floor = [this] {
        const QImage& f = w->Panel1->Frame();
        return f.pixel(f.width() / 2, f.height() - 2) & 0xFFFFFFu;
    };
    QApplication::processEvents();
    w->AppIdle();
    ASSERT_EQ(floor(), 0xFFFFFFu);
    w->ImageFloor->BrushColor = RGB(0, 0, 255); // shows with the next frame
    QWidget* tracked = w->Label3; // a widget that follows the mouse, as some do
    tracked->setMouseTracking(true);
    QMouseEvent hover(QEvent::MouseMove, QPointF(3, 3), QPointF(tracked->mapToGlobal(QPoint(3, 3))), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(tracked, &hover);
    QApplication::processEvents();
    EXPECT_EQ(floor(), 0xFFFFFFu);
    Mouse(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, {5, 5}, Qt::NoButton);
    QApplication::processEvents();
    EXPECT_EQ(floor(), 0x0000FFu);
}

TEST_F(NavigationWindowTest, DragsEndWhereverTheButtonComesUp)
{
    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    ASSERT_TRUE(w->IsDragging);
    Mouse(QEvent::MouseButtonRelease, {-40, 900}, Qt::NoButton); // outside the panel
    EXPECT_FALSE(w->IsDragging);

    // A release the panel never saw: the next move without the button ends it.
    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    const int y = w->TBCameraY->value();
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 90), QPointF(), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    w->Panel1MouseMove(&move);
    EXPECT_FALSE(w->IsDragging);
    EXPECT_EQ(w->TBCameraY->value(), y);

    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(w.get(), &deactivate);
    EXPECT_FALSE(w->IsDragging);

    Mouse(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
    QFocusEvent lost(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->Panel1, &lost);
    EXPECT_FALSE(w->IsDragging);
}

TEST_F(NavigationWindowTest, LightPageMovesTheLightAndKeysStepIt)
{
    w->PC->setCurrentWidget(w->TSLight);
    Drag({50, 50}, {50, 70});
    EXPECT_EQ(w->TBLightY->value(), 280);
    EXPECT_EQ(w->TBCameraY->value(), 10);
    Key(w->Panel1, Qt::Key_Down);
    EXPECT_NEAR(OrbitRadius(w->TBLightX->value(), w->TBLightZ->value()), OrbitRadius(300, 300) + 0.1, 0.015);
    Key(w->Panel1, Qt::Key_PageDown);
    EXPECT_NEAR(OrbitRadius(w->TBLightX->value(), w->TBLightZ->value()), OrbitRadius(300, 300) + 0.2, 0.03);
}

TEST_F(NavigationWindowTest, ObjectsPageDragMovesTheObjectUnlessLocked)
{
    ASSERT_GE(w->AddObject(kKindBox), 0);
    w->PC->setCurrentWidget(w->TSObject);
    auto* page = qobject_cast<GLTSObject*>(w->PC2->currentWidget());
    ASSERT_NE(page, nullptr);
    const int x = page->Position(kRowPosition, kColX), z = page->Position(kRowPosition, kColZ);
    const int cameraX = w->TBCameraX->value();
    Drag({50, 50}, {54, 47});
    EXPECT_EQ(page->Position(kRowPosition, kColX), x + 4);
    EXPECT_EQ(page->Position(kRowPosition, kColZ), z - 3);
    EXPECT_EQ(w->TBCameraX->value(), cameraX);

    page->DragLocks[kRowPosition]->setChecked(true);
    Drag({50, 50}, {60, 50});
    EXPECT_EQ(page->Position(kRowPosition, kColX), x + 4);
    EXPECT_NE(w->TBCameraX->value(), cameraX);
}

TEST_F(NavigationWindowTest, WidthAndHeightEditsSetTheOutputAndThePreviewFollows)
{
    Type(w->EditW, "ab");
    EXPECT_EQ(w->EditW->text(), "400");
    w->EditW->selectAll();
    Type(w->EditW, "3000");
    w->EditH->selectAll();
    Type(w->EditH, "2000");
    EXPECT_EQ(w->TBWidth->value(), 3000);
    EXPECT_EQ(w->TBHeight->value(), 2000);
    const QSize client = w->SB->viewport()->size();
    const PanelSize fit = FitPreview(3000, 2000, client.width(), client.height(), false);
    EXPECT_EQ(w->Panel1->size(), QSize(fit.width, fit.height));
    EXPECT_NEAR(double(w->Panel1->width()) / w->Panel1->height(), 1.5, 0.01);

    w->EditW->selectAll();
    Key(w->EditW, Qt::Key_Backspace);
    EXPECT_EQ(w->TBWidth->value(), 1);

    // The sliders write the edits back.
    w->TBHeight->setValue(600);
    EXPECT_EQ(w->EditH->text(), "600");

    w->QuickView->setChecked(true);
    w->TBWidth->setValue(800);
    EXPECT_EQ(w->Panel1->size(), QSize(200, 150));
    EXPECT_TRUE(w->Label15->isVisibleTo(w.get()));
}

TEST_F(NavigationWindowTest, SizeBoxesShowTheClampedSideOnceLeft)
{
    QApplication::setActiveWindow(w.get());
    w->PC->setCurrentWidget(w->TSExport);
    struct Case {
        QLineEdit* box;
        const char* typed;
        int side;
        const char* whileTyping;
        const char* left;
    } cases[] = {
        {w->EditW, "5000", 4096, "5000", "4096"}, {w->EditW, "0", 1, "0", "1"},   {w->EditW, "", 1, "", "1"},
        {w->EditH, "4097", 4096, "4097", "4096"}, {w->EditH, "4096", 4096, "4096", "4096"},
        {w->EditH, "007", 7, "007", "7"},        {w->EditW, "12x3", 123, "123", "123"},
    };
    for (const Case& c : cases) {
        QSlider* bar = c.box == w->EditW ? w->TBWidth : w->TBHeight;
        QTest::mouseClick(c.box, Qt::LeftButton);
        c.box->selectAll();
        QTest::keyClick(c.box, Qt::Key_Backspace);
        QTest::keyClicks(c.box, c.typed);
        EXPECT_EQ(bar->value(), c.side) << c.typed;
        EXPECT_EQ(c.box->text(), c.whileTyping) << c.typed;
        QTest::keyClick(c.box, Qt::Key_Tab);
        EXPECT_EQ(c.box->text(), c.left) << c.typed;
    }
    // Return finishes the typing too.
    QTest::mouseClick(w->EditW, Qt::LeftButton);
    w->EditW->selectAll();
    QTest::keyClicks(w->EditW, "9999");
    QTest::keyClick(w->EditW, Qt::Key_Return);
    EXPECT_EQ(w->EditW->text(), "4096");
}

TEST_F(NavigationWindowTest, SizePresetsSetBothSides)
{
    ASSERT_EQ(w->PopupMenu1->actions().size(), 20);
    w->PC->setCurrentWidget(w->TSExport);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(4, 4), QPointF(w->GroupBox10->mapToGlobal(QPoint(4, 4))),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->GroupBox10, &release);
    EXPECT_TRUE(w->PopupMenu1->isVisible());
    w->PopupMenu1->hide();
    QAction* preset = w->PopupMenu1->actions().at(15);
    ASSERT_EQ(preset->text(), "468 X 60");
    preset->trigger();
    EXPECT_EQ(w->TBWidth->value(), 468);
    EXPECT_EQ(w->TBHeight->value(), 60);
    EXPECT_EQ(w->EditW->text(), "468");
}

// Every scene track bar that carries the floating editor, with its page.
std::vector<std::pair<TrackBar*, QWidget*>> EditedBars(TFormMainQV7K& w)
{
    std::vector<std::pair<TrackBar*, QWidget*>> bars;
    for (QWidget* page : {w.TSFloor, w.TSLight, w.TSCamera, w.TSExport})
        for (TrackBar* bar : page->findChildren<TrackBar*>())
            bars.push_back({bar, page});
    return bars;
}

// The window's visible controls other than the floating editor, in window coordinates.
std::vector<std::pair<QWidget*, QRect>> VisibleControls(TFormMainQV7K& w)
{
    std::vector<std::pair<QWidget*, QRect>> controls;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractSlider*>(c) || qobject_cast<QAbstractButton*>(c) ||
                             qobject_cast<QLineEdit*>(c) || qobject_cast<QLabel*>(c) || qobject_cast<QTabBar*>(c) ||
                             qobject_cast<PictureBox*>(c);
        if (control && c->isVisible() && c != w.tbEdit && !w.tbPanel->isAncestorOf(c))
            controls.push_back({c, QRect(c->mapTo(&w, QPoint(0, 0)), c->size())});
    }
    return controls;
}

TEST_F(NavigationWindowTest, FloatingEditorShowsBesideTheBarTheUserFocusesAndCoversNothing)
{
    QApplication::setActiveWindow(w.get());
    w->BTransparent->click(); // shows the floor and background groups
    w->ImageFloor->Tag = 1;   // and their tiling bars
    w->ImageBackground->Tag = 1;
    w->UpdateActions();
    const auto bars = EditedBars(*w);
    ASSERT_EQ(bars.size(), 22u);
    for (const auto& [bar, page] : bars) {
        w->PC->setCurrentWidget(page);
        QApplication::processEvents();
        ASSERT_TRUE(bar->isVisible());
        bar->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(w->Values->Bar(), bar);
        ASSERT_TRUE(w->tbPanel->isVisible());
        EXPECT_EQ(w->tbEdit->text(), QString::number(bar->value()));
        const QRect box = w->tbPanel->geometry();
        const QRect at(bar->mapTo(w.get(), QPoint(0, 0)), bar->size());
        const QWidget* group = bar->parentWidget();
        EXPECT_TRUE(QRect(group->mapTo(w.get(), QPoint(0, 0)), group->size()).contains(box)) << "inside its group";
        EXPECT_TRUE(box.center().y() >= at.top() && box.center().y() <= at.bottom()) << "beside its bar";
        for (const auto& [control, rect] : VisibleControls(*w))
            EXPECT_FALSE(box.intersects(rect)) << "the editor of the bar at " << at.x() << "," << at.y()
                                               << " covers a " << control->metaObject()->className() << " at "
                                               << rect.x() << "," << rect.y();
    }
    w->ImageFloor->Tag = w->ImageBackground->Tag = 0; // no textures behind them
}

TEST_F(NavigationWindowTest, FloatingEditorStaysAwayAfterAPageSwitch)
{
    QApplication::setActiveWindow(w.get());
    w->PC->setCurrentWidget(w->TSLight);
    QTest::mouseClick(w->TBLightY, Qt::LeftButton, {}, QPoint(2, w->TBLightY->height() / 2));
    ASSERT_EQ(w->Values->Bar(), w->TBLightY);
    const int y = w->TBLightY->value();
    for (QWidget* page : {w->TSCamera, w->TSExport, w->TSFloor}) {
        w->PC->setCurrentWidget(page);
        EXPECT_FALSE(w->tbPanel->isVisible());
        EXPECT_EQ(w->Values->Bar(), nullptr);
        // Digits typed now move no bar of the new page.
        std::vector<int> before;
        for (TrackBar* bar : page->findChildren<TrackBar*>())
            before.push_back(bar->value());
        QTest::keyClicks(QApplication::focusWidget(), "12");
        std::vector<int> after;
        for (TrackBar* bar : page->findChildren<TrackBar*>())
            after.push_back(bar->value());
        EXPECT_EQ(after, before);
    }
    EXPECT_EQ(w->TBLightY->value(), y);
    // Focus set by the program rather than the user shows no editor either.
    w->PC->setCurrentWidget(w->TSCamera);
    w->TBCameraX->setFocus();
    EXPECT_FALSE(w->tbPanel->isVisible());
}

// Clicks a page's tab, as the user switches pages; the tab takes no focus.
void ClickTab(QTabWidget* tabs, QWidget* page)
{
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tabs->indexOf(page)).center());
    ASSERT_EQ(tabs->currentWidget(), page);
}

// Clicks a bar, then its value box, and types a number there.
void TypeInto(QWidget* bar, QLineEdit* box, const char* number)
{
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(2, bar->height() / 2));
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, number);
    QTest::keyClick(box, Qt::Key_Return);
}

TEST_F(NavigationWindowTest, ValueBoxLeavesWithItsPageAndTypingMovesOnlyTheBarBesideIt)
{
    QApplication::setActiveWindow(w.get());
    w->BTransparent->click(); // shows the floor group
    struct Switch {
        QWidget* from;
        QSlider* typed; // the bar whose box was typed into
        QWidget* to;
        QSlider* beside; // the bar of the new page in the row where the box stood
    };
    for (Switch s : {Switch{w->TSCamera, w->TBCameraX, w->TSLight, w->TBLightX},
                     Switch{w->TSFloor, w->TBFloor_alpha, w->TSLight, w->AmbientStrength}}) {
        ClickTab(w->PC, s.from);
        ASSERT_TRUE(s.typed->isVisible());
        TypeInto(s.typed, w->tbEdit, "0");
        ASSERT_EQ(s.typed->value(), 0);
        ASSERT_TRUE(w->tbPanel->isVisible());
        ClickTab(w->PC, s.to);
        EXPECT_FALSE(w->tbPanel->isVisible());
        EXPECT_EQ(w->Values->Bar(), nullptr);
        const int besideWas = s.beside->value();
        QTest::keyClicks(w->tbEdit, "30");
        QTest::keyClicks(QApplication::focusWidget(), "30");
        EXPECT_EQ(s.typed->value(), 0) << "a bar of a hidden page";
        EXPECT_EQ(s.beside->value(), besideWas);
        TypeInto(s.beside, w->tbEdit, "31");
        EXPECT_EQ(s.beside->value(), 31);
        EXPECT_EQ(s.typed->value(), 0);
        ClickTab(w->PC, s.from);
        EXPECT_FALSE(w->tbPanel->isVisible()) << "the box of a bar left behind";
    }

    // A window minimised and back keeps the box where it was.
    ClickTab(w->PC, w->TSCamera);
    TypeInto(w->TBCameraY, w->tbEdit, "5");
    w->showMinimized();
    QApplication::processEvents();
    w->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(w->Values->Bar(), w->TBCameraY);

    // An object page's own box: left with its object page and with the Objects page.
    ClickTab(w->PC, w->TSObject);
    const int first = w->AddObject(kKindBox);
    const int second = w->AddObject(kKindBox);
    ASSERT_GE(second, 0);
    GLTSObject& a = *w->Objects.At(first);
    GLTSObject& b = *w->Objects.At(second);
    for (QWidget* away : {static_cast<QWidget*>(w->TSLight), static_cast<QWidget*>(&b)}) {
        ClickTab(w->PC, w->TSObject);
        ClickTab(w->PC2, &a);
        TrackBar* sizeX = a.TrackbarTable[kRowSize][kColX];
        TypeInto(sizeX, a.ValueEdit, "77");
        ASSERT_EQ(sizeX->Position(), 77);
        ClickTab(away == &b ? w->PC2 : w->PC, away);
        EXPECT_EQ(a.Values->Bar(), nullptr);
        QTest::keyClicks(a.ValueEdit, "5");
        QTest::keyClicks(QApplication::focusWidget(), "5");
        EXPECT_EQ(sizeX->Position(), 77) << "a bar of a hidden page";
        EXPECT_EQ(b.TrackbarTable[kRowSize][kColX]->Position(), 180);
        ClickTab(w->PC, w->TSObject);
        ClickTab(w->PC2, &a);
        EXPECT_FALSE(a.ValueEdit->isVisible()) << "the box came back with its page";
    }
}

TEST_F(NavigationWindowTest, FloatingEditorTakesNumbersKeepsTheValueWhenEmptiedAndEscapeRestores)
{
    QApplication::setActiveWindow(w.get());
    w->PC->setCurrentWidget(w->TSCamera);
    w->TBCameraX->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(w->tbPanel->isVisible());
    EXPECT_EQ(w->tbEdit->text(), "-200");
    QTest::keyClick(w->TBCameraX, Qt::Key_Right);
    EXPECT_EQ(w->tbEdit->text(), "-199");

    QTest::mouseClick(w->tbEdit, Qt::LeftButton);
    ASSERT_TRUE(w->tbPanel->isVisible());
    w->tbEdit->selectAll();
    QTest::keyClicks(w->tbEdit, "120");
    EXPECT_EQ(w->TBCameraX->value(), 120);
    struct Step {
        const char* keys; // '<' Backspace
        const char* text;
        int value;
    };
    // Each Backspace is an edit: 12, then 1; the emptied editor leaves the bar at 1.
    for (Step s : {Step{"<<<", "", 1}, Step{"ab", "", 1}, Step{"-", "-", 1}, Step{"5", "-5", -5},
                   Step{"x7", "-57", -57}, Step{"<<<", "", -5}, Step{"9999", "9999", 1600}}) {
        for (const char* k = s.keys; *k; ++k)
            if (*k == '<')
                QTest::keyClick(w->tbEdit, Qt::Key_Backspace);
            else
                QTest::keyClicks(w->tbEdit, QString(QChar(*k)));
        EXPECT_EQ(w->tbEdit->text(), s.text) << "after " << s.keys;
        EXPECT_EQ(w->TBCameraX->value(), s.value) << "after " << s.keys;
    }
    // Escape puts back the value of when the editor appeared, from the editor and from the bar.
    QTest::keyClick(w->tbEdit, Qt::Key_Escape);
    EXPECT_EQ(w->TBCameraX->value(), -200);
    EXPECT_EQ(w->tbEdit->text(), "-200");
    EXPECT_TRUE(w->tbPanel->isVisible());
    QTest::mouseClick(w->TBCameraX, Qt::LeftButton, {}, QPoint(2, w->TBCameraX->height() / 2));
    QTest::keyClicks(w->TBCameraX, "35");
    EXPECT_EQ(w->TBCameraX->value(), 35);
    QTest::keyClick(w->TBCameraX, Qt::Key_Escape);
    EXPECT_EQ(w->TBCameraX->value(), -200);

    // The bar clamps each digit, the editor keeps what was typed: 45 can be typed into 30..75.
    w->TBCameraLookAtA->setFocus(Qt::BacktabFocusReason);
    QTest::mouseClick(w->tbEdit, Qt::LeftButton);
    w->tbEdit->selectAll();
    QTest::keyClicks(w->tbEdit, "4");
    EXPECT_EQ(w->TBCameraLookAtA->value(), 30);
    EXPECT_EQ(w->tbEdit->text(), "4");
    QTest::keyClicks(w->tbEdit, "5");
    EXPECT_EQ(w->TBCameraLookAtA->value(), 45);
    QTest::keyClick(w->tbEdit, Qt::Key_Escape);
    EXPECT_EQ(w->TBCameraLookAtA->value(), 37);

    // The focus left for elsewhere: the editor goes.
    w->BitBtn1->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(w->tbPanel->isVisible());
    EXPECT_EQ(w->Values->Bar(), nullptr);
}

TEST_F(NavigationWindowTest, DigitsTypedOnAFocusedTrackBar)
{
    TrackBar* x = Bar(w->TBCameraX);
    std::vector<int> seen;
    for (const char* d : {"1", "2", "0"}) {
        Key(x, Qt::Key_0 + (d[0] - '0'), d);
        seen.push_back(x->value());
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 12, 120}));

    TrackBar* y = Bar(w->TBLightY);
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        Key(y, Qt::Key_9, "9");
        seen.push_back(y->value());
    }
    EXPECT_EQ(seen, (std::vector<int>{9, 99, 800, 9}));

    TrackBar* lx = Bar(w->TBLightX);
    Key(lx, Qt::Key_Minus, "-");
    Key(lx, Qt::Key_5, "5");
    EXPECT_EQ(lx->value(), -5);
}

TEST_F(NavigationWindowTest, UncheckingTransparentBackgroundShowsFloorAndBackground)
{
    ASSERT_TRUE(w->BTransparent->isChecked());
    EXPECT_TRUE(w->GroupBox8->isHidden());
    w->PC->setCurrentWidget(w->TSExport);
    w->BTransparent->click();
    EXPECT_FALSE(w->GroupBox8->isHidden());
    EXPECT_FALSE(w->GroupBox9->isHidden());

    w->ImageFloor->BrushColor = RGB(10, 20, 30);
    w->BTransparent->click();
    EXPECT_TRUE(w->GroupBox8->isHidden());
    EXPECT_TRUE(w->GroupBox9->isHidden());
    EXPECT_EQ(w->ImageFloor->BrushColor, clWhite);
    EXPECT_EQ(w->ImageBackground->BrushColor, clWhite);
}

TEST_F(NavigationWindowTest, UpdateStepFollowsObjectsAndPictures)
{
    w->UpdateActions();
    EXPECT_FALSE(w->ACopyObj->isEnabled());
    EXPECT_TRUE(w->Label10->isHidden());
    ASSERT_GE(w->AddObject(kKindBox), 0);
    w->ImageFloor->Tag = 9;
    w->UpdateActions();
    EXPECT_TRUE(w->ACopyObj->isEnabled());
    EXPECT_FALSE(w->Label10->isHidden());
    EXPECT_FALSE(w->TBfstv->isHidden());
    EXPECT_TRUE(w->TBbth->isHidden());
    w->ImageFloor->Tag = 0;
    w->UpdateActions();
    EXPECT_TRUE(w->TBfsth->isHidden());
}

TEST_F(NavigationWindowTest, HelpAboutAndHomePage)
{
    EXPECT_TRUE(w->Contents1->isEnabled());
    EXPECT_TRUE(w->About1->isEnabled());
    SetProgramFolderForTesting(std::string(PRISMCASE_BINARY_DIR) + "/");
    w->Contents1->trigger();
    test::TempDir empty;
    SetProgramFolderForTesting(empty.path().string() + "/");
    w->Contents1->trigger();
    w->Homepage1->trigger();
    emit w->Label3->linkActivated(kProductWebAddress);
    boxes.Queue(Answer::Yes);
    w->About1->trigger();
    boxes.Queue(Answer::No);
    w->About1->trigger();
    EXPECT_EQ(opened, (std::vector<std::string>{std::string(PRISMCASE_BINARY_DIR) + "/help.html", kProductWebAddress,
                                                kProductWebAddress, kProductWebAddress, kProductWebAddress}));
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].caption, "About");
    EXPECT_EQ(boxes.Shown()[0].owner, w.get());
    EXPECT_NE(boxes.Shown()[0].text.find(w->PixelFormatInfoText), std::string::npos);
    EXPECT_TRUE(w->Label3->text().contains(kProductWebAddress));
}

TEST_F(NavigationWindowTest, ClearLoadsItsProject)
{
    ASSERT_GE(w->AddObject(kKindBox), 0);
    w->TBCameraX->setValue(700);
    w->OpenDialog1FileName = "/somewhere/else.qv7kb";
    boxes.Queue(Answer::No);
    w->ARemoveAllObjs->trigger();
    EXPECT_EQ(w->PC2->count(), 0);
    EXPECT_EQ(w->TBCameraX->value(), -200);
    EXPECT_EQ(w->OpenDialog1FileName, "/somewhere/else.qv7kb");
    EXPECT_EQ(w->ALoadTemplate->Tag, 0);
    EXPECT_EQ(boxes.AnswersLeft(), 0u);
}

TEST_F(NavigationWindowTest, ClearWithoutItsProjectResetsTheScene)
{
    test::TempDir empty;
    SetProgramFolderForTesting(empty.path().string() + "/");
    ASSERT_GE(w->AddObject(kKindBox), 0);
    w->TBCameraX->setValue(700);
    w->TBWidth->setValue(900);
    w->BTransparent->click();
    boxes.Queue(Answer::Cancel);
    w->ARemoveAllObjs->trigger();
    EXPECT_EQ(w->PC2->count(), 1); // cancelled: nothing changes
    boxes.Queue(Answer::No);
    w->ARemoveAllObjs->trigger();
    EXPECT_EQ(w->PC2->count(), 0);
    EXPECT_EQ(w->TBCameraX->value(), -200);
    EXPECT_EQ(w->TBWidth->value(), 400);
    EXPECT_TRUE(w->BTransparent->isChecked());
    EXPECT_TRUE(w->GroupBox8->isHidden());
    EXPECT_EQ(boxes.AnswersLeft(), 0u);
}

TEST_F(NavigationWindowTest, ClipboardPictureGoesIntoTheChosenBox)
{
    w->CurrentBox = w->ImageFloor;
    QApplication::clipboard()->clear();
    w->LoadFromClipboard1->trigger();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "There is no bitmap image in clipboard.");
    EXPECT_EQ(w->ImageFloor->Tag, 0);

    Bitmap picture(8, 6, PixelFormat::pf24bit);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            picture.SetPixel(x, y, RGB(uint8_t(x * 30), 40, uint8_t(y * 40)));
    clipboard::SetBitmap(picture);
    w->LoadFromClipboard1->trigger();
    EXPECT_EQ(boxes.Shown().size(), 1u) << boxes.Shown().back().text;
    EXPECT_NE(w->ImageFloor->Tag, 0);
}

} // namespace
