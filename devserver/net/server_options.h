// The options of vorn-server and their defaults.
#pragma once

#include <chrono>
#include <string>

#include "devserver/files/users.h"
#include "devserver/net/clock.h"
#include "devserver/net/document_store.h"
#include "devserver/net/message_source.h"
#include "devserver/storage/store_engine.h"

namespace vorn::devserver {

inline constexpr std::size_t kDefaultSpoolCap = 64 * DocumentBudget::kMiB;

struct ServerOptions {
    std::string listenAddress = "127.0.0.1";
    int port = 9200;                           // 0: a free port
    std::string dataPath;                      // empty: DefaultDataPath(engine)
    StoreEngine engine = StoreEngine::Sqlite;  // --engine: where the globals are kept
    bool readOnly = false;                     // --read-only: serve reads, refuse writes
    // Each session served from a process of its own (the program does so on GT.M): its record
    // locks are M LOCKs of that process and end with it. The listener never opens the database.
    bool sessionProcesses = false;
    std::string seedFolder;  // the dictionary, demo data and users; empty: DefaultSeedFolder()
    bool reset = false;
    int seedScale = 1;
    std::chrono::milliseconds latency{0};
    std::string logPath;
    bool logParams = false;  // each call's parameters too, codes masked
    std::string autoSignOn;  // an access code
    std::string serverName;  // empty: the host name
    std::string spoolPath;   // server printers' output; empty: DefaultSpoolPath(dataPath)
    // Stored documents kept for paging, in bytes of their lines: per session and in all.
    DocumentBudget documentBudget;
    // Bytes a device's spool file may reach; a document that would take it further is refused.
    std::size_t spoolCap = kDefaultSpoolCap;
    // How many calls of session threads run at once, in the order they came (net/call_turns.h):
    // -1 four for each core, 0 every call as it comes.
    int callTurns = -1;

    // Not options of the program: what tests change.
    WireLimits limits;
    const Clock* clock = &SystemClock();
    int hashIterations = UserStore::kDefaultIterations;
    bool quietLog = false;  // notes only to the log file, not to standard error
};

struct ParsedOptions {
    ServerOptions options;
    bool help = false;
    std::string error;  // non-empty when the command line is wrong
};

ParsedOptions ParseOptions(int argc, const char* const* argv);
std::string Usage();
// $XDG_DATA_HOME/vorn/vorn-server.db, else ~/.local/share/vorn/vorn-server.db.
std::string DefaultDataPath();
// $XDG_DATA_HOME/vorn/gtm (else ~/.local/share/vorn/gtm): the GT.M data folder.
std::string DefaultGtmDataPath();
// The folder "spool" beside the database file.
std::string DefaultSpoolPath(const std::string& dataPath);

}  // namespace vorn::devserver
