#include <gtest/gtest.h>

#include <GL/gl.h>
#include <QApplication>
#include <QMenuBar>
#include <QMenu>
#include <QSet>
#include <QSlider>
#include <QStyle>
#include <QTest>
#include <QTabWidget>
#include <QLabel>
#include <filesystem>
#include <fstream>

#include "app/window/main_window.h"
#include "app/window/picture_box.h"
#include "app/window/preview_panel.h"
#include "platform/errors.h"
#include "platform/gl_context.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/value_box.h"

namespace {

using namespace pc;
namespace fs = std::filesystem;

struct FakeSettings : AppSettings {
    int startMode = 2;
    bool software = true;
    int pixelsFormat = 0;
    int StartMode() const override { return startMode; }
    bool SoftwareRender() const override { return software; }
    int PixelsFormat() const override { return pixelsFormat; }
};

class MainWindowTest : public testing::Test {
protected:
    std::unique_ptr<TFormMainQV7K> Make(FakeSettings s = {}, QStringList args = {})
    {
        return std::make_unique<TFormMainQV7K>(std::make_unique<FakeSettings>(s), args);
    }
    // Adds a stand-in object page so the close question applies.
    static void AddObjectPage(TFormMainQV7K& w) { w.PC2->addTab(new QWidget, "Box (#0)"); }
    static TColor PanelPixel(TFormMainQV7K& w, int x, int y)
    {
        QRgb p = w.Panel1->Frame().pixel(x, y);
        return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
    }

    // The bottom middle of the preview looks down at the floor in front of the camera.
    static TColor FloorPixel(TFormMainQV7K& w)
    {
        return PanelPixel(w, w.Panel1->Frame().width() / 2, w.Panel1->Frame().height() - 2);
    }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
};

TEST_F(MainWindowTest, OpensWithPagesMenusAndPreviewInFloorColour)
{
    auto w = Make();
    w->show();
    w->FormCreate();

    QStringList pages;
    for (int i = 0; i < w->PC->count(); ++i)
        pages << w->PC->tabText(i);
    EXPECT_EQ(pages, QStringList({"Objects", "Environment", "Light", "Camera", "Export Picture"}));
    QStringList menus;
    for (QAction* a : w->menuBar()->actions())
        menus << a->text().remove('&');
    EXPECT_TRUE(menus.contains("File") && menus.contains("Settings") && menus.contains("Help")) << menus.join(",").toStdString();
    EXPECT_EQ(w->PC2->count(), 0);
    EXPECT_TRUE(w->Clear1->isChecked());
    EXPECT_TRUE(boxes.Shown().empty());

    ASSERT_TRUE(w->GLContext_);
    EXPECT_EQ(w->PixelFormatInfoText, "Software Rendering; Colors:32bits;  Depth:24bits;");
    EXPECT_FALSE(w->Label14->isVisibleTo(w.get()));
    EXPECT_FLOAT_EQ(w->ViewWidth, float(w->Panel1->width()));

    w->AppIdle();
    const QImage& frame = w->Panel1->Frame();
    ASSERT_EQ(frame.size(), w->Panel1->size());
    EXPECT_EQ(PanelPixel(*w, 0, 0), clWhite);
    w->ImageFloor->BrushColor = RGB(10, 200, 30);
    w->AppIdle();
    EXPECT_EQ(FloorPixel(*w), RGB(10, 200, 30));

    // The frames on the environment pictures: blue at (1, 1), brush inside.
    EXPECT_EQ(w->ImageFloor->CanvasPixel(1, 1), TColor(0xFF0000));
    EXPECT_EQ(w->ImageFloor->CanvasPixel(5, 5), clWhite);
}

TEST_F(MainWindowTest, PublishingBlocksIdleRender)
{
    auto w = Make();
    w->FormCreate();
    w->AppIdle();
    w->ImageFloor->BrushColor = RGB(0, 0, 255);
    w->APublish->Tag = 1;
    w->AppIdle();
    EXPECT_EQ(FloorPixel(*w), clWhite);
    w->APublish->Tag = 0;
    w->AppIdle();
    EXPECT_EQ(FloorPixel(*w), RGB(0, 0, 255));
}

TEST_F(MainWindowTest, DestroyRemovesWorkFolder)
{
    fs::path work;
    {
        auto w = Make();
        w->FormCreate();
        work = WorkFolder();
        std::ofstream(TextureFolder() + "5") << "x";
        std::ofstream(WorkFolder() + "temp.bmp") << "x";
        ASSERT_TRUE(fs::exists(work / "Texture" / "5"));
        AddObjectPage(*w);
        boxes.Queue(Answer::No);
        EXPECT_TRUE(w->close());
    }
    EXPECT_FALSE(fs::exists(work));
}

struct CloseCase {
    const char* name;
    bool hasObjects;
    int loadTag;
    std::optional<Answer> answer; // none: no question expected
    enum Save { NoHandler, Completes, Cancelled, Fails } save;
    bool closes;
};

class CloseQuestion : public MainWindowTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestion, DecidesWhetherWindowCloses)
{
    const auto& c = GetParam();
    auto w = Make();
    w->show();
    if (c.hasObjects)
        AddObjectPage(*w);
    w->ALoadTemplate->Tag = c.loadTag;
    int saves = 0;
    if (c.save == CloseCase::NoHandler)
        w->SaveProjectHandler = nullptr; // the window's own writer would show its dialog
    else
        w->SaveProjectHandler = [&] {
            ++saves;
            if (c.save == CloseCase::Fails)
                throw Error("Disk full");
            if (c.save == CloseCase::Completes)
                w->SaveAsTemplate->Tag = 0;
        };
    if (c.answer)
        boxes.Queue(*c.answer);

