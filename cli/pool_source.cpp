#include "cli/pool_source.h"

#include "station/file_address_pool.h"

#include <cstdlib>
#include <filesystem>

#ifndef _WIN32
#include "station/database/pg_address_pool.h"
#include "station/database/pg_board_sink.h"

#include <unistd.h>
#endif

namespace {

bool NamesDatabase(const std::string& text)
{
    return text.starts_with("postgresql://") || text.starts_with("postgres://");
}

#ifdef _WIN32
constexpr const char* kNoDatabase =
    "a database pool needs a Linux station; this Windows command line keeps a pool file";
#endif

}  // namespace

std::unique_ptr<IAddressPool> OpenAddressPool(const std::string& text, std::string& error)
{
    if (!NamesDatabase(text))
        return std::make_unique<FileAddressPool>(text);
#ifdef _WIN32
    error = kNoDatabase;
    return nullptr;
#else
    (void)error;
    return std::make_unique<PgAddressPool>(text, StationHostName());
#endif
}

std::unique_ptr<IBoardSink> OpenBoardSink(const std::string& text, std::string& error)
{
    if (!NamesDatabase(text))
        return std::make_unique<FileBoardSink>(text);
#ifdef _WIN32
    error = kNoDatabase;
    return nullptr;
#else
    (void)error;
    return std::make_unique<PgBoardSink>(text);
#endif
}

std::string StationHostName()
{
#ifdef _WIN32
    const char* name = std::getenv("COMPUTERNAME");
    return name ? name : "unknown";
#else
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? name : "unknown";
#endif
}

std::string DefaultJournalPath()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder = state && *state ? std::filesystem::path(state)
                                   : home && *home ? std::filesystem::path(home) / ".local/state"
                                                   : std::filesystem::temp_directory_path();
    folder /= "quillmark-flash";
    return (folder / "station-journal").string();
}
