#pragma once
// The start-up settings the main window reads ("Settings" section of the
// settings file). Each call reads afresh; nothing is cached.
namespace pc {

class AppSettings {
public:
    virtual ~AppSettings() = default;
    virtual int StartMode() const = 0;      // 0 template browser, 1 "Default.qv7kb", 2 empty scene
    virtual bool SoftwareRender() const = 0;
    virtual int PixelsFormat() const = 0;   // 0: choose automatically
};

// The values a missing settings file yields.
class DefaultSettings : public AppSettings {
public:
    int StartMode() const override { return 0; }
    bool SoftwareRender() const override { return true; }
    int PixelsFormat() const override { return 0; }
};

} // namespace pc
