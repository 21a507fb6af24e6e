#include "platform/system_support.h"

#include <windows.h>

namespace {

using GetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

}  // namespace

// GetVersionEx reports what the program's manifest claims to support, not
// the system; ntdll's own call tells the truth. It is looked up, so that
// its absence is a refusal rather than a program that does not load.
std::optional<std::string> SystemRefusal()
{
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto getVersion = reinterpret_cast<GetVersionCall>(
        reinterpret_cast<void*>(ntdll ? ::GetProcAddress(ntdll, "RtlGetVersion") : nullptr));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!getVersion || getVersion(&info) != 0)
        return WindowsRefusal({});
    return WindowsRefusal({info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber});
}
