#include "tests/support/call_log_reader.h"

#include <cctype>
#include <fstream>
#include <regex>

#include "tests/support/dev_server_process.h"

namespace vorn::test {
namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

// The inverse of the server's escaping: "\\", "\r", "\n" and "\xNN".
std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 'x' && i + 2 < text.size() && std::isxdigit(Byte(text[i + 1])) &&
                   std::isxdigit(Byte(text[i + 2]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c;
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
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) break;  // the entry being written, if any
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        std::smatch m;
        if (std::regex_match(line, m, callLine)) {
            calls.push_back({std::stoi(m[1]), Unescaped(m[2]), std::stoi(m[3]), {}});
            inCall = true;
        } else if (inCall && std::regex_match(line, m, paramLine)) {
            LoggedEntry e{std::stoi(m[1]), m[2], "", Unescaped(m[4])};
            if (e.kind == "list") {
                if (!m[3].matched) {
                    e.kind = "empty list";
                } else {
                    // The subscript's own "=" is escaped: the first one ends it.
                    const std::string raw = m[4];
                    const auto eq = raw.find('=');
                    e.subscript = Unescaped(raw.substr(0, eq));
                    e.value = eq == std::string::npos ? "" : Unescaped(raw.substr(eq + 1));
                }
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
    if (!in) return {};
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size <= offset_) return {};
    std::string text(size - offset_, '\0');
    in.seekg(static_cast<std::streamoff>(offset_));
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    // Only whole lines; an entry still being written is read next time.
    const auto last = text.rfind('\n');
    if (last == std::string::npos) return {};
    text.resize(last + 1);
    offset_ += text.size();
    return ParseCallLog(text);
}

}  // namespace vorn::test
