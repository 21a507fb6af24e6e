// The probe monitor on a fake device tree, with real inotify.

#include "discovery/jlink_manager.h"
#include "fake_machine.h"
#include "platform/posix/probe_source.h"
#include "recorder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct ProbeMonitor {
    explicit ProbeMonitor(const MachineRoots& roots) : source(roots), monitor(&recorder, source) {}
    Recorder recorder;
    CPosixProbeSource source;
    CJLinkManager monitor;
};

TEST(CJLinkManager, WithoutUsbNothingIsPresentNothingNotifiedNothingShown)
{
    FakeMachine machine;
    std::filesystem::remove_all(machine.Sysfs() + "/bus");
    ProbeMonitor m(machine.Roots());
    m.monitor.Start();
    EXPECT_FALSE(m.monitor.IsPresent());
    EXPECT_EQ(m.recorder.Count(Recorder::JLink), 0);
    EXPECT_TRUE(m.recorder.Failures().empty());
}

TEST(CJLinkManager, EveryReadingNotifiesAndPresenceFollowsTheProbes)
{
    FakeMachine machine;
    machine.PlugUsbDevice(2, "046d");  // a mouse
    ProbeMonitor m(machine.Roots());
    m.monitor.Start();
    EXPECT_EQ(m.recorder.Count(Recorder::JLink), 1) << "the first reading notifies once";
    EXPECT_FALSE(m.monitor.IsPresent());

    machine.PlugUsbDevice(3);
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, 2));
    EXPECT_TRUE(m.monitor.IsPresent());

    machine.PlugUsbDevice(4);
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, 3));
    machine.UnplugUsbDevice(3);
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, 4));
    EXPECT_TRUE(m.monitor.IsPresent()) << "one of two probes is still there";

    machine.UnplugUsbDevice(2);  // not a probe: notified, same answer
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, 5));
    EXPECT_TRUE(m.monitor.IsPresent());

    machine.UnplugUsbDevice(4);
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, 6));
    EXPECT_FALSE(m.monitor.IsPresent());
}

// The probe's own serial port is no board port, and a probe whose sysfs
// entry outlives its node is gone.
TEST(PosixProbeSource, CountsProbesWithANode)
{
    FakeMachine machine;
    machine.PlugUsbDevice(5);
    machine.PlugUsbDevice(6);
    machine.PlugUsbDevice(7, "0403");
    machine.RemoveDevNode("bus/usb/001/006");
    CPosixProbeSource source(machine.Roots());
    ASSERT_TRUE(source.Open());
    EXPECT_EQ(source.CountProbes(), 1);
}

TEST(CJLinkManager, FolderOfUsbNodesMadeAfterTheStartIsWatched)
{
    FakeMachine machine;
    std::filesystem::remove_all(machine.Dev() + "/bus");
    ProbeMonitor m(machine.Roots());
    m.monitor.Start();
    EXPECT_FALSE(m.monitor.IsPresent());
    // One folder at a time: each notification then says its folder is armed.
    int notified = 1;
    for (const char* folder : {"/bus", "/bus/usb", "/bus/usb/001"}) {
        std::filesystem::create_directory(machine.Dev() + folder);
        ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, ++notified)) << folder;
    }
    machine.PlugUsbDevice(9);
    ASSERT_TRUE(m.recorder.WaitFor(Recorder::JLink, ++notified));
    EXPECT_TRUE(m.monitor.IsPresent());
}

}  // namespace
