// "Save as template" and the template browser run from the main window: the
// template with its preview, what a cancelled or failed preview leaves, the
// start screen and what it writes into the settings file.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <filesystem>

#include "app/publish/bmp32_adjust.h"
#include "app/settings/settings_file.h"
#include "app/templates/template_dialog.h"
#include "app/window/publish_command.h"
#include "app/window/template_commands.h"
#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/ini_file.h"
#include "scene/pages/kind_controls.h"
#include "tests/app/window/window_fixture.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

class TemplateCommandsTest : public ProjectWindowTest {
protected:
    void SetUp() override
    {
        ProjectWindowTest::SetUp();
        // The user's templates folder is the program's: here, not in the sources.
        SetProgramFolderForTesting(dir.file("program/"));
        fs::create_directories(dir.file("program/templates"));
        window->Publisher->RunAdjustDialog = [](TBmp32Adj&) {};
        SettingsCommandsOf(*window)->SettingsFile = dir.file("prismcase.INI");
    }

    void SaveAsTemplate(const std::string& name)
    {
        saveAnswer = dir.file("program/templates/" + name);
        projects->ChooseSaveFile = [this](const std::string& proposed) {
            seenInitialDir = proposed;
            return saveAnswer;
        };
        projects->SaveAsTemplateExecute();
    }

    // A template with a box and a CD, written without the browser.
    std::string TwoObjectTemplate()
    {
        window->AddObject(kKindBox);
        window->AddObject(kKindCD);
        const std::string path = dir.file("program/templates/two.qv7kb");
        SaveSilently(path);
        boxes.Queue(Answer::No);
        Load(std::string(PRISMCASE_SOURCE_DIR) + "/data/Clear.qv7kb", kLoadPreset);
        return path;
    }

    // The browser as a user drives it: wait for the sheet, pick the first cell.
    static int PickFirst(TTemplate& browser, bool toggleStartScreen = false)
    {
        browser.show();
        QElapsedTimer guard;
        guard.start();
        // A fill has begun (the sheet exists) and is over.
        while (guard.elapsed() < 20000 && (browser.Sheet().Filling() || browser.Sheet().Sheet().Empty()))
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (toggleStartScreen)
            browser.CheckBox1->toggle();
        browser.Edit1KeyDown(Qt::Key_Down);
        browser.BitBtn1Click();
        return browser.result();
    }

    bool SettingsWritten() const { return fs::exists(dir.file("prismcase.INI")); }

    std::string seenInitialDir = "not asked";
};

// The main window starts in the middle of the screen (shrunk to it when it
// is larger), and the browser stands in the middle of the screen wherever
// the main window is.
TEST_F(TemplateCommandsTest, WindowAndBrowserAreCentredOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    auto centred = [&](QSize size) {
        size = size.boundedTo(screen.size());
        return QRect(QPoint(screen.x() + (screen.width() - size.width()) / 2,
                            screen.y() + (screen.height() - size.height()) / 2),
                     size);
    };
    TFormMainQV7K fresh(std::make_unique<DefaultSettings>(), QStringList{});
    EXPECT_EQ(QRect(fresh.pos(), fresh.size()), centred(QSize(960, 640)));

    window->resize(window->minimumSize());
    window->move(screen.x() + 3, screen.y() + 5);
    window->show();
    QRect seen;
    InstallTemplateCommands(*window).RunBrowser = [&](TTemplate& browser) {
        browser.show();
        QApplication::processEvents();
        seen = QRect(browser.pos(), browser.size());
        return int(kTemplateCancel);
    };
    window->OpenTemplates->trigger();
    EXPECT_EQ(seen, centred(QSize(516, 462)));
}

TEST_F(TemplateCommandsTest, SaveAsTemplateWritesTheTemplateAndItsPreview)
{
    window->AddObject(kKindBox);
    window->TBWidth->setValue(320);
    window->TBHeight->setValue(240);
    // An older template of this name had a BMP preview, which would win.
    SaveBmpFile(dir.file("program/templates/mine.bmp"), Bitmap(8, 8));

    SaveAsTemplate("mine");
    EXPECT_EQ(window->SaveAsTemplate->Tag, 0);
    EXPECT_EQ(seenInitialDir, dir.file("program/templates/"));
    EXPECT_TRUE(projects->SaveDialog2InitialDir.empty());
    EXPECT_TRUE(fs::exists(dir.file("program/templates/mine.qv7kb")));
    EXPECT_FALSE(fs::exists(dir.file("program/templates/mine.bmp")));
    png::TPNGObject preview;
    preview.LoadFromFile(dir.file("program/templates/mine.png"));
    EXPECT_EQ(preview.Width(), 200);
    EXPECT_EQ(preview.Height(), 200);
    // The box is in it, on a transparent background.
    Bitmap shown = LoadPreview(dir.file("program/templates/mine.qv7kb"));
    int drawn = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            drawn += shown.Pixel(x, y) != clWhite ? 1 : 0;
    EXPECT_GT(drawn, 500);
    EXPECT_EQ(shown.Pixel(2, 2), clWhite);
    EXPECT_EQ(window->TBWidth->value(), 320);
    EXPECT_EQ(window->TBHeight->value(), 240);
    EXPECT_EQ(window->APublish->Tag, 0);
}

