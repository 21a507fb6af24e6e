// The serial port monitor on a fake device tree, with real inotify.

#include "discovery/com_port_manager.h"
#include "fake_machine.h"
#include "platform/posix/port_map_source.h"
#include "recorder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace {

using Ports = std::vector<std::string>;

struct PortMonitor {
    explicit PortMonitor(FakeMachine& machine) : source(machine.Roots()), monitor(&recorder, source) {}
    Recorder recorder;
    CPosixPortMapSource source;
    CComPortManager monitor;
};

TEST(CComPortManager, FollowsBoardsComingAndGoingKeepingTheOrder)
{
    FakeMachine machine;
    machine.PlugUsbSerial("ttyUSB5");
    machine.PlugUsbSerial("ttyUSB7");
    PortMonitor m(machine);
    m.monitor.Start();
    EXPECT_EQ(m.monitor.Ports(), (Ports{"ttyUSB5", "ttyUSB7"}));
    EXPECT_EQ(m.recorder.Count(Recorder::Ports), 0) << "the first reading tells nobody";

    machine.UnplugSerial("ttyUSB5");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 1));
    EXPECT_EQ(m.monitor.Ports(), (Ports{"ttyUSB7"}));

    machine.PlugUsbSerial("ttyUSB5");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 2));
    EXPECT_EQ(m.monitor.Ports(), (Ports{"ttyUSB7", "ttyUSB5"}));

    machine.UnplugSerial("ttyUSB5");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 3));
    machine.UnplugSerial("ttyUSB7");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 4));
    EXPECT_EQ(m.monitor.Ports(), Ports{});
}

TEST(CComPortManager, AChangeOfAnotherSerialPortStillNotifies)
{
    FakeMachine machine;
    machine.PlugUsbSerial("ttyACM0");
    PortMonitor m(machine);
    m.monitor.Start();
    machine.AddPlatformSerial("ttyS3");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 1));
    EXPECT_EQ(m.monitor.Ports(), (Ports{"ttyACM0"}));
}

TEST(CComPortManager, AnExtraPortIsListedAndNotified)
{
    FakeMachine machine;
    PortMonitor m(machine);
    m.monitor.Start();
    m.source.AddExtraPort("/tmp/sim/board");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 1));
    EXPECT_EQ(m.monitor.Ports(), (Ports{"/tmp/sim/board"}));
    machine.PlugUsbSerial("ttyUSB0");
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::Ports, 2));
    EXPECT_EQ(m.monitor.Ports(), (Ports{"/tmp/sim/board", "ttyUSB0"}));
}

TEST(CComPortManager, AnUnreadableMapIsReportedAndNotWatched)
{
    FakeMachine machine;
    std::filesystem::remove_all(machine.Sysfs() + "/class");
    PortMonitor m(machine);
    m.monitor.Start();
    const auto failures = m.recorder.Failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_THAT(failures[0], ::testing::StartsWith("Error in opendir on "));
    EXPECT_EQ(m.monitor.Ports(), Ports{});
}

TEST(CComPortManager, AWatchThatCannotBeArmedIsReported)
{
    FakeMachine machine;
    MachineRoots roots = machine.Roots();
    roots.dev = (machine.Root() / "not-a-folder").string();
    std::ofstream{roots.dev};
    Recorder recorder;
    CPosixPortMapSource source(roots);
    CComPortManager monitor(&recorder, source);
    monitor.Start();
    const auto failures = recorder.Failures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_THAT(failures[0], ::testing::StartsWith("Error in inotify_add_watch on " + roots.dev));
    EXPECT_THAT(failures[0], ::testing::EndsWith(".\n"));
}

// Readers of the list never see half a refresh, however fast ports come and go.
TEST(CComPortManager, ReadersRacingRefreshesSeeWholeLists)
{
    FakeMachine machine;
    machine.PlugUsbSerial("ttyUSB0");
    PortMonitor m(machine);
    m.monitor.Start();
    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done) {
            const Ports ports = m.monitor.Ports();
            ASSERT_TRUE(ports == Ports{"ttyUSB0"} || ports == (Ports{"ttyUSB0", "ttyUSB1"}));
        }
    });
    for (int i = 0; i < 50; ++i) {
        machine.PlugUsbSerial("ttyUSB1");
        m.monitor.Refresh();
        machine.UnplugSerial("ttyUSB1");
        m.monitor.Refresh();
    }
    done = true;
    reader.join();
    m.monitor.Stop();
}

}  // namespace
