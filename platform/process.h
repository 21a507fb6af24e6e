#pragma once
// A program started without a shell, whose standard output the caller reads
// through a pipe as it arrives. Standard input and standard error are the
// null device, so the program never waits on a console.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ProcessStart {
    std::string program;                 // full path; no search along PATH
    std::vector<std::string> arguments;  // after the program's own name
    std::string workingDirectory;        // the child's; the caller's stays as it is
    std::vector<std::string> extraEnvironment;  // "NAME=value", added to the caller's
};

// How one read of the output pipe ended.
struct ProcessRead {
    enum class Kind { Data, Timeout, End };
    Kind kind;
    std::size_t count = 0;  // bytes stored, for Data
};

// How the program ended, once it has.
struct ProcessExit {
    bool ended = false;
    bool bySignal = false;  // killed, crashed or terminated: it did not exit by itself
    int code = 0;           // exit code, or the signal's number
};

class IProcess {
public:
    virtual ~IProcess() = default;

    // Stores up to `size` bytes of output in `buffer`, waiting at most
    // `wait` for some to arrive. End: every writer of the pipe has closed it.
    // One reader at a time.
    virtual ProcessRead Read(char* buffer, std::size_t size, std::chrono::milliseconds wait) = 0;

    // Waits at most `limit` for the program to end.
    virtual ProcessExit WaitForExit(std::chrono::milliseconds limit) = 0;

    // Ends the program at once unless it has already ended. Safe to call from
    // another thread while one waits in WaitForExit.
    virtual void Terminate() = 0;
};

// Starts a program; on failure returns nothing and says why in `error`.
using ProcessStarter =
    std::function<std::unique_ptr<IProcess>(const ProcessStart& start, std::string& error)>;

// The machine's implementation (quillmark_platform).
std::unique_ptr<IProcess> StartProcess(const ProcessStart& start, std::string& error);
