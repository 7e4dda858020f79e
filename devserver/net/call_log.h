// The server's log: one line per remote procedure call, so that round trips per user action can
// be counted, and one line for every connection closed because of what it sent.
//
//   2026-12-06T14:03:07.123 session=3 call="XUS SIGNON SETUP" params=0 bytes=52 ms=0.214
//   2026-12-06T14:03:09.001 session=4 closed: a count that is not five decimal digits
//
// "bytes" counts the reply as sent (segments and end marker included). Notes go to standard
// error as well, so that a server run without --log still says why it dropped a connection.
//
// With the parameters logged (--log-params), each call line is followed by one line per
// parameter, or per entry of a list parameter, in the order sent:
//
//   2026-12-06T14:03:08.456 session=3 call="DDR FILER" params=4 bytes=21 ms=1.302
//     p0 literal ADD
//     p1 list 1=80001^.01^+1^NEWT
//     p1 list 2=80001^2^+1^New test
//     p2 literal
//     p3 list
//
// An empty literal keeps the blank after "literal"; a list parameter without entries has the one
// line "pN list", an entry "pN list SUBSCRIPT=VALUE". Values are escaped so that none
// can break a line or forge one: "\\", "\r", "\n", and "\xNN" for every other byte outside
// printable ASCII; in a subscript "=" is "\x3d" too, so the first "=" of an entry line ends the
// subscript. The codes of the sign-on, verify-code change and context procedures never reach the
// log: their values are written as "<scrambled>".
//
// Each entry (a call with its parameter lines, or a note) is written whole with one write, before
// the reply is sent: a client that has its reply finds the call in the log.
#pragma once

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

#include "devserver/net/call_parser.h"
#include "devserver/net/clock.h"

namespace vorn::devserver {

class CallLog {
  public:
    explicit CallLog(const Clock& clock) : clock_(clock) {}
    ~CallLog();
    // Appends to `path`; false when it cannot be opened.
    bool Open(const std::string& path);
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    void SetParams(bool params) { params_ = params; }

    void Call(int session, const devserver::Call& call, std::size_t replyBytes,
              std::chrono::nanoseconds duration);
    void Note(int session, const std::string& text);
    // In a child process forked from a threaded one: the lock as new (see Server::Serve).
    void AfterFork() { new (&mutex_) std::mutex(); }

  private:
    void Write(const std::string& line, bool alsoStderr);
    std::string Now() const;

    const Clock& clock_;
    std::mutex mutex_;
    int fd_ = -1;
    bool quiet_ = false;
    bool params_ = false;
};

}  // namespace vorn::devserver
