// Makes and deletes the volatile keys that Windows keeps for serial ports
// and for the probe driver's devices, as a device's arrival and departure
// do; wine's own `reg` cannot make keys below HARDWARE.
//   registry_keys unplug       the serial port map and the probe's Enum key gone
//   registry_keys port COMn    a board port COMn
//   registry_keys probe        one probe
// Exit 0 on success, 1 when a call failed (said on standard error).

#include <cstdio>
#include <cwchar>
#include <string>

#include <windows.h>

namespace {

constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const wchar_t* kProbeEnum = L"System\\CurrentControlSet\\Services\\jlink\\Enum";

bool Report(const char* call, LSTATUS status)
{
    if (status != ERROR_SUCCESS)
        std::fprintf(stderr, "%s failed: %ld\n", call, static_cast<long>(status));
    return status == ERROR_SUCCESS;
}

bool Delete(const wchar_t* path)
{
    const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
    return status == ERROR_FILE_NOT_FOUND || Report("RegDeleteTreeW", status);
}

bool Make(const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (!Report("RegCreateKeyExW", ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE,
                                                      KEY_ALL_ACCESS, nullptr, &key, nullptr)))
        return false;
    const bool set = Report("RegSetValueExW",
                            ::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    ::RegCloseKey(key);
    return set;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 2 && std::wcscmp(argv[1], L"unplug") == 0)
        return Delete(kSerialComm) && Delete(kProbeEnum) ? 0 : 1;
    if (argc == 3 && std::wcscmp(argv[1], L"port") == 0) {
        const std::wstring port = argv[2];
        return Make(kSerialComm, L"\\Device\\VCP0", REG_SZ, port.c_str(),
                    static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)))
                   ? 0
                   : 1;
    }
    if (argc == 2 && std::wcscmp(argv[1], L"probe") == 0) {
        const DWORD count = 1;
        return Make(kProbeEnum, L"Count", REG_DWORD, &count, sizeof count) ? 0 : 1;
    }
    std::fprintf(stderr, "usage: registry_keys unplug | port COMn | probe\n");
    return 2;
}
