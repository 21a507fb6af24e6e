#pragma once
// The station's record of every board: one JSON object per line (JSON
// Lines), appended as each board ends, so that a log of thousands of boards
// can be read, filtered and summed line by line.

#include <chrono>
#include <cstdint>
#include <string>

struct BoardRecord {
    std::string time;        // when the board ended, UTC, ISO 8601
    std::string port;
    std::string mac;         // 16 hexadecimal digits
    std::string imagePath;
    std::string imageSha256;
    std::uint32_t imageLength = 0;
    std::int32_t statusCode = 0;  // the last status the job reported
    std::string statusText;
    // programmed, failed, or stopped (Ctrl-C ended the job: not programmed)
    std::string result;
    double seconds = 0;
    std::string host;  // the station's machine; in the database's rows only
};

// The record as one line of JSON, with its line break.
std::string ReportLine(const BoardRecord& record);

// A string as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);

// The time as UTC in ISO 8601 to the second: 2026-12-08T13:05:00Z.
std::string UtcTimeText(std::chrono::system_clock::time_point time);

// Appends `line` to the report at `path` (made when missing), holding the
// file so that stations sharing one report never interleave their lines.
// False, with `error`, on failure.
bool AppendToReport(const std::string& path, const std::string& line, std::string& error);
