#pragma once
// The status codes a job reports, as numbers. What each one shows is the
// application's business (app/status_table.h).

#include <cstdint>

enum StatusCode : std::int32_t {
    kStatusOpeningPort = 1,
    kStatusPortOpened = 2,
    kStatusOpenFailed = 3,
    kStatusConnected = 4,
    kStatusWaitingForReset = 5,
    kStatusProgrammingBegins = 6,
    kStatusSuccess = 7,
    kStatusSecondStageLoaderDownload = 8,
    kStatusSecondStageLoaderError = 9,
    kStatusFlashErased = 10,
    kStatusEraseError = 11,
    kStatusFileUnreadable = 12,
    kStatusSecondStageLoaderRunning = 13,
    kStatusProgrammingFlash = 14,
    kStatusProgrammingFailed = 15,
    kStatusDisconnected = 22,
    kStatusReconnected = 23,
};

// Statuses of a serial job that has not yet reached its board: the job stays
// in them for as long as no board greets it.
inline bool IsWaitingForBoard(std::int32_t code)
{
    return code == kStatusOpeningPort || code == kStatusPortOpened || code == kStatusOpenFailed ||
           code == kStatusWaitingForReset || code == kStatusDisconnected || code == kStatusReconnected;
}
