#include "app/probe/probe_session.h"

#include <cstdlib>

namespace pc::probe {

ProbeSession::ProbeSession(char** argv, bool show)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app_ = std::make_unique<QApplication>(argc_, argv);
    scoped_ = std::make_unique<ScopedMessageBoxes>(boxes_);
    window_ = std::make_unique<TFormMainQV7K>(std::make_unique<DefaultSettings>(), QStringList{});
    if (show)
        window_->show();
    window_->FormCreate();
}

ProbeSession::~ProbeSession()
{
    window_.reset();
    scoped_.reset();
}

std::unique_ptr<QGuiApplication> QuietGuiApplication(char** argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (QGuiApplication::instance())
        return nullptr;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace pc::probe
