#include "station/board_report.h"

#include "platform/locked_file.h"

#include <cstdio>

std::string JsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (u < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", u);
            quoted += escape;
        } else {
            quoted += c;  // UTF-8 passes through as it is
        }
    }
    return quoted + "\"";
}

std::string ReportLine(const BoardRecord& record)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", record.seconds);
    return "{\"time\":" + JsonString(record.time) + ",\"port\":" + JsonString(record.port) +
           ",\"mac\":" + JsonString(record.mac) + ",\"image\":" + JsonString(record.imagePath) +
           ",\"image_sha256\":" + JsonString(record.imageSha256) +
           ",\"image_length\":" + std::to_string(record.imageLength) +
           ",\"status\":" + std::to_string(record.statusCode) +
           ",\"status_text\":" + JsonString(record.statusText) +
           ",\"result\":" + JsonString(record.result) + ",\"seconds\":" + seconds + "}\n";
}

std::string UtcTimeText(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    const auto secondsSinceEpoch = floor<seconds>(time);
    const auto day = floor<days>(secondsSinceEpoch);
    const year_month_day date{day};
    const hh_mm_ss clock{secondsSinceEpoch - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(clock.hours().count()), static_cast<long>(clock.minutes().count()),
                  static_cast<long>(clock.seconds().count()));
    return text;
}

bool AppendToReport(const std::string& path, const std::string& line, std::string& error)
{
    std::string reason;
    auto file = OpenLockedFile(path, LockedFileMode::CreateIfMissing, reason);
    if (!file || !file->Append(line)) {
        error = "report " + path + " cannot be written (" + (file ? file->Error() : reason) + ")";
        return false;
    }
    return true;
}
