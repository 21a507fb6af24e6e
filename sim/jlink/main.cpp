// jlink-standin: behaves like the J-Link probe's command-line tool for the
// tests, the demo and anyone without a probe. Started the way the job starts
// the tool:
//
//     jlink-standin -CommanderScript temp_jlinkloader/jlinkscript.txt
//
// it carries out the script line by line against a simulated target (RAM at
// 0x00400000..0x00417FFF, 128 KiB of flash, the flash loader's command block),
// resolving relative paths in its working directory, prints what the tool
// prints (each loadbin echoed with the tool's marker), and ends after "q".
//
// The command line is the tool's own, so the test options come from the
// environment:
//
//   QUILLMARK_JLINK_SLEEP_SCALE  factor for every Sleep of the script
//                                (default 1; 0 skips the waits)
//   QUILLMARK_JLINK_FLASH_FILE   the target's flash: read at the start when it
//                                holds 131072 bytes (else the flash starts
//                                erased), written back when the script ends
//   QUILLMARK_JLINK_KEEP_JOB     a folder: the script's folder (the job files)
//                                is copied into it before the script runs, for
//                                tests that compare the files the job wrote
//   QUILLMARK_JLINK_ECHO         downloading (default): "Downloading file [...]...";
//                                loading: "Loading binary file... [...]"
//   QUILLMARK_JLINK_FAULT        no-probe:    prints an error line with the error
//                                             marker first, then goes on without
//                                             touching the target
//                                error:       the marker in the middle of the
//                                             output of the first piece's loadbin
//                                split-error: the marker in two writes, apart
//                                hang:        stops for ever at the first piece
//                                crash:       aborts at the first piece
//                                flood:       200 extra lines after every command

#include "sim/jlink/script_runner.h"
#include "sim/jlink/standin_options.h"
#include "sim/jlink/target.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

void LoadFlash(const std::string& path, SimulatedTarget& target)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (bytes.size() == target.Flash().size())
        target.Flash() = bytes;
}

bool SaveFlash(const std::string& path, SimulatedTarget& target)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(target.Flash().data()),
              static_cast<std::streamsize>(target.Flash().size()));
    return static_cast<bool>(out);
}

int Refuse(const std::string& why)
{
    std::printf("****** Error: %s\n", why.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string problem;
    const StandInOptions options = ReadStandInOptions(problem);
    if (!problem.empty())
        return Refuse(problem);
    if (argc != 3 || std::string(argv[1]) != "-CommanderScript")
        return Refuse("usage: " + std::string(argv[0]) + " -CommanderScript <script file>");

    std::printf("J-Link tool stand-in (Quillmark test tool)\n");
    if (!options.keepJobIn.empty()) {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::copy(fs::path(argv[2]).parent_path(), options.keepJobIn,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
        if (error)
            return Refuse("cannot keep the job files in " + options.keepJobIn + ": " + error.message());
    }
    SimulatedTarget target;
    if (!options.flashFile.empty())
        LoadFlash(options.flashFile, target);
    ScriptRunner runner(target, options);
    const int exitCode = runner.RunScript(argv[2]);
    if (!options.flashFile.empty() && !SaveFlash(options.flashFile, target))
        return Refuse("cannot write the flash file " + options.flashFile);
    return exitCode;
}
