#pragma once
// The main window on the offscreen platform for one probe command, with its
// message boxes recorded instead of shown.
#include <QApplication>
#include <QGuiApplication>
#include <memory>

#include "app/window/main_window.h"
#include "platform/message_box.h"

namespace pc::probe {

class ProbeSession {
public:
    // Builds the window and its GL context (FormCreate); show it first when
    // its widgets must have their real sizes.
    ProbeSession(char** argv, bool show);
    ~ProbeSession();
    TFormMainQV7K& Window() { return *window_; }
    ScriptedMessageBoxes& Boxes() { return boxes_; }

private:
    int argc_ = 1;
    std::unique_ptr<QApplication> app_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<ScopedMessageBoxes> scoped_;
    std::unique_ptr<TFormMainQV7K> window_;
};

// A GUI application on the offscreen platform for commands that draw with
// Qt's fonts but show no window, with Qt's own messages silenced so that a
// command's output stays its own. Empty when an application already runs.
std::unique_ptr<QGuiApplication> QuietGuiApplication(char** argv);

} // namespace pc::probe
