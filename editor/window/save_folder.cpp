#include "editor/window/save_folder.h"

#include <QDir>
#include <QStandardPaths>
#include <filesystem>

#include "platform/paths.h"

namespace pc::editor {

namespace {

namespace fs = std::filesystem;

// Folders saved to are kept for the whole run: every editor window opens anew.
std::string& LastSavedFolder()
{
    static std::string folder;
    return folder;
}

// The path resolved, without a trailing separator.
fs::path Resolved(fs::path p)
{
    std::error_code ec;
    p = fs::weakly_canonical(p, ec);
    return p.has_filename() ? p : p.parent_path();
}

bool Inside(const fs::path& folder, const std::string& privateFolder)
{
    if (folder.empty())
        return false;
    const fs::path rel = Resolved(folder).lexically_relative(Resolved(privateFolder));
    return !rel.empty() && *rel.begin() != "..";
}

bool IsFolder(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string LastingFolder()
{
    if (IsFolder(LastSavedFolder()))
        return LastSavedFolder();
    const std::string pictures =
        PathFromQString(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    if (IsFolder(pictures))
        return pictures;
    return PathFromQString(QDir::homePath());
}

} // namespace

std::string ProposedSaveName(const std::string& name, const std::string& privateFolder)
{
    const fs::path path(name);
    if (!name.empty() && !Inside(path.parent_path(), privateFolder))
        return name;
    return (fs::path(LastingFolder()) / path.filename()).string();
}

void NoteSavedPicture(const std::string& path, const std::string& privateFolder)
{
    const fs::path folder = fs::absolute(fs::path(path)).parent_path();
    if (!Inside(folder, privateFolder))
        LastSavedFolder() = folder.string();
}

} // namespace pc::editor
