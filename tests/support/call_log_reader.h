// Reads the log that vorn-server writes with --log FILE --log-params: the calls in the order they
// were answered, each with its parameters as sent. Notes (connections closed, refusals) and a
// last entry still being written are left out.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorn::test {

// One parameter line of a call: a literal or reference parameter, one entry of a list parameter,
// or a list parameter without entries. Texts are unescaped; the server writes "<scrambled>" for
// the codes of the sign-on procedures.
struct LoggedEntry {
    int param = 0;
    std::string kind;       // "literal", "reference", "list" (an entry) or "empty list"
    std::string subscript;  // list entries only, as sent: "\"FILE\"", "\"FROM\",\"IEN\"", "1"
    std::string value;
};

struct LoggedCall {
    int session = 0;
    std::string name;
    int paramCount = 0;
    std::vector<LoggedEntry> params;  // in the order sent

    // The value of list entry `subscript` (as sent) of parameter `param`, or nullopt.
    std::optional<std::string> Entry(const std::string& subscript, int param = 0) const;
    // The value of literal parameter `param`, or nullopt.
    std::optional<std::string> Literal(int param) const;
};

std::vector<LoggedCall> ParseCallLog(const std::string& text);
// The calls' names, in order.
std::vector<std::string> Names(const std::vector<LoggedCall>& calls);

// Reads a log as it grows: each Next() gives the calls completed since the last one, reading
// only what was added (a long run's log is never parsed twice).
class CallLogTail {
  public:
    explicit CallLogTail(std::string path) : path_(std::move(path)) {}
    std::vector<LoggedCall> Next();

  private:
    std::string path_;
    std::size_t offset_ = 0;
};
// The log file's calls; none when it does not exist yet.
std::vector<LoggedCall> ReadCallLog(const std::string& path);

}  // namespace vorn::test
