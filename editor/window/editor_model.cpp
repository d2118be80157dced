#include "editor/window/editor_model.h"

#include <algorithm>

#include "editor/tools/null_shape.h"
#include "platform/errors.h"
#include "platform/message_box.h"

namespace pc::editor {

namespace {

constexpr const char* kPenSizeLabel = "Pen Size:";

} // namespace

EditorModel::EditorModel(std::string workFolder, EditorDialogs& dialogs, const std::string& historyFolder)
    : workFolder_(std::move(workFolder)), dialogs_(dialogs), picture_(kStartSide, kStartSide), canvas_(picture_),
      tool_(std::make_unique<CNULLShape>(canvas_)), history_(historyFolder.empty() ? workFolder_ : historyFolder),
      penSizeLabel_(kPenSizeLabel)
{
    picture_.Fill(clWhite);
}

EditorModel::~EditorModel()
{
    // The tool goes without finishing: whatever it holds pending was not saved.
    tool_.reset();
    history_.RemoveAll();
}

void EditorModel::ReplacePicture(Bitmap b)
{
    picture_ = std::move(b);
    canvas_.ResetClipRect();
}

void EditorModel::SetPictureSize(int width, int height)
{
    // The picture before the size goes to the history, so that the size is
    // undone at once rather than after the next commit.
    Record();
    ApplySize(width, height, true);
}

void EditorModel::ApplySize(int width, int height, bool byUser)
{
    width_ = std::clamp(width, 1, kMaxSide);
    height_ = std::clamp(height, 1, kMaxSide);
    if (picture_.Width() < width_ || picture_.Height() < height_) {
        Bitmap grown(std::max(picture_.Width(), width_), std::max(picture_.Height(), height_));
        grown.Fill(clWhite);
        Canvas(grown).Draw(0, 0, picture_);
        ReplacePicture(std::move(grown));
    }
    if (tool_)
        tool_->PictureResized(width_, height_);
    if (byUser)
        session_.Edited();
}

void EditorModel::CutToSize()
{
    if (picture_.Width() == width_ && picture_.Height() == height_)
        return;
    Bitmap cut(width_, height_);
    cut.Fill(clWhite);
    Canvas(cut).Draw(0, 0, picture_);
    ReplacePicture(std::move(cut));
}

void EditorModel::Commit()
{
    if (tool_) {
        const int w = picture_.Width(), h = picture_.Height();
        tool_->Finish();
        tool_.reset();
        // A crop sets the picture's size itself.
        if (picture_.Width() != w || picture_.Height() != h) {
            width_ = picture_.Width();
            height_ = picture_.Height();
        }
    }
    // What a smaller size cuts away goes to the history first, so that Undo
    // brings it back; then the cut picture, which is what the user sees.
    if (picture_.Width() != width_ || picture_.Height() != height_) {
        Record();
        CutToSize();
    }
    Record();
    ResetToolControls();
    session_.Edited();
}

void EditorModel::ResetToolControls()
{
    cursor_ = kArrowCursor;
    penBar_ = brushBar_ = false;
    checked_ = ToolAction::None;
    pickMode_ = kPickOff;
    penSizeLabel_ = kPenSizeLabel;
}

void EditorModel::Record()
{
    // A picture the shown file already holds gets no file: it would only use
    // up a slot and, after undos, end the redo chain.
    if (SameAsHistory(history_.Shown()))
        return;
    try {
        history_.Write(picture_);
    } catch (const Error& e) {
        // Said once: the history stays off from now on.
        ShowMessage("Undo is off: " + std::string(e.what()) + "\nThe picture can still be saved.");
    }
}

bool EditorModel::SameAsHistory(int n) const
{
    return history_.Holds(n, picture_);
}

bool EditorModel::ScreenInHistory() const
{
    return picture_.Width() == width_ && picture_.Height() == height_ && SameAsHistory(history_.Shown());
}

void EditorModel::ShowHistory(Bitmap b)
{
    ReplacePicture(std::move(b));
    ApplySize(picture_.Width(), picture_.Height(), true);
}

void EditorModel::Undo()
{
    if (tool_ && tool_->CanUndo()) {
        tool_->Undo();
        return;
    }
    if (!history_.Exists(history_.Shown()))
        return;
    // What is on screen and not yet in the history becomes the redo step:
    // the tool's newest state, or a picture changed outside a commit
    // (loaded, turned, resized). The commit writes nothing when nothing is new.
    if (tool_ || !ScreenInHistory()) {
        if (tool_)
            for (int i = 0; i < SnapshotRing::kSlots; ++i)
                tool_->Redo();
        Commit();
    }
    StepTo(history_.Shown() - 1);
}

void EditorModel::Redo()
{
    if (tool_) {
        tool_->Redo();
        return;
    }
    // A picture changed since the last step is newer than the redo chain:
    // recording it ends the chain, as any commit does.
    if (!ScreenInHistory()) {
        Commit();
        return;
    }
    StepTo(history_.Shown() + 1);
}

void EditorModel::StepTo(int n)
{
    std::optional<Bitmap> b = history_.Read(n);
    if (!b)
        return;
    history_.StepTo(n);
    ShowHistory(std::move(*b));
}

bool EditorModel::CanUndo() const
{
    // Undo steps back from the shown file, after recording what differs from it.
    const int shown = history_.Shown();
    return (tool_ && tool_->CanUndo()) || history_.Exists(shown - 1) ||
           (history_.Exists(shown) && !ScreenInHistory());
}

bool EditorModel::CanRedo() const
{
    // With a tool, redo is the tool's own.
    return tool_ ? tool_->CanRedo() : history_.Exists(history_.Shown() + 1);
}

} // namespace pc::editor
