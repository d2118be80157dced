#pragma once
// The editor's file, colour and font dialogs on the screen.
#include <optional>

#include "editor/window/editor_model.h"

class QWidget;

namespace pc::editor {

class QtEditorDialogs : public EditorDialogs {
public:
    explicit QtEditorDialogs(QWidget* owner) : owner_(owner) {}
    std::optional<std::string> OpenPicture() override;
    std::optional<SaveChoice> SavePicture(const std::string& fileName, int filterIndex) override;

private:
    QWidget* owner_;
};

std::optional<TColor> ChooseColorOnScreen(QWidget* owner, TColor start);
std::optional<Font> ChooseFontOnScreen(QWidget* owner, const Font& start);

} // namespace pc::editor
