// quillmark-flash.exe station under wine: two simulated boards that the
// prefix knows as COM31 and COM32, programmed side by side with addresses
// from a pool that the Windows build locks and flushes.

#include "sim/sim_process.h"
#include "support/expected_flash.h"
#include "support/temp_dir.h"
#include "wine_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using ::testing::HasSubstr;

namespace {

TEST(WineStation, ProgramsTwoBoardsWithAddressesFromThePool)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const std::vector<std::string> ports{"COM31", "COM32"};
    std::vector<std::string> links;
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (const std::string& port : ports) {
        links.push_back(build.Prefix() + "/dosdevices/" + (port == "COM31" ? "com31" : "com32"));
        std::filesystem::remove(links.back());
        sims.push_back(std::make_unique<SimProcess>(
            std::vector<std::string>{"--link", links.back(), "--flash-out", dir / (port + ".flash"), "--fast"}));
        ASSERT_TRUE(sims.back()->WaitForPath(links.back(), std::chrono::seconds(10)));
    }
    const auto image = RandomBytes(5000, 91);
    const std::string path = dir.Write("fw.bin", image);
    const std::string pool = dir.Write("pool.csv", "range,0050C20000000100,0050C200000001FF\n");
    const auto result = build.Run(build.Program("cli/quillmark-flash.exe"),
                                  {"station", WindowsPath(path), "--port", "COM31", "--port", "COM32",
                                   "--mac-pool", WindowsPath(pool)});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_THAT(result.output, HasSubstr("COM31: MAC 0050C20000000100\nCOM32: MAC 0050C20000000101\n"));
    EXPECT_THAT(result.output, HasSubstr("Boards programmed: 2\nBoards failed: 0\nAddresses used: 2 (254 left in "));

    std::stringstream text;
    text << std::ifstream(pool).rdbuf();
    EXPECT_THAT(text.str(), HasSubstr("0050C20000000100,allocated,COM31,"));
    EXPECT_THAT(text.str(), HasSubstr("0050C20000000101,programmed,COM32,"));
    for (std::size_t i = 0; i < ports.size(); ++i) {
        ASSERT_EQ(sims[i]->Stop(), 0);
        EXPECT_EQ(ReadFileBytes(dir / (ports[i] + ".flash")),
                  ExpectedSerialFlash(image, i == 0 ? "0050C20000000100" : "0050C20000000101"))
            << ports[i];
        std::filesystem::remove(links[i]);
    }
}

// Closing the console (or a log-off, or a shut-down) while a board is being
// programmed: the handler stops the station and waits until it has reported,
// before Windows ends the program. The board gets no header.
TEST(WineStation, ClosingTheConsoleStopsTheBoardsAndReportsThem)
{
    const WindowsBuild& build = WindowsBuild::Get();
    TempDir dir;
    const std::string link = build.Prefix() + "/dosdevices/com31";
    std::filesystem::remove(link);
    auto sim = std::make_unique<SimProcess>(
        std::vector<std::string>{"--link", link, "--flash-out", dir / "flash.bin", "--fast", "--baud", "115200"});
    ASSERT_TRUE(sim->WaitForPath(link, std::chrono::seconds(10)));
    const std::string path = dir.Write("fw.bin", RandomBytes(20000, 92));
    const std::string out = dir / "station.txt";
    const auto station = build.Command(build.Program("cli/quillmark-flash.exe"),
                                       {"station", WindowsPath(path), "--port", "COM31", "--mac", "0050C20000000100"});
    ASSERT_EQ(RunCommand("timeout 60 " + CommandLine(station) + " >" + ShellQuote(out) + " 2>&1 & echo $! >" +
                         ShellQuote(out + ".pid"))
                  .exitCode,
              0);
    ASSERT_TRUE(WaitForOutput(out, "COM31: Programming Flash")) << Written(out);

    const auto sent = build.Run(build.Program("tests/win32/console_event.exe"), {"close", "quillmark-flash.exe"});
    EXPECT_EQ(sent.exitCode, 0) << sent.output;
    const std::string pid = "$(cat " + ShellQuote(out + ".pid") + ")";
    RunCommand("while kill -0 " + pid + " 2>/dev/null; do sleep 0.1; done");
    EXPECT_THAT(Written(out), HasSubstr("Boards not programmed (stopped): 1"));
    ASSERT_EQ(sim->Stop(), 0);
    const auto flash = ReadFileBytes(dir / "flash.bin");
    ASSERT_GE(flash.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(flash.begin(), flash.begin() + 8), std::vector<std::uint8_t>(8, 0xFF));
    std::filesystem::remove(link);
}

}  // namespace
