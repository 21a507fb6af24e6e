#include "sim_board_run.h"

#include "flash/flash_layout.h"
#include "images/prepare_request.h"
#include "job/job_messages.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "quillmark-bench-XXXXXX").string();
    path = ::mkdtemp(pattern.data()) ? pattern : "";
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    fs::remove_all(path, error);
}

namespace {

std::string WriteImage(const std::string& folder, std::uint32_t length)
{
    std::vector<char> bytes(length);
    std::mt19937 random(length);
    for (char& byte : bytes)
        byte = static_cast<char>(random());
    const std::string path = folder + "/fw.bin";
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

}  // namespace

SimBoardRun::SimBoardRun(const std::vector<std::string>& simArguments, std::uint32_t length,
                         SerialTiming timing)
    : dialog([this](unsigned message, WParam wparam, LParam) -> LParam {
          if (message == WM_JOB_STATUS)
              statuses.push_back(StatusOfMessage(wparam).code);
          return 0;
      }),
      job(std::make_unique<SerialJob>(&reports, ports, timing))
{
    const std::string link = folder.path + "/board";
    std::vector<std::string> arguments{"--link", link};
    arguments.insert(arguments.end(), simArguments.begin(), simArguments.end());
    sim = std::make_unique<SimProcess>(arguments);
    job->request.portName = link;
    ready = sim->WaitForPath(link, std::chrono::seconds(10)) &&
            PrepareRequest(job->request, WriteImage(folder.path, length), "fw.bin", kDefaultMacText);
}

void SimBoardRun::Pump(int milliseconds)
{
    dialog.DispatchFor(std::chrono::milliseconds(milliseconds));
}

void SimBoardRun::Join()
{
    job->writer->Join([this] { Pump(); });
    dialog.DispatchPending();
}

void SimBoardRun::Stop()
{
    job->writer->Stop([this] { Pump(); });
    dialog.DispatchPending();
}

bool SimBoardRun::Saw(std::int32_t code) const
{
    return std::find(statuses.begin(), statuses.end(), code) != statuses.end();
}
