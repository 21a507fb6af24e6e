// The Windows demo bench under wine: its board among the machine's ports,
// and an update over each job through the loader manager as the wizard starts
// them: over the board inside the program at the real board's speed, and
// through the J-Link stand-in installed where the job looks for the tool.

#include "app/demo_probe_source.h"
#include "job/board_info.h"
#include "job/job_messages.h"
#include "job/message_queue.h"
#include "job/status_codes.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "shell/win32/demo_bench.h"
#include "support/expected_flash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(PathOfText(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr char kMac[] = "0050C2123456789A";

// The demo's board at the real board's speed; the stand-in's script waits cut
// to almost nothing, as they are not what is looked at here.
DemoOptions RealBoardQuickProbe()
{
    DemoOptions options;
    options.jlinkSleepScale = 0.001;
    return options;
}

TEST(DemoBench, ListsItsBoardUpdatesOverBothJobsAndLeavesNothingBehind)
{
    std::string error;
    auto demo = CDemoBench::Create(error, RealBoardQuickProbe());
    ASSERT_NE(demo, nullptr) << error;
    const fs::path folder = PathOfText(demo->ProgramFolder());
    const CBinFile image{CBinFile::FolderFile, demo->ImagePath(), "demo_firmware.bin"};

    const auto folders = MakeFolderSource();
    const auto ports = MakePortMapSource();
    const auto serialPorts = MakeSerialPortFactory();
    CDemoProbeSource probes;
    std::vector<std::int32_t> statuses;
    CMessageQueue dialog([&statuses](unsigned message, WParam wparam, LParam) {
        if (message == WM_JOB_STATUS)
            statuses.push_back(StatusOfMessage(wparam).code);
        return LParam{0};
    });
    // Delivers the job's reports until it has succeeded, or for a minute.
    const auto succeeds = [&](const char* job) {
        const auto started = std::chrono::steady_clock::now();
        while (std::count(statuses.begin(), statuses.end(), kStatusSuccess) == 0 &&
               std::chrono::steady_clock::now() < started + std::chrono::seconds(60))
            dialog.DispatchFor(std::chrono::milliseconds(10));
        std::printf("the demo update through the %s took %.2f s\n", job,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        return std::count(statuses.begin(), statuses.end(), kStatusSuccess) == 1;
    };
    {
        CLoaderManager manager(dialog, demo->PlugIn(DemoParts{*folders, *ports, *serialPorts, probes,
                                                              [&dialog] { dialog.DispatchPending(); }}));
        ASSERT_TRUE(ports->Open());
        EXPECT_THAT(ports->ReadPorts(), ::testing::Contains(demo->BoardPortName()));

        ASSERT_TRUE(manager.StartSerialJob(demo->BoardPortName(), kMac, image));
        EXPECT_TRUE(succeeds("serial port"));
        EXPECT_EQ(demo->BoardFlash(), ExpectedSerialFlashOfFile(demo->ImagePath(), kMac));

        // The stand-in runs as jlink\jlink.exe below the demo folder.
        statuses.clear();
        ASSERT_TRUE(manager.StartJLinkJob(kMac, image));
        EXPECT_TRUE(succeeds("J-Link stand-in"));
    }
    EXPECT_EQ(ReadBytes(demo->ProbeFlashPath()), ExpectedSerialFlashOfFile(demo->ImagePath(), kMac));
    demo.reset();
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
