// The serial port map and the probe driver's key in the wine prefix's own
// registry: the tests write the values as the drivers would, and the
// sources see them through the real change notification.

#include "discovery/com_port_manager.h"
#include "discovery/jlink_manager.h"
#include "discovery/recorder.h"
#include "guarded_wait.h"
#include "platform/win32/port_map_source.h"
#include "platform/win32/probe_source.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include <windows.h>

namespace {

using Ports = std::vector<std::string>;
using Bytes = std::vector<BYTE>;

constexpr const wchar_t* kSerialComm = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr const wchar_t* kProbeDriver = L"System\\CurrentControlSet\\Services\\jlink";
constexpr const wchar_t* kProbeEnum = L"System\\CurrentControlSet\\Services\\jlink\\Enum";

// A key below HKEY_LOCAL_MACHINE, made if missing, volatile as Windows
// makes the serial port map and a driver's Enum key (below the volatile
// HARDWARE no other kind may be made); the values written through it are
// removed again when the test ends.
class TestKey {
public:
    explicit TestKey(const wchar_t* path)
    {
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, &key, nullptr),
                  ERROR_SUCCESS);
    }
    ~TestKey()
    {
        for (const std::wstring& name : written)
            ::RegDeleteValueW(key, name.c_str());
        ::RegCloseKey(key);
    }
    void Set(const std::wstring& name, DWORD type, const Bytes& data)
    {
        written.push_back(name);
        ASSERT_EQ(::RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
                  ERROR_SUCCESS);
    }
    void SetText(const std::wstring& name, const std::wstring& text)
    {
        const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
        Set(name, REG_SZ, Bytes(bytes, bytes + (text.size() + 1) * sizeof(wchar_t)));
    }
    void SetNumber(const std::wstring& name, DWORD number)
    {
        const auto* bytes = reinterpret_cast<const BYTE*>(&number);
        Set(name, REG_DWORD, Bytes(bytes, bytes + sizeof number));
    }
    void Remove(const std::wstring& name) { ASSERT_EQ(::RegDeleteValueW(key, name.c_str()), ERROR_SUCCESS); }

private:
    HKEY key = nullptr;
    std::vector<std::wstring> written;
};

// No probe driver, before and after the test.
struct NoProbeDriver {
    NoProbeDriver() { Uninstall(); }
    ~NoProbeDriver() { Uninstall(); }
    static void Uninstall() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProbeDriver); }
};

// A volatile key as a device's arrival makes it, with one value.
void Plug(const wchar_t* path, const wchar_t* name, DWORD type, const Bytes& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

// The key gone with the last device, as after a reboot without one.
void Unplug(const wchar_t* path)
{
    const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, path);
    ASSERT_TRUE(status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) << status;
}

Bytes Text(const std::wstring& text)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

Bytes Dword(DWORD number)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&number);
    return Bytes(bytes, bytes + sizeof number);
}

struct MapValue {
    const char* name;
    const wchar_t* device;
    const wchar_t* port;
    Ports listed;
};
void PrintTo(const MapValue& v, std::ostream* os) { *os << v.name; }

class BoardPortRule : public ::testing::TestWithParam<MapValue> {};

