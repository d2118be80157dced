#include "editor/window/editor_session.h"

#include <filesystem>

#include "editor/window/picture_files.h"
#include "platform/file_io.h"

namespace pc::editor {

namespace {

bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code ec;
    return std::filesystem::weakly_canonical(a, ec) == std::filesystem::weakly_canonical(b, ec);
}

} // namespace

void EditorSession::Loaded(const std::string& path, PictureKind kind, bool chosenByUser, bool shrunk)
{
    own_ = path;
    proposal_.fileName = ChangeFileExt(path, "");
    const bool beside = chosenByUser && !shrunk && (kind == PictureKind::Bmp || kind == PictureKind::Jpeg);
    if (beside)
        silent_ = SaveChoice{proposal_.fileName, kSaveBmp};
    else
        silent_.reset();
    changed_ = false;
}

void EditorSession::OpenedFromFace(const std::string& handOverFile)
{
    face_ = handOverFile;
    silent_ = SaveChoice{ChangeFileExt(handOverFile, ""), kSaveBmp};
}

void EditorSession::NewPicture()
{
    own_.clear();
    silent_.reset();
    changed_ = true;
}

bool EditorSession::AsksToOverwrite(const std::string& path, bool typedInDialog) const
{
    return FileExists(path) && (typedInDialog || !SameFile(path, own_));
}

void EditorSession::Saved(const std::string& path, const SaveChoice& chosen, bool saveAs, const Bitmap& picture)
{
    own_ = path;
    proposal_ = chosen;
    if (saveAs)
        silent_ = chosen;
    changed_ = false;
    if (SameFile(path, face_))
        faceResult_ = picture;
}

std::optional<Bitmap> EditorSession::FacePicture(const Bitmap& screen) const
{
    if (!OpenedOnFace())
        return std::nullopt;
    if (faceTakesScreen_)
        return screen;
    return faceResult_;
}

} // namespace pc::editor
