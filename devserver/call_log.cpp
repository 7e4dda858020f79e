#include "devserver/call_log.h"

#include <ctime>

namespace vorn::devserver {

CallLog::~CallLog() {
    if (file_) std::fclose(file_);
}

bool CallLog::Open(const std::string& path) {
    std::lock_guard lock(mutex_);
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

std::string CallLog::Now() const {
    const auto now = clock_.WallNow();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    return buf;
}

void CallLog::Call(int session, const std::string& name, std::size_t params, std::size_t replyBytes,
                   std::chrono::nanoseconds duration) {
    if (!file_) return;
    char tail[96];
    std::snprintf(tail, sizeof tail, " params=%zu bytes=%zu ms=%.3f", params, replyBytes,
                  static_cast<double>(duration.count()) / 1e6);
    Write(Now() + " session=" + std::to_string(session) + " call=\"" + name + "\"" + tail, false);
}

void CallLog::Note(int session, const std::string& text) {
    Write(Now() + " session=" + std::to_string(session) + " " + text, !quiet_);
}

void CallLog::Write(const std::string& line, bool alsoStderr) {
    std::lock_guard lock(mutex_);
    if (file_) {
        std::fputs(line.c_str(), file_);
        std::fputc('\n', file_);
        std::fflush(file_);
    }
    if (alsoStderr) std::fprintf(stderr, "vorn-server: %s\n", line.c_str());
}

}  // namespace vorn::devserver
