#include "platform/win32/probe_source.h"

namespace {

constexpr const char* kServices = "System\\CurrentControlSet\\Services";

}  // namespace

// The Enum key is volatile: the driver makes it when it starts its first
// device and it goes with the last, and the driver's own key is missing
// until the driver is installed.
CWin32ProbeSource::CWin32ProbeSource()
    : driver(std::string(kServices) + "\\jlink\\Enum", {std::string(kServices) + "\\jlink", kServices})
{
}

bool CWin32ProbeSource::Open() { return driver.Open(); }

bool CWin32ProbeSource::Watch() { return driver.Arm(); }

// Only the first byte of "Count" is the number, taken as signed: 1 to 127
// probes; 0 and what reads negative (0x80 and up) are none. The type is the
// driver's business and is not looked at. A value longer than four bytes,
// an empty one or none at all is no reading. Without the key the driver
// serves no device.
std::optional<int> CWin32ProbeSource::CountProbes()
{
    if (!driver.Key())
        return driver.Watching() ? std::optional<int>(0) : std::nullopt;
    BYTE data[4] = {};
    DWORD size = sizeof data;
    if (::RegQueryValueExW(driver.Key(), L"Count", nullptr, nullptr, data, &size) != ERROR_SUCCESS || size == 0)
        return std::nullopt;
    return static_cast<signed char>(data[0]);
}

// Any change below the key counts, also one that leaves "Count" as it was.
WaitOutcome CWin32ProbeSource::WaitForChange() { return driver.Wait(); }

void CWin32ProbeSource::Wake() { driver.Wake(); }

std::string CWin32ProbeSource::FailedCall() const { return driver.FailedCall(); }
