#include "devserver/storage/log_checkpointer.h"

namespace vorn::devserver {

LogCheckpointer::LogCheckpointer(std::string database)
    : database_(std::move(database)), thread_([this] { Run(); }) {}

LogCheckpointer::~LogCheckpointer() {
    {
        const std::lock_guard hold(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

int LogCheckpointer::AfterCommit(void* checkpointer, sqlite3* db, const char* schema, int pages) {
    if (pages < kPages) return SQLITE_OK;
    auto& self = *static_cast<LogCheckpointer*>(checkpointer);
    {
        const std::lock_guard hold(self.mutex_);
        if (!self.failed_) {
            self.wanted_ = true;
            self.wake_.notify_all();
            return SQLITE_OK;
        }
    }
    sqlite3_wal_checkpoint_v2(db, schema, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
    return SQLITE_OK;
}

int LogCheckpointer::Checkpoints() {
    const std::lock_guard hold(mutex_);
    return checkpoints_;
}

void LogCheckpointer::Run() {
    sqlite3* db = nullptr;
    const bool opened =
        sqlite3_open_v2(database_.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) == SQLITE_OK &&
        // Log and database are synced around each checkpoint, as for every other connection.
        sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr) == SQLITE_OK;
    std::unique_lock hold(mutex_);
    if (!opened) failed_ = true;
    while (!stop_) {
        wake_.wait(hold, [&] { return wanted_ || stop_; });
        if (stop_ || failed_) break;
        wanted_ = false;
        hold.unlock();
        // Passive: it copies what no reader still needs and never makes a writer wait.
        sqlite3_wal_checkpoint_v2(db, "main", SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        hold.lock();
        ++checkpoints_;
    }
    hold.unlock();
    // The last connection to close checkpoints the whole log and removes it.
    sqlite3_close_v2(db);
}

}  // namespace vorn::devserver
