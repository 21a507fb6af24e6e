#include "sim/jlink/standin_options.h"

#include <cstdlib>
#include <string_view>

namespace {

std::string Variable(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool ParseFault(std::string_view text, StandInFault& fault)
{
    static constexpr struct {
        std::string_view name;
        StandInFault fault;
    } kFaults[] = {{"", StandInFault::None},           {"none", StandInFault::None},
                   {"no-probe", StandInFault::NoProbe}, {"error", StandInFault::Error},
                   {"split-error", StandInFault::SplitError}, {"hang", StandInFault::Hang},
                   {"crash", StandInFault::Crash},      {"flood", StandInFault::Flood}};
    for (const auto& entry : kFaults) {
        if (entry.name == text) {
            fault = entry.fault;
            return true;
        }
    }
    return false;
}

}  // namespace

StandInOptions ReadStandInOptions(std::string& problem)
{
    StandInOptions options;
    const std::string scale = Variable("QUILLMARK_JLINK_SLEEP_SCALE");
    if (!scale.empty()) {
        char* end = nullptr;
        options.sleepScale = std::strtod(scale.c_str(), &end);
        if (*end != '\0' || options.sleepScale < 0)
            problem = "QUILLMARK_JLINK_SLEEP_SCALE must be a number of at least 0";
    }
    options.flashFile = Variable("QUILLMARK_JLINK_FLASH_FILE");
    options.keepJobIn = Variable("QUILLMARK_JLINK_KEEP_JOB");
    const std::string fault = Variable("QUILLMARK_JLINK_FAULT");
    if (!ParseFault(fault, options.fault))
        problem = "unknown QUILLMARK_JLINK_FAULT '" + fault + "'";
    const std::string echo = Variable("QUILLMARK_JLINK_ECHO");
    if (echo == "loading")
        options.echo = EchoStyle::Loading;
    else if (!echo.empty() && echo != "downloading")
        problem = "QUILLMARK_JLINK_ECHO must be downloading or loading";
    return options;
}
