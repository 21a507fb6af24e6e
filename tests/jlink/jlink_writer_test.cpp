// The J-Link job's runner, with the tool replaced by scripted output: the
// statuses and progress it reports, the files it leaves, the log it keeps.

#include "data/target_code.h"
#include "expected_script.h"
#include "fake_tool.h"
#include "images/prepare_request.h"
#include "job_rig.h"
#include "platform/file_lock.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <atomic>
#include <thread>

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace fs = std::filesystem;

namespace {

const std::string kEcho = "Downloading file [temp_jlinkloader/temp_image_";

std::string LogText(const JobRig& rig)
{
    const auto bytes = ReadFileBytes(rig.TempFolder() + "/jlink.log");
    return {bytes.begin(), bytes.end()};
}

class JLinkWriterTest : public ::testing::Test {
protected:
    void SetUp() override { rig.InstallTool(); }

    std::vector<std::string> RunWith(FakeToolScript script, const std::string& image)
    {
        return rig.Run(rig.Settings(FakeStarter(std::move(script), record)), image);
    }

    JobRig rig;
    std::shared_ptr<FakeToolRecord> record = std::make_shared<FakeToolRecord>();
};

TEST_F(JLinkWriterTest, ReportsEachPieceThenSuccessAndCleansUp)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(10000, 1));
    const std::vector<std::string> chunks{"Connecting\n", kEcho + "00.bin]...\nO.K.\n",
                                          kEcho + "01.bin]...\nO.K.\n", kEcho + "02.bin]...\nO.K.\n",
                                          "Script processing completed.\n"};
    EXPECT_THAT(RunWith({chunks}, image),
                ElementsAre(kProgramming, "progress 0", "progress 33", "progress 66", "progress 100",
                            kSucceeded));
    ASSERT_EQ(record->starts.size(), 1u);
    const ProcessStart& start = record->starts[0];
    EXPECT_EQ(start.program, rig.ToolPath());
    EXPECT_THAT(start.arguments, ElementsAre("-CommanderScript", "temp_jlinkloader/jlinkscript.txt"));
    EXPECT_EQ(start.workingDirectory, rig.TempFolder());
    EXPECT_EQ(record->scriptAtStart, ExpectedScriptFor10000());
    EXPECT_THAT(record->filesAtStart,
                ElementsAre("flashloader.bin", "jlinkscript.txt", "temp_image_00.bin",
                            "temp_image_01.bin", "temp_image_02.bin"));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
    std::string all;
    for (const auto& c : chunks)
        all += c;
    EXPECT_EQ(LogText(rig), all);
    EXPECT_THAT(rig.Messages(), IsEmpty());
}

struct FailureCase {
    const char* name;
    FakeToolScript script;
    std::string loggedBefore;  // what the log holds afterwards
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ToolFailure : public JLinkWriterTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ToolFailure, EndsWithStatus15AndStopsTheTool)
{
    const FailureCase& c = GetParam();
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 2));
    EXPECT_THAT(RunWith(c.script, image), ElementsAre(kProgramming, "progress 100", kFailed));
    EXPECT_TRUE(record->terminated);
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
    EXPECT_EQ(LogText(rig), c.loggedBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, ToolFailure,
    ::testing::Values(
        FailureCase{"Whole", {{"a\n", "b ****** Error: No target\nc", "d\n"}, true}, "a\n"},
        FailureCase{"AtChunkStart", {{"a\n", "****** Error: x\n"}, true}, "a\n"},
        FailureCase{"Split", {{"a\n****** Er", "ror: x\n", "more\n"}, true}, "a\n****** Er"}));

struct ExitCase {
    const char* name;
    std::string output;
    int exitCode;
    std::vector<std::string> events;
    std::string reason;  // in the diagnostics; empty after success
    JLinkFailure failure;
};
void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class ToolExit : public JLinkWriterTest, public ::testing::WithParamInterface<ExitCase> {};

// Success needs the tool to have carried out the script: it exited with 0
// and loaded at least one piece.
TEST_P(ToolExit, DecidesTheOutcome)
{
    const ExitCase& c = GetParam();
    WriteScriptedTool(rig.ToolPath(), c.output, c.exitCode);
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 16));
    EXPECT_THAT(rig.Run(rig.Settings(StartProcess), image), ::testing::ElementsAreArray(c.events));
    if (c.reason.empty()) {
        EXPECT_THAT(rig.Diagnostics(), Not(HasSubstr("Error")));
    } else {
        EXPECT_THAT(rig.Diagnostics(), HasSubstr("\n\r Error: J-Link Commander (JLinkExe) " + c.reason));
    }
    EXPECT_THAT(rig.TempEntries(), ::testing::Each("jlink.log"));
    EXPECT_EQ(rig.Failure(), c.failure);
}

