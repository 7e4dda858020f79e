#include "devserver/net/call_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <ctime>

namespace vorn::devserver {

CallLog::~CallLog() {
    if (fd_ >= 0) ::close(fd_);
}

bool CallLog::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) ::close(fd_);
    fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

std::string CallLog::Now() const {
    const auto now = clock_.WallNow();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    // Turning the second into local time and text costs more than the rest of a short call's
    // line, so each session's thread does it once per second.
    thread_local std::time_t second = -1;
    thread_local char date[64] = {};
    if (t != second) {
        std::tm tm{};
        localtime_r(&t, &tm);
        std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", tm.tm_year + 1900,
                      tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
        second = t;
    }
    std::string out = date;
    const int m = static_cast<int>(ms);
    out += '.';
    out += static_cast<char>('0' + m / 100);
    out += static_cast<char>('0' + m / 10 % 10);
    out += static_cast<char>('0' + m % 10);
    return out;
}

namespace {

constexpr const char* kScrambledMark = "<scrambled>";

// Procedures whose parameters are scrambled codes.
bool CarriesCodes(const std::string& name) {
    return name == "XUS AV CODE" || name == "XUS CVC" || name == "XWB CREATE CONTEXT";
}

// Printable ASCII as it is, everything else escaped; `alsoEscape` names further characters
// that would be read as structure where the text stands.
std::string Escaped(std::string_view text, std::string_view alsoEscape = {}) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (b < 0x20 || b > 0x7e || alsoEscape.find(c) != std::string_view::npos) {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", b);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string ParamLines(const devserver::Call& call) {
    const bool hidden = CarriesCodes(call.name);
    auto shown = [&](const std::string& text, std::string_view alsoEscape = {}) {
        return hidden ? std::string(kScrambledMark) : Escaped(text, alsoEscape);
    };
    std::string out;
    for (std::size_t i = 0; i < call.params.size(); ++i) {
        const Param& p = call.params[i];
        const std::string head = "\n  p" + std::to_string(i) + " ";
        switch (p.type) {
            case ParamType::Literal:
                out += head + "literal " + shown(p.value);
                break;
            case ParamType::Reference:
                out += head + "reference " + shown(p.value);
                break;
            case ParamType::List:
                if (p.entries.empty()) out += head + "list";
                for (const ListEntry& e : p.entries)
                    out += head + "list " + shown(e.rawSubscript, "=") + "=" + shown(e.value);
                break;
        }
    }
    return out;
}

}  // namespace

void CallLog::Call(int session, const devserver::Call& call, std::size_t replyBytes,
                   std::chrono::nanoseconds duration) {
    if (fd_ < 0) return;
    // to_chars gives what printf's "%.3f" gives, without parsing a format for every call.
    char ms[32];
    const auto end = std::to_chars(ms, ms + sizeof ms, static_cast<double>(duration.count()) / 1e6,
                                   std::chars_format::fixed, 3)
                         .ptr;
    std::string line = Now() + " session=" + std::to_string(session) + " call=\"" +
                       Escaped(call.name, "\"") +
                       "\" params=" + std::to_string(call.params.size()) +
                       " bytes=" + std::to_string(replyBytes) + " ms=" + std::string(ms, end);
    if (params_) line += ParamLines(call);
    Write(line, false);
}

void CallLog::Note(int session, const std::string& text) {
    // Notes quote what a client sent (an announced address, a name): escaped like the values.
    Write(Now() + " session=" + std::to_string(session) + " " + Escaped(text), !quiet_);
}

void CallLog::Write(const std::string& line, bool alsoStderr) {
    std::lock_guard lock(mutex_);
    if (fd_ >= 0) {
        // One write per entry, past any buffer: a reader of the file sees whole entries, and
        // sees them as soon as the call is answered.
        const std::string entry = line + '\n';
        for (std::size_t done = 0; done < entry.size();) {
            const ssize_t n = ::write(fd_, entry.data() + done, entry.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
    }
    if (alsoStderr) std::fprintf(stderr, "vorn-server: %s\n", line.c_str());
}

}  // namespace vorn::devserver
