#pragma once
// "Load Project", "Save Project" and "Insert objects from saved project" on
// the main window. The dialogs are seams so tests and silent callers answer
// them; questions and messages go through the message-box seam.
#include <QObject>
#include <functional>
#include <optional>
#include <string>

namespace pc {

class TFormMainQV7K;

// Load modes (the Tag of ALoadTemplate).
constexpr int kLoadAsk = 0;       // "Load Project": dialog, save question, replace
constexpr int kLoadPreset = 1;    // start-up, hand-over: preset file, save question, replace
constexpr int kLoadInsertPreset = 2;
constexpr int kLoadEnhancedBefore = 3; // replace, no refresh
constexpr int kLoadEnhancedAfter = 4;
constexpr int kLoadInsertAsk = -1;

// Heads the list of pictures a load could not show.
inline constexpr const char* kUnshownPictures =
    "These pictures could not be shown. They stay in the project as they are:";

inline constexpr const char* kSaveQuestion =
    "Current project will be closed.\nDo you want to save current project before next operation?";

class ProjectCommands : public QObject {
    Q_OBJECT
public:
    explicit ProjectCommands(TFormMainQV7K& window);

    // The open and save dialogs; nothing when cancelled. The save dialog
    // opens on proposed: a file or a folder, or its own choice when empty.
    std::function<std::optional<std::string>()> ChooseOpenFile;
    std::function<std::optional<std::string>(const std::string& proposed)> ChooseSaveFile;
    // The "Date" text of a save.
    std::function<std::string()> SaveDate;

    // 1: save to SaveDialog2FileName without dialog or question.
    int SaveDialog2Tag = 0;
    std::string SaveDialog2FileName;
    std::string SaveDialog2InitialDir; // where the save dialog opens without a project file
    // The project the scene was loaded from or last saved to, which the save
    // dialog offers; empty for a new scene.
    std::string ProjectFile;

    // ASaveTemplateExecute: SaveAsTemplate->Tag stays 1 unless the file was
    // written whole. Throws when the file cannot be written.
    void ASaveTemplateExecute();
    // "Save as template": the project saved with its dialog opening in the
    // user's templates folder, then its 200 x 200 preview "<base>.png"
    // published beside it. The output size comes back however the render
    // ends; a cancelled render deletes the template just saved.
    void SaveAsTemplateExecute();
    // ALoadTemplateExecute in the mode of ALoadTemplate->Tag. Throws
    // ProjectError ("Can not load file:\n" + path and the reason) before
    // anything of the scene changed.
    void ALoadTemplateExecute();

private:
    bool AskToSave();
    void ClearScene();

    TFormMainQV7K& w_;
};

// Creates the commands on the window, wires the actions and the window's
// load and save handlers.
ProjectCommands& InstallProjectCommands(TFormMainQV7K& window);
ProjectCommands* ProjectCommandsOf(TFormMainQV7K& window);

} // namespace pc