const std::string kOlderEcho = "Loading binary file... [temp_jlinkloader/temp_image_";

INSTANTIATE_TEST_SUITE_P(
    Exits, ToolExit,
    ::testing::Values(
        ExitCase{"Silent", "", 3, {kProgramming, "progress 100", kFailed}, "exited with code 3",
                 JLinkFailure::ExitedNonZero},
        ExitCase{"PieceThenCode3", kOlderEcho + "00.bin]\n", 3,
                 {kProgramming, "progress 0", "progress 100", kFailed}, "exited with code 3",
                 JLinkFailure::ExitedNonZero},
        ExitCase{"NoPiece", "Connecting\nScript processing completed.\n", 0,
                 {kProgramming, "progress 100", kFailed}, "never loaded a piece of the image",
                 JLinkFailure::NoPieceLoaded},
        ExitCase{"Marker", "****** Error: no target\n", 0,
                 {kProgramming, "progress 100", kFailed}, "reported: ****** Error",
                 JLinkFailure::ToolReportedError},
        ExitCase{"OlderEcho", kOlderEcho + "00.bin]\n", 0,
                 {kProgramming, "progress 0", "progress 100", kSucceeded}, "", JLinkFailure::None},
        ExitCase{"CurrentEcho", kEcho + "01.bin]...\n", 0,
                 {kProgramming, "progress 50", "progress 100", kSucceeded}, "", JLinkFailure::None}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JLinkWriterTest, AToolStoppedAtTheTimeLimitHasFailed)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 3));
    JLinkSettings settings = rig.Settings(FakeStarter({{kEcho + "00.bin]...\n"}, true}, record));
    settings.toolTimeLimit = std::chrono::milliseconds(50);
    EXPECT_THAT(rig.Run(settings, image),
                ElementsAre(kProgramming, "progress 0", "progress 100", kFailed));
    EXPECT_TRUE(record->terminated);
    EXPECT_THAT(rig.Diagnostics(), HasSubstr("did not end within 50 ms"));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
}

TEST_F(JLinkWriterTest, AToolThatDiedHasFailed)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 4));
    FakeToolScript script{{kEcho + "00.bin]...\n"}};
    script.crashes = true;
    EXPECT_THAT(RunWith(script, image),
                ElementsAre(kProgramming, "progress 0", "progress 100", kFailed));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
}

TEST_F(JLinkWriterTest, AToolThatCannotStartFailsAndCleansUp)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 5));
    const auto events =
        rig.Run(rig.Settings(FakeStarter({}, record, "Permission denied")), image);
    EXPECT_THAT(events, ElementsAre(kProgramming, kFailed));
    EXPECT_THAT(rig.Diagnostics(),
                HasSubstr("Error: Cannot start J-Link Commander (JLinkExe): " + rig.ToolPath()));
    EXPECT_THAT(rig.TempEntries(), IsEmpty());
}

struct LookupCase {
    const char* name;
    bool imagePresent;
    bool toolPresent;
    std::vector<std::string> boxes;  // "<image>" stands for the image's box, "<tool>" the tool's
    JLinkFailure failure;            // the first one noticed
};
void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class MissingInput : public ::testing::TestWithParam<LookupCase> {};

TEST_P(MissingInput, ShowsWhatIsMissingAndFails)
{
    const LookupCase& c = GetParam();
    JobRig rig;
    auto record = std::make_shared<FakeToolRecord>();
    if (c.toolPresent)
        rig.InstallTool();
    const std::string image =
        c.imagePresent ? rig.dir.Write("fw.bin", RandomBytes(5000, 6)) : rig.dir / "absent.bin";
    const auto events = rig.Run(rig.Settings(FakeStarter({}, record)), image);
    EXPECT_THAT(events, ElementsAre(kProgramming, kFailed));
    std::vector<std::string> expected;
    for (std::string box : c.boxes) {
        if (box == "<image>")
            box = "Error: Cannot open bin file: " + image;
        if (box == "<tool>")
            box = "Error: Cannot find J-Link Commander (JLinkExe): " + rig.ToolPath();
        expected.push_back(box);
    }
    // Only the job's own messages: why the image did not load is the preparer's to show.
    EXPECT_EQ(rig.Messages(), expected);
    EXPECT_TRUE(record->starts.empty());
    EXPECT_THAT(rig.TempEntries(), IsEmpty());
    EXPECT_EQ(rig.Failure(), c.failure);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, MissingInput,
    ::testing::Values(
        LookupCase{"Tool", true, false, {"<tool>"}, JLinkFailure::ToolMissing},
        LookupCase{"Image", false, true, {"<image>"}, JLinkFailure::ImageMissing},
        LookupCase{"Both", false, false, {"<image>", "<tool>"}, JLinkFailure::ImageMissing}));

