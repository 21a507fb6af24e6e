#pragma once
// Stand-ins for the tool. In memory: hands out scripted chunks of output,
// then ends (or hangs until terminated), so that the job's runner can be
// followed step by step without processes. As a real program: a shell script
// that prints its text and exits with its code.

#include "platform/process.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct FakeToolScript {
    std::vector<std::string> chunks;
    bool hangs = false;    // after its chunks, runs until terminated
    bool crashes = false;  // ends by a signal after its chunks
};

// What the test can look at after the run.
struct FakeToolRecord {
    std::mutex mutex;
    std::vector<ProcessStart> starts;
    std::string scriptAtStart;      // the command script as the tool found it
    std::vector<std::string> filesAtStart;  // the job folder's names
    bool terminated = false;
};

class FakeProcess final : public IProcess {
public:
    FakeProcess(FakeToolScript script, std::shared_ptr<FakeToolRecord> record);
    ProcessRead Read(char* buffer, std::size_t size, std::chrono::milliseconds wait) override;
    ProcessExit WaitForExit(std::chrono::milliseconds limit) override;
    void Terminate() override;

private:
    bool Ended() const;

    const FakeToolScript script;
    std::shared_ptr<FakeToolRecord> record;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0;
    bool terminated = false;
};

// A starter that records each start and hands out a FakeProcess, or fails
// with `failure` when that is not empty.
ProcessStarter FakeStarter(FakeToolScript script, std::shared_ptr<FakeToolRecord> record,
                           std::string failure = {});

// Writes an executable shell script at `path` (folders made as needed) that
// prints `output` and exits with `exitCode`.
void WriteScriptedTool(const std::string& path, const std::string& output, int exitCode);
