// The board manager between the two monitors and the dialog: every change
// ends as a posted message, read on the dialog's thread.

#include "discovery/board_manager.h"
#include "fake_machine.h"
#include "job/message_queue.h"
#include "platform/posix/port_map_source.h"
#include "platform/posix/probe_source.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {

class PostingLoaderManager final : public ILoaderManager {
public:
    explicit PostingLoaderManager(IMessageTarget& dialog) : dialog(dialog) {}
    void OnBinFilesChanged() override { dialog.Post(WM_BINFILES_CHANGED, 0, 0); }
    void OnComPortsChanged() override { dialog.Post(WM_COMPORTS_CHANGED, 0, 0); }
    void OnJLinkChanged() override { dialog.Post(WM_JLINK_CHANGED, 0, 0); }
    void OnMonitorFailed(const std::string& text) override { failures.push_back(text); }

    std::vector<std::string> failures;  // told on the test's thread here

private:
    IMessageTarget& dialog;
};

struct Dialog {
    explicit Dialog(const MachineRoots& roots) : ports(roots), probes(roots), board(&loader, ports, probes) {}

    // Handles messages until `count` have arrived (or a generous guard ends).
    void HandleUntil(std::size_t count)
    {
        for (int i = 0; i < 100 && seen.size() < count; ++i)
            queue.DispatchFor(std::chrono::milliseconds(100));
    }

    std::vector<unsigned> seen;
    std::vector<std::vector<std::string>> portsSeen;
    std::vector<bool> probeSeen;
    CMessageQueue queue{[this](unsigned message, WParam, LParam) {
        seen.push_back(message);
        if (message == WM_COMPORTS_CHANGED)
            portsSeen.push_back(board.ComPorts().Ports());
        if (message == WM_JLINK_CHANGED)
            probeSeen.push_back(board.JLink().IsPresent());
        return LParam{0};
    }};
    PostingLoaderManager loader{queue};
    CPosixPortMapSource ports;
    CPosixProbeSource probes;
    CBoardManager board;
};

TEST(CBoardManager, ForwardsEveryChangeAsAPostedMessage)
{
    FakeMachine machine;
    Dialog dialog(machine.Roots());
    dialog.board.Start();
    dialog.HandleUntil(1);
    ASSERT_EQ(dialog.seen, std::vector<unsigned>{WM_JLINK_CHANGED}) << "ports' first reading is silent";

    machine.PlugUsbSerial("ttyUSB0");
    dialog.HandleUntil(2);
    machine.PlugUsbDevice(3);
    dialog.HandleUntil(3);
    EXPECT_EQ(dialog.seen, (std::vector<unsigned>{WM_JLINK_CHANGED, WM_COMPORTS_CHANGED, WM_JLINK_CHANGED}));
    EXPECT_EQ(dialog.portsSeen, (std::vector<std::vector<std::string>>{{"ttyUSB0"}}));
    EXPECT_EQ(dialog.probeSeen, (std::vector<bool>{false, true}));
    dialog.board.Stop();
}

TEST(CBoardManager, TheProbeMonitorStartsWhenThePortsCannotBeRead)
{
    FakeMachine machine;
    machine.PlugUsbDevice(3);
    std::filesystem::remove_all(machine.Sysfs() + "/class");
    Dialog dialog(machine.Roots());
    dialog.board.Start();
    dialog.HandleUntil(1);
    EXPECT_EQ(dialog.loader.failures.size(), 1u);
    EXPECT_EQ(dialog.probeSeen, std::vector<bool>{true});
}

}  // namespace
