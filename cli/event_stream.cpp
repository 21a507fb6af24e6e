#include "cli/event_stream.h"

#include "job/status_table.h"
#include "station/board_report.h"

#include <chrono>
#include <cstdio>

namespace {

std::string_view OutcomeName(JobOutcome outcome)
{
    switch (outcome) {
    case JobOutcome::Working: return "working";
    case JobOutcome::Waiting: return "waiting";
    case JobOutcome::Succeeded: return "succeeded";
    case JobOutcome::Failed: return "failed";
    }
    return "";
}

}  // namespace

std::string EventTimeNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    std::string text = UtcTimeText(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(millis));
    return text.insert(text.size() - 1, fraction);
}

void EventStream::Emit(const char* kind, const std::string& port, const std::string& fields)
{
    if (!out)
        return;
    // Flushed per line: a harness reads each event as it happens.
    *out << "{\"event\":\"" << kind << "\",\"time\":\"" << EventTimeNow()
         << "\",\"port\":" << JsonString(port) << fields << "}" << std::endl;
}

void EventStream::Status(const std::string& port, std::int32_t code)
{
    const StatusRow& row = LookupStatus(code);
    Emit("status", port,
         ",\"code\":" + std::to_string(code) + ",\"text\":" + JsonString(std::string(row.text)) +
             ",\"outcome\":\"" + std::string(OutcomeName(row.outcome)) + "\"");
}

void EventStream::Progress(const std::string& port, int percent)
{
    Emit("progress", port, ",\"percent\":" + std::to_string(percent));
}

void EventStream::Allocation(const std::string& port, const std::string& mac)
{
    Emit("allocation", port, ",\"mac\":" + JsonString(mac));
}

void EventStream::PoolFailure(const std::string& kind, const std::string& text)
{
    Emit("pool_failure", "", ",\"kind\":" + JsonString(kind) + ",\"text\":" + JsonString(text));
}

void EventStream::Result(const std::string& port, const std::string& mac, const std::string& result,
                         std::int32_t code, double seconds)
{
    char secondsText[32];
    std::snprintf(secondsText, sizeof secondsText, "%.3f", seconds);
    Emit("result", port,
         ",\"mac\":" + JsonString(mac) + ",\"result\":" + JsonString(result) +
             ",\"code\":" + std::to_string(code) + ",\"seconds\":" + secondsText);
}
