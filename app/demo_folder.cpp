#include "app/demo_folder.h"

#include "jlink/tool_file_names.h"
#include "jlink/machine_settings.h"
#include "platform/paths.h"
#include "platform/text_paths.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kDemoImageLength = 24 * 1024;

}  // namespace

bool CDemoFolder::Make(std::string& error, const std::string& standIn)
{
    if (!MakeUniqueFolder(error))
        return false;
    std::error_code failure;
    for (const std::string& inside : {JobTempFolder(), FlashFolder()}) {
        fs::create_directory(PathOfText(inside), failure);
        if (failure) {
            error = "cannot create " + inside + ": " + failure.message();
            return false;
        }
    }
    return WriteImage(error) && InstallStandIn(error, standIn);
}

// In the user's private temporary folder, so nobody else can reach the tool
// the demo runs; a new name each time, so demos running side by side keep
// apart. What killed demos left there goes first.
bool CDemoFolder::MakeUniqueFolder(std::string& error)
{
    const std::string parent = PrivateTempFolder();
    if (parent.empty()) {
        error = "cannot create a demo folder below the temporary folder";
        return false;
    }
    RemoveAbandonedFolders(parent);
    folder = COwnedFolder::Make(parent, "quillmark-demo-", error);
    return folder != nullptr;
}

bool CDemoFolder::WriteImage(std::string& error)
{
    std::string image = "QUILLMARK DEMO FIRMWARE ";
    std::mt19937 engine(2026);
    while (image.size() < kDemoImageLength)
        image.push_back(static_cast<char>(engine()));
    std::ofstream out(PathOfText(ImagePath()), std::ios::binary);
    out.write(image.data(), static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
        error = "cannot write the demo image";
        return false;
    }
    return true;
}

// Windows lets only privileged users make symbolic links, so the stand-in is
// copied there; elsewhere a link does.
bool CDemoFolder::InstallStandIn(std::string& error, const std::string& standIn)
{
    const fs::path tool = PathOfText(JoinPath(Path(), ToolRelativePath()));
    std::error_code failure;
    fs::create_directory(tool.parent_path(), failure);
#ifdef _WIN32
    if (!failure)
        fs::copy_file(PathOfText(standIn), tool, failure);
#else
    if (!failure)
        fs::create_symlink(PathOfText(standIn), tool, failure);
#endif
    if (failure)
        error = "cannot install the J-Link stand-in: " + failure.message();
    return !failure;
}

std::string CDemoFolder::Inside(const char* name) const { return JoinPath(Path(), name); }

std::string CDemoFolder::ImagePath() const { return Inside("demo_firmware.bin"); }

std::string CDemoFolder::JobTempFolder() const { return Inside("tmp"); }

std::string CDemoFolder::FlashFolder() const { return Inside("flash"); }

std::string CDemoFolder::ProbeFlashPath() const { return JoinPath(FlashFolder(), "probe_flash.bin"); }

JLinkSettings CDemoFolder::JLinkSettingsForDemo(double sleepScale) const
{
    JLinkSettings settings = MachineJLinkSettings();
    settings.programFolder = Path();
    settings.tempFolder = JobTempFolder();
    // The script's waits, shortened so the whole update takes a few seconds.
    settings.toolEnvironment = {"QUILLMARK_JLINK_SLEEP_SCALE=" + std::to_string(sleepScale),
                                "QUILLMARK_JLINK_FLASH_FILE=" + ProbeFlashPath()};
    return settings;
}

std::string FindDemoHelper(const std::string& name, const std::string& helperFolder,
                           const std::string& buildTreePath, std::string& error)
{
    std::vector<std::string> places{JoinPath(ProgramFolder(), name)};
    const std::string installed =
        TextOfPath(PathOfText(JoinPath(ProgramFolder(), helperFolder)).lexically_normal());
    if (!helperFolder.empty())
        places.push_back(JoinPath(installed, name));
    places.push_back(buildTreePath);
    std::error_code ignored;
    for (const std::string& path : places)
        if (fs::exists(PathOfText(path), ignored))
            return path;
    error = "cannot find " + name + " beside the program" +
            (helperFolder.empty() ? std::string() : " or in " + installed);
    return {};
}
