// quillmark-flash inspect: loads an image exactly as a job would and shows
// what programming it would put into the flash.

#include "cli/commands.h"
#include "cli/mac_option.h"
#include "flash/flash_layout.h"
#include "flash/flash_plan.h"
#include "images/flash_image.h"
#include "job/mac_address.h"
#include "platform/replace_file.h"
#include "platform/text_paths.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>

namespace {

struct InspectOptions {
    std::string image;
    std::string mac;
    std::string output;
};

std::string Hex32(std::uint32_t value)
{
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

void PrintImage(const InspectOptions& options, const FlashImage& image)
{
    const bool srecord = FlashImage::IsSRecordPath(options.image);
    std::cout << "Image:   " << options.image << "\n"
              << "Format:  " << (srecord ? "S-record" : "raw binary") << "\n"
              << "Length:  " << image.length << " bytes\n";
    if (!srecord)
        return;
    std::cout << "Address runs:";
    if (image.intervals.empty())
        std::cout << " none";
    for (const AddressInterval& run : image.intervals)
        std::cout << "\n  " << Hex32(run.start) << " - " << Hex32(run.end) << " ("
                  << run.end - run.start << " bytes)";
    std::cout << "\n";
}

bool SameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(PathOfText(a), PathOfText(b), error);
}

int RunInspect(const InspectOptions& options)
{
    if (!options.output.empty() && SameFile(options.image, options.output)) {
        std::cerr << "quillmark-flash: --output names the image itself; the image file is never "
                     "overwritten.\n";
        return kExitUsage;
    }
    FlashImage image;
    const ImageLoad load = image.Load(options.image);
    load.Tell(std::cerr);
    if (!load)
        return kExitFailure;
    PrintImage(options, image);
    if (!ImageFitsFlash(image.length)) {
        std::cerr << ImageTooLongMessage(image.length) << "\n";
        return kExitFailure;
    }
    if (options.output.empty())
        return kExitSuccess;

    // What the serial job would leave: inspect shows the image as loaded, not grown.
    const FlashPlan plan(image.Bytes(), MacTextToBytes(options.mac), ShortImage::KeepLength);
    const auto flash = plan.Content();
    if (const auto failure = ReplaceFileContents(options.output, flash)) {
        std::cerr << "quillmark-flash: cannot write " << options.output << ": " << *failure << "\n";
        return kExitFailure;
    }
    std::cout << "Flash content: " << flash.size() << " bytes written to " << options.output
              << " (MAC " << options.mac << ")\n";
    return kExitSuccess;
}

}  // namespace

void AddInspectCommand(CLI::App& app, CommandRunner& runner)
{
    auto options = std::make_shared<InspectOptions>();
    CLI::App* command = app.add_subcommand(
        "inspect", "Load an image as a job would; show it, and optionally write its flash content");
    command
        ->add_option("IMAGE", options->image,
                     "raw image, or S-record when it ends in s19, .srec, .s28, .s37 or .mot")
        ->required();
    AddMacOption(*command, options->mac);
    command->add_option("--output", options->output,
                        "write \"OKOK\", the length and the MAC-patched image to this file");
    command->callback([options, &runner] { runner = [options] { return RunInspect(*options); }; });
}
