#include "cli/console_job_runner.h"

#include "cli/commands.h"
#include "job/board_info.h"
#include "job/status_table.h"

#include <atomic>
#include <iostream>
#include <csignal>
#include <cstdio>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

std::string FormatDuration(double seconds)
{
    const int total = static_cast<int>(seconds + 0.5);
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", total / 60, total % 60);
    return text;
}

}  // namespace

ConsoleJobRunner::ConsoleJobRunner(std::ostream& out, Settings settings)
    : out(out),
      settings(settings),
      queue([this](unsigned m, WParam w, LParam l) { return Handle(m, w, l); }),
      watcher(std::chrono::steady_clock::now(), settings.boardWaitLimit),
      started(std::chrono::steady_clock::now()),
      closeGuard([this] {
          interrupted = true;
          queue.Wake();
      })
{
    interrupted = false;
    std::signal(SIGINT, OnInterrupt);
}

ConsoleJobRunner::~ConsoleJobRunner() { std::signal(SIGINT, SIG_DFL); }

void ConsoleJobRunner::Pump(std::chrono::milliseconds timeout) { queue.DispatchFor(timeout); }

std::ostream& ConsoleJobRunner::ProseStream(bool events) { return events ? std::cerr : std::cout; }

int ConsoleJobRunner::Run(const std::function<void()>& stopJob)
{
    const int code = RunUntilEnd(stopJob);
    const char* result = code == kExitSuccess ? "programmed" : code == 130 ? "stopped" : "failed";
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    settings.events.Result(settings.port, settings.mac, result, lastStatus.value_or(0), seconds);
    return code;
}

int ConsoleJobRunner::RunUntilEnd(const std::function<void()>& stopJob)
{
    while (watcher.Running()) {
        Pump(std::chrono::milliseconds(100));
        if (interrupted) {
            EndLine();
            out << "Interrupted; stopping the job." << std::endl;
            stopJob();
            return 130;
        }
        if (watcher.GiveUpIfSilent(std::chrono::steady_clock::now())) {
            EndLine();
            out << "No board answered within " << settings.boardWaitLimit->count()
                << " seconds; giving up." << std::endl;
            stopJob();
            return kExitFailure;
        }
    }
    if (!watcher.EndsByItself())
        stopJob();
    EndLine();
    return ExitCodeOfVerdict();
}

// Read after the job has been stopped: its own success may have come meanwhile.
int ConsoleJobRunner::ExitCodeOfVerdict() const
{
    return watcher.Verdict() == JobVerdict::Succeeded ? kExitSuccess : kExitFailure;
}

LParam ConsoleJobRunner::Handle(unsigned message, WParam wparam, LParam)
{
    if (message == WM_JOB_STATUS)
        ShowStatus(StatusOfMessage(wparam));
    else if (message == WM_JOB_PROGRESS)
        ShowProgress(static_cast<unsigned>(wparam));
    else if (message == WM_JOB_MESSAGE) {
        EndLine();
        std::cerr << TextOfMessage(wparam) << std::endl;
    }
    return 0;
}

void ConsoleJobRunner::ShowStatus(const JobStatus& status)
{
    const std::int32_t code = status.code;
    const StatusRow& row = LookupStatus(code);
    if (lastStatus != code)
        settings.events.Status(settings.port, code);
    ShowStatusLine(code, row.text);
    if (!status.failure.empty())
        failure = status.failure;
    if (!status.openFailure.empty()) {
        EndLine();
        out << status.openFailure << std::endl;
    }
    watcher.OnStatus(code, status.hopeless);
}

// A status the job repeats while it waits is shown once; on a terminal a
// spinner behind it tells that the job is still waiting.
void ConsoleJobRunner::ShowStatusLine(std::int32_t code, std::string_view text)
{
    static constexpr char kSpinner[] = {'|', '/', '-', '\\'};
    const bool repeated = lastStatus == code;
    lastStatus = code;
    if (repeated && !settings.terminal)
        return;
    if (repeated && lineOpen) {
        out << "\r" << text << " " << kSpinner[repeats++ % sizeof kSpinner] << std::flush;
        return;
    }
    EndLine();
    repeats = 0;
    out << text;
    if (settings.terminal) {
        out << std::flush;
        lineOpen = true;
    } else {
        out << std::endl;
    }
}

void ConsoleJobRunner::ShowProgress(unsigned percent)
{
    if (static_cast<int>(percent) == lastPercent)
        return;
    lastPercent = static_cast<int>(percent);
    settings.events.Progress(settings.port, lastPercent);
    const auto now = std::chrono::steady_clock::now();
    if (!programmingStarted)
        programmingStarted = now;
    lastStatus.reset();
    if (!settings.terminal) {
        out << "Progress: " << percent << "%" << std::endl;
        return;
    }
    const unsigned shown = percent > 100 ? 100 : percent;
    const std::uint64_t done = std::uint64_t{settings.imageLength} * shown / 100;
    const double elapsed = std::chrono::duration<double>(now - *programmingStarted).count();
    const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0;
    constexpr int kWidth = 30;
    const int filled = static_cast<int>(shown * kWidth / 100);
    char line[160];
    std::snprintf(line, sizeof line, "\r[%s%s] %3u%%  %llu/%u bytes  %.1f kB/s  %s left",
                  std::string(filled, '#').c_str(), std::string(kWidth - filled, '.').c_str(),
                  shown, static_cast<unsigned long long>(done), settings.imageLength, rate / 1000,
                  rate > 0 ? FormatDuration((settings.imageLength - done) / rate).c_str() : "-:--");
    if (!barOpen)
        EndLine();  // the status stays above the bar
    out << line << std::flush;
    lineOpen = barOpen = true;
}

void ConsoleJobRunner::EndLine()
{
    if (lineOpen)
        out << "\n";
    lineOpen = barOpen = false;
}
