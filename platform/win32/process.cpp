// Programs started with CreateProcessW, their standard output on a pipe, and
// inside a job object that ends them when the job is closed: a tool never
// outlives the process object that started it, even when this program dies.

#include "platform/process.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <mutex>
#include <string>
#include <utility>

#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

DWORD Milliseconds(Clock::duration d)
{
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return ms < 0 ? 0 : ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
}

class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~Handle() { Reset(); }
    Handle(Handle&& other) noexcept : h(std::exchange(other.h, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept
    {
        Reset();
        h = std::exchange(other.h, nullptr);
        return *this;
    }
    HANDLE get() const { return h; }
    HANDLE* out() { return &h; }
    explicit operator bool() const { return h != nullptr; }
    void Reset()
    {
        if (h)
            ::CloseHandle(h);
        h = nullptr;
    }

private:
    HANDLE h = nullptr;
};

// The read end of the output pipe, read overlapped: a bounded read waits in
// the system for the pipe or its time, and ends the moment output arrives.
// A read that outlives its wait stays pending, and the next one takes its
// bytes: nothing is lost, and nothing is cancelled mid-transfer.
class OutputPipe {
public:
    explicit OutputPipe(Handle readEnd)
        : pipe(std::move(readEnd)), done(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~OutputPipe()
    {
        if (pending && ::CancelIoEx(pipe.get(), &overlapped)) {
            DWORD ignored = 0;
            ::GetOverlappedResult(pipe.get(), &overlapped, &ignored, TRUE);
        }
    }
    OutputPipe(const OutputPipe&) = delete;
    OutputPipe& operator=(const OutputPipe&) = delete;

    ProcessRead Read(char* buffer, std::size_t size, std::chrono::milliseconds wait)
    {
        if (arrived.empty()) {
            if (!done || (!pending && !Start()))
                return {ProcessRead::Kind::End};
            if (::WaitForSingleObject(done.get(), Milliseconds(wait)) != WAIT_OBJECT_0)
                return {ProcessRead::Kind::Timeout};
            DWORD got = 0;
            pending = false;
            if (!::GetOverlappedResult(pipe.get(), &overlapped, &got, FALSE) || got == 0)
                return {ProcessRead::Kind::End};  // broken: every writer has closed it
            arrived.assign(chunk.data(), got);
        }
        // What the caller has no room for comes first next time.
        const std::size_t count = std::min(size, arrived.size());
        std::copy_n(arrived.data(), count, buffer);
        arrived.erase(0, count);
        return {ProcessRead::Kind::Data, count};
    }

private:
    bool Start()
    {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = done.get();
        if (!::ReadFile(pipe.get(), chunk.data(), static_cast<DWORD>(chunk.size()), nullptr, &overlapped) &&
            ::GetLastError() != ERROR_IO_PENDING)
            return false;
        pending = true;
        return true;
    }

    Handle pipe;
    Handle done;
    OVERLAPPED overlapped{};
    bool pending = false;
    std::string chunk = std::string(4096, '\0');
    std::string arrived;
};

class Win32Process final : public IProcess {
public:
    Win32Process(Handle job, Handle process, Handle output)
        : job(std::move(job)), process(std::move(process)), output(std::move(output))
    {
    }

    // Closing the job ends the program if it still runs.
    ~Win32Process() override { Terminate(); }

    ProcessRead Read(char* buffer, std::size_t size, std::chrono::milliseconds wait) override
    {
        return output.Read(buffer, size, wait);
    }

    ProcessExit WaitForExit(std::chrono::milliseconds limit) override
    {
        const DWORD result = ::WaitForSingleObject(process.get(), Milliseconds(limit));
        if (result != WAIT_OBJECT_0)
            return {};
        DWORD code = 0;
        if (!::GetExitCodeProcess(process.get(), &code))
            return {true, true, -1};
        std::lock_guard lock(mutex);
        ended = true;
        // Ended by us, or by an exception the program did not catch (whose
        // codes are the status codes with the error bits set).
        const bool abnormal = terminated || code >= 0xC0000000;
        return {true, abnormal, static_cast<int>(code)};
    }

    void Terminate() override
    {
        std::lock_guard lock(mutex);
        if (ended)
            return;
        if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0)
            return;
        terminated = true;
        ::TerminateProcess(process.get(), 1);
    }

private:
    Handle job;
    Handle process;
    OutputPipe output;
    std::mutex mutex;
    bool ended = false;
    bool terminated = false;
};

// One argument as the C runtime's parser takes it apart again: quoted when it
// holds blanks or quotes, backslashes doubled only before a quote.
std::wstring Quote(const std::wstring& argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring CommandLine(const ProcessStart& start)
{
    std::wstring line = Quote(Widen(start.program));
    for (const std::string& argument : start.arguments)
        line += L" " + Quote(Widen(argument));
    return line;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towupper(x) == std::towupper(y);
    });
}

