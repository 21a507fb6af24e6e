#pragma once
// How long the serial job waits for the board at each step.
//
// Prompt: every wait is a deadline that ends as soon as the awaited bytes are
// all in, so a well-behaved board sees the same protocol without idle gaps.
// Since an answer that comes early costs nothing, the deadlines are generous:
// a loaded machine or a USB hub may hold an answer back for a long moment.
// Fixed: every wait runs its full time, for comparison and for boards that
// need the gaps.

#include <chrono>

struct SerialTiming {
    using ms = std::chrono::milliseconds;
    using us = std::chrono::microseconds;

    bool prompt = true;
    ms pollInterval{300};    // between greeting polls
    ms reopenInterval{100};  // between attempts to reopen a vanished port
    ms loaderAnswer{100};    // after the loader download, before "READY" is read
    ms eraseAnswer{3000};    // after the erase command, before its reply is read
    ms packetAnswer{50};     // after a write packet, for its 8-byte acknowledgement
    // How much longer a "READY" or erase-reply read may take once its wait is
    // over: the loader download is still on the line when the wait starts.
    ms replyReadLimit{2000};
    // Prompt greeting: a greeting is taken once the line has been quiet this
    // long, so that a byte right behind it is not missed.
    us greetingQuiet{3000};

    static SerialTiming Prompt();
    static SerialTiming Fixed();
};