TEST_F(JLinkWriterTest, AnOverriddenToolIsNamedByItsFullPath)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 7));
    JLinkSettings settings = rig.Settings(FakeStarter({}, record));
    settings.toolPath = "elsewhere/tool";
    EXPECT_THAT(rig.Run(settings, image), ElementsAre(kProgramming, kFailed));
    EXPECT_THAT(rig.Messages(), ElementsAre("Error: Cannot find J-Link Commander (JLinkExe): " +
                                           (fs::current_path() / "elsewhere/tool").string()));
}

TEST_F(JLinkWriterTest, AnImageThatDidNotLoadIsNotProgrammed)
{
    const std::string image = rig.dir.Write("fw.s19", "S1 this is no record\n");
    EXPECT_THAT(RunWith({}, image), ElementsAre(kProgramming, kFailed));
    EXPECT_TRUE(record->starts.empty());
    EXPECT_THAT(rig.TempEntries(), IsEmpty());
}

TEST_F(JLinkWriterTest, AnImageTooLongForTheFlashIsRefusedWithoutTheTool)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(131064, 8));
    EXPECT_THAT(RunWith({}, image), ElementsAre(kProgramming, kFailed));
    EXPECT_TRUE(record->starts.empty());
    EXPECT_THAT(rig.Diagnostics(), HasSubstr("\n\r Error: Image won't fit at specified address"));
    EXPECT_THAT(rig.Messages(), ElementsAre(HasSubstr("131064 bytes")));
    EXPECT_THAT(rig.TempEntries(), IsEmpty());
}

// Two jobs in one folder would write where the other's tool reads.
TEST_F(JLinkWriterTest, WhileAnotherJobRunsInTheFolderNothingIsStarted)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 10));
    rig.dir.Write("temp/temp_jlinkloader/jlinkscript.txt", "the other job's");
    const FileLockAttempt other = TryLockFile(rig.dir / "temp/temp_jlinkloader.lock");
    ASSERT_TRUE(other.lock) << other.error;
    EXPECT_THAT(RunWith({}, image), ElementsAre(kProgramming, kFailed));
    EXPECT_TRUE(record->starts.empty());
    EXPECT_THAT(rig.Messages(), ElementsAre(HasSubstr("Another J-Link job is still running in")));
    EXPECT_TRUE(fs::exists(rig.dir / "temp/temp_jlinkloader/jlinkscript.txt"));
}

TEST_F(JLinkWriterTest, JobFilesThatCannotBeWrittenEndTheJobNotTheProgram)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(5000, 9));
    // A file where the job folder belongs.
    rig.dir.Write("temp/temp_jlinkloader", "in the way");
    EXPECT_THAT(RunWith({}, image), ElementsAre(kProgramming, kFailed));
    EXPECT_THAT(rig.Diagnostics(), HasSubstr("Error: Cannot create temporary folder: temp_jlinkloader"));
    EXPECT_TRUE(record->starts.empty());
    EXPECT_THAT(rig.TempEntries(), IsEmpty());
}

TEST_F(JLinkWriterTest, UserFilesInTheTemporaryFolderAreLeftAlone)
{
    const auto bytes = RandomBytes(5000, 10);
    // The image itself lies in the temporary folder, beside a file with the
    // name an earlier copy could have had.
    const std::string image = rig.dir.Write("temp/fw.bin", bytes);
    const std::string neighbour = rig.dir.Write("temp/fw.bin.jlink-copy", "mine");
    EXPECT_THAT(RunWith({{kEcho + "00.bin]\n"}}, image),
                ElementsAre(kProgramming, "progress 0", "progress 100", kSucceeded));
    EXPECT_EQ(ReadFileBytes(image), bytes);
    EXPECT_EQ(ReadFileBytes(neighbour), std::vector<std::uint8_t>({'m', 'i', 'n', 'e'}));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("fw.bin", "fw.bin.jlink-copy", "jlink.log"));
}