TEST_P(BoardPortRule, VcpAfterTheFirstCharacterMakesABoardPort)
{
    TestKey map(kSerialComm);
    map.SetText(GetParam().device, GetParam().port);
    CWin32PortMapSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    EXPECT_EQ(source.ReadPorts(), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    SerialComm, BoardPortRule,
    ::testing::Values(MapValue{"board_port", L"\\Device\\VCP0", L"COM7", {"COM7"}},
                      MapValue{"other_driver", L"\\Device\\Serial9", L"COM19", {}},
                      MapValue{"vcp_at_the_very_start", L"VCP0", L"COM8", {}},
                      MapValue{"lower_case_vcp", L"\\Device\\vcp0", L"COM9", {}},
                      MapValue{"no_port_name", L"\\Device\\VCP1", L"", {}},
                      MapValue{"non_ascii_text", L"\\Ger\u00e4t\\VCP2", L"COM\u00e412", {"COM\xc3\xa4" "12"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Every change of the map counts, a board port's or another driver's.
// Not here: a value written again as it was. Wine 8 keeps such a write from
// the registry and signals nothing; Windows records it as a write.
struct MapChange {
    const char* name;
    std::function<void(TestKey&)> change;
};
void PrintTo(const MapChange& c, std::ostream* os) { *os << c.name; }

class PortMapWait : public ::testing::TestWithParam<MapChange> {};

TEST_P(PortMapWait, AnyChangeOfTheMapEndsTheWait)
{
    TestKey map(kSerialComm);
    map.SetText(L"\\Device\\VCP0", L"COM5");
    map.SetText(L"\\Device\\Serial9", L"COM19");
    CWin32PortMapSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    ASSERT_TRUE(source.Watch()) << source.FailedCall();
    GetParam().change(map);
    EXPECT_EQ(GuardedWait(source, kSignalled), WaitOutcome::Changed);
}

INSTANTIATE_TEST_SUITE_P(
    SerialComm, PortMapWait,
    ::testing::Values(MapChange{"board_plugged", [](TestKey& m) { m.SetText(L"\\Device\\VCP1", L"COM6"); }},
                      MapChange{"board_unplugged", [](TestKey& m) { m.Remove(L"\\Device\\VCP0"); }},
                      MapChange{"port_renumbered", [](TestKey& m) { m.SetText(L"\\Device\\VCP0", L"COM15"); }},
                      MapChange{"other_driver", [](TestKey& m) { m.SetText(L"\\Device\\Serial8", L"COM18"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Win32PortMapSource, AChangeBesideTheMapDoesNotEndTheWait)
{
    CWin32PortMapSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    ASSERT_TRUE(source.Watch()) << source.FailedCall();
    {
        TestKey parent(L"HARDWARE\\DEVICEMAP");
        parent.SetText(L"QuillmarkTest", L"COM5");
    }
    EXPECT_EQ(GuardedWait(source, kQuiet), WaitOutcome::Woken);
}

TEST(Win32PortMapSource, ExtraPortsComeAfterTheMapsAndWakeTheWait)
{
    TestKey map(kSerialComm);
    map.SetText(L"\\Device\\VCP0", L"COM5");
    CWin32PortMapSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    ASSERT_TRUE(source.Watch()) << source.FailedCall();

    auto waiting = std::async(std::launch::async, [&source] { return source.WaitForChange(); });
    source.AddExtraPort("COM42");
    source.AddExtraPort("COM5");  // listed by the map already: once
    EXPECT_EQ(waiting.get(), WaitOutcome::Woken);
    EXPECT_EQ(source.ReadPorts(), (Ports{"COM5", "COM42"}));

    source.RemoveExtraPort("COM42");
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Woken);
    EXPECT_EQ(source.ReadPorts(), (Ports{"COM5"}));
}

// The monitor on the real map: surviving ports keep their place, a board
// plugged in again is appended. The device names sort as they were written,
// so the first reading does not depend on the order the registry lists
// values in: wine 8 lists them by name, Windows as they were written.
TEST(Win32PortMapSource, TheMonitorFollowsBoardsKeepingTheOrder)
{
    TestKey map(kSerialComm);
    map.SetText(L"\\Device\\VCP0", L"COM5");
    map.SetText(L"\\Device\\VCP1", L"COM7");
    Recorder recorder;
    CWin32PortMapSource source;
    CComPortManager monitor(&recorder, source);
    monitor.Start();
    EXPECT_EQ(monitor.Ports(), (Ports{"COM5", "COM7"}));
    EXPECT_EQ(recorder.Count(Recorder::Ports), 0) << "the first reading tells nobody";

    map.Remove(L"\\Device\\VCP0");
    ASSERT_TRUE(recorder.WaitFor(Recorder::Ports, 1));
    EXPECT_EQ(monitor.Ports(), (Ports{"COM7"}));

    map.SetText(L"\\Device\\VCP0", L"COM5");
    ASSERT_TRUE(recorder.WaitFor(Recorder::Ports, 2));
    EXPECT_EQ(monitor.Ports(), (Ports{"COM7", "COM5"}));
}

struct CountValue {
    const char* name;
    std::optional<std::pair<DWORD, Bytes>> value;  // type and data; none: no "Count"
    std::optional<int> count;
};
void PrintTo(const CountValue& c, std::ostream* os) { *os << c.name; }

class ProbeCount : public ::testing::TestWithParam<CountValue> {};

TEST_P(ProbeCount, IsTheFirstByteAsASignedNumber)
{
    NoProbeDriver clean;
    TestKey driver(kProbeEnum);
    if (const auto& value = GetParam().value)
        driver.Set(L"Count", value->first, value->second);
    CWin32ProbeSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    EXPECT_EQ(source.CountProbes(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    DriverKey, ProbeCount,
    ::testing::Values(CountValue{"no_count", std::nullopt, std::nullopt},
                      CountValue{"none", std::pair{REG_DWORD, Dword(0)}, 0},
                      CountValue{"one", std::pair{REG_DWORD, Dword(1)}, 1},
                      CountValue{"two", std::pair{REG_DWORD, Dword(2)}, 2},
                      CountValue{"top_bit_reads_negative", std::pair{REG_DWORD, Dword(0x80)}, -128},
                      CountValue{"all_bits_read_minus_one", std::pair{REG_DWORD, Dword(0xffffffff)}, -1},
                      CountValue{"only_the_first_byte", std::pair{REG_DWORD, Dword(0x100)}, 0},
                      CountValue{"one_byte_of_another_type", std::pair{REG_BINARY, Bytes{3}}, 3},
                      CountValue{"longer_than_four_bytes", std::pair{REG_QWORD, Bytes(8, 1)}, std::nullopt},
                      CountValue{"empty", std::pair{REG_BINARY, Bytes{}}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// Without the driver, or with the driver and no probe since boot, the
// Enum key is missing: no probe, no message, and the key is waited for.
TEST(Win32ProbeSource, WithoutTheEnumKeyThereIsNoProbe)
{
    NoProbeDriver clean;
    CWin32ProbeSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    EXPECT_EQ(source.CountProbes(), 0);
    Recorder recorder;
    CJLinkManager monitor(&recorder, source);
    monitor.Start();
    EXPECT_FALSE(monitor.IsPresent());
    EXPECT_THAT(recorder.Failures(), ::testing::IsEmpty());
}

// The monitor on the real key: one notification at start, one for every
// change below the key, also one that leaves "Count" as it was.
TEST(Win32ProbeSource, TheMonitorFollowsProbesPluggedAndUnplugged)
{
    NoProbeDriver clean;
    TestKey driver(kProbeEnum);
    driver.SetNumber(L"Count", 0);
    Recorder recorder;
    CWin32ProbeSource source;
    CJLinkManager monitor(&recorder, source);
    monitor.Start();
    EXPECT_EQ(recorder.Count(Recorder::JLink), 1);
    EXPECT_FALSE(monitor.IsPresent());

    driver.SetNumber(L"Count", 1);
    ASSERT_TRUE(recorder.WaitFor(Recorder::JLink, 2));
    EXPECT_TRUE(monitor.IsPresent());

    driver.SetNumber(L"NextInstance", 1);
    ASSERT_TRUE(recorder.WaitFor(Recorder::JLink, 3));
    EXPECT_TRUE(monitor.IsPresent());

    driver.SetNumber(L"Count", 0);
    ASSERT_TRUE(recorder.WaitFor(Recorder::JLink, 4));
    EXPECT_FALSE(monitor.IsPresent());
}

// The volatile keys as Windows keeps them: missing at start, made when a
// device arrives, deleted with the last one, made again. Each monitor
// watches the nearest parent while its key is missing, and follows it.
struct VolatileKey {
    const char* name;
    std::function<void()> before;  // the machine at start
    const wchar_t* key;
    const wchar_t* value;
    DWORD type;
    Bytes data;
};
void PrintTo(const VolatileKey& k, std::ostream* os) { *os << k.name; }

class VolatileKeys : public ::testing::TestWithParam<VolatileKey> {};

TEST_P(VolatileKeys, TheMonitorsFollowAKeyThatComesGoesAndComesBack)
{
    const VolatileKey& key = GetParam();
    NoProbeDriver clean;
    Unplug(kSerialComm);
    key.before();
    Recorder recorder;
    CWin32PortMapSource ports;
    CWin32ProbeSource probes;
    CComPortManager portMonitor(&recorder, ports);
    CJLinkManager probeMonitor(&recorder, probes);
    portMonitor.Start();
    probeMonitor.Start();
    EXPECT_EQ(recorder.Count(Recorder::Ports), 0) << "the first reading tells nobody";
    const bool ofPorts = std::wstring_view(key.key) == kSerialComm;
    const auto kind = ofPorts ? Recorder::Ports : Recorder::JLink;
    const auto found = [&] { return ofPorts ? !portMonitor.Ports().empty() : probeMonitor.IsPresent(); };
    EXPECT_FALSE(found());
    // Making a key and writing its value may arrive as one change or two:
    // the monitor is followed until it tells what the machine now holds.
    int told = recorder.Count(kind);
    const auto tells = [&](bool expected) {
        for (;;) {
            const int seen = recorder.Count(kind);
            if (seen > told && found() == expected) {
                told = seen;
                return true;
            }
            if (!recorder.WaitFor(kind, seen + 1))
                return false;
        }
    };

    for (int round = 0; round < 2; ++round) {
        Plug(key.key, key.value, key.type, key.data);
        EXPECT_TRUE(tells(true)) << "made, round " << round;
        Unplug(key.key);
        EXPECT_TRUE(tells(false)) << "deleted, round " << round;
    }
    EXPECT_EQ(portMonitor.Ports(), Ports{});
    EXPECT_THAT(recorder.Failures(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Registry, VolatileKeys,
    ::testing::Values(
        VolatileKey{"serial_port_map", [] {}, kSerialComm, L"\\Device\\VCP0", REG_SZ, Text(L"COM5")},
        VolatileKey{"probe_without_driver", [] {}, kProbeEnum, L"Count", REG_DWORD, Dword(1)},
        VolatileKey{"probe_with_driver", [] { TestKey driver(kProbeDriver); }, kProbeEnum, L"Count", REG_DWORD,
                    Dword(1)}),
    [](const auto& info) { return std::string(info.param.name); });

// A change beside the missing key (another device map, another key below
// the driver's) is no change of ours.
TEST(Win32PortMapSource, AKeyBesideTheMissingMapDoesNotEndTheWait)
{
    Unplug(kSerialComm);
    CWin32PortMapSource source;
    ASSERT_TRUE(source.Open()) << source.FailedCall();
    ASSERT_TRUE(source.Watch()) << source.FailedCall();
    Plug(L"HARDWARE\\DEVICEMAP\\QuillmarkTest", L"x", REG_SZ, Text(L"y"));
    EXPECT_EQ(GuardedWait(source, kQuiet), WaitOutcome::Woken);
    Unplug(L"HARDWARE\\DEVICEMAP\\QuillmarkTest");
    Plug(kSerialComm, L"\\Device\\VCP3", REG_SZ, Text(L"COM3"));
    EXPECT_EQ(GuardedWait(source, kSignalled), WaitOutcome::Changed);
    EXPECT_EQ(source.ReadPorts(), Ports{"COM3"});
    Unplug(kSerialComm);
}

}  // namespace