    EXPECT_EQ(w->close(), c.closes);
    EXPECT_EQ(boxes.AnswersLeft(), 0u);
    if (c.answer) {
        ASSERT_GE(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text,
                  "Current project will be closed.\nDo you want to save current project before next operation?");
        EXPECT_EQ(boxes.Shown()[0].caption, "Question");
        EXPECT_EQ(boxes.Shown()[0].buttons, Buttons::YesNoCancel);
    } else {
        EXPECT_TRUE(boxes.Shown().empty());
    }
    EXPECT_EQ(saves, c.answer == Answer::Yes && c.save != CloseCase::NoHandler ? 1 : 0);
    if (!c.closes) {
        EXPECT_EQ(w->PC2->count(), 1); // the scene is untouched
    }
    if (c.save == CloseCase::Fails) {
        EXPECT_EQ(boxes.Shown().back().text, "Disk full");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseQuestion,
    testing::Values(CloseCase{"EmptySceneClosesWithoutAsking", false, 0, {}, CloseCase::NoHandler, true},
                    CloseCase{"RelaunchClosesWithoutAsking", true, 3, {}, CloseCase::NoHandler, true},
                    CloseCase{"CancelKeepsWindow", true, 0, Answer::Cancel, CloseCase::Completes, false},
                    CloseCase{"NoClosesWithoutSaving", true, 1, Answer::No, CloseCase::Completes, true},
                    CloseCase{"YesSavesThenCloses", true, 0, Answer::Yes, CloseCase::Completes, true},
                    CloseCase{"YesButSaveCancelledKeepsWindow", true, 0, Answer::Yes, CloseCase::Cancelled, false},
                    CloseCase{"YesButSaveFailsKeepsWindow", true, 0, Answer::Yes, CloseCase::Fails, false},
                    CloseCase{"YesWithoutProjectWriterKeepsWindow", true, 0, Answer::Yes, CloseCase::NoHandler, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, RefusesResizeWhilePublishing)
{
    auto w = Make();
    w->show();
    w->resize(800, 600);
    QApplication::processEvents();
    w->APublish->Tag = 1;
    w->resize(900, 700);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(w->size(), QSize(800, 600));
    w->APublish->Tag = 0;
    w->resize(900, 700);
    QApplication::processEvents();
    EXPECT_EQ(w->size(), QSize(900, 700));
}

TEST_F(MainWindowTest, StartProjectFollowsArgumentThenStartMode)
{
    struct Seen {
        std::string file;
        int tag;
    };
    std::vector<Seen> loads;
    auto track = [&](TFormMainQV7K& w, bool fail) {
        w.LoadProjectHandler = [&, fail, wp = &w] {
            loads.push_back({wp->OpenDialog1FileName, wp->ALoadTemplate->Tag});
            if (fail)
                throw Error("Not a project file.");
        };
    };

    // A project on the command line, any case of the extension.
    auto w = Make({}, {"/tmp/scene.QV7KB"});
    track(*w, true);
    w->OpenDialog1FileName = "kept";
    w->FormCreate();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].file, "/tmp/scene.QV7KB");
    EXPECT_EQ(loads[0].tag, 1);
    EXPECT_EQ(w->ALoadTemplate->Tag, 0);
    EXPECT_EQ(w->OpenDialog1FileName, "kept");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Can not load file:\n/tmp/scene.QV7KB");

    // Start mode 1: the default project; the loader's own message only.
    loads.clear();
    FakeSettings one;
    one.startMode = 1;
    auto w1 = Make(one, {"notes.qv7kb.bak"});
    track(*w1, true);
    w1->FormCreate();
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(loads[0].file, ProgramFolder() + "Default.qv7kb");
    EXPECT_TRUE(w1->LoadDefautProject1->isChecked());
    EXPECT_EQ(boxes.Shown().back().text, "Not a project file.");

    // Start mode 0: the template browser.
    FakeSettings zero;
    zero.startMode = 0;
    auto w0 = Make(zero);
    int browsers = 0;
    w0->OpenTemplatesHandler = [&] { ++browsers; };
    w0->FormCreate();
    EXPECT_EQ(browsers, 1);
    EXPECT_TRUE(w0->LoadTemplates2->isChecked());
}

TEST_F(MainWindowTest, HandedOverProjectsWaitUntilIdle)
{
    auto w = Make();
    w->FormCreate();
    std::vector<std::string> loaded;
    w->LoadProjectHandler = [&] {
        loaded.push_back(w->OpenDialog1FileName);
        // A path arriving during a load must not start a load inside it.
        if (loaded.size() == 1) {
            w->QueueHandedOverProject("/b.qv7kb");
            QApplication::processEvents();
            EXPECT_EQ(loaded.size(), 1u);
        }
    };

    w->QueueHandedOverProject("/notes.txt"); // not a project: ignored
    w->APublish->Tag = 1;
    w->QueueHandedOverProject("/a.QV7KB");
    QApplication::processEvents();
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(w->PendingProjects(), 1u);

    w->APublish->Tag = 0;
    w->RequestIdle();
    for (int i = 0; i < 10 && loaded.size() < 2; ++i)
        QApplication::processEvents();
    EXPECT_EQ(loaded, (std::vector<std::string>{"/a.QV7KB", "/b.qv7kb"}));
    EXPECT_EQ(w->PendingProjects(), 0u);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(MainWindowTest, PixelFormatSettings)
{
    // A format number beyond the table: the automatic choice, menu unchecked.
    FakeSettings bad;
    bad.pixelsFormat = 99;
    auto w = Make(bad);
    w->FormCreate();
    EXPECT_TRUE(w->AdvanceRender->isChecked());
    EXPECT_EQ(w->PixelFormatNumber, 1);
    ASSERT_TRUE(w->GLContext_);
    for (QAction* a : w->AllDisMode1->actions())
        EXPECT_FALSE(a->isChecked());

    // Hardware wanted: our formats are shallower than asked, so the hint shows.
    FakeSettings hard;
    hard.software = false;
    auto h = Make(hard);
    h->FormCreate();
    EXPECT_TRUE(h->HardwareRender->isChecked());
    EXPECT_TRUE(h->Label14->isVisibleTo(h.get()));

    FakeSettings explicitOne;
    explicitOne.pixelsFormat = 3;
    auto e = Make(explicitOne);
    e->FormCreate();
    EXPECT_EQ(e->PixelFormatNumber, 3);
    bool checked = false;
    for (QAction* a : e->AllDisMode1->actions())
        checked |= a->isChecked() && static_cast<TaggedAction*>(a)->Tag == 3;
    EXPECT_TRUE(checked);
}

TEST_F(MainWindowTest, UnusableGLIsReportedAndWindowGoesOn)
{
    auto w = Make();
    w->PixelFormats = {};
    w->FormCreate();
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Create OpenGL Error!");
    EXPECT_FALSE(w->GLContext_);
    w->AppIdle();
    EXPECT_THROW(w->BeginOffscreenGL(8, 8), Error);
    EXPECT_TRUE(w->close());
}

TEST_F(MainWindowTest, OffscreenContextSharesAndReturnsBottomUpFrame)
{
    auto w = Make();
    w->FormCreate();
    ASSERT_TRUE(w->GLContext_);
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    const uint8_t texel[4] = {1, 2, 3, 4};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);

    w->BeginOffscreenGL(64, 32);
    EXPECT_TRUE(w->OffscreenActive());
    EXPECT_FALSE(w->GLContext_->IsCurrent());
    EXPECT_TRUE(glIsTexture(tex)) << "textures carry over to the off-screen context";
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 32);
    EXPECT_THROW(w->BeginOffscreenGL(8, 8), Error);
    w->AppIdle(); // must not draw into the off-screen frame

    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 64, 1); // GL's bottom row
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);

    Bitmap frame;
    w->EndOffscreenGL(frame);
    EXPECT_FALSE(w->OffscreenActive());
    ASSERT_EQ(frame.Width(), 64);
    ASSERT_EQ(frame.Height(), 32);
    EXPECT_EQ(frame.Bits(), 32);
    EXPECT_EQ(frame.Pixel(10, 31), RGB(255, 0, 0));
    EXPECT_EQ(frame.Pixel(10, 0), RGB(0, 0, 255));

    EXPECT_TRUE(w->GLContext_->IsCurrent());
    w->ImageFloor->BrushColor = RGB(0, 255, 0);
    w->AppIdle();
    EXPECT_EQ(FloorPixel(*w), RGB(0, 255, 0));
    EXPECT_THROW(w->EndOffscreenGL(frame), Error);
    glDeleteTextures(1, &tex);
}

