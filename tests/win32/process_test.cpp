// Programs started through CreateProcessW with their output on a pipe, with
// the J-Link stand-in as the program, in a folder whose name is not ASCII.

#include "platform/process.h"
#include "test_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;
using namespace std::chrono_literals;

namespace {

class ProcessTest : public ::testing::Test {
protected:
    std::unique_ptr<IProcess> Start(std::vector<std::string> arguments,
                                    std::vector<std::string> environment = {})
    {
        std::string error;
        auto process = StartProcess({StandInPath(), std::move(arguments), folder.Utf8(),
                                     std::move(environment)},
                                    error);
        EXPECT_TRUE(process) << error;
        return process;
    }

    // Everything the program writes, until the pipe ends or `limit` passes.
    static std::string ReadAll(IProcess& process, std::chrono::milliseconds limit = 20s)
    {
        std::string output;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        char buffer[512];
        while (std::chrono::steady_clock::now() < deadline) {
            const ProcessRead read = process.Read(buffer, sizeof buffer, 100ms);
            if (read.kind == ProcessRead::Kind::End)
                return output;
            if (read.kind == ProcessRead::Kind::Data)
                output.append(buffer, read.count);
        }
        ADD_FAILURE() << "the output did not end: " << output;
        return output;
    }

    TestFolder folder;
};

// The script's relative name resolves in the working directory given in the
// call, not in the test's own.
TEST_F(ProcessTest, RunsInTheGivenFolderWithItsOutputOnThePipe)
{
    folder.Write("job\\script.txt", "h\nq\n");
    const auto process = Start({"-CommanderScript", "job\\script.txt"});
    ASSERT_TRUE(process);
    const std::string output = ReadAll(*process);
    // A console program's text output ends its lines as Windows does.
    EXPECT_THAT(output, HasSubstr("J-Link>h\r\n"));
    EXPECT_THAT(output, HasSubstr("Script processing completed.\r\n"));
    const ProcessExit exit = process->WaitForExit(10s);
    EXPECT_TRUE(exit.ended);
    EXPECT_FALSE(exit.bySignal);
    EXPECT_EQ(exit.code, 0);
}

// Output that comes faster than it is read, in pieces larger than the
// reader's buffer, arrives whole and in order.
TEST_F(ProcessTest, MuchOutputArrivesWholeAndInOrder)
{
    std::string script;
    for (int i = 0; i < 300; ++i)
        script += "h\n";
    folder.Write("script.txt", script + "q\n");
    const auto process = Start({"-CommanderScript", "script.txt"});
    ASSERT_TRUE(process);
    const std::string output = ReadAll(*process);
    std::size_t commands = 0;
    for (auto at = output.find("J-Link>h\r\n"); at != std::string::npos; at = output.find("J-Link>h\r\n", at + 1))
        ++commands;
    EXPECT_EQ(commands, 300u);
    EXPECT_GT(output.size(), 4096u) << "more than one of the pipe's reads";
    EXPECT_THAT(output, ::testing::EndsWith("Script processing completed.\r\n"));
}

// Each argument reaches the program as it was given, blanks, quotes and
// backslashes included; the program names it back in its complaint.
TEST_F(ProcessTest, ArgumentsArriveUnchanged)
{
    for (const std::string name : {"with blank.txt", "quote\"inside.txt", "ends\\", "two\\\\\"x",
                                   ""}) {
        const auto process = Start({"-CommanderScript", name});
        ASSERT_TRUE(process);
        EXPECT_THAT(ReadAll(*process), HasSubstr("Could not open command file '" + name + "'"))
            << name;
        EXPECT_EQ(process->WaitForExit(10s).code, 1) << name;
    }
}

TEST_F(ProcessTest, TheExtraEnvironmentReachesTheProgram)
{
    folder.Write("script.txt", "q\n");
    const auto process = Start({"-CommanderScript", "script.txt"}, {"QUILLMARK_JLINK_FAULT=nonsense"});
    ASSERT_TRUE(process);
    EXPECT_THAT(ReadAll(*process), HasSubstr("****** Error"));
    EXPECT_EQ(process->WaitForExit(10s).code, 1);
}

// A tool that hangs: reads wait no longer than asked, and terminating it
// ends the wait for its exit and the pipe.
TEST_F(ProcessTest, TerminateEndsAHangingProgramAndItsOutput)
{
    folder.Write("temp_image_00.bin", "piece");
    folder.Write("script.txt", "loadbin temp_image_00.bin, 0x00416000\nq\n");
    const auto process = Start({"-CommanderScript", "script.txt"}, {"QUILLMARK_JLINK_FAULT=hang"});
    ASSERT_TRUE(process);
    char buffer[512];
    std::string output;
    while (output.find("Downloading file [temp_image_00.bin]") == std::string::npos) {
        const ProcessRead read = process->Read(buffer, sizeof buffer, 10s);
        ASSERT_EQ(read.kind, ProcessRead::Kind::Data) << output;
        output.append(buffer, read.count);
    }
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(process->Read(buffer, sizeof buffer, 200ms).kind, ProcessRead::Kind::Timeout);
    const auto waited = std::chrono::steady_clock::now() - before;
    EXPECT_GE(waited, 200ms);
    EXPECT_LT(waited, 2s);
    EXPECT_FALSE(process->WaitForExit(100ms).ended);

    process->Terminate();
    const ProcessExit exit = process->WaitForExit(10s);
    EXPECT_TRUE(exit.ended);
    EXPECT_TRUE(exit.bySignal);
    ReadAll(*process, 10s);
}

TEST_F(ProcessTest, AProgramThatIsNotThereSaysWhy)
{
    std::string error;
    const auto process =
        StartProcess({folder.Utf8() + "\\missing.exe", {}, folder.Utf8(), {}}, error);
    EXPECT_FALSE(process);
    EXPECT_THAT(error, HasSubstr("cannot start " + folder.Utf8() + "\\missing.exe: "));
}

}  // namespace
