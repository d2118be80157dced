#pragma once
// A main window on the offscreen platform with scripted message boxes and
// dialogs, for the project and settings commands.
#include <gtest/gtest.h>

#include <QSlider>
#include <QTabWidget>
#include <optional>
#include <string>
#include <vector>

#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/window/settings_commands.h"
#include "platform/file_io.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "scene/pages/object_commands.h"
#include "scene/pages/object_page.h"
#include "tests/support/test_data.h"

namespace pc::test {

class ProjectWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolderForTesting(std::string(PRISMCASE_SOURCE_DIR) + "/data/");
        window = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{});
        window->FormCreate();
        projects = ProjectCommandsOf(*window);
        ASSERT_NE(projects, nullptr);
        projects->SaveDate = [] { return std::string("2026-12-07 06:00:00"); };
        projects->ChooseSaveFile = [this](const std::string&) { return saveAnswer; };
        projects->ChooseOpenFile = [this] { return openAnswer; };
    }
    void TearDown() override
    {
        window.reset();
        SetProgramFolderForTesting("");
    }

    void SaveSilently(const std::string& path)
    {
        TagScope silent(projects->SaveDialog2Tag, 1);
        projects->SaveDialog2FileName = path;
        projects->ASaveTemplateExecute();
        ASSERT_EQ(window->SaveAsTemplate->Tag, 0);
    }
    void Load(const std::string& path, int mode)
    {
        window->OpenDialog1FileName = path;
        TagScope scope(window->ALoadTemplate->Tag, mode);
        window->ALoadTemplateExecute();
    }
    std::vector<int> OccupiedSlots() const
    {
        std::vector<int> occupied;
        for (int s = 0; s < kMaxObjects; ++s)
            if (window->Objects.At(s))
                occupied.push_back(s);
        return occupied;
    }
    std::vector<std::string> Messages() const
    {
        std::vector<std::string> texts;
        for (const auto& m : boxes.Shown())
            texts.push_back(m.text);
        return texts;
    }

    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    TempDir dir;
    std::unique_ptr<TFormMainQV7K> window;
    ProjectCommands* projects = nullptr;
    std::optional<std::string> saveAnswer, openAnswer;
};

} // namespace pc::test