TEST_F(MainWindowTest, ProjectionFollowsViewportAndAngle)
{
    auto w = Make();
    w->show();
    w->FormCreate();
    auto projection = [] {
        GLfloat m[16];
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        return std::pair{m[0], m[5]};
    };
    w->ResizeViewport(300, 0); // height 0 counts as 1
    auto [sx, sy] = projection();
    EXPECT_NEAR(sy / sx, 300.0, 1e-2);
    EXPECT_NEAR(sy, 1.0 / std::tan(37.0 * M_PI / 360.0), 1e-4);

    w->Panel1->setFixedSize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(w->GLContext_->Width(), 200);
    EXPECT_EQ(w->GLContext_->Height(), 100);
    auto [ax, ay] = projection();
    EXPECT_NEAR(ay / ax, 2.0, 1e-4);
}

TEST_F(MainWindowTest, ToolTipsWakeUpAfterTheHintPause)
{
    auto w = Make();
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), 100);
    const QStyle* style = QApplication::style();
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent);
    auto second = Make(); // one proxy, not one per window
    EXPECT_EQ(QApplication::style(), style);
    EXPECT_EQ(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent), scrollBar);
}

TEST_F(MainWindowTest, TheObjectsEntryOpensAgainAfterAnEmptyScene)
{
    auto w = Make();
    w->show();
    w->FormCreate();
    QMenu* settings = nullptr;
    for (QAction* a : w->menuBar()->actions())
        if (a->text().remove('&') == "Settings")
            settings = a->menu();
    ASSERT_NE(settings, nullptr);
    auto* empty = w->findChild<QAction*>("menuObjectsEmpty");
    ASSERT_NE(empty, nullptr);
    auto open = [&] {
        w->menuBar()->setActiveAction(settings->menuAction());
        QApplication::processEvents();
        settings->setActiveAction(w->menuObjects->menuAction()->isVisible() ? w->menuObjects->menuAction() : empty);
        QApplication::processEvents();
    };
    auto close = [&] {
        settings->hide();
        QApplication::processEvents();
    };

    // Empty scene: a plain item that shows the Objects page, no submenu of no size.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(empty->isVisible());
        EXPECT_FALSE(w->menuObjects->menuAction()->isVisible());
        open();
        EXPECT_FALSE(w->menuObjects->isVisible());
        close();
        w->PC->setCurrentWidget(w->TSCamera);
        empty->trigger();
        EXPECT_EQ(w->PC->currentWidget(), w->TSObject);
        if (round == 0) {
            w->ABox->trigger();
            ASSERT_EQ(w->menuObjects->actions().size(), 1);
            EXPECT_FALSE(empty->isVisible());
            open();
            EXPECT_TRUE(w->menuObjects->isVisible());
            EXPECT_FALSE(w->menuObjects->geometry().isEmpty());
            close();
            w->Delete->Tag = 1;
            w->Delete->trigger();
            w->Delete->Tag = 0;
            EXPECT_TRUE(w->menuObjects->isEmpty());
        }
    }
    // And again with objects: the submenu opens every time.
    w->ABox->trigger();
    for (int round = 0; round < 2; ++round) {
        open();
        EXPECT_TRUE(w->menuObjects->isVisible()) << "round " << round;
        EXPECT_FALSE(w->menuObjects->geometry().isEmpty());
        close();
    }
}

