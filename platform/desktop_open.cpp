#include "platform/desktop_open.h"

#include <QProcess>
#include <algorithm>
#include <memory>

namespace pc {

namespace {

// Enough of the handler's own words to say why; it could write without end.
constexpr qsizetype kMaxReason = 2000;

std::string FailureText(const std::string& target, const QString& reason)
{
    std::string text = "No program could be started to show:\n" + target;
    const QString trimmed = reason.trimmed();
    if (!trimmed.isEmpty())
        text += "\n\n" + trimmed.toStdString();
    return text;
}

} // namespace

void OpenWithDesktop(const std::string& target, QObject* owner, std::function<void(const std::string&)> failed)
{
    auto* handler = new QProcess(owner);
    handler->setProgram("xdg-open");
    handler->setArguments({QString::fromStdString(target)});
    handler->setStandardOutputFile(QProcess::nullDevice());
    // A browser it starts may keep writing here: only the start is kept.
    auto reason = std::make_shared<QByteArray>();
    QObject::connect(handler, &QProcess::readyReadStandardError, handler, [handler, reason] {
        const QByteArray more = handler->readAllStandardError();
        reason->append(more.left(std::max<qsizetype>(0, kMaxReason - reason->size())));
    });
    QObject::connect(handler, &QProcess::errorOccurred, handler, [handler, target, failed](QProcess::ProcessError e) {
        if (e != QProcess::FailedToStart)
            return;
        failed(FailureText(target, "xdg-open: " + handler->errorString()));
        handler->deleteLater();
    });
    QObject::connect(handler, &QProcess::finished, handler,
                     [handler, target, failed, reason](int code, QProcess::ExitStatus status) {
                         reason->append(handler->readAllStandardError().left(
                             std::max<qsizetype>(0, kMaxReason - reason->size())));
                         if (status != QProcess::NormalExit || code != 0)
                             failed(FailureText(target, QString::fromLocal8Bit(*reason)));
                         handler->deleteLater();
                     });
    handler->start();
}

} // namespace pc
