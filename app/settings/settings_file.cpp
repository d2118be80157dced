#include "app/settings/settings_file.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "platform/errors.h"
#include "platform/ini_file.h"
#include "platform/paths.h"

namespace pc {

namespace {

constexpr const char* kSection = "Settings";

IniFile Read(const std::string& path)
{
    try {
        return IniFile::Load(path);
    } catch (const Error&) {
        return IniFile();
    }
}

} // namespace

IniSettings::IniSettings(std::string path) : path_(std::move(path)) {}

int IniSettings::StartMode() const
{
    return Read(path_).ReadInteger(kSection, "StartMode", 0);
}

bool IniSettings::SoftwareRender() const
{
    return Read(path_).ReadBool(kSection, "SoftwareRender", true);
}

int IniSettings::PixelsFormat() const
{
    return Read(path_).ReadInteger(kSection, "PixelsFormat", 0);
}

void IniSettings::WriteStartMode(int mode) const
{
    IniFile ini = IniFile::Load(path_);
    ini.WriteInteger(kSection, "StartMode", mode);
    ini.Save(path_);
}

void IniSettings::WriteRendering(bool softwareRender, int pixelsFormat) const
{
    IniFile ini = IniFile::Load(path_);
    ini.WriteBool(kSection, "SoftwareRender", softwareRender);
    ini.WriteInteger(kSection, "PixelsFormat", pixelsFormat);
    ini.Save(path_);
}

std::string RelaunchQuestion(const std::string& name, bool softwareRender)
{
    std::string q = "You have adjusted the current rendering acceleration to '" + name + "'.";
    if (!softwareRender)
        q += "\nIf program can not work well please return to 'Software Rendering'.";
    q += "\nThis change will not take effect until after you have relaunched this program.\n"
         "Do you want to quit and relaunch the program now?";
    return q;
}

std::string RelaunchProjectPath()
{
    const std::string name = ExecutableName() + ".tempproj.qv7kb";
    std::string folder = ProgramFolder();
    if (::access(folder.c_str(), W_OK) != 0) {
        const char* cache = std::getenv("XDG_CACHE_HOME");
        const char* home = std::getenv("HOME");
        folder = (cache && *cache) ? std::string(cache) + "/prismcase/"
                                   : std::string(home && *home ? home : "/tmp") + "/.cache/prismcase/";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }
    return folder + name;
}

} // namespace pc