// The accelerator letter of a caption ("Save &as" -> 'a'), 0 when it has none.
QChar Accelerator(const QString& caption)
{
    const qsizetype at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

TEST_F(MainWindowTest, EveryMenuAndItemHasItsOwnAcceleratorLetter)
{
    auto w = Make();
    std::vector<QMenu*> menus = {w->PMTexture, w->findChild<QMenu*>("PMNew")};
    for (QAction* a : w->menuBar()->actions())
        menus.push_back(a->menu());
    std::vector<std::pair<QString, QList<QAction*>>> lists = {{"menu bar", w->menuBar()->actions()}};
    for (size_t i = 0; i < menus.size(); ++i) {
        ASSERT_NE(menus[i], nullptr);
        lists.push_back({menus[i]->title(), menus[i]->actions()});
        for (QAction* a : menus[i]->actions())
            if (a->menu() && a->menu() != w->AllDisMode1 && a->menu() != w->menuObjects) // lists made at run time
                menus.push_back(a->menu());
    }
    int items = 0;
    for (const auto& [title, actions] : lists) {
        QSet<QChar> used;
        for (QAction* a : actions) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QChar letter = Accelerator(a->text());
            EXPECT_TRUE(letter.isLetterOrNumber()) << title.toStdString() << ": " << a->text().toStdString();
            EXPECT_FALSE(used.contains(letter)) << title.toStdString() << ": " << a->text().toStdString();
            EXPECT_EQ(a->text().count('&'), 1) << a->text().toStdString();
            used.insert(letter);
            ++items;
        }
    }
    EXPECT_GE(items, 60);
}

TEST_F(MainWindowTest, AltAndTheLettersReachACommand)
{
    auto w = Make();
    w->show();
    w->FormCreate();
    QApplication::setActiveWindow(w.get());
    QApplication::processEvents();
    w->PC->setCurrentWidget(w->TSLight);
    w->TBLightX->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(w->tbPanel->isVisible());
    QTest::keyClick(w.get(), Qt::Key_S, Qt::AltModifier);
    QMenu* settings = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->title().remove('&'), "Settings");
    QTest::keyClick(settings, Qt::Key_C);
    EXPECT_EQ(w->PC->currentWidget(), w->TSCamera);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_FALSE(w->tbPanel->isVisible()); // the value editor stayed with the Light page
    EXPECT_EQ(w->Values->Bar(), nullptr);
}

} // namespace
