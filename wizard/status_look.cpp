#include "wizard/status_look.h"

namespace {

ColorRef ColorOf(const StatusRow& row)
{
    if (row.outcome == JobOutcome::Succeeded)
        return kGreen;
    if (row.outcome == JobOutcome::Failed || row.code == kStatusOpenFailed)
        return kRed;
    return kBlack;
}

InstructionsEffect InstructionsOf(std::int32_t code)
{
    switch (code) {
    case kStatusWaitingForReset:
    case kStatusDisconnected:
        return InstructionsEffect::Show;
    case 0:
    case kStatusOpeningPort:
    case kStatusPortOpened:
    case kStatusOpenFailed:
    case kStatusReconnected:
        return InstructionsEffect::AsIs;
    default:
        return InstructionsEffect::Hide;
    }
}

}  // namespace

StatusLook LookOfStatus(const StatusRow& row) { return {ColorOf(row), InstructionsOf(row.code)}; }
