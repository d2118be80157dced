// The Settings menu on the main window: what each item writes, the relaunch
// question and the relaunch itself.
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <filesystem>

#include "app/project/project_file.h"
#include "app/settings/settings_file.h"
#include "app/window/tagged_action.h"
#include "platform/ini_file.h"
#include "scene/pages/face_picture.h"
#include "scene/pages/kind_controls.h"
#include "tests/app/window/window_fixture.h"
#include "tests/support/test_data.h"

namespace pc::test {
namespace {

namespace fs = std::filesystem;

class SettingsCommandsTest : public ProjectWindowTest {
protected:
    void SetUp() override
    {
        ProjectWindowTest::SetUp();
        settings = SettingsCommandsOf(*window);
        ASSERT_NE(settings, nullptr);
        settings->SettingsFile = dir.file("prismcase.INI");
        // The relaunch leaves its project beside the program: here, not in the sources.
        SetProgramFolderForTesting(dir.file(""));
        settings->StartProgram = [this](const QStringList& args) {
            started.push_back(args);
            return startSucceeds;
        };
    }
    std::string Value(const char* key) const
    {
        return IniFile::Load(settings->SettingsFile).ReadString("Settings", key, "");
    }

    SettingsCommands* settings = nullptr;
    std::vector<QStringList> started;
    bool startSucceeds = true;
};

TEST_F(SettingsCommandsTest, StartItemsWriteTheirMode)
{
    for (auto [item, expected] : {std::pair{window->Clear1, "2"}, std::pair{window->LoadDefautProject1, "1"},
                                  std::pair{window->LoadTemplates2, "0"}}) {
        item->trigger();
        EXPECT_TRUE(item->isChecked());
        EXPECT_EQ(Value("StartMode"), expected);
    }
    EXPECT_EQ(IniSettings(settings->SettingsFile).StartMode(), 0);
}

struct Choice {
    const char* name;
    bool advanceItem;
    const char* software;
    const char* format;
    bool returnHint;
};

class AccelerationChoice : public SettingsCommandsTest, public testing::WithParamInterface<Choice> {};

TEST_P(AccelerationChoice, WritesTheSettingsAndAsksToRelaunch)
{
    const Choice& c = GetParam();
    TaggedAction* sender = nullptr;
    if (c.advanceItem) {
        auto* item = new TaggedAction("Format 5", window->AllDisMode1);
        item->Tag = 5;
        item->setCheckable(true);
        window->AllDisMode1->addAction(item);
        sender = item;
    } else {
        sender = std::string(c.name) == "Hardware" ? window->HardwareRender : window->SoftwareRender;
    }
    boxes.Queue(Answer::No);
    sender->trigger();
    EXPECT_EQ(Value("SoftwareRender"), c.software);
    EXPECT_EQ(Value("PixelsFormat"), c.format);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].caption, "Relaunch?");
    EXPECT_EQ(boxes.Shown()[0].text, RelaunchQuestion(sender->text().remove('&').toStdString(), !c.returnHint));
    EXPECT_EQ(boxes.Shown()[0].text.find("return to 'Software Rendering'") != std::string::npos, c.returnHint);
    EXPECT_EQ(window->AdvanceRender->isChecked(), c.advanceItem);
    EXPECT_TRUE(started.empty());
}

INSTANTIATE_TEST_SUITE_P(Items, AccelerationChoice,
                         testing::Values(Choice{"Hardware", false, "0", "0", true},
                                         Choice{"Software", false, "1", "0", false},
                                         Choice{"Advance", true, "0", "5", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsCommandsTest, ClickingTheHintReturnsToSoftwareRendering)
{
    window->HardwareRender->setChecked(true);
    boxes.Queue(Answer::No);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(window->Label14, &release);
    EXPECT_TRUE(window->SoftwareRender->isChecked());
    EXPECT_EQ(Value("SoftwareRender"), "1");
}

TEST_F(SettingsCommandsTest, RelaunchSavesTheSceneAndStartsTheProgramWithIt)
{
    window->AddObject(kKindBox);
    window->AddObject(kKindModel, k3dsModels + "test1.3ds");
    fs::create_directories(dir.file("mine"));
    const std::string own = dir.file("mine/box 1\xe9.qv7kb"); // not UTF-8
    saveAnswer = own;
    window->ASaveTemplate->trigger();
    window->show();
    boxes.Queue(Answer::Yes);
    window->HardwareRender->trigger();
    ASSERT_EQ(started.size(), 1u);
    const std::string path = RelaunchProjectPath();
    EXPECT_EQ(started[0].value(0), QString::fromStdString(path));
    auto file = ReadFileBytes(path);
    EXPECT_TRUE(project::ReadProject(file).scene.objects[1]);
    EXPECT_EQ(window->ALoadTemplate->Tag, kLoadEnhancedBefore) << "closing without the close question";
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(boxes.Shown().size(), 2u) << "the question and, with a model, the notice";
    EXPECT_EQ(boxes.Shown()[1].text.find("tempproj"), std::string::npos) << "the work file is not the user's";

    // The new instance holds the user's project: Save Project opens on it.
    TFormMainQV7K relaunched(std::make_unique<DefaultSettings>(), started[0]);
    relaunched.Relaunched = true;
    relaunched.FormCreate();
    std::string proposed;
    ProjectCommandsOf(relaunched)->ChooseSaveFile = [&](const std::string& p) {
        proposed = p;
        return std::nullopt;
    };
    relaunched.ASaveTemplate->trigger();
    EXPECT_EQ(relaunched.Objects.Count(), 2);
    EXPECT_EQ(proposed, own);
    fs::remove(path);
}

TEST_F(SettingsCommandsTest, FailedSaveStopsTheRelaunch)
{
    window->AddObject(kKindBook);
    window->show();
    fs::remove(TextureFolder() + std::to_string(window->Objects.At(0)->Faces[2]->Tag));
    boxes.Queue(Answer::Yes);
    window->HardwareRender->trigger();
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
    EXPECT_EQ(boxes.Shown().size(), 2u) << "the question and the save's error";

    // A program that does not start leaves the window open too.
    window->ObjectCmds->DeleteObject(true);
    startSucceeds = false;
    boxes.Queue(Answer::Yes);
    window->SoftwareRender->trigger();
    EXPECT_EQ(started.size(), 1u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->ALoadTemplate->Tag, 0);
}

} // namespace
} // namespace pc::test
