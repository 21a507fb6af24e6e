#include "shell/qt/quit_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler, read by the event loop: a handler may do little
// more than write(2).
int wakeWrite = -1;
int wakeRead = -1;

extern "C" void OnQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(wakeWrite, &byte, 1);
}

void InstallHandlers(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

}  // namespace

QuitOnSignals::QuitOnSignals(std::function<void()> quitAction, QObject* parent)
    : QObject(parent), quit(std::move(quitAction))
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0)
        return;  // the default handling stays: the process just ends
    wakeWrite = ends[0];
    wakeRead = ends[1];
    notifier = new QSocketNotifier(wakeRead, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QuitOnSignals::OnSignal);
    InstallHandlers(OnQuitSignal);
}

QuitOnSignals::~QuitOnSignals()
{
    if (!notifier)
        return;
    InstallHandlers(SIG_DFL);
    delete notifier;
    ::close(wakeWrite);
    ::close(wakeRead);
    wakeWrite = wakeRead = -1;
}

void QuitOnSignals::OnSignal()
{
    char bytes[16];
    while (::read(wakeRead, bytes, sizeof bytes) > 0) {
    }
    if (quit)
        quit();
}
