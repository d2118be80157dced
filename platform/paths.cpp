#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <unistd.h>

#include "platform/errors.h"

namespace pc {

namespace fs = std::filesystem;

namespace {

std::mutex mutex;
std::string programFolderOverride;
std::string workFolder;

std::string WithSlash(std::string s)
{
    if (s.empty() || s.back() != '/')
        s += '/';
    return s;
}

std::string ExePath()
{
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}

bool FolderWritable(const std::string& folder)
{
    return ::access(folder.c_str(), W_OK) == 0;
}

std::string EnvOr(const char* name, const std::string& fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : fallback;
}

std::string Home()
{
    return EnvOr("HOME", fs::temp_directory_path().string());
}

} // namespace

std::string ProgramFolder()
{
    std::lock_guard lock(mutex);
    if (!programFolderOverride.empty())
        return programFolderOverride;
    return WithSlash(fs::path(ExePath()).parent_path().string());
}

std::string ExecutableName()
{
    std::string n = fs::path(ExePath()).filename().string();
    return n.empty() ? "prismcase" : n;
}

std::string WorkFolder()
{
    std::lock_guard lock(mutex);
    if (workFolder.empty()) {
        std::string base = EnvOr("XDG_RUNTIME_DIR", "");
        if (base.empty() || !FolderWritable(base))
            base = fs::temp_directory_path().string();
        std::string templ = WithSlash(base) + "prismcase-XXXXXX";
        if (!::mkdtemp(templ.data()))
            throw FileError("Cannot create the work folder in " + base);
        workFolder = WithSlash(templ);
    }
    return workFolder;
}

std::string TextureFolder()
{
    std::string t = WorkFolder() + "Texture/";
    std::error_code ec;
    fs::create_directories(t, ec);
    if (ec)
        throw FileError("Cannot create " + t);
    return t;
}

void RemoveWorkFolder()
{
    std::lock_guard lock(mutex);
    if (!workFolder.empty()) {
        std::error_code ec;
        fs::remove_all(workFolder, ec);
        workFolder.clear();
    }
}

std::string SettingsPath()
{
    std::string name = ExecutableName() + ".INI";
    std::string folder = ProgramFolder();
    if (FolderWritable(folder))
        return folder + name;
    std::string config = WithSlash(EnvOr("XDG_CONFIG_HOME", Home() + "/.config")) + "prismcase/";
    std::error_code ec;
    fs::create_directories(config, ec);
    return config + name;
}

std::string ProgramTemplatesFolder()
{
    return ProgramFolder() + "templates/";
}

std::string UserTemplatesFolder()
{
    std::string own = ProgramTemplatesFolder();
    std::error_code ec;
    if (fs::is_directory(own, ec) ? FolderWritable(own) : FolderWritable(ProgramFolder())) {
        fs::create_directories(own, ec);
        return own;
    }
    std::string data = WithSlash(EnvOr("XDG_DATA_HOME", Home() + "/.local/share")) + "prismcase/templates/";
    fs::create_directories(data, ec);
    return data;
}

void SetProgramFolderForTesting(const std::string& folder)
{
    std::lock_guard lock(mutex);
    programFolderOverride = folder.empty() ? std::string() : WithSlash(folder);
}

} // namespace pc
