// The real vorn-server program, out of process, for the client's component and end-to-end tests:
// its own copy of the seeded demo database in a temporary folder, a free port, and the call log
// with parameters (--log-params), so that a test can see which calls a user action made
// (Mark() before the action, NamesSince(mark) or CallsSince(mark) after it).
// The program is the one built with the tests (VORN_SERVER_PROGRAM, set by the library target).
// Every method throws std::runtime_error when the program cannot be started or does not answer.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

#include "tests/support/call_log_reader.h"
#include "tests/support/temp_folder.h"

namespace vorn::test {

class DevServerProcess {
  public:
    struct Options {
        int seedScale = 1;                        // the demo records multiplied (--seed-scale)
        int latencyMs = 0;                        // every reply delayed (--latency)
        bool logParams = true;                    // --log-params (the call lines are always logged)
        std::vector<std::string> extraArguments;  // after the others: "--session-documents", "4"
        // "gtm": --engine gtm on a GT.M database that the server makes and seeds in the folder
        bool gtm = false;
    };

    // Copies the seeded database (seeded once per test program and scale) into a new temporary
    // folder and starts the server on a free port; returns once it listens.
    DevServerProcess();
    explicit DevServerProcess(Options options);
    // SIGTERM, then SIGKILL when it has not ended within a few seconds; removes the folder.
    ~DevServerProcess();
    DevServerProcess(const DevServerProcess&) = delete;
    DevServerProcess& operator=(const DevServerProcess&) = delete;

    int Port() const { return port_; }
    pid_t Pid() const { return pid_; }
    bool Running() const { return pid_ > 0; }
    // SIGKILL, as a crash or a pulled plug; returns when the process is gone.
    void Kill();
    // Sends `signal` and waits for the end; the exit status (128 + signal when killed by one).
    int Stop(int signal);
    // Starts it again on the same port and database (after Kill or Stop).
    void Start();
    // The same on a port of the system's choosing, for a restart that takes long (GT.M recovers
    // its journal before it listens): meanwhile another program may have taken the old port.
    void StartOnAnyPort();

    // Every call logged so far, in the order answered. A call is in the log before its reply
    // is sent, so it is there when the client has the reply.
    std::vector<LoggedCall> Calls() const { return ReadCallLog(log_); }
    std::size_t Mark() const { return Calls().size(); }
    std::vector<LoggedCall> CallsSince(std::size_t mark) const;
    std::vector<std::string> NamesSince(std::size_t mark) const;
    // The calls made by `action`.
    template <typename F>
    std::vector<LoggedCall> CallsDuring(F&& action) const {
        const std::size_t mark = Mark();
        action();
        return CallsSince(mark);
    }

    const std::string& LogPath() const { return log_; }
    // The SQLite file, or the GT.M data folder.
    const std::string& DataPath() const { return database_; }
    // Where the server puts what it prints on its printers (--spool): one file per device.
    std::string SpoolFolder() const { return folder_.Path("spool"); }

  private:
    void Launch(int port);
    int Reap(bool wait);

    Options options_;
    TempFolder folder_;
    std::string database_;
    std::string log_;
    std::string errors_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// Copies the demo database seeded at `seedScale` to `path`; it is seeded once per test program
// by the program itself.
void CopySeededDatabase(const std::string& path, int seedScale = 1);

// The bytes of a file as they stand ("" when it cannot be read): a log, a spool file.
std::string FileText(const std::string& path);

}  // namespace vorn::test
