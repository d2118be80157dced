#pragma once
// "Edit Current Picture", "Crop Current Picture" and "Edit Published
// Picture": the main window hands a picture to the bitmap editor through
// "tempimage.bmp" in the work folder. For the first two the picture the
// editor gives on closing goes back through that file into the face; the
// published picture is only shown for editing and saving under a name the
// user chooses.
#include <functional>
#include <string>

#include "platform/bitmap.h"

namespace pc {

namespace editor {
class EditorDialogs;
class TImageForm;
}

class TFormMainQV7K;

// The picture handed over for a box showing a solid colour: that colour at
// min(512, 1024 W / (W + H)) x min(512, 1024 H / (W + H)) for a box of W x H.
Bitmap SolidHandOverPicture(TColor color, int boxWidth, int boxHeight);

class EditorCommands {
public:
    // Wires and enables the three commands.
    explicit EditorCommands(TFormMainQV7K& window);

    // Runs the editor window modally; tests drive it instead.
    std::function<void(editor::TImageForm&)> RunModal;
    // The editor's file dialogs; the screen's when null. Tests answer them.
    editor::EditorDialogs* Dialogs = nullptr;

    // On the picture box the popup was opened for.
    void EditCurrentPicture(bool crop);
    void EditPublishedPicture();

    static std::string HandOverFile();

private:
    TFormMainQV7K& w_;
};

} // namespace pc
