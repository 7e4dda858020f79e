#include "devserver/net/server_options.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "devserver/files/seed.h"
#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

bool WholeNumber(const std::string& s, long low, long high, long& out) {
    if (s.size() > 9 || !AllDigits(s)) return false;
    out = std::stol(s);
    return out >= low && out <= high;
}

}  // namespace

std::string Usage() {
    return "Usage: vorn-server [--listen ADDR] [--port N] [--data PATH] [--reset] [--latency MS]\n"
           "                   [--log FILE] [--log-params] [--auto-signon ACCESS] [--seed-scale "
           "N]\n"
           "                   [--seed-from DIR] [--spool DIR] [--spool-cap MIB]\n"
           "                   [--session-documents MIB] [--server-documents MIB]\n"
           "                   [--engine sqlite|gtm] [--read-only] [--call-turns N]\n"
           "\n"
           "The Vorn development server: the broker protocol, sign-on and the demo data.\n"
           "\n"
           "  --listen ADDR        address to listen on (default 127.0.0.1)\n"
           "  --port N             listener port (default 9200; 0 picks a free one); the first\n"
           "                       line of output is \"listening on ADDR:PORT\"\n"
           "  --data PATH          the SQLite database (default " +
           DefaultDataPath() +
           ");\n"
           "                       a missing or empty one is created with the demo data\n"
           "  --engine ENGINE      sqlite (default) or gtm: with gtm, --data is a folder holding\n"
           "                       a GT.M database with before-image journaling (default " +
           DefaultGtmDataPath() +
           ")\n"
           "  --read-only          serve reads and refuse every change (a replication secondary)\n"
           "  --reset              seed the database again, dropping everything in it\n"
           "  --seed-scale N       when seeding, multiply the demo records N times (default 1)\n"
           "  --seed-from DIR      the dictionary, demo data and users to seed from\n"
           "                       (default " +
           DefaultSeedFolder() +
           ")\n"
           "  --latency MS         delay every reply by MS milliseconds\n"
           "  --log FILE           one line per remote procedure call (time, session, name,\n"
           "                       parameter count, reply bytes, duration)\n"
           "  --log-params         with --log: after each call, one line per parameter or list\n"
           "                       entry in the order sent; sign-on codes are masked\n"
           "  --auto-signon ACCESS every session counts as signed on as this user\n"
           "  --spool DIR          where documents printed on server printers go, one file per\n"
           "                       device (default: the folder \"spool\" beside the database)\n"
           "  --spool-cap MIB      a device's spool file may grow to MIB mebibytes; a document\n"
           "                       that would take it further is refused (default " +
           std::to_string(kDefaultSpoolCap / DocumentBudget::kMiB) +
           ")\n"
           "  --session-documents MIB\n"
           "                       reports kept for paging: a session may keep MIB mebibytes of\n"
           "                       them (default " +
           std::to_string(DocumentBudget{}.perSession / DocumentBudget::kMiB) +
           "); a new one pushes out the session's oldest\n"
           "  --server-documents MIB\n"
           "                       all sessions together may keep MIB mebibytes (default " +
           std::to_string(DocumentBudget{}.total / DocumentBudget::kMiB) +
           ");\n"
           "                       a report past either budget is refused with the reason\n"
           "  --call-turns N       at most N calls run at once, in the order they came, so\n"
           "                       that no call waits behind many others' time slices\n"
           "                       (default four for each core; 0: every call as it comes)\n"
           "  --help               this text\n"
           "\n"
           "Users: DEMO/DEMO.1234, READER/READER.1234, CHANGE/CHANGE.1234, LOCKED/LOCKED.1234.\n"
           "SIGINT or SIGTERM stops the server cleanly.\n";
}

std::string DefaultGtmDataPath() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/vorn/gtm";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/vorn/gtm";
}

std::string DefaultDataPath() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
        return std::string(xdg) + "/vorn/vorn-server.db";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.local/share/vorn/vorn-server.db";
}

std::string DefaultSpoolPath(const std::string& dataPath) {
    return (std::filesystem::path(dataPath).parent_path() / "spool").string();
}

ParsedOptions ParseOptions(int argc, const char* const* argv) {
    ParsedOptions out;
    ServerOptions& o = out.options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                out.error = arg + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        // The option's value as a whole number from `low` to `high`.
        auto number = [&](long low, long high, const std::string& takes) -> std::optional<long> {
            std::string v;
            long n = 0;
            if (!value(v)) return std::nullopt;
            if (WholeNumber(v, low, high, n)) return n;
            out.error = arg + " takes " + takes;
            return std::nullopt;
        };
        if (arg == "--help" || arg == "-h") {
            out.help = true;
        } else if (arg == "--reset") {
            o.reset = true;
        } else if (arg == "--listen") {
            if (!value(o.listenAddress)) break;
        } else if (arg == "--port") {
            const auto n = number(0, 65535, "a number from 0 to 65535");
            if (!n) break;
            o.port = static_cast<int>(*n);
        } else if (arg == "--engine") {
            std::string e;
            if (!value(e)) break;
            if (e == "sqlite") {
                o.engine = StoreEngine::Sqlite;
            } else if (e == "gtm") {
                o.engine = StoreEngine::Gtm;
            } else {
                out.error = "--engine takes sqlite or gtm";
                break;
            }
        } else if (arg == "--read-only") {
            o.readOnly = true;
        } else if (arg == "--data") {
            if (!value(o.dataPath)) break;
        } else if (arg == "--spool") {
            if (!value(o.spoolPath)) break;
        } else if (arg == "--spool-cap") {
            const auto n = number(1, 1000000, "mebibytes from 1 to 1000000");
            if (!n) break;
            o.spoolCap = static_cast<std::size_t>(*n) * DocumentBudget::kMiB;
        } else if (arg == "--session-documents") {
            // A document's line ends are kept in 32 bits.
            const auto n = number(1, 4000, "mebibytes from 1 to 4000");
            if (!n) break;
            o.documentBudget.perSession = static_cast<std::size_t>(*n) * DocumentBudget::kMiB;
        } else if (arg == "--server-documents") {
            const auto n = number(1, 1000000, "mebibytes from 1 to 1000000");
            if (!n) break;
            o.documentBudget.total = static_cast<std::size_t>(*n) * DocumentBudget::kMiB;
        } else if (arg == "--call-turns") {
            const auto n = number(0, 10000, "a number from 0 to 10000");
            if (!n) break;
            o.callTurns = static_cast<int>(*n);
        } else if (arg == "--seed-from") {
            if (!value(o.seedFolder)) break;
        } else if (arg == "--latency") {
            const auto n = number(0, 600000, "milliseconds from 0 to 600000");
            if (!n) break;
            o.latency = std::chrono::milliseconds(*n);
        } else if (arg == "--log") {
            if (!value(o.logPath)) break;
        } else if (arg == "--log-params") {
            o.logParams = true;
        } else if (arg == "--auto-signon") {
            if (!value(o.autoSignOn)) break;
        } else if (arg == "--seed-scale") {
            const auto n = number(1, 1000, "a number from 1 to 1000");
            if (!n) break;
            o.seedScale = static_cast<int>(*n);
        } else {
            out.error = "unknown option " + arg;
            break;
        }
    }
    if (out.error.empty() && !out.help && o.logParams && o.logPath.empty())
        out.error = "--log-params needs --log FILE";
    return out;
}

}  // namespace vorn::devserver
