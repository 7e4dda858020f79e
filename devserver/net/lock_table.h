// Record locks, shared by all sessions. A lock is per top-level record (a sub-file entry locks
// its top record: callers pass the top-level file and record), held by one session, counted
// (locked twice, it needs two unlocks), refused at once while another session holds it, and
// released with every other lock of a session when the session ends.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vorn::devserver {

class LockTable {
  public:
    // True when `session` now holds the record (again); false when another session holds it.
    bool Lock(int session, const std::string& file, const std::string& ien,
              std::chrono::system_clock::time_point now = std::chrono::system_clock::now());
    // True when `session` held the record; the lock goes when its count reaches 0.
    bool Unlock(int session, const std::string& file, const std::string& ien);
    // The session holding the record and since when, if any.
    struct Holder {
        int session = 0;
        int count = 0;
        std::chrono::system_clock::time_point since;
    };
    std::optional<Holder> HolderOf(const std::string& file, const std::string& ien) const;
    // True when a session other than `session` holds the record.
    bool HeldByOther(int session, const std::string& file, const std::string& ien) const;
    // Drops every lock of the session; returns how many records were released.
    int ReleaseAll(int session);
    // The records (file, record number) the session holds.
    std::vector<std::pair<std::string, std::string>> HeldBy(int session) const;
    std::size_t Size() const;

  private:
    using Key = std::pair<std::string, std::string>;
    mutable std::mutex mutex_;
    std::map<Key, Holder> locks_;
};

// The locks of one session: everything it locked is released when this goes, however the
// session ends.
class SessionLocks {
  public:
    SessionLocks(LockTable& table, int session) : table_(table), session_(session) {}
    ~SessionLocks() { table_.ReleaseAll(session_); }
    SessionLocks(const SessionLocks&) = delete;
    SessionLocks& operator=(const SessionLocks&) = delete;

    bool Lock(const std::string& file, const std::string& ien) {
        return table_.Lock(session_, file, ien);
    }
    bool Unlock(const std::string& file, const std::string& ien) {
        return table_.Unlock(session_, file, ien);
    }
    bool HeldByOther(const std::string& file, const std::string& ien) const {
        return table_.HeldByOther(session_, file, ien);
    }
    LockTable& table() { return table_; }

  private:
    LockTable& table_;
    int session_;
};

}  // namespace vorn::devserver
