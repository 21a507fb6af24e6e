#pragma once
// What the simulated board is told on its command line: where its link goes,
// how fast it is, and which faults it shows.

#include <chrono>
#include <optional>
#include <string>

// The protocol phases a fault can be tied to.
enum class SimPhase { None, Poll, Download, Erase, Write };

struct SimOptions {
    std::string link;      // the stable path the port is reached by
    std::string flashOut;  // where the flash goes at exit and on SIGUSR1
    int parentPid = 0;     // when set, the board ends with that process, its parent

    // Realistic timing; each can be set to 0.
    unsigned baud = 115200;                    // line time both ways, 10 bits a byte
    std::chrono::microseconds eraseTime{500000};
    std::chrono::microseconds writeTimePerByte{10};

    // Faults.
    bool neverGreet = false;
    // The user presses reset only after this many polls have gone unanswered
    // since the board's last reset: a later poll is greeted.
    unsigned silentPolls = 0;
    unsigned noiseBytes = 0;  // the first poll is answered with noise...
    std::chrono::milliseconds noiseGap{1000};  // ...and the greeting follows this much later
    unsigned strayBytes = 0;      // sent before "CONNECT"
    unsigned greetingPieces = 1;  // "CONNECT" split into this many pieces...
    std::chrono::milliseconds pieceGap{400};  // ...with this pause between them
    unsigned trailingBytes = 0;   // sent right after "CONNECT"
    std::string readyText = "READY";
    bool eraseFails = false;
    int badAckPacket = 0;      // 1-based write packet answered with a bad acknowledgement
    int missingAckPacket = 0;  // 1-based write packet left unanswered
    int lateAckPacket = 0;     // 1-based write packet answered late...
    std::chrono::milliseconds lateAckDelay{120};  // ...by this much
    SimPhase unplugAt = SimPhase::None;           // unplug on entering this phase (once)
    std::optional<std::chrono::milliseconds> unplugAfter;  // or this long after the start
    std::optional<std::chrono::milliseconds> replugAfter{std::chrono::milliseconds(500)};

    // The user presses reset this long after the last host has closed the
    // port on a session, so that the board greets the next update (none:
    // it stays where the session left it).
    std::optional<std::chrono::milliseconds> resetAfterSession{std::chrono::milliseconds(300)};

    // One byte on the line: a start bit, 8 data bits, a stop bit.
    std::chrono::nanoseconds ByteTime() const
    {
        return baud == 0 ? std::chrono::nanoseconds(0)
                         : std::chrono::nanoseconds(10LL * 1000000000LL / baud);
    }
};

// Parses the command line; exits with a usage message on bad options.
SimOptions ParseSimOptions(int argc, char** argv);
