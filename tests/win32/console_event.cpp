// Sends a console event to a running program as Windows does: a thread of
// the system's control routine started in that program, and the program
// ended once the thread returns (for a close, a log-off or a shut-down).
// wine neither sends these events nor ends the program after them.
//   console_event close|logoff|shutdown PROGRAM.exe
// Prints "handled in N ms"; exit 0, 1 when the program or the routine is
// not found, 3 when the handler had not returned after 10 s.

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>

#include <windows.h>

#include <tlhelp32.h>

namespace {

DWORD FindProcess(const wchar_t* name)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    ::CloseHandle(snapshot);
    return found;
}

DWORD EventNamed(const wchar_t* name)
{
    if (std::wcscmp(name, L"logoff") == 0)
        return CTRL_LOGOFF_EVENT;
    if (std::wcscmp(name, L"shutdown") == 0)
        return CTRL_SHUTDOWN_EVENT;
    return CTRL_CLOSE_EVENT;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: console_event close|logoff|shutdown PROGRAM.exe\n");
        return 2;
    }
    // The system's libraries sit at the same address in every process.
    const auto routine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
    const DWORD id = FindProcess(argv[2]);
    const HANDLE process = id ? ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, id) : nullptr;
    if (!routine || !process) {
        std::fprintf(stderr, "no control routine or no such program\n");
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    const HANDLE thread = ::CreateRemoteThread(process, nullptr, 0, routine,
                                               reinterpret_cast<void*>(static_cast<ULONG_PTR>(EventNamed(argv[1]))),
                                               0, nullptr);
    if (!thread) {
        std::fprintf(stderr, "CreateRemoteThread failed: %lu\n", ::GetLastError());
        return 1;
    }
    const bool returned = ::WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    // What Windows does once the handler has returned.
    ::TerminateProcess(process, STATUS_CONTROL_C_EXIT);
    std::printf("handled in %lld ms\n", static_cast<long long>(ms.count()));
    return returned ? 0 : 3;
}
