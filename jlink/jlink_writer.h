#pragma once
// Programs a board through the J-Link tool: writes the MAC-patched copy of the
// image and the work files into the temporary folder, runs the tool on the
// command script, follows its output for progress and errors, logs it, reports
// the outcome and removes the work files.
//
// Two threads: the worker runs Run and everything it calls; the output reader
// runs PumpOutput while the tool runs. Both report through blocking sends, so
// whoever waits for the job must keep delivering them (Wait's whileWaiting).

#include "jlink/jlink_failure.h"
#include "jlink/jlink_settings.h"
#include "platform/process.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

class FlashPlan;
class IFileLock;

class CBoardInfo;
class IJobObserver;

class JLinkWriter {
public:
    JLinkWriter(IJobObserver* observer, CBoardInfo* request, JLinkSettings settings);
    // Waits for the worker: the threads use this writer and the request
    // until Run returns. Prefer Wait, which can keep delivering sends.
    ~JLinkWriter();
    JLinkWriter(const JLinkWriter&) = delete;
    JLinkWriter& operator=(const JLinkWriter&) = delete;

    // Starts the worker. Once only.
    void Start();
    // Returns once the worker and the output reader have ended, calling
    // `whileWaiting` at least every 100 ms meanwhile.
    void Wait(const std::function<void()>& whileWaiting);
    // True when no thread of this writer runs: not started, or finished.
    bool HasEnded() const;
    // Ends a running tool at once (the window is closing): the job then fails
    // and cleans up as after any tool that was stopped. A tool not started
    // yet is not started any more.
    void Abort();

    // The worker's steps.
    void Run();
    void PrepareAndProgram(const std::string& imagePath);
    // Writes the pieces, the flash loader and the script into the job folder.
    // On failure says why, removes what it created and returns false.
    bool CreateWorkFiles(const FlashPlan& plan);
    void RunJLink(const std::string& toolPath);
    // The output reader's loop.
    void PumpOutput();
    bool DeleteWorkFolder();

    // Where the tool's output is logged; empty without a temporary folder.
    std::string LogPath() const;

    // Why the job failed; read once the job has ended.
    JLinkFailure Failure() const { return failure; }

private:
    bool FindInputs(const std::string& imagePath, std::string& toolPath);
    std::unique_ptr<IFileLock> ClaimTempFolder();
    void RemoveLeftImageCopy(IFileLock& claim) const;
    std::string WriteImageCopy(const std::string& imagePath, std::span<const std::uint8_t> bytes,
                               IFileLock& claim);
    bool WritePieces(const FlashPlan& plan);
    bool WriteScript(const FlashPlan& plan);
    bool WriteWorkFile(std::string_view fileName, std::span<const std::uint8_t> bytes);
    bool FailWorkFiles(const std::string& message);
    // Waits for the tool within the time limit, terminating it after that.
    ProcessExit EndTool(bool& timedOut);
    // Why the tool, though it reported no error, did not program the board;
    // empty when it did.
    std::pair<JLinkFailure, std::string> ToolFailure(const ProcessExit& exit, bool timedOut) const;
    bool AppendToLog(std::string_view chunk);
    void ReportToolError(const std::string& errorText);
    void SendStatus(std::int32_t code);
    void SendProgress(int percent);
    void ReportFailure();
    // Tells the user now, in a message box or on the console.
    void Tell(const std::string& text);
    // Says why in the diagnostics and keeps the first reason for the end.
    void NoteFailure(JLinkFailure why, const std::string& detail);
    void Diagnostic(std::string_view text) const;
    std::string TempPath(std::string_view relative) const;

    IJobObserver* const observer;
    CBoardInfo* const request;
    const JLinkSettings settings;

    std::thread worker;
    std::thread reader;
    int pieceCount = 0;  // set before the reader starts; the progress divisor
    std::mutex toolMutex;  // the tool's start and release against Abort
    std::unique_ptr<IProcess> tool;
    bool aborted = false;
    std::atomic<bool> errorSeen{false};
    std::atomic<bool> toolEnded{false};
    bool pieceLoaded = false;  // by the reader; read once it has ended
    // Written by whichever thread fails, before the other one looks.
    JLinkFailure failure = JLinkFailure::None;
    std::string failureDetail;
    bool told = false;  // a message has told the user why the job fails

    mutable std::mutex stateMutex;
    std::condition_variable endedSignal;
    bool started = false;
    bool ended = false;
};
