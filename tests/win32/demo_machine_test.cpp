// The Windows demo machine under wine: its folder with the stand-in where the
// J-Link job looks for the tool, its board among the machine's ports, and an
// update over that board through the loader manager as the wizard starts one,
// at the real board's speed.

#include "app/demo_probe_source.h"
#include "app/win32/demo_machine.h"
#include "job/board_info.h"
#include "job/message_queue.h"
#include "job/status_codes.h"
#include "jlink/job_names.h"
#include "platform/machine.h"
#include "platform/text_paths.h"
#include "support/expected_flash.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr char kMac[] = "0050C2123456789A";

TEST(DemoMachine, ListsItsBoardProgramsItOverTheSerialJobAndLeavesNothingBehind)
{
    std::string error;
    auto demo = CDemoMachine::Create(error);
    ASSERT_NE(demo, nullptr) << error;
    const fs::path folder = PathOfText(demo->ProgramFolder());
    EXPECT_TRUE(fs::is_regular_file(PathOfText(JoinPath(demo->ProgramFolder(), ToolRelativePath()))));

    const auto folders = MakeFolderSource();
    const auto ports = MakePortMapSource();
    const auto serialPorts = MakeSerialPortFactory();
    CDemoProbeSource probes;
    std::vector<std::int32_t> statuses;
    CMessageQueue dialog([&statuses](unsigned message, WParam wparam, LParam) {
        if (message == WM_JOB_STATUS)
            statuses.push_back(reinterpret_cast<const CBoardInfo*>(wparam)->statusCode);
        return LParam{0};
    });
    {
        CLoaderManager manager(dialog, demo->PlugIn(DemoParts{*folders, *ports, *serialPorts, probes,
                                                              [&dialog] { dialog.DispatchPending(); }}));
        ASSERT_TRUE(ports->Open());
        EXPECT_THAT(ports->ReadPorts(), ::testing::Contains(demo->BoardPortName()));

        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(manager.StartSerialJob(
            demo->BoardPortName(), kMac,
            CBinFile{CBinFile::FolderFile, demo->ImagePath(), "demo_firmware.bin"}));
        const auto deadline = started + std::chrono::seconds(60);
        while (std::count(statuses.begin(), statuses.end(), kStatusSuccess) == 0 &&
               std::chrono::steady_clock::now() < deadline)
            dialog.DispatchFor(std::chrono::milliseconds(10));
        std::printf("the demo update took %.2f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        ASSERT_THAT(statuses, ::testing::Contains(kStatusSuccess));
    }
    EXPECT_EQ(demo->BoardFlash(), ExpectedSerialFlashOfFile(demo->ImagePath(), kMac));
    demo.reset();
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
