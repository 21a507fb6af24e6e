#include "sim/sim_options.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <map>

namespace {

struct RawTimes {
    double eraseMs = 500;
    double writeUs = 10;
    int pieceGapMs = 400;
    int noiseGapMs = 1000;
    int lateAckMs = 120;
    int unplugAfterMs = -1;
    int replugAfterMs = 500;
    int resetAfterSessionMs = 300;
};

void ApplyTimes(const RawTimes& raw, SimOptions& options)
{
    using namespace std::chrono;
    options.eraseTime = microseconds(static_cast<long long>(raw.eraseMs * 1000));
    options.writeTimePerByte = microseconds(static_cast<long long>(raw.writeUs));
    options.pieceGap = milliseconds(raw.pieceGapMs);
    options.noiseGap = milliseconds(raw.noiseGapMs);
    options.lateAckDelay = milliseconds(raw.lateAckMs);
    if (raw.unplugAfterMs >= 0)
        options.unplugAfter = milliseconds(raw.unplugAfterMs);
    if (raw.replugAfterMs < 0)
        options.replugAfter.reset();
    else
        options.replugAfter = milliseconds(raw.replugAfterMs);
    if (raw.resetAfterSessionMs < 0)
        options.resetAfterSession.reset();
    else
        options.resetAfterSession = milliseconds(raw.resetAfterSessionMs);
}

}  // namespace

SimOptions ParseSimOptions(int argc, char** argv)
{
    SimOptions options;
    RawTimes raw;
    bool fast = false;
    CLI::App app{"velkan-board-sim: a simulated Velkan board (ROM bootloader, second-stage "
                 "loader, 128 KiB NOR flash) on a pseudo-terminal"};
    app.add_option("--link", options.link, "path of the link to the board's port")->required();
    app.add_option("--flash-out", options.flashOut,
                   "write the flash to this file at exit and on SIGUSR1");
    app.add_option("--parent-pid", options.parentPid,
                   "end with this process, which started the board (a script's $$)");
    app.add_option("--baud", options.baud, "line speed for the line time (0: none)");
    app.add_option("--erase-ms", raw.eraseMs, "time the flash erase takes");
    app.add_option("--write-us", raw.writeUs, "flash write time per byte, in microseconds");
    app.add_flag("--fast", fast, "no line, erase or write time unless given (for tests)");
    app.add_flag("--never-greet", options.neverGreet, "the bootloader never answers a poll");
    app.add_option("--silent-polls", options.silentPolls,
                   "leave this many polls after each reset unanswered, then greet");
    app.add_option("--noise-bytes", options.noiseBytes,
                   "answer the first poll with this many bytes of noise, then greet later");
    app.add_option("--noise-gap-ms", raw.noiseGapMs, "how much later the greeting follows the noise");
    app.add_option("--stray-bytes", options.strayBytes, "bytes sent before the greeting");
    app.add_option("--greeting-pieces", options.greetingPieces, "send the greeting in pieces")
        ->check(CLI::Range(1, 7));
    app.add_option("--piece-gap-ms", raw.pieceGapMs, "pause between greeting pieces");
    app.add_option("--trailing-bytes", options.trailingBytes, "bytes sent right after the greeting");
    app.add_option("--ready-text", options.readyText, "what the loader answers instead of READY");
    app.add_flag("--erase-fails", options.eraseFails, "the erase reply reports a failure");
    app.add_option("--bad-ack", options.badAckPacket, "answer write packet K with a bad acknowledgement");
    app.add_option("--missing-ack", options.missingAckPacket, "leave write packet K unanswered");
    app.add_option("--late-ack", options.lateAckPacket, "answer write packet K late");
    app.add_option("--late-ack-ms", raw.lateAckMs, "how late");
    const std::map<std::string, SimPhase> phases{{"poll", SimPhase::Poll},
                                                 {"download", SimPhase::Download},
                                                 {"erase", SimPhase::Erase},
                                                 {"write", SimPhase::Write}};
    app.add_option("--unplug-at", options.unplugAt, "unplug on entering this phase")
        ->transform(CLI::CheckedTransformer(phases, CLI::ignore_case));
    app.add_option("--unplug-after-ms", raw.unplugAfterMs, "unplug this long after the start");
    app.add_option("--replug-after-ms", raw.replugAfterMs,
                   "plug in again this long after an unplug (negative: never)");
    app.add_option("--reset-after-session-ms", raw.resetAfterSessionMs,
                   "reset this long after the host closed the port on a session, so the "
                   "board greets again (negative: never)");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        std::exit(app.exit(error) == 0 ? 0 : 2);
    }
    // --fast zeroes the times that were not given explicitly.
    if (fast) {
        if (app.count("--baud") == 0)
            options.baud = 0;
        if (app.count("--erase-ms") == 0)
            raw.eraseMs = 0;
        if (app.count("--write-us") == 0)
            raw.writeUs = 0;
    }
    ApplyTimes(raw, options);
    return options;
}
