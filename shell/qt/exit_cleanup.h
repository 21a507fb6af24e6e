#pragma once
// Qt ends the program with exit() when it loses its display (a logout, a
// dropped ssh -X session): main never returns and no destructor on its stack
// runs, so the running job, the demo's board and its folder would be left
// behind. What must not be registers its cleanup here; exit() runs those
// still registered, the newest first. One that main lets go of in the usual
// way runs nothing: its own destructors do the work then.

#include <functional>

class CExitCleanup {
public:
    explicit CExitCleanup(std::function<void()> cleanup);
    ~CExitCleanup();
    CExitCleanup(const CExitCleanup&) = delete;
    CExitCleanup& operator=(const CExitCleanup&) = delete;

private:
    std::function<void()> cleanup;

    friend void RunExitCleanups();
};
