// The write-ahead log is moved into the database by the checkpointer's thread, not by the
// connection that commits.
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "devserver/storage/log_checkpointer.h"
#include "tests/devserver/server_fixture.h"

namespace vorn::devserver {
namespace {

void Exec(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
}

TEST(LogCheckpointer, ALogGrownPastItsMarkIsCheckpointedByTheCheckpointersThread) {
    test::TempFolder folder;
    const std::string path = folder.Path("log.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    Exec(db, "PRAGMA journal_mode=WAL");
    Exec(db, "CREATE TABLE t(v BLOB)");
    {
        LogCheckpointer checkpointer(path);
        sqlite3_wal_hook(db, &LogCheckpointer::AfterCommit, &checkpointer);
        // Below the mark nothing is asked of it.
        Exec(db, "INSERT INTO t VALUES(zeroblob(4000))");
        EXPECT_EQ(checkpointer.Checkpoints(), 0);
        // Each commit adds a few pages; stop once the log has passed the mark.
        for (int i = 0; i < LogCheckpointer::kPages; ++i)
            Exec(db, "INSERT INTO t VALUES(zeroblob(8000))");
        while (checkpointer.Checkpoints() == 0)
            std::this_thread::yield();
        // The committing connection never checkpointed (its hook is the checkpointer's), yet
        // the pages of the log up to the mark are in the database file.
        EXPECT_GE(std::filesystem::file_size(path),
                  static_cast<std::uintmax_t>(LogCheckpointer::kPages) * 4096 / 2);
    }
    sqlite3_close(db);
}

}  // namespace
}  // namespace vorn::devserver
