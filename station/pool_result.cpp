#include "station/pool_result.h"

std::string_view PoolFailureName(PoolFailure failure)
{
    switch (failure) {
    case PoolFailure::None: return "none";
    case PoolFailure::Exhausted: return "exhausted";
    case PoolFailure::Unreadable: return "unreadable";
    case PoolFailure::Locked: return "locked";
    case PoolFailure::Unwritable: return "unwritable";
    case PoolFailure::NotAPool: return "not a pool";
    case PoolFailure::Unreachable: return "unreachable";
    }
    return "";
}
