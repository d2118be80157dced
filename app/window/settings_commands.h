#pragma once
// The Settings menu's Start and Rendering Acceleration groups, the "Advance"
// formats and the relaunch that makes a new acceleration take effect.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QEvent;

namespace pc {

class TaggedAction;
class TFormMainQV7K;

class SettingsCommands : public QObject {
    Q_OBJECT
public:
    SettingsCommands(TFormMainQV7K& window, std::string settingsFile);

    std::string SettingsFile;
    // Starts the program again with the arguments and kRelaunchedVariable
    // set; false when it could not be started.
    std::function<bool(const QStringList& arguments)> StartProgram;

    // A Start item: checks it and writes its Tag as "StartMode".
    void LoadTemplates2Click(TaggedAction* item);
    // An acceleration action (advanceItem false) or an "Advance" format item.
    void SoftwareRenderExecute(TaggedAction* sender, bool advanceItem);
    void Label14Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Relaunch();

    TFormMainQV7K& w_;
};

// The argument after the work file that names the user's project the
// relaunched scene stands for: percent-encoded, so that a name that is not
// UTF-8 comes through the command line whole.
QString RelaunchProjectArgument(const std::string& project);
std::string ProjectOfRelaunchArgument(const QString& argument);

SettingsCommands& InstallSettingsCommands(TFormMainQV7K& window);
SettingsCommands* SettingsCommandsOf(TFormMainQV7K& window);

} // namespace pc
