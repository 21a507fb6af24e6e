// The demo wizard run as a real program and ended as users end programs by
// accident: killed, or left without its display. Its simulated board never
// outlives it, and what its folder held is cleared.

#include "support/child_process.h"
#include "support/process_table.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <regex>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class DemoLeftovers : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir / "tmp"); }

    std::vector<std::string> Wizard(const std::vector<std::string>& display) const
    {
        std::vector<std::string> argv{"/usr/bin/env", "TMPDIR=" + (dir / "tmp")};
        argv.insert(argv.end(), display.begin(), display.end());
        argv.insert(argv.end(), {QUILLMARK_PROGRAM, "--demo"});
        return argv;
    }

    // The simulated boards of this test's demos.
    std::vector<RunningProcess> Boards() const
    {
        std::vector<RunningProcess> boards;
        for (const RunningProcess& p : ProcessesWith(dir / "tmp/"))
            if (fs::path(p.argv[0]).filename() == "velkan-board-sim")
                boards.push_back(p);
        return boards;
    }

    std::size_t BoardCount() const { return Boards().size(); }

    // Every entry of the private temporary folder: demo folders and their locks.
    std::set<std::string> PrivateEntries() const
    {
        std::set<std::string> names;
        std::error_code absent;
        const fs::path folder = dir / ("tmp/quillmark-" + std::to_string(::getuid()));
        for (const auto& entry : fs::directory_iterator(folder, absent))
            names.insert(entry.path().filename().string());
        return names;
    }

    TempDir dir;
    const std::vector<std::string> offscreen{"QT_QPA_PLATFORM=offscreen"};
};

constexpr auto kStartLimit = std::chrono::seconds(20);

TEST_F(DemoLeftovers, AKilledDemoTakesItsBoardAndTheNextStartClearsOnlyItsFolder)
{
    ChildProcess killed(Wizard(offscreen));
    ASSERT_TRUE(WaitForCount([this] { return BoardCount(); }, 1, kStartLimit));
    const std::set<std::string> killedEntries = PrivateEntries();
    ChildProcess alive(Wizard(offscreen));
    ASSERT_TRUE(WaitForCount([this] { return BoardCount(); }, 2, kStartLimit));
    const std::set<std::string> bothEntries = PrivateEntries();

    killed.Signal(SIGKILL);
    killed.Wait();
    EXPECT_TRUE(WaitForCount([this] { return BoardCount(); }, 1, std::chrono::seconds(1)));
    EXPECT_EQ(PrivateEntries(), bothEntries) << "a killed run cannot clear its own folder";

    ChildProcess next(Wizard(offscreen));
    ASSERT_TRUE(WaitForCount([this] { return BoardCount(); }, 2, kStartLimit));
    const std::set<std::string> after = PrivateEntries();
    for (const std::string& name : bothEntries)
        EXPECT_EQ(after.count(name), killedEntries.count(name) ? 0u : 1u) << name;
    EXPECT_EQ(after.size(), bothEntries.size());
}

// Xvfb tells on its display descriptor which display it took.
std::string StartDisplay(ChildProcess& xvfb)
{
    const std::regex number("(^|\\n)([0-9]+)\\n");
    std::smatch found;
    while (xvfb.Expect("\n", std::chrono::seconds(10)))
        if (std::regex_search(xvfb.all, found, number))
            return ":" + found[2].str();
    return {};
}

TEST_F(DemoLeftovers, ADemoThatLosesItsDisplayEndsAsAStopWouldAndLeavesNothing)
{
    ChildProcess xvfb({"/usr/bin/Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1024x768x24"});
    const std::string display = StartDisplay(xvfb);
    ASSERT_FALSE(display.empty()) << xvfb.all;
    ChildProcess wizard(Wizard({"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display}));
    ASSERT_TRUE(WaitForCount([this] { return BoardCount(); }, 1, kStartLimit)) << wizard.all;

    xvfb.Signal(SIGKILL);
    xvfb.Wait();
    wizard.Wait();
    EXPECT_EQ(BoardCount(), 0u);
    EXPECT_THAT(PrivateEntries(), ::testing::IsEmpty()) << wizard.all;
}

}  // namespace
