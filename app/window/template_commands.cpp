#include "app/window/template_commands.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

#include "app/templates/template_dialog.h"
#include "app/window/main_window.h"
#include "app/window/project_commands.h"
#include "app/window/settings_commands.h"
#include "platform/message_box.h"

namespace pc {

TemplateCommands::TemplateCommands(TFormMainQV7K& window) : QObject(&window), w_(window)
{
    setObjectName("TemplateCommands");
    Folders = TemplateFolders;
    RunBrowser = [](TTemplate& browser) { return browser.exec(); };
}

void TemplateCommands::OpenTemplatesExecute(bool insert)
{
    int result = kTemplateCancel;
    std::string path;
    {
        TTemplate browser(&w_, Folders());
        const bool startScreen = w_.LoadTemplates2->isChecked();
        browser.CheckBox1->setChecked(startScreen);
        result = RunBrowser(browser);
        path = browser.FileName->text().toStdString();
        // Leaving the box as it was keeps any other start choice.
        if (browser.CheckBox1->isChecked() != startScreen)
            if (SettingsCommands* settings = SettingsCommandsOf(w_))
                settings->LoadTemplates2Click(browser.CheckBox1->isChecked() ? w_.LoadTemplates2 : w_.Clear1);
    }
    if (result != kTemplateLoad || path.empty())
        return;
    const std::string remembered = w_.OpenDialog1FileName;
    w_.OpenDialog1FileName = path;
    {
        TagScope mode(w_.ALoadTemplate->Tag, insert ? kLoadInsertPreset : kLoadPreset);
        ReportErrors([this] { w_.ALoadTemplateExecute(); });
    }
    w_.OpenDialog1FileName = remembered;
}

TemplateCommands& InstallTemplateCommands(TFormMainQV7K& w)
{
    auto* commands = new TemplateCommands(w); // the window owns it
    QObject::connect(w.OpenTemplates, &QAction::triggered, commands, [commands] { commands->OpenTemplatesExecute(false); });
    QObject::connect(w.AInsertObjFromTemplates, &QAction::triggered, commands,
                     [commands] { commands->OpenTemplatesExecute(true); });
    w.OpenTemplates->setEnabled(true);
    w.AInsertObjFromTemplates->setEnabled(true);
    // The start screen opens once the event loop runs: over the shown window,
    // and inside the loop that a termination signal ends.
    w.OpenTemplatesHandler = [commands] {
        QTimer::singleShot(0, commands, [commands] { commands->OpenTemplatesExecute(false); });
    };
    return *commands;
}

TemplateCommands* TemplateCommandsOf(TFormMainQV7K& w)
{
    return w.findChild<TemplateCommands*>("TemplateCommands", Qt::FindDirectChildrenOnly);
}

} // namespace pc
