// The server's log: one line per remote procedure call, so that round trips per user action can
// be counted, and one line for every connection closed because of what it sent.
//
//   2026-12-06T14:03:07.123 session=3 call="XUS SIGNON SETUP" params=0 bytes=52 ms=0.214
//   2026-12-06T14:03:09.001 session=4 closed: a count that is not five decimal digits
//
// "bytes" counts the reply as sent (segments and end marker included). Notes go to standard
// error as well, so that a server run without --log still says why it dropped a connection.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "devserver/clock.h"

namespace vorn::devserver {

class CallLog {
  public:
    explicit CallLog(const Clock& clock) : clock_(clock) {}
    ~CallLog();
    // Appends to `path`; false when it cannot be opened.
    bool Open(const std::string& path);
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    void Call(int session, const std::string& name, std::size_t params, std::size_t replyBytes,
              std::chrono::nanoseconds duration);
    void Note(int session, const std::string& text);

  private:
    void Write(const std::string& line, bool alsoStderr);
    std::string Now() const;

    const Clock& clock_;
    std::mutex mutex_;
    std::FILE* file_ = nullptr;
    bool quiet_ = false;
};

}  // namespace vorn::devserver
