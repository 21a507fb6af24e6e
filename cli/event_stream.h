#pragma once
// Events for a test harness (--events json): one JSON object per line on
// standard output, each with its kind, the port and the time, so that a
// harness reads what happens without parsing the prose, which then goes to
// standard error.
//
//   {"event":"status","time":"...","port":"ttyUSB0","code":7,"text":"...","outcome":"succeeded"}
//   {"event":"progress","time":"...","port":"ttyUSB0","percent":40}
//   {"event":"allocation","time":"...","port":"ttyUSB0","mac":"0050C20000000010"}
//   {"event":"pool_failure","time":"...","port":"","kind":"exhausted","text":"..."}
//   {"event":"result","time":"...","port":"ttyUSB0","mac":"...","result":"programmed","code":7,"seconds":4.2}

#include <cstdint>
#include <ostream>
#include <string>

class EventStream {
public:
    // Null: no events (every call does nothing).
    explicit EventStream(std::ostream* out = nullptr) : out(out) {}
    bool On() const { return out != nullptr; }

    void Status(const std::string& port, std::int32_t code);
    void Progress(const std::string& port, int percent);
    void Allocation(const std::string& port, const std::string& mac);
    void PoolFailure(const std::string& kind, const std::string& text);
    void Result(const std::string& port, const std::string& mac, const std::string& result,
                std::int32_t code, double seconds);

private:
    void Emit(const char* kind, const std::string& port, const std::string& fields);

    std::ostream* out;
};

// UTC in ISO 8601 to the millisecond: 2026-12-08T13:05:00.123Z.
std::string EventTimeNow();
