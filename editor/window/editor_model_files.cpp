// The file commands of the editor model: load, save, save as, new and the
// closing question.
#include "editor/window/editor_model.h"
#include "editor/window/picture_files.h"
#include "editor/window/save_folder.h"
#include "platform/file_io.h"
#include "platform/message_box.h"

namespace pc::editor {

bool EditorModel::Load()
{
    std::string file = OpenFileName;
    if (LoadTag != 1) {
        const std::optional<std::string> chosen = dialogs_.OpenPicture();
        if (!chosen)
            return false;
        file = *chosen;
    }
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
    OpenFileName = file;
    // A later save writes beside the source with the extension of its type.
    SaveFileName = ChangeFileExt(file, "");
    const PictureKind kind = PictureKindOfName(file);
    // A shrunk picture is saved only under a name the user gives.
    if (LoadTag == 0 && tooLarge)
        SaveTag = 0;
    else if (LoadTag == 0 && (kind == PictureKind::Bmp || kind == PictureKind::Jpeg))
        SaveTag = 2;
    ResetTool();
    // Undo never reaches back to another file's picture.
    history_.Restart();
    // The size follows the picture without counting as an edit.
    ApplySize(loaded.Width(), loaded.Height(), false);
    canvas_.Rectangle(-100, -100, 5000, 5000);
    canvas_.Draw(0, 0, loaded);
    // Nothing of the previous picture lies beyond it for a commit to keep.
    CutToSize();
    return true;
}

bool EditorModel::Save()
{
    std::string name = SaveFileName;
    int filter = SaveFilterIndex;
    if (SaveTag <= 0) {
        const std::optional<SaveChoice> chosen = dialogs_.SavePicture(ProposedSaveName(name, workFolder_), filter);
        if (!chosen)
            return false;
        // The question names the file written: the type's extension fixed.
        const std::string path = SavePath(chosen->fileName, chosen->filterIndex);
        if (FileExists(path) &&
            Ask("File:\n" + path + "\nhas been existed. Do you want to overwrite current file?", "Question",
                Buttons::YesNo, Owner) != Answer::Yes)
            return false;
        name = SaveFileName = chosen->fileName;
        filter = SaveFilterIndex = chosen->filterIndex;
    }
    Commit();
    NoteSavedPicture(SaveEditorPicture(picture_, name, filter), workFolder_);
    modified_ = false;
    savedPicture_ = picture_;
    return true;
}

bool EditorModel::SaveAs()
{
    SaveTag = 0;
    if (!Save())
        return false;
    SaveTag = 2;
    return true;
}

bool EditorModel::CloseQuery()
{
    if (modified_) {
        switch (Ask("Do you want to save the changes?", "Question", Buttons::YesNoCancel, Owner)) {
        case Answer::Yes:
            if (!Save())
                return false;
            break;
        case Answer::No:
            // A picture the user saved stays the result; only what changed
            // after it is dropped.
            if (savedPicture_)
                ShowSavedPicture();
            else
                pictureChanged_ = false;
            break;
        default:
            return false;
        }
    }
    history_.RemoveAll();
    modified_ = false;
    return true;
}

void EditorModel::ShowSavedPicture()
{
    ResetTool();
    ReplacePicture(*savedPicture_);
    ApplySize(picture_.Width(), picture_.Height(), false);
}

void EditorModel::New()
{
    if (!CloseQuery())
        return;
    ResetTool();
    canvas_.Rectangle(-128, -128, 4097, 4097);
    ApplySize(width_, height_, false);
    SaveTag = 0;
    LoadTag = 0;
}

} // namespace pc::editor
