// Running the tool on the command script and following its output.

#include "jlink/jlink_writer.h"
#include "jlink/tool_file_names.h"
#include "jlink/output_scanner.h"
#include "job/status_codes.h"
#include "platform/text_paths.h"

#include <fstream>
#include <system_error>
#include <vector>

namespace {

// What one read of the pipe takes at most.
constexpr std::size_t kReadSize = 2048;
// How long a tool that was terminated may take to be gone.
constexpr auto kTerminationWait = std::chrono::seconds(10);

const std::string kTool(kToolName);

}  // namespace

void JLinkWriter::RunJLink(const std::string& toolPath)
{
    Diagnostic("\n->Start of parent execution.\n");
    // The script's relative names resolve in the tool's working directory.
    const ProcessStart start{toolPath,
                             {"-CommanderScript", WorkRelativePath(kScriptFileName)},
                             settings.tempFolder,
                             settings.toolEnvironment};
    Diagnostic("\n\r Running JLink: \n\r");
    std::string error = "no way to start programs";
    {
        const std::lock_guard lock(toolMutex);
        if (aborted)
            error = "the job was stopped";
        else if (settings.startProcess)
            tool = settings.startProcess(start, error);
    }
    if (!tool) {
        NoteFailure(JLinkFailure::ToolDidNotStart,
                    "Cannot start " + kTool + ": " + toolPath + " (" + error + ")");
        return ReportFailure();
    }
    toolEnded = false;
    pieceLoaded = false;
    try {
        reader = std::thread([this] { PumpOutput(); });
    } catch (const std::system_error& failure) {
        // Without a reader nobody would follow the tool: it must not run on.
        const std::lock_guard lock(toolMutex);
        tool->Terminate();
        tool.reset();
        NoteFailure(JLinkFailure::ToolDidNotStart,
                    "Cannot follow " + kTool + ": " + std::string(failure.what()));
        return ReportFailure();
    }
    bool timedOut = false;
    const ProcessExit exit = EndTool(timedOut);
    reader.join();
    {
        const std::lock_guard lock(toolMutex);
        tool.reset();
    }
    if (errorSeen)
        return;  // the reader has reported it
    const auto [why, detail] = ToolFailure(exit, timedOut);
    if (why != JLinkFailure::None) {
        NoteFailure(why, kTool + " " + detail);
        ReportFailure();
    }
}

// The success status rests on the tool having carried out the script, and
// the absence of its error marker does not show that: a tool that had to be
// stopped, died, gave up with an error code, or never got as far as loading
// a piece has not.
std::pair<JLinkFailure, std::string> JLinkWriter::ToolFailure(const ProcessExit& exit,
                                                              bool timedOut) const
{
    if (timedOut)
        return {JLinkFailure::TimedOut, "did not end within " +
                                            std::to_string(settings.toolTimeLimit.count()) +
                                            " ms and was terminated"};
    if (exit.bySignal)
        return {JLinkFailure::Crashed, "ended abnormally (signal " + std::to_string(exit.code) + ")"};
    if (exit.code != 0)
        return {JLinkFailure::ExitedNonZero, "exited with code " + std::to_string(exit.code)};
    if (!pieceLoaded)
        return {JLinkFailure::NoPieceLoaded, "never loaded a piece of the image"};
    return {JLinkFailure::None, {}};
}

void JLinkWriter::Abort()
{
    const std::lock_guard lock(toolMutex);
    aborted = true;
    if (tool)
        tool->Terminate();
}

ProcessExit JLinkWriter::EndTool(bool& timedOut)
{
    ProcessExit exit = tool->WaitForExit(settings.toolTimeLimit);
    timedOut = !exit.ended;
    if (timedOut) {
        tool->Terminate();
        exit = tool->WaitForExit(kTerminationWait);
    }
    toolEnded = true;
    return exit;
}

void JLinkWriter::PumpOutput()
{
    OutputScanner scanner;
    std::vector<char> buffer(kReadSize);
    bool logging = true;
    for (;;) {
        const ProcessRead read = tool->Read(buffer.data(), buffer.size(), settings.readWait);
        // A pipe still open after the tool ended is held by something the
        // tool left behind: once it has nothing more to read, the output is over.
        if (read.kind == ProcessRead::Kind::End ||
            (read.kind == ProcessRead::Kind::Timeout && toolEnded)) {
            SendProgress(100);
            return;
        }
        if (read.kind == ProcessRead::Kind::Timeout)
            continue;
        const std::string_view chunk(buffer.data(), read.count);
        const OutputScanner::Findings findings = scanner.Scan(chunk);
        if (findings.error)
            return ReportToolError(findings.errorText);
        if (findings.pieceIndex) {
            pieceLoaded = true;
            SendProgress(PiecePercent(*findings.pieceIndex, pieceCount));
        }
        // Without the log the output is still followed: an error marker must
        // never go unseen.
        if (logging && !AppendToLog(chunk)) {
            logging = false;
            Diagnostic("\n\r Error: Cannot write " + TempPath(kLogFileName));
        }
    }
}

// The chunk that holds the marker is not logged; the tool is stopped.
void JLinkWriter::ReportToolError(const std::string& errorText)
{
    NoteFailure(JLinkFailure::ToolReportedError, kTool + " reported: " + errorText);
    SendProgress(100);
    ReportFailure();
    tool->Terminate();
}

// Appended unconverted; the log accumulates every job run from this
// temporary folder.
bool JLinkWriter::AppendToLog(std::string_view chunk)
{
    std::ofstream log(PathOfText(TempPath(kLogFileName)), std::ios::binary | std::ios::app);
    if (!log)
        return false;
    log.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    return static_cast<bool>(log);
}
