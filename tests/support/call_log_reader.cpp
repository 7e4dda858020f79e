#include "tests/support/call_log_reader.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "tests/support/dev_server_process.h"

namespace vorn::test {
namespace {

// The inverse of the server's escaping: "\\", "\r", "\n" and "\xNN".
std::string Unescaped(const std::string& text) {
    const auto hexAt = [&](std::size_t at) {
        return at < text.size() && std::isxdigit(static_cast<unsigned char>(text[at]));
    };
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && hexAt(i + 2) && hexAt(i + 3)) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else if (text[i] == '\\' && i + 1 < text.size()) {
            const char c = text[++i];
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> LoggedCall::Entry(const std::string& subscript, int param) const {
    for (const LoggedEntry& e : params)
        if (e.param == param && e.kind == "list" && e.subscript == subscript) return e.value;
    return std::nullopt;
}

std::optional<std::string> LoggedCall::Literal(int param) const {
    for (const LoggedEntry& e : params)
        if (e.param == param && e.kind == "literal") return e.value;
    return std::nullopt;
}

std::vector<LoggedCall> ParseCallLog(const std::string& text) {
    static const std::regex callLine(
        R"re(^\S+ session=(\d+) call="([^"]*)" params=(\d+) bytes=\d+ ms=[0-9.]+$)re");
    static const std::regex paramLine(R"re(^  p(\d+) (literal|reference|list)( (.*))?$)re");
    std::vector<LoggedCall> calls;
    bool inCall = false;
    std::istringstream in(text);
    // A last line without its end (eof set) is the entry being written.
    for (std::string line; std::getline(in, line) && !in.eof();) {
        std::smatch m;
        if (std::regex_match(line, m, callLine)) {
            calls.push_back({std::stoi(m[1]), Unescaped(m[2]), std::stoi(m[3]), {}});
            inCall = true;
        } else if (inCall && std::regex_match(line, m, paramLine)) {
            LoggedEntry e{std::stoi(m[1]), m[2], "", Unescaped(m[4])};
            if (e.kind == "list" && !m[3].matched) {
                e.kind = "empty list";
            } else if (e.kind == "list") {
                // The subscript's own "=" is escaped: the first one ends it.
                const std::string raw = m[4];
                const auto eq = raw.find('=');
                e.subscript = Unescaped(raw.substr(0, eq));
                e.value = eq == std::string::npos ? "" : Unescaped(raw.substr(eq + 1));
            }
            calls.back().params.push_back(std::move(e));
        } else {
            inCall = false;
        }
    }
    return calls;
}

std::vector<LoggedCall> ReadCallLog(const std::string& path) {
    return ParseCallLog(FileText(path));
}

std::vector<LoggedCall> CallLogTail::Next() {
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset_));
    std::string text{std::istreambuf_iterator<char>(in), {}};
    // Only whole lines (none when there is no "\n": npos + 1 is 0); an entry still being written
    // is read next time.
    text.resize(text.rfind('\n') + 1);
    offset_ += text.size();
    return ParseCallLog(text);
}

std::vector<std::string> Names(const std::vector<LoggedCall>& calls) {
    std::vector<std::string> names;
    for (const LoggedCall& c : calls)
        names.push_back(c.name);
    return names;
}

}  // namespace vorn::test
