#include "platform/quit_on_signal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace pc {

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    // Only async-signal-safe work here: wake the event loop.
    char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[0], &c, 1);
}

} // namespace

void QuitOnTerminationSignals()
{
    if (signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[1], &c, 1);
        // exit(), not quit(): quit() closes the windows first, and a close
        // question nobody can answer would keep a terminated program alive.
        QCoreApplication::exit(0);
    });
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGINT, SIGHUP})
        sigaction(s, &sa, nullptr);
}

} // namespace pc
