#include "platform/console.h"

#include <csignal>
#include <mutex>
#include <thread>

#include <pthread.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

sigset_t StopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

bool OutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

bool EnableCursorMoves() { return OutputIsTerminal(); }

std::size_t TerminalColumns()
{
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

// The signals are blocked in every thread (the later ones inherit the mask)
// and taken by one waiting thread, so that they end the program in order
// instead of killing it mid-line.
struct ConsoleStopWatch::State {
    sigset_t previous;
    std::mutex mutex;
    bool waited = false;   // the waiter has taken a signal
    bool closing = false;  // the watch is going away: a signal now is its own
    std::thread waiter;
};

ConsoleStopWatch::ConsoleStopWatch(std::function<void()> onStop) : state(new State)
{
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, &state->previous);
    state->waiter = std::thread([this, onStop = std::move(onStop)] {
        const sigset_t signals = StopSignals();
        int signal = 0;
        sigwait(&signals, &signal);
        {
            std::lock_guard lock(state->mutex);
            state->waited = true;
            if (state->closing)
                return;
        }
        onStop();
    });
}

ConsoleStopWatch::~ConsoleStopWatch()
{
    {
        // A signal sent to a thread that ends before it takes it dies with
        // the thread; one sent to a thread that has taken its signal would
        // wait for the mask below to lift and end the process.
        std::lock_guard lock(state->mutex);
        state->closing = true;
        if (!state->waited)
            pthread_kill(state->waiter.native_handle(), SIGTERM);
    }
    state->waiter.join();
    pthread_sigmask(SIG_SETMASK, &state->previous, nullptr);
    delete state;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv, argv + argc}; }

// A terminal's hang-up and the system's shut-down arrive as signals, which
// the stop watch takes; nothing waits on a handler's return here.
struct ConsoleCloseGuard::State {};

ConsoleCloseGuard::ConsoleCloseGuard(std::function<void()>) : state(nullptr) {}

ConsoleCloseGuard::~ConsoleCloseGuard() = default;
