// velkan-board-sim: a simulated Velkan board on a pseudo-terminal, for the
// tests, the benchmarks and the demo.

#include "sim/board_sim.h"
#include "sim/sim_options.h"

#include <atomic>
#include <csignal>

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

}  // namespace

int main(int argc, char** argv)
{
    const SimOptions options = ParseSimOptions(argc, argv);
    Install(SIGTERM, OnQuit);
    Install(SIGINT, OnQuit);
    Install(SIGHUP, OnQuit);
    Install(SIGUSR1, OnSave);
    std::signal(SIGPIPE, SIG_IGN);
    BoardSim board(options);
    return board.Run(quit, saveRequested);
}
