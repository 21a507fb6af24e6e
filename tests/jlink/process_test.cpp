// Starting programs on this machine: argument vector, working directory,
// standard input and output, environment, waiting and terminating.

#include "platform/process.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using ::testing::HasSubstr;
using ::testing::Not;

namespace {

using std::chrono::milliseconds;

std::unique_ptr<IProcess> Start(ProcessStart start)
{
    std::string error;
    auto process = StartProcess(start, error);
    EXPECT_TRUE(process) << error;
    return process;
}

// Everything the program writes, until its output ends.
std::string ReadAll(IProcess& process)
{
    std::string output;
    char buffer[256];
    for (int reads = 0; reads < 10000; ++reads) {
        const ProcessRead read = process.Read(buffer, sizeof buffer, milliseconds(100));
        if (read.kind == ProcessRead::Kind::End)
            return output;
        if (read.kind == ProcessRead::Kind::Data)
            output.append(buffer, read.count);
    }
    ADD_FAILURE() << "the output did not end";
    return output;
}

TEST(Process, ArgumentsReachTheProgramUntouchedByAnyShell)
{
    auto process = Start({"/bin/echo", {"a  b", "$HOME", "*"}, "", {}});
    ASSERT_TRUE(process);
    EXPECT_EQ(ReadAll(*process), "a  b $HOME *\n");
    const ProcessExit exit = process->WaitForExit(milliseconds(5000));
    EXPECT_TRUE(exit.ended);
    EXPECT_FALSE(exit.bySignal);
    EXPECT_EQ(exit.code, 0);
}

TEST(Process, RunsInItsOwnWorkingDirectoryOnly)
{
    TempDir dir;
    const auto before = std::filesystem::current_path();
    auto process = Start({"/bin/pwd", {}, dir.Path().string(), {}});
    ASSERT_TRUE(process);
    EXPECT_EQ(ReadAll(*process), std::filesystem::canonical(dir.Path()).string() + "\n");
    EXPECT_EQ(std::filesystem::current_path(), before);
}

TEST(Process, StandardInputIsEmpty)
{
    auto process = Start({"/bin/cat", {}, "", {}});
    ASSERT_TRUE(process);
    EXPECT_EQ(ReadAll(*process), "");
    EXPECT_TRUE(process->WaitForExit(milliseconds(5000)).ended);
}

TEST(Process, ExtraEnvironmentReplacesTheCallersEntry)
{
    ::setenv("QUILLMARK_PROCESS_TEST", "old", 1);
    auto process = Start({"/usr/bin/env", {}, "", {"QUILLMARK_PROCESS_TEST=new", "QUILLMARK_EXTRA=1"}});
    ::unsetenv("QUILLMARK_PROCESS_TEST");
    ASSERT_TRUE(process);
    const std::string output = ReadAll(*process);
    EXPECT_THAT(output, HasSubstr("\nQUILLMARK_PROCESS_TEST=new\n"));
    EXPECT_THAT(output, HasSubstr("\nQUILLMARK_EXTRA=1\n"));
    EXPECT_THAT(output, Not(HasSubstr("QUILLMARK_PROCESS_TEST=old")));
}

TEST(Process, ReportsTheExitCode)
{
    auto process = Start({"/bin/false", {}, "", {}});
    ASSERT_TRUE(process);
    const ProcessExit exit = process->WaitForExit(milliseconds(5000));
    EXPECT_TRUE(exit.ended);
    EXPECT_FALSE(exit.bySignal);
    EXPECT_EQ(exit.code, 1);
}

TEST(Process, WaitGivesUpAndTerminateEndsTheProgram)
{
    auto process = Start({"/bin/sleep", {"30"}, "", {}});
    ASSERT_TRUE(process);
    EXPECT_FALSE(process->WaitForExit(milliseconds(20)).ended);
    char buffer[16];
    EXPECT_EQ(process->Read(buffer, sizeof buffer, milliseconds(20)).kind, ProcessRead::Kind::Timeout);
    process->Terminate();
    const ProcessExit exit = process->WaitForExit(milliseconds(5000));
    EXPECT_TRUE(exit.ended);
    EXPECT_TRUE(exit.bySignal);
    EXPECT_EQ(ReadAll(*process), "");
    process->Terminate();  // after the end: nothing left to signal
}

TEST(Process, AMissingProgramSaysWhy)
{
    std::string error;
    EXPECT_FALSE(StartProcess({"/nonexistent/tool", {}, "", {}}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
