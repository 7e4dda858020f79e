// Moves what the write-ahead log holds into the database on a thread of its own, so that no
// writer does it while holding the writers' turn. A checkpoint writes many pages and syncs log
// and database; done by a committing session, as SQLite does by itself, it kept every other
// writer waiting that long.
#pragma once

#include <sqlite3.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace vorn::devserver {

class LogCheckpointer {
  public:
    // Log pages after a commit from which a checkpoint is wanted (SQLite's own default).
    static constexpr int kPages = 1000;

    // `database`: the database file. Opens a connection of its own on its thread.
    explicit LogCheckpointer(std::string database);
    ~LogCheckpointer();
    LogCheckpointer(const LogCheckpointer&) = delete;
    LogCheckpointer& operator=(const LogCheckpointer&) = delete;

    // For sqlite3_wal_hook: after a commit that left `pages` pages in the log. `checkpointer`
    // is the LogCheckpointer; when it cannot work, the committing connection checkpoints.
    static int AfterCommit(void* checkpointer, sqlite3* db, const char* schema, int pages);

    // For tests: the checkpoints it has run.
    int Checkpoints();

  private:
    void Run();

    const std::string database_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool wanted_ = false;
    bool stop_ = false;
    bool failed_ = false;  // it has no connection: committers checkpoint as before
    int checkpoints_ = 0;
    std::thread thread_;
};

}  // namespace vorn::devserver
