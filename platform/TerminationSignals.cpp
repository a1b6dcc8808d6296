#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

int wakeFds[2] = {-1, -1};
volatile std::sig_atomic_t started = 0;

extern "C" void noteSignal(int signal)
{
    if (started) {
        // Ending has begun. A logout sends SIGTERM and then SIGHUP as the terminal closes, and
        // the recovery copies may still be on their way: only Ctrl+C pressed again means
        // "now".
        if (signal == SIGINT)
            ::_exit(128 + signal);
        return;
    }
    started = 1;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(wakeFds[1], &byte, 1);
}

} // namespace

void onTermination(std::function<void(int signal)> handle)
{
    if (wakeFds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    auto* notifier =
        new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [notifier, handle = std::move(handle)] {
                         char byte = 0;
                         if (::read(wakeFds[0], &byte, 1) != 1)
                             return;
                         notifier->setEnabled(false); // one signal is ever noted
                         handle(static_cast<unsigned char>(byte));
                     });
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(s, &action, nullptr);
}

} // namespace platform
