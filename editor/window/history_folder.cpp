#include "editor/window/history_folder.h"

#include <cstdlib>
#include <filesystem>
#include <sys/statvfs.h>
#include <unistd.h>

namespace pc::editor {

namespace {

namespace fs = std::filesystem;

bool HasRoom(const std::string& folder, int64_t bytes)
{
    struct statvfs s {};
    if (::access(folder.c_str(), W_OK) != 0 || ::statvfs(folder.c_str(), &s) != 0)
        return false;
    return int64_t(s.f_bavail) >= bytes / int64_t(s.f_frsize) + 1;
}

std::string CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    const char* home = std::getenv("HOME");
    if (cache && *cache)
        return std::string(cache) + "/prismcase/";
    return home && *home ? std::string(home) + "/.cache/prismcase/" : std::string();
}

} // namespace

HistoryFolder::HistoryFolder(const std::string& workFolder, int64_t roomNeeded) : path_(workFolder)
{
    if (HasRoom(workFolder, roomNeeded))
        return;
    std::error_code ec;
    for (const std::string& base : {CacheFolder(), fs::temp_directory_path(ec).string() + "/"}) {
        if (base.size() < 2)
            continue;
        fs::create_directories(base, ec);
        std::string folder = base + "prismcase-history-XXXXXX";
        if (HasRoom(base, roomNeeded) && ::mkdtemp(folder.data())) {
            path_ = folder + "/";
            own_ = true;
            return;
        }
    }
}

HistoryFolder::~HistoryFolder()
{
    std::error_code ec;
    if (own_)
        fs::remove_all(path_, ec);
}

} // namespace pc::editor
