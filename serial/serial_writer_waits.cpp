// The protocol's waits. Prompt waits end as soon as the awaited bytes are all
// in; fixed waits run their full time. The checks afterwards are the same.

#include "serial/serial_writer.h"

#include "serial/loader_protocol.h"

namespace {

std::chrono::microseconds Left(std::chrono::steady_clock::time_point deadline)
{
    const auto left = deadline - std::chrono::steady_clock::now();
    return std::max(std::chrono::duration_cast<std::chrono::microseconds>(left),
                    std::chrono::microseconds(0));
}

constexpr std::size_t kGreetingSize = 7;

}  // namespace

void CSerialWriter::Pause(std::chrono::steady_clock::duration time)
{
    // Ends early on a stop request; the stop check that follows ends the job.
    std::unique_lock lock(mutex);
    changed.wait_for(lock, time, [this] { return stopFlag != 0; });
}

// The number of bytes waiting when a greeting poll is judged. A prompt wait
// ends early only when 7 or 8 bytes are in and the line has gone quiet: a
// greeting with a stray byte in front, or one in pieces, must not be cut
// off at its seventh byte.
std::optional<std::size_t> CSerialWriter::AwaitGreeting()
{
    if (!timing.prompt) {
        Pause(timing.pollInterval);
        return port->BytesWaiting();
    }
    const auto deadline = std::chrono::steady_clock::now() + timing.pollInterval;
    for (;;) {
        const auto count = port->WaitForBytes(kGreetingSize, Left(deadline));
        if (!count || *count < kGreetingSize)
            return count;
        if (*count > kGreetingSize + 1) {
            // Too many to be a greeting: keep the poll's pace.
            Pause(Left(deadline));
            return port->BytesWaiting();
        }
        const auto settled = port->WaitForBytes(*count + 1, timing.greetingQuiet);
        if (!settled || *settled == *count)
            return settled;
    }
}

std::optional<std::size_t> CSerialWriter::AwaitAcknowledgement()
{
    if (!timing.prompt) {
        Pause(timing.packetAnswer);
        return port->BytesWaiting();
    }
    return port->WaitForBytes(kAcknowledgementSize, timing.packetAnswer);
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
    port->Read(into, limit);
}
