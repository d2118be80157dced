#pragma once
// An editor model over a fresh work folder, with scripted file dialogs and
// message boxes.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "editor/window/editor_model.h"
#include "platform/message_box.h"
#include "tests/support/test_data.h"

namespace pc::editor::test {

class ScriptedDialogs : public EditorDialogs {
public:
    std::optional<std::string> OpenPicture() override { return Take(opens); }
    std::optional<SaveChoice> SavePicture(const std::string& proposed, int) override
    {
        ++saveAsked;
        proposedNames.push_back(proposed);
        return Take(saves);
    }
    std::deque<std::optional<std::string>> opens;
    std::deque<std::optional<SaveChoice>> saves;
    int saveAsked = 0;
    std::vector<std::string> proposedNames;

private:
    template <class T>
    static T Take(std::deque<T>& q)
    {
        if (q.empty())
            throw std::logic_error("unexpected dialog");
        T t = q.front();
        q.pop_front();
        return t;
    }
};

class ModelTest : public testing::Test {
protected:
    std::string Folder() const { return dir.path().string() + "/"; }

    void Drag(Point a, Point b, bool shift = false)
    {
        model->MouseDown({a, MouseButton::Left, false});
        model->MouseMove({Point{(a.x + b.x) / 2, (a.y + b.y) / 2}, MouseButton::Left, shift});
        model->MouseMove({b, MouseButton::Left, shift});
        model->MouseUp({b, MouseButton::Left, shift});
    }
    std::vector<int> HistoryNumbers() const
    {
        std::vector<int> found;
        for (int n = 0; n <= 40; ++n)
            if (std::filesystem::exists(Folder() + "history" + std::to_string(n)))
                found.push_back(n);
        return found;
    }

    pc::test::TempDir dir;
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxes scoped{boxes};
    ScriptedDialogs dialogs;
    std::unique_ptr<EditorModel> model = std::make_unique<EditorModel>(Folder(), dialogs);
};

} // namespace pc::editor::test
