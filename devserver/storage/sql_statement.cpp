#include "devserver/storage/sql_statement.h"

#include <sqlite3.h>

namespace vorn::devserver {

SqlStatement::SqlStatement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
        throw StoreError(std::string("prepare: ") + sqlite3_errmsg(db));
}

SqlStatement::~SqlStatement() {
    sqlite3_finalize(stmt_);
}

SqlStatement& SqlStatement::Reset() {
    sqlite3_reset(stmt_);
    return *this;
}

SqlStatement& SqlStatement::Bind(int index, std::string_view blob) {
    sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

SqlStatement& SqlStatement::BindView(int index, std::string_view blob) {
    sqlite3_bind_blob(stmt_, index, blob.data(), static_cast<int>(blob.size()), SQLITE_STATIC);
    return *this;
}

SqlStatement& SqlStatement::BindInt(int index, long long value) {
    sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

bool SqlStatement::Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throw StoreError(std::string("step: ") + sqlite3_errmsg(db_));
}

void SqlStatement::Run() {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
        const std::string why = sqlite3_errmsg(db_);
        sqlite3_reset(stmt_);
        throw StoreError(why);
    }
    sqlite3_reset(stmt_);
}

std::string SqlStatement::Column(int index) {
    const void* p = sqlite3_column_blob(stmt_, index);
    const int n = sqlite3_column_bytes(stmt_, index);
    return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string();
}

std::string_view SqlStatement::ColumnView(int index) {
    const void* p = sqlite3_column_blob(stmt_, index);
    const int n = sqlite3_column_bytes(stmt_, index);
    return p ? std::string_view(static_cast<const char*>(p), static_cast<std::size_t>(n))
             : std::string_view();
}

long long SqlStatement::IntColumn(int index) {
    return sqlite3_column_int64(stmt_, index);
}

void SqlStatement::Finish() {
    sqlite3_reset(stmt_);
}

}  // namespace vorn::devserver
