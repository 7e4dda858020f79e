// One prepared SQLite statement, the only way the server's code prepares and steps SQL: texts
// are bound and read as blobs (values may hold any byte), errors are thrown as StoreError.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vorn::devserver {

class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SqlStatement {
  public:
    // Throws StoreError when `sql` does not prepare.
    SqlStatement(sqlite3* db, const char* sql);
    ~SqlStatement();
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;

    // Back to the start, for the next use of a kept statement. Values bound before stay bound
    // until they are bound again.
    SqlStatement& Reset();
    SqlStatement& Bind(int index, std::string_view blob);
    // Binds without copying, for the kept statements that run on every call: `blob` must stay
    // alive and unchanged until the statement has been stepped for the last time and reset.
    SqlStatement& BindView(int index, std::string_view blob);
    SqlStatement& BindInt(int index, long long value);
    // True with a row to read; false when done.
    bool Step();
    // Runs a statement that gives no rows (BEGIN, COMMIT) and resets it; throws StoreError with
    // SQLite's reason alone.
    void Run();
    std::string Column(int index);
    // The column's bytes, valid until the statement is stepped again or reset.
    std::string_view ColumnView(int index);
    long long IntColumn(int index);
    // Ends the current use early, so that a kept statement holds no read snapshot.
    void Finish();

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace vorn::devserver
