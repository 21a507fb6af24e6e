#include "platform/win32/port_map_source.h"

#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstring>

namespace {

// The registry's limit for a value name, and its terminator.
constexpr DWORD kNameCapacity = 16384;
// Port names are a few characters; data this long is no port name.
constexpr DWORD kDataCapacity = 16384;

// "\Device\VCP0" is a board's port; "VCP0" and "\Device\vcp0" are not.
bool IsBoardDevice(std::wstring_view device)
{
    const auto at = device.find(L"VCP");
    return at != std::wstring_view::npos && at > 0;
}

// The data as text up to its terminator, whatever type the value claims;
// copied out because the buffer need not be aligned for wchar_t.
std::wstring TextOf(const BYTE* data, DWORD size)
{
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data, text.size() * sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    return text;
}

}  // namespace

// The map is volatile: it exists once a serial port has registered since
// boot, so a machine without one has none until the board is plugged in.
CWin32PortMapSource::CWin32PortMapSource()
    : map("HARDWARE\\DEVICEMAP\\SERIALCOMM", {"HARDWARE\\DEVICEMAP"})
{
}

bool CWin32PortMapSource::Open() { return map.Open(); }

bool CWin32PortMapSource::Watch() { return map.Arm(); }

// Values that come or go while we enumerate may be missed or seen twice in
// this reading; they signal a change, and the reading after it is whole.
// A missing map lists no port.
std::vector<std::string> CWin32PortMapSource::ReadPorts()
{
    std::vector<std::string> ports;
    DWORD count = 0;
    if (map.Key() && ::RegQueryInfoKeyW(map.Key(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        std::wstring name(kNameCapacity, L'\0');
        std::vector<BYTE> data(kDataCapacity);
        for (DWORD index = 0; index < count; ++index) {
            DWORD nameLength = kNameCapacity;
            DWORD dataSize = kDataCapacity;
            if (::RegEnumValueW(map.Key(), index, name.data(), &nameLength, nullptr, nullptr, data.data(),
                                &dataSize) != ERROR_SUCCESS)
                continue;
            if (!IsBoardDevice(std::wstring_view(name.data(), nameLength)))
                continue;
            const std::string port = Narrow(TextOf(data.data(), dataSize));
            if (!port.empty() && std::find(ports.begin(), ports.end(), port) == ports.end())
                ports.push_back(port);
        }
    }
    extras.AppendTo(ports);
    return ports;
}

// Every change of the map counts, a board port's or another's.
WaitOutcome CWin32PortMapSource::WaitForChange() { return map.Wait(); }

void CWin32PortMapSource::Wake() { map.Wake(); }

void CWin32PortMapSource::AddExtraPort(const std::string& name)
{
    if (extras.Add(name))
        map.Wake();
}

void CWin32PortMapSource::RemoveExtraPort(const std::string& name)
{
    if (extras.Remove(name))
        map.Wake();
}

std::string CWin32PortMapSource::FailedCall() const { return map.FailedCall(); }
