#pragma once
// One editing session of the bitmap editor, as a document owns its file:
// the document's own file (the one it was loaded from or last saved to),
// where a Save writes without the dialog, the face's hand-over file when
// the editor was opened from a face, which picture the face takes on
// closing, and whether the picture on screen has changes not yet saved.
//
// The model asks it which questions a command asks before it drops or
// overwrites something, which file each save writes and which picture it
// hands to the face on closing.
#include <optional>
#include <string>
#include <utility>

#include "platform/bitmap.h"
#include "scene/pictures/picture_kind.h"

namespace pc::editor {

// A name as the save dialog takes it (the extension follows the type) and
// the dialog's filter index.
struct SaveChoice {
    std::string fileName;
    int filterIndex = 2;
};

class EditorSession {
public:
    // The picture came from path. A BMP or JPEG the user chose (not shrunk
    // to fit) is saved beside itself as BMP without the dialog; after any
    // other load Save asks for a name, proposing the source's.
    void Loaded(const std::string& path, PictureKind kind, bool chosenByUser, bool shrunk);
    // The loaded file is the picture of a face: saved back to it silently
    // as BMP, and each save to it becomes what the face takes on closing.
    void OpenedFromFace(const std::string& handOverFile);
    // File > New: no file of its own, and a picture not yet saved.
    void NewPicture();
    // The picture on screen changed (a commit, a size, an undo or redo):
    // unless the user refuses to save it, the face takes it on closing.
    void Edited() { changed_ = faceTakesScreen_ = true; }
    // No to "Do you want to save the changes?".
    void Refused() { faceTakesScreen_ = false; }
    bool HasChanges() const { return changed_; }

    // Where Save writes without the dialog; nothing when it must ask.
    const std::optional<SaveChoice>& SilentTarget() const { return silent_; }
    // What the save dialog proposes.
    const SaveChoice& Proposal() const { return proposal_; }
    // Whether writing path needs the overwrite question first: a name
    // typed in the dialog always does when the file exists; a silent save
    // only when the file is not the document's own.
    bool AsksToOverwrite(const std::string& path, bool typedInDialog) const;
    // picture was written to path as chosen; a Save As makes the choice the
    // silent target of later saves.
    void Saved(const std::string& path, const SaveChoice& chosen, bool saveAs, const Bitmap& picture);

    bool OpenedOnFace() const { return !face_.empty(); }
    // What the face takes on closing with screen on screen: that picture
    // after a change the user did not refuse to save; after No, the picture
    // of the last save to the face's file in this session. Nothing leaves
    // the face as it was.
    std::optional<Bitmap> FacePicture(const Bitmap& screen) const;
    // The face could not take the picture; true when it could not before
    // either, so that the user may close without handing it over.
    bool HandOverFailed() { return std::exchange(handOverFailed_, true); }

private:
    std::string own_;
    std::optional<SaveChoice> silent_;
    SaveChoice proposal_;
    std::string face_;
    std::optional<Bitmap> faceResult_;
    bool changed_ = false;
    bool faceTakesScreen_ = false;
    bool handOverFailed_ = false;
};

} // namespace pc::editor
