#include "shell/qt/exit_cleanup.h"

#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

std::mutex mutex;
std::vector<CExitCleanup*> registered;

}  // namespace

void RunExitCleanups()
{
    for (;;) {
        CExitCleanup* newest = nullptr;
        {
            const std::lock_guard lock(mutex);
            if (registered.empty())
                return;
            newest = registered.back();
            registered.pop_back();
        }
        newest->cleanup();
    }
}

CExitCleanup::CExitCleanup(std::function<void()> cleanup) : cleanup(std::move(cleanup))
{
    static const bool once = [] { return std::atexit([] { RunExitCleanups(); }) == 0; }();
    (void)once;
    const std::lock_guard lock(mutex);
    registered.push_back(this);
}

CExitCleanup::~CExitCleanup()
{
    const std::lock_guard lock(mutex);
    std::erase(registered, this);
}