// The caller's environment with the extra entries, each replacing an entry of
// the same name (names are case-blind on Windows), as one block of
// terminated strings.
std::wstring EnvironmentBlock(const std::vector<std::string>& extra)
{
    std::vector<std::wstring> added;
    for (const std::string& entry : extra)
        added.push_back(Widen(entry));
    const auto nameOf = [](const std::wstring& entry) {
        // Entries such as "=C:=C:\" begin with the separator.
        return entry.substr(0, entry.find(L'=', 1));
    };
    std::wstring block;
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += std::wcslen(entry) + 1) {
            const std::wstring text = entry;
            const bool replaced = std::any_of(added.begin(), added.end(), [&](const std::wstring& a) {
                return SameName(nameOf(a), nameOf(text));
            });
            if (!replaced)
                block += text + L'\0';
        }
        ::FreeEnvironmentStringsW(strings);
    }
    for (const std::wstring& entry : added)
        block += entry + L'\0';
    return block + L'\0';
}

// An anonymous pipe reads only synchronously, so the output pipe is a named
// one of a name no one else uses, whose read end is ours and overlapped;
// the write end, the child's, is an ordinary handle for ordinary writes.
bool CreateOutputPipe(Handle& readEnd, Handle& writeEnd, SECURITY_ATTRIBUTES& inheritable)
{
    static std::atomic<unsigned> made{0};
    const std::wstring name = L"\\\\.\\pipe\\quillmark-output-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(made++);
    readEnd = Handle(::CreateNamedPipeW(name.c_str(),
                                        PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                                        1, 0, 65536, 0, nullptr));
    if (!readEnd)
        return false;
    writeEnd = Handle(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(writeEnd);
}

// Handles are inherited by whatever process starts while they are
// inheritable; starts are taken one at a time, so that no other child of
// ours keeps this child's pipe open and the pipe ends when the child does.
std::mutex startMutex;

}  // namespace

std::unique_ptr<IProcess> StartProcess(const ProcessStart& start, std::string& error)
{
    const auto fail = [&error](const std::string& what) -> std::unique_ptr<IProcess> {
        error = what + ": " + SystemErrorText(::GetLastError());
        return nullptr;
    };

    Handle job(::CreateJobObjectW(nullptr, nullptr));
    if (!job)
        return fail("cannot create a job object");
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits))
        return fail("cannot set up the job object");

    const std::lock_guard lock(startMutex);
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreateOutputPipe(readEnd, writeEnd, inheritable))
        return fail("cannot create a pipe");
    Handle nullInput(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));
    Handle nullError(::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr));
    if (!nullInput || !nullError)
        return fail("cannot open the null device");

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nullInput.get();
    startup.StartupInfo.hStdOutput = writeEnd.get();
    startup.StartupInfo.hStdError = nullError.get();
    // The process is born in the job: there is no moment in which this
    // program could die and leave it outside, running for ever.
    SIZE_T listSize = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &listSize);
    std::vector<char> listMemory(listSize);
    startup.lpAttributeList = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listMemory.data());
    if (!::InitializeProcThreadAttributeList(startup.lpAttributeList, 1, 0, &listSize))
        return fail("cannot prepare the process attributes");
    struct ListEnd {
        LPPROC_THREAD_ATTRIBUTE_LIST list;
        ~ListEnd() { ::DeleteProcThreadAttributeList(list); }
    } listEnd{startup.lpAttributeList};
    HANDLE jobs[] = {job.get()};
    if (!::UpdateProcThreadAttribute(startup.lpAttributeList, 0, PROC_THREAD_ATTRIBUTE_JOB_LIST, jobs,
                                     sizeof jobs, nullptr, nullptr))
        return fail("cannot name the job object for the process");

    const std::wstring program = Widen(start.program);
    std::wstring commandLine = CommandLine(start);
    std::wstring environment = EnvironmentBlock(start.extraEnvironment);
    const std::wstring folder = Widen(start.workingDirectory);
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT | EXTENDED_STARTUPINFO_PRESENT,
                          environment.data(), folder.empty() ? nullptr : folder.c_str(),
                          &startup.StartupInfo, &started))
        return fail("cannot start " + start.program);
    Handle process(started.hProcess);
    Handle thread(started.hThread);
    // The child holds its own copy of the write end: the pipe ends when it does.
    writeEnd.Reset();
    return std::make_unique<Win32Process>(std::move(job), std::move(process), std::move(readEnd));
}
