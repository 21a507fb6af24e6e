#pragma once
// How a blocking wait for a change of the machine ended.

enum class WaitOutcome {
    Changed,  // the watched thing changed (several changes may arrive as one)
    Woken,    // Wake() was called and nothing relevant changed
    Failed,   // the wait itself failed; the source's FailedCall() names the call
};