TEST_F(JLinkWriterTest, TheLogGrowsWithEveryRun)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(3000, 11));
    RunWith({{"first run\n"}}, image);
    RunWith({{"second ", "run\n"}}, image);
    EXPECT_EQ(LogText(rig), "first run\nsecond run\n");
}

TEST_F(JLinkWriterTest, WithoutALogTheErrorMarkerIsStillSeen)
{
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(3000, 12));
    fs::create_directory(rig.TempFolder() + "/jlink.log");
    EXPECT_THAT(RunWith({{"a\n", "****** Error: x\n"}, true}, image),
                ElementsAre(kProgramming, "progress 100", kFailed));
}

TEST_F(JLinkWriterTest, TheWrittenCopyIsTheLoadedImageWithItsMac)
{
    // An S-record image: the copy holds the binary it describes.
    const std::string image = rig.dir.Write("fw.s19", "S1070000AABBCCDDEA\nS9030000FC\n");
    RunWith({}, image);
    ASSERT_EQ(record->starts.size(), 1u);
    EXPECT_THAT(record->scriptAtStart, HasSubstr("w4 0x00417008, 0x0000080f \n"));
    EXPECT_THAT(record->filesAtStart, ElementsAre("flashloader.bin", "jlinkscript.txt", "temp_image_00.bin"));
}

TEST(JLinkJobLifetime, ReplacingARunningJobWaitsForIt)
{
    JobRig rig;
    rig.InstallTool();
    auto record = std::make_shared<FakeToolRecord>();
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(3000, 13));
    JLinkSettings settings = rig.Settings(FakeStarter({{"x\n"}, true}, record));
    settings.toolTimeLimit = std::chrono::milliseconds(100);
    std::unique_ptr<JLinkJob> current;
    const auto pump = [&] { rig.Pump(); };
    StartJLinkJob(current, rig.Reports(), settings, image, "fw.bin", "0050C2123456789A", pump);
    StartJLinkJob(current, rig.Reports(), settings, image, "fw.bin", "0050C2123456789A", pump);
    // The first job had reported its end before the second began.
    EXPECT_THAT(rig.Events(), ElementsAre(kProgramming, "progress 100", kFailed));
    current->writer->Wait(pump);
    rig.Pump();
    EXPECT_THAT(rig.Events(), ElementsAre(kProgramming, "progress 100", kFailed, kProgramming,
                                          "progress 100", kFailed));
}

TEST(JLinkJobLifetime, DestroyingARunningJobWaitsForItsThreads)
{
    JobRig rig;
    rig.InstallTool();
    auto record = std::make_shared<FakeToolRecord>();
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(3000, 14));
    JLinkSettings settings = rig.Settings(FakeStarter({{"x\n"}, true}, record));
    settings.toolTimeLimit = std::chrono::milliseconds(100);
    std::atomic<bool> closing{false};
    // The dialog goes on handling messages on a thread of its own.
    std::thread dialog([&] {
        while (!closing)
            rig.Pump();
    });
    auto job = std::make_unique<JLinkJob>(rig.Reports(), settings);
    PrepareRequest(job->request, image, "fw.bin", "0050C2123456789A");
    job->writer->Start();
    job.reset();
    EXPECT_THAT(rig.Events(), ElementsAre(kProgramming, "progress 100", kFailed));
    EXPECT_THAT(rig.TempEntries(), ElementsAre("jlink.log"));
    closing = true;
    dialog.join();
}

// Closing the window ends a tool that would otherwise run on unseen until its
// time limit; the job fails and cleans up. (Without the abort this test would
// wait out the ten minutes and hit the test timeout.)
TEST(JLinkJobLifetime, AbortEndsARunningToolAtOnce)
{
    JobRig rig;
    rig.InstallTool();
    auto record = std::make_shared<FakeToolRecord>();
    const std::string image = rig.dir.Write("fw.bin", RandomBytes(3000, 15));
    JLinkSettings settings = rig.Settings(FakeStarter({{"x\n"}, true}, record));
    settings.toolTimeLimit = std::chrono::minutes(10);
    JLinkJob job(rig.Reports(), settings);
    PrepareRequest(job.request, image, "fw.bin", "0050C2123456789A");
    job.writer->Start();
    job.writer->Abort();
    job.writer->Wait([&] { rig.Pump(); });
    rig.Pump();
    ASSERT_FALSE(rig.Events().empty());
    EXPECT_EQ(rig.Events().front(), kProgramming);
    EXPECT_EQ(rig.Events().back(), kFailed);
    EXPECT_THAT(rig.TempEntries(), ::testing::Not(::testing::Contains("temp_jlinkloader")));
}

}  // namespace
