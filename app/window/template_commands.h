#pragma once
// "Open Templates" and "Insert objects from templates": the template browser
// run modally over the main window, then the chosen template opened as the
// scene or its objects added to it. The browser is also the start screen.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

namespace pc {

class TFormMainQV7K;
class TTemplate;

class TemplateCommands : public QObject {
    Q_OBJECT
public:
    explicit TemplateCommands(TFormMainQV7K& window);

    // Where the browser looks; the program's and the user's templates folders.
    std::function<std::vector<std::string>()> Folders;
    // Shows the browser modally and returns its result; tests drive it.
    std::function<int(TTemplate&)> RunBrowser;

    // insert: add the template's objects to the scene instead of replacing it.
    // "StartMode" is written only when the user changed the check box.
    void OpenTemplatesExecute(bool insert);

private:
    TFormMainQV7K& w_;
};

// Wires both commands and the start screen (opened from the event loop);
// the program does this once before FormCreate.
TemplateCommands& InstallTemplateCommands(TFormMainQV7K& window);
TemplateCommands* TemplateCommandsOf(TFormMainQV7K& window);

} // namespace pc
