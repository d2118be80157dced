#pragma once
// The settings file: section "Settings" with "StartMode", "SoftwareRender" and
// "PixelsFormat". Every access opens the file afresh; nothing is cached, and a
// missing or unreadable file gives the defaults.
#include <string>

#include "app/settings/app_settings.h"

namespace pc {

class IniSettings : public AppSettings {
public:
    explicit IniSettings(std::string path);
    int StartMode() const override;
    bool SoftwareRender() const override;
    int PixelsFormat() const override;

    // Throw FileError when the file cannot be written.
    void WriteStartMode(int mode) const;
    void WriteRendering(bool softwareRender, int pixelsFormat) const;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The question asked after the rendering acceleration changed to name.
std::string RelaunchQuestion(const std::string& name, bool softwareRender);

// Where the relaunch leaves the scene for the new instance: outside the work
// folder, which goes with the old instance.
std::string RelaunchProjectPath();

// Set in the environment of a relaunched instance, which must open its project
// itself instead of handing it to the instance that is closing.
inline constexpr const char* kRelaunchedVariable = "PRISMCASE_RELAUNCHED";

} // namespace pc
