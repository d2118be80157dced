// The file commands of the editor model: open, load, save, save as, new and
// closing. The session decides what each asks and where each writes.
#include "editor/window/editor_model.h"

#include <exception>

#include "editor/window/picture_files.h"
#include "editor/window/save_folder.h"
#include "platform/file_io.h"
#include "platform/message_box.h"

namespace pc::editor {

bool EditorModel::Open(const std::string& path)
{
    return LoadFile(path, false);
}

bool EditorModel::OpenFace(const std::string& path)
{
    if (!Open(path))
        return false;
    session_.OpenedFromFace(path);
    return true;
}

bool EditorModel::Load()
{
    if (!MayDropChanges())
        return false;
    const std::optional<std::string> chosen = dialogs_.OpenPicture();
    return chosen && LoadFile(*chosen, true);
}

bool EditorModel::LoadFile(const std::string& file, bool chosenByUser)
{
    const PictureFile source = ReadPictureFile(file);
    const bool tooLarge =
        source.declared && (source.declared->width > kMaxSide || source.declared->height > kMaxSide);
    if (tooLarge) {
        const PictureSize size = *source.declared;
        const PictureSize fit = FitInside(size.width, size.height, kMaxSide);
        const std::string text = file + " is " + std::to_string(size.width) + " x " +
                                 std::to_string(size.height) + " pixels, more than the " +
                                 std::to_string(kMaxSide) + " x " + std::to_string(kMaxSide) +
                                 " the editor can hold. Do you want to edit it shrunk to " +
                                 std::to_string(fit.width) + " x " + std::to_string(fit.height) +
                                 "? The file itself changes only when you save it.";
        if (Ask(text, "Question", Buttons::YesNo, Owner) != Answer::Yes)
            return false;
    }
    const Bitmap loaded = DecodePicture(source, kMaxSide);
    ResetTool();
    // Undo never reaches back to another file's picture.
    history_.Restart();
    // The size follows the picture without counting as an edit. Nothing of
    // the previous picture lies beyond it for a commit to keep, so it is cut
    // before the paint that the loaded picture then covers.
    ApplySize(loaded.Width(), loaded.Height(), false);
    CutToSize();
    canvas_.Rectangle(-100, -100, 5000, 5000);
    canvas_.Draw(0, 0, loaded);
    session_.Loaded(file, PictureKindOfName(file), chosenByUser, tooLarge);
    return true;
}

bool EditorModel::Save()
{
    return SaveTo(session_.SilentTarget(), false);
}

bool EditorModel::SaveAs()
{
    return SaveTo(std::nullopt, true);
}

bool EditorModel::SaveTo(std::optional<SaveChoice> target, bool saveAs)
{
    const bool typed = !target;
    if (typed) {
        const SaveChoice& proposal = session_.Proposal();
        target = dialogs_.SavePicture(ProposedSaveName(proposal.fileName, workFolder_), proposal.filterIndex);
        if (!target)
            return false;
    }
    // The question names the file written: the type's extension fixed.
    const std::string path = SavePath(target->fileName, target->filterIndex);
    if (session_.AsksToOverwrite(path, typed) &&
        Ask("File:\n" + path + "\nhas been existed. Do you want to overwrite current file?", "Question",
            Buttons::YesNo, Owner) != Answer::Yes)
        return false;
    Commit();
    SaveEditorPicture(picture_, target->fileName, target->filterIndex);
    NoteSavedPicture(path, workFolder_);
    session_.Saved(path, *target, saveAs, picture_);
    return true;
}

bool EditorModel::MayDropChanges()
{
    if (!session_.HasChanges())
        return true;
    switch (Ask("Do you want to save the changes?", "Question", Buttons::YesNoCancel, Owner)) {
    case Answer::Yes:
        return Save();
    case Answer::No:
        session_.Refused();
        return true;
    default:
        return false;
    }
}

bool EditorModel::Close(const std::function<void(const Bitmap&)>& handOver)
{
    if (!MayDropChanges())
        return false;
    // Unsaved changes were saved or refused above: the picture is at its size.
    const std::optional<Bitmap> face = handOver ? session_.FacePicture(picture_) : std::nullopt;
    if (face) {
        try {
            handOver(*face);
        } catch (const std::exception&) {
            // The error is shown once; after that the modal window must not
            // keep the user from leaving.
            if (!session_.HandOverFailed())
                throw;
            if (Ask("The face cannot take the picture: close without it?", "Question", Buttons::YesNo, Owner) !=
                Answer::Yes)
                return false;
        }
    }
    history_.RemoveAll();
    return true;
}

void EditorModel::New()
{
    if (!MayDropChanges())
        return;
    history_.RemoveAll();
    ResetTool();
    canvas_.Rectangle(-128, -128, 4097, 4097);
    ApplySize(width_, height_, false);
    session_.NewPicture();
}

} // namespace pc::editor
