#include "fake_tool.h"

#include "support/run_command.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

FakeProcess::FakeProcess(FakeToolScript script, std::shared_ptr<FakeToolRecord> record)
    : script(std::move(script)), record(std::move(record))
{
}

bool FakeProcess::Ended() const
{
    return terminated || (!script.hangs && next == script.chunks.size());
}

ProcessRead FakeProcess::Read(char* buffer, std::size_t size, std::chrono::milliseconds wait)
{
    std::unique_lock lock(mutex);
    if (!terminated && next < script.chunks.size()) {
        const std::string& chunk = script.chunks[next++];
        const std::size_t n = std::min(size, chunk.size());
        std::memcpy(buffer, chunk.data(), n);
        changed.notify_all();
        return {ProcessRead::Kind::Data, n};
    }
    if (Ended())
        return {ProcessRead::Kind::End};
    changed.wait_for(lock, wait, [this] { return terminated; });
    return {terminated ? ProcessRead::Kind::End : ProcessRead::Kind::Timeout};
}

ProcessExit FakeProcess::WaitForExit(std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex);
    if (!changed.wait_for(lock, limit, [this] { return Ended(); }))
        return {};
    return {true, terminated || script.crashes, terminated ? 9 : 0};
}

void FakeProcess::Terminate()
{
    {
        std::lock_guard lock(mutex);
        terminated = true;
    }
    changed.notify_all();
    std::lock_guard lock(record->mutex);
    record->terminated = true;
}

ProcessStarter FakeStarter(FakeToolScript script, std::shared_ptr<FakeToolRecord> record,
                           std::string failure)
{
    return [=](const ProcessStart& start, std::string& error) -> std::unique_ptr<IProcess> {
        {
            std::lock_guard lock(record->mutex);
            record->starts.push_back(start);
            const auto folder = std::filesystem::path(start.workingDirectory) / "temp_jlinkloader";
            const auto script = ReadFileBytes((folder / "jlinkscript.txt").string());
            record->scriptAtStart.assign(script.begin(), script.end());
            std::error_code ignored;
            for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
                record->filesAtStart.push_back(entry.path().filename().string());
            std::sort(record->filesAtStart.begin(), record->filesAtStart.end());
        }
        if (!failure.empty()) {
            error = failure;
            return nullptr;
        }
        return std::make_unique<FakeProcess>(script, record);
    };
}

void WriteScriptedTool(const std::string& path, const std::string& output, int exitCode)
{
    namespace fs = std::filesystem;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::trunc) << "#!/bin/sh\nprintf '%s' " << ShellQuote(output)
                                         << "\nexit " << exitCode << "\n";
    fs::permissions(path, fs::perms::owner_all);
}
