// The protocol's waits. Prompt waits end as soon as the awaited bytes are all
// in; fixed waits run their full time. The checks afterwards are the same.
// Every wait ends at once when the job is stopped.

#include "serial/serial_writer.h"

#include "platform/sleep.h"
#include "serial/wire_protocol.h"

namespace {

// The longest a wait goes without looking at the stop flag.
constexpr std::chrono::microseconds kStopSlice{20000};

std::chrono::microseconds Left(std::chrono::steady_clock::time_point deadline)
{
    const auto left = deadline - std::chrono::steady_clock::now();
    return std::max(std::chrono::duration_cast<std::chrono::microseconds>(left),
                    std::chrono::microseconds(0));
}

}  // namespace

// A fixed wait, as long as the platform's sleep would be: Windows ends it
// on a timer tick too.
void CSerialWriter::Pause(std::chrono::steady_clock::duration time)
{
    // Ends early on a stop request; the stop check that follows ends the job.
    std::unique_lock lock(mutex);
    changed.wait_for(lock, SleepTime(std::chrono::ceil<std::chrono::microseconds>(time)),
                     [this] { return stopFlag != 0; });
}

std::optional<std::size_t> CSerialWriter::WaitForBytes(std::size_t count,
                                                       std::chrono::microseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        StopCheck();
        const auto waiting = port->WaitForBytes(count, std::min(Left(deadline), kStopSlice));
        if (!waiting || *waiting >= count || Left(deadline).count() == 0)
            return waiting;
    }
}

// Moves what the board has sent into the greeting input. False when the
// port failed.
bool CSerialWriter::TakeGreetingInput()
{
    const std::optional<std::size_t> count = port->BytesWaiting();
    if (!count)
        return false;
    const std::size_t kept = greetingInput.size();
    greetingInput.resize(kept + *count);
    const auto got = port->Read({greetingInput.data() + kept, *count}, std::chrono::microseconds(0));
    greetingInput.resize(kept + got.value_or(0));
    return got.has_value();
}

// Collects the board's answer to one poll. A prompt poll ends early only on
// an actual greeting, and only once the line has been quiet a moment: a byte
// right behind "CONNECT" spoils it. Anything else is judged at the end of
// the full poll interval, so a greeting that arrives slowly is not cut off.
bool CSerialWriter::AwaitGreeting()
{
    if (!timing.prompt) {
        Pause(timing.pollInterval);
        StopCheck();
        return TakeGreetingInput();
    }
    const auto deadline = std::chrono::steady_clock::now() + timing.pollInterval;
    for (;;) {
        if (!TakeGreetingInput())
            return false;
        const bool greeted = IsGreeting(greetingInput);
        if (!greeted && Left(deadline).count() == 0)
            return true;
        const auto more = WaitForBytes(1, greeted ? timing.greetingQuiet : Left(deadline));
        if (!more)
            return false;
        if (*more == 0 && greeted)
            return true;
    }
}

std::optional<std::size_t> CSerialWriter::AwaitAcknowledgement()
{
    if (!timing.prompt) {
        Pause(timing.packetAnswer);
        StopCheck();
        return port->BytesWaiting();
    }
    return WaitForBytes(kAcknowledgementSize, timing.packetAnswer);
}

// Fills `into` from the reply, as far as it arrives in time. Read failures
// leave zeros, which the caller's check turns into its failure status.
void CSerialWriter::ReadReply(std::span<std::uint8_t> into, std::chrono::milliseconds wait)
{
    std::chrono::microseconds limit = timing.replyReadLimit;
    if (timing.prompt)
        limit += wait;
    else
        Pause(wait);
    if (WaitForBytes(into.size(), limit))
        port->Read(into, std::chrono::microseconds(0));
}
