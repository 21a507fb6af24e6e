#include "station/station_observer.h"

std::string_view BoardResultName(BoardResult result)
{
    switch (result) {
    case BoardResult::Programmed: return "programmed";
    case BoardResult::Failed: return "failed";
    case BoardResult::Stopped: return "stopped";
    case BoardResult::Running: break;
    }
    return "running";
}
