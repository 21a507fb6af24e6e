// The Linux serial port map on a fake device tree, with real inotify.

#include "fake_machine.h"
#include "platform/posix/port_map_source.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using Ports = std::vector<std::string>;

TEST(PosixPortMapSource, ListsUsbSerialPortsOnlyAndNotTheProbesOwn)
{
    FakeMachine machine;
    machine.PlugUsbSerial("ttyUSB0");
    machine.PlugUsbSerial("ttyACM0", "2fe3");
    machine.PlugUsbSerial("ttyACM1", "1366");     // a J-Link's own serial port
    machine.AddPlatformSerial("ttyS0");           // no USB device behind it
    machine.AddSysfsOnlySerial("ttyUSB1");        // its node is gone (or not there yet)
    machine.AddDevNode("ttyUSB9");                // a node without a device in sysfs
    CPosixPortMapSource source(machine.Roots());
    ASSERT_TRUE(source.Open());
    EXPECT_EQ(source.ReadPorts(), (Ports{"ttyACM0", "ttyUSB0"}));
}

// A node that cannot be opened yet (no permissions, or no driver behind it)
// is listed all the same: ports are listed by name.
TEST(PosixPortMapSource, ListsAPortThatCannotBeOpenedYet)
{
    FakeMachine machine;
    machine.AddSysfsOnlySerial("ttyUSB0");
    const std::string node = machine.Dev() + "/ttyUSB0";
    if (::mknod(node.c_str(), S_IFCHR, ::makedev(188, 250)) != 0) {
        machine.AddDevNode("ttyUSB0");
        std::filesystem::permissions(node, std::filesystem::perms::none);
    }
    ASSERT_LT(::open(node.c_str(), O_RDWR | O_NOCTTY), 0) << "the node should not open";
    CPosixPortMapSource source(machine.Roots());
    EXPECT_EQ(source.ReadPorts(), (Ports{"ttyUSB0"}));
}

TEST(PosixPortMapSource, FirstReadingIsInNumberOrderThenTheExtraPorts)
{
    FakeMachine machine;
    for (const char* tty : {"ttyUSB10", "ttyUSB2", "ttyACM1", "ttyUSB1"})
        machine.PlugUsbSerial(tty);
    CPosixPortMapSource source(machine.Roots());
    source.AddExtraPort("/tmp/sim/board");
    source.AddExtraPort("ttyUSB2");  // already listed: once
    EXPECT_EQ(source.ReadPorts(), (Ports{"ttyACM1", "ttyUSB1", "ttyUSB2", "ttyUSB10", "/tmp/sim/board"}));
    source.RemoveExtraPort("/tmp/sim/board");
    EXPECT_EQ(source.ReadPorts(), (Ports{"ttyACM1", "ttyUSB1", "ttyUSB2", "ttyUSB10"}));
}

TEST(PosixPortMapSource, OpenFailsWithoutATtyClass)
{
    FakeMachine machine;
    std::filesystem::remove_all(machine.Sysfs() + "/class");
    CPosixPortMapSource source(machine.Roots());
    EXPECT_FALSE(source.Open());
    EXPECT_NE(source.FailedCall().find("opendir on " + machine.Sysfs() + "/class/tty"), std::string::npos);
}

// A serial node coming or going is a change; any other node is not. Wake()
// after the change tells the two apart: a pending change wins.
struct NodeChange {
    const char* node;
    WaitOutcome outcome;
};

class PortMapWait : public ::testing::TestWithParam<NodeChange> {};

TEST_P(PortMapWait, OnlySerialNodesCount)
{
    FakeMachine machine;
    CPosixPortMapSource source(machine.Roots());
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(source.Watch());
    machine.AddDevNode(GetParam().node);
    source.Wake();
    EXPECT_EQ(source.WaitForChange(), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(Nodes, PortMapWait,
                         ::testing::Values(NodeChange{"ttyUSB0", WaitOutcome::Changed},
                                           NodeChange{"ttyS4", WaitOutcome::Changed},
                                           NodeChange{"sda", WaitOutcome::Woken},
                                           NodeChange{"bus/usb/001/004", WaitOutcome::Woken}));

TEST(PosixPortMapSource, RemovingANodeIsAChangeAndAnExtraPortWakes)
{
    FakeMachine machine;
    machine.PlugUsbSerial("ttyUSB0");
    CPosixPortMapSource source(machine.Roots());
    ASSERT_TRUE(source.Open());
    ASSERT_TRUE(source.Watch());
    machine.UnplugSerial("ttyUSB0");
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Changed);
    source.AddExtraPort("/tmp/sim/board");
    EXPECT_EQ(source.WaitForChange(), WaitOutcome::Woken);
}

}  // namespace
