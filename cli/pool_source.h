#pragma once
// Turns what the user gave --mac-pool and --report into the pool and the
// record the station holds: a file on this machine, or, on a Linux station,
// the line's PostgreSQL database (postgresql://...).

#include "station/address_pool.h"
#include "station/board_sink.h"

#include <memory>
#include <string>

// Null, with `error`, when this build cannot use what is named.
std::unique_ptr<IAddressPool> OpenAddressPool(const std::string& text, std::string& error);
std::unique_ptr<IBoardSink> OpenBoardSink(const std::string& text, std::string& error);

// This machine's name, for the database's rows.
std::string StationHostName();

// Where outcomes wait while the database is away, unless --journal says.
std::string DefaultJournalPath();
