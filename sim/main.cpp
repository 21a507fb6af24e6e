// velkan-board-sim: a simulated Velkan board on a pseudo-terminal, for the
// tests, the benchmarks and the demo.

#include "sim/board_sim.h"
#include "sim/sim_options.h"

#include <atomic>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

std::atomic<bool> quit{false};
std::atomic<bool> saveRequested{false};

extern "C" void OnQuit(int) { quit = true; }
extern "C" void OnSave(int) { saveRequested = true; }

void Install(int signal, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

// A script that starts the board in the background cannot make it end with
// the script; the board does that itself. The parent may already be gone by
// the time the signal is asked for: then nobody would send it.
void EndWithParent(int parentPid)
{
    if (parentPid <= 0)
        return;
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parentPid)
        quit = true;
}

}  // namespace

int main(int argc, char** argv)
{
    const SimOptions options = ParseSimOptions(argc, argv);
    Install(SIGTERM, OnQuit);
    Install(SIGINT, OnQuit);
    Install(SIGHUP, OnQuit);
    Install(SIGUSR1, OnSave);
    std::signal(SIGPIPE, SIG_IGN);
    EndWithParent(options.parentPid);
    BoardSim board(options);
    return board.Run(quit, saveRequested);
}