TEST_F(TemplateCommandsTest, CancelledSaveDialogWritesNothing)
{
    window->TBWidth->setValue(320);
    saveAnswer.reset();
    projects->SaveAsTemplateExecute();
    EXPECT_EQ(window->SaveAsTemplate->Tag, 1);
    EXPECT_TRUE(fs::is_empty(dir.file("program/templates")));
    EXPECT_EQ(window->TBWidth->value(), 320);
}

TEST_F(TemplateCommandsTest, CancelledPreviewDeletesTheTemplate)
{
    window->AddObject(kKindBox);
    window->TBWidth->setValue(320);
    window->TBHeight->setValue(240);
    window->Publisher->RunAdjustDialog = [this](TBmp32Adj&) { window->RenderCancel->Tag = 1; };
    SaveAsTemplate("gone");
    EXPECT_TRUE(fs::is_empty(dir.file("program/templates")));
    EXPECT_EQ(window->TBWidth->value(), 320);
    EXPECT_EQ(window->TBHeight->value(), 240);
    EXPECT_EQ(window->APublish->Tag, 0);
}

TEST_F(TemplateCommandsTest, FailedPreviewKeepsTheTemplateAndRestoresTheWindow)
{
    window->AddObject(kKindBox);
    window->TBWidth->setValue(320);
    window->TBHeight->setValue(240);
    // The preview cannot be written where a folder stands.
    fs::create_directories(dir.file("program/templates/kept.png"));
    WriteFileAtomic(dir.file("program/templates/kept.png/x"), {1});
    SaveAsTemplate("kept");
    EXPECT_TRUE(fs::exists(dir.file("program/templates/kept.qv7kb")));
    ASSERT_FALSE(boxes.Shown().empty());
    EXPECT_EQ(window->TBWidth->value(), 320);
    EXPECT_EQ(window->TBHeight->value(), 240);
    EXPECT_EQ(window->APublish->Tag, 0);
    EXPECT_TRUE(window->Panel2->isEnabled());
}

TEST_F(TemplateCommandsTest, StartScreenLoadsTheChosenTemplate)
{
    const std::string path = TwoObjectTemplate();
    ASSERT_EQ(window->Objects.Count(), 0);

    // A fresh settings file: StartMode 0.
    window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{});
    SettingsCommandsOf(*window)->SettingsFile = dir.file("prismcase.INI");
    TemplateCommands& templates = InstallTemplateCommands(*window);
    templates.Folders = [this] { return std::vector<std::string>{dir.file("program/templates/")}; };
    int shown = 0;
    templates.RunBrowser = [&](TTemplate& browser) {
        ++shown;
        EXPECT_TRUE(browser.CheckBox1->isChecked());
        return PickFirst(browser);
    };
    window->FormCreate();
    EXPECT_EQ(shown, 0); // once the event loop runs
    QApplication::processEvents();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(window->Objects.Count(), 2);
    EXPECT_TRUE(window->OpenDialog1FileName.empty());
    // The check box was left as it was: nothing is written.
    EXPECT_FALSE(SettingsWritten());
    EXPECT_TRUE(window->OpenTemplates->isEnabled());
    EXPECT_TRUE(window->AInsertObjFromTemplates->isEnabled());
}

TEST_F(TemplateCommandsTest, MenuKeepsTheStartChoiceUnlessTheBoxChanges)
{
    TwoObjectTemplate();
    TemplateCommands& templates = InstallTemplateCommands(*window);
    templates.Folders = [this] { return std::vector<std::string>{dir.file("program/templates/")}; };
    window->LoadDefautProject1->trigger(); // StartMode 1
    ASSERT_EQ(IniSettings(dir.file("prismcase.INI")).StartMode(), 1);

    templates.RunBrowser = [](TTemplate& browser) {
        EXPECT_FALSE(browser.CheckBox1->isChecked());
        browser.BitBtn2Click();
        return browser.result();
    };
    window->OpenTemplates->trigger();
    EXPECT_EQ(IniSettings(dir.file("prismcase.INI")).StartMode(), 1);
    EXPECT_TRUE(window->LoadDefautProject1->isChecked());
    EXPECT_EQ(window->Objects.Count(), 0);

    // Inserting keeps the scene and adds the template's objects.
    window->AddObject(kKindBook);
    window->TBCameraX->setValue(77);
    templates.RunBrowser = [](TTemplate& browser) { return PickFirst(browser); };
    window->AInsertObjFromTemplates->trigger();
    EXPECT_EQ(window->Objects.Count(), 3);
    EXPECT_EQ(window->TBCameraX->value(), 77);
    EXPECT_EQ(IniSettings(dir.file("prismcase.INI")).StartMode(), 1);

    // Ticking the box makes the browser the start screen.
    templates.RunBrowser = [](TTemplate& browser) { return PickFirst(browser, true); };
    boxes.Queue(Answer::No); // the save question before the scene is replaced
    window->OpenTemplates->trigger();
    EXPECT_EQ(IniSettings(dir.file("prismcase.INI")).StartMode(), 0);
    EXPECT_TRUE(window->LoadTemplates2->isChecked());
    EXPECT_EQ(window->Objects.Count(), 2);
}

} // namespace
} // namespace pc::test
