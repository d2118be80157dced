#pragma once
// "Render and Publish": render the scene at the
// output size with the chosen anti-aliasing, derive transparency from a black
// and a white render, let the user adjust colours for the 8-bit types, and
// write the file through a temporary file. Nothing of the scene changes.
#include <functional>
#include <optional>
#include <string>

#include "app/publish/publish_types.h"
#include "app/publish/render_plan.h"
#include "platform/bitmap.h"
#include "scene/geometry/scene_params.h"

namespace pc {

class TBmp32Adj;
class TFormMainQV7K;

// Starts the desktop's picture viewer (xdg-open) on the file; throws when it
// cannot be started.
void OpenInDesktopViewer(const std::string& file);

class PublishCommand {
public:
    explicit PublishCommand(TFormMainQV7K& window);

    // The save dialog: a file name and type, or nothing when cancelled.
    std::function<std::optional<PublishTarget>(const std::string& proposed, PublishType type)> ChooseFile;
    // Shows the colour-adjustment dialog modally.
    std::function<void(TBmp32Adj&)> RunAdjustDialog;
    // Opens a published picture in the desktop's picture viewer; throws
    // when the viewer cannot be started.
    std::function<void(const std::string& file)> OpenViewer;
    // The longest side of the off-screen buffer; larger pictures render in tiles.
    int MaxTile = 4096;

    // APublishExecute. Silent: no dialog, no question, no viewer; the target
    // is given. Returns the file written, or nothing when cancelled or refused.
    // Errors are reported in a message box; the window is never left busy.
    std::optional<std::string> Execute(bool silent = false, std::optional<PublishTarget> target = std::nullopt);

    AntiAlias Method() const;
    bool Publishing() const;
    // A close asked for while publishing cancels the publish; the window
    // closes once the publish has ended.
    void CloseWhenDone();

private:
    std::optional<std::string> Run(bool silent, PublishTarget target);
    // The scene at the output size; floorAndWalls replaces the floor and
    // background by that solid colour. Empty when cancelled.
    Bitmap Render(scene::SceneParams scene, std::optional<TColor> floorAndWalls, int width, int height);
    void Encode(const PublishTarget& target, const Bitmap& picture, bool transparent);

    bool keepOffscreen_ = false; // the next render may start on this one's context
    TFormMainQV7K& w_;
    PublishType lastType_ = PublishType::Jpeg;
    std::string lastName_ = "picture_name";
    bool closeWhenDone_ = false;
};

} // namespace pc
