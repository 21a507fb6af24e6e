#pragma once
// The serial programming protocol and the worker thread that runs it: greet
// the ROM bootloader, download the second-stage loader, erase, write the
// image in checked packets, write the header last. Every step is reported to
// the dialog by a blocking send.

#include "job/job_events.h"
#include "platform/serial_port.h"
#include "serial/serial_timing.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

class CBoardInfo;
struct FlashWrite;

class CSerialWriter {
public:
    CSerialWriter(IJobObserver* observer, CBoardInfo* request, ISerialPortFactory& ports,
                  SerialTiming timing);
    // Stops the worker and waits for it: a writer never outlives its thread.
    // Whoever delivers the dialog's messages must call Stop first, pumping.
    ~CSerialWriter();
    CSerialWriter(const CSerialWriter&) = delete;
    CSerialWriter& operator=(const CSerialWriter&) = delete;

    // Starts the worker once; a job runs only once.
    void Start();

    // Asks the worker to stop at its next stop check and waits until it has
    // ended. `whileWaiting` runs over and over meanwhile (at least every
    // 100 ms), so that the caller's thread can deliver a send the worker is
    // blocked in: it should deliver pending messages, waiting a few
    // milliseconds for one to arrive.
    void Stop(const std::function<void()>& whileWaiting);

    // Waits, the same way, for the worker to end by itself.
    void Join(const std::function<void()>& whileWaiting);

    bool HasEnded() const;

private:
    struct StopRequested {};

    void ThreadMain();
    void WaitForEnd(const std::function<void()>& whileWaiting);

    void Run();
    bool ImageIsUsable();
    bool PollOnce();
    bool JudgeGreeting();
    void Reconnect();
    bool LoadAndProgram();
    bool EraseFlash();
    bool ProgramImage();
    bool WriteInPackets(const FlashWrite& write, std::uint32_t imageLength);
    bool WritePacket(std::uint32_t address, std::span<const std::uint8_t> payload);
    bool AcknowledgementArrived();

    // The waits, prompt or fixed (serial_writer_waits.cpp). Each one ends
    // at once when the job is stopped. False or nothing: the port failed.
    bool AwaitGreeting();
    bool TakeGreetingInput();
    std::optional<std::size_t> AwaitAcknowledgement();
    void ReadReply(std::span<std::uint8_t> into, std::chrono::milliseconds wait);
    std::optional<std::size_t> WaitForBytes(std::size_t count, std::chrono::microseconds wait);
    void Pause(std::chrono::steady_clock::duration time);

    void StopCheck();
    void ReportStatus(std::int32_t code);
    void ReportProgress(unsigned percent);
    void ClosePort();

    std::unique_ptr<ISerialPort> port;
    IJobObserver* const observer;
    CBoardInfo* const request;
    ISerialPortFactory& ports;
    const SerialTiming timing;
    // What the board has sent while being polled, kept while it may still
    // become a greeting.
    std::vector<std::uint8_t> greetingInput;

    mutable std::mutex mutex;
    std::condition_variable changed;  // the stop flag was set, or the worker ended
    std::atomic<int> stopFlag{0};
    bool ended = false;
    std::thread worker;
};
