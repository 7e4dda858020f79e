// M globals kept in SQLite. A node is a global name and a list of subscripts holding a text;
// nodes are ordered by M collation (devserver/m/collation.h). The database runs in WAL mode and
// a write is answered only once the log holding it is on disk, so a committed transaction
// survives a killed process and a lost machine. The commits of several sessions share one sync
// of the log (group_flush.h), run after each writer has handed on its turn.
//
// One GlobalStore is one connection: use it from one thread at a time. Every session owns its
// own, so readers never wait for each other; writers take turns (SQLite's single writer, with
// a busy time-out).
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "devserver/m/collation.h"
#include "devserver/m/global_ref.h"
#include "devserver/storage/sql_statement.h"

namespace vorn::devserver {

class GlobalStore {
  public:
    // Opens the database file, creating it and its tables when missing.
    explicit GlobalStore(const std::string& path);
    virtual ~GlobalStore();
    GlobalStore(const GlobalStore&) = delete;
    GlobalStore& operator=(const GlobalStore&) = delete;

    virtual std::optional<std::string> Get(const GlobalRef& ref);
    // $GET: the value, or `fallback` when the node holds none.
    std::string GetOr(const GlobalRef& ref, std::string_view fallback = {});
    // $DATA: 0 nothing, 1 a value, 10 descendants only, 11 both.
    virtual int Data(const GlobalRef& ref);
    virtual void Set(const GlobalRef& ref, std::string_view value);
    // Removes the node and all its descendants.
    virtual void Kill(const GlobalRef& ref);
    // $ORDER on the last subscript of `ref`: the next (direction 1) or previous (-1) sibling
    // subscript that has a value or descendants; "" at the end. An empty last subscript starts
    // from the first (or last) one. `ref` needs at least one subscript.
    std::string Order(const GlobalRef& ref, int direction = 1);
    // Whether `ref` has descendants: $DATA>9 in one query that also remembers the first of them
    // for a Get that follows (see found_).
    bool HasChildren(const GlobalRef& ref);
    // The same for the node of global `name` whose key is `key` (EncodeKey of its subscripts).
    bool HasChildrenAt(const std::string& name, const std::string& key);
    // Every node with a value at or under `ref`, in collation order; stop by returning false.
    virtual void Walk(const GlobalRef& ref,
                      const std::function<bool(const GlobalRef&, const std::string&)>& visit);
    // The first (direction 1) or last (-1) key of a node with a value in global `name` that lies
    // strictly between the keys `low` and `high` (collation.h: a key is EncodeKey of the
    // subscripts, and key + kAfterChildren bounds a node's descendants); nullopt when there is
    // none. For walks that step over nodes at more than one level with one query.
    virtual std::optional<std::string> KeyBetween(const std::string& name, const std::string& low,
                                                  const std::string& high, int direction = 1);
    // Up to `limit` such keys, in order (descending for direction -1): for walks that go on
    // through many neighbouring nodes, one query instead of one a node.
    virtual std::vector<std::string> KeysBetween(const std::string& name, const std::string& low,
                                                 const std::string& high, int direction, int limit);
    // For a walk of an index's entries root(value, entry): up to `limit` keys between `low` and
    // `high` as KeysBetween gives them, or, where an engine walks two levels more cheaply than
    // every node, the entries' own keys (then no key lies deeper or is a value's own node).
    // `low` and `high` lie under `root`. Walkers take each key's first two subscripts after the
    // root, which is the same entry either way.
    virtual std::vector<std::string> EntryKeysBetween(const GlobalRef& root, const std::string& low,
                                                      const std::string& high, int direction,
                                                      int limit) {
        return KeysBetween(root.name, low, high, direction, limit);
    }
    // The first node under each of parent(child) is about to be asked for, one after another
    // (a listing checks each record it finds in an index). An engine that pays per call may
    // fetch them all now; the answers hold until the store is written or the read call ends.
    virtual void ReadAhead(const GlobalRef& parent, const std::vector<std::string>& children) {
        (void)parent;
        (void)children;
    }
    // Whether ReadAhead saves anything here: SQLite reads a node as fast one by one.
    virtual bool ReadsAhead() const { return false; }
    // Names of the globals that hold anything, in byte order.
    virtual std::vector<std::string> GlobalNames();
    // Removes every global and the meta table: a store about to be seeded again.
    virtual void ClearAll();

    // Small key/value table beside the globals (schema version, seeding marks).
    virtual std::optional<std::string> Meta(const std::string& key);
    virtual void SetMeta(const std::string& key, const std::string& value);

    // A write transaction (BEGIN IMMEDIATE). Nested transactions join the outermost one; if any
    // of them ends without Commit (an exception), the whole is rolled back.
    class Transaction {
      public:
        explicit Transaction(GlobalStore& store);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void Commit();

      private:
        GlobalStore& store_;
        bool done_ = false;
    };
    // Runs `f` in a transaction, committing when it returns and rolling back when it throws.
    template <typename F>
    decltype(auto) Atomically(F&& f) {
        Transaction tx(*this);
        if constexpr (std::is_void_v<decltype(f())>) {
            f();
            tx.Commit();
        } else {
            decltype(auto) result = f();
            tx.Commit();
            return result;
        }
    }
    bool InTransaction() const { return depth_ > 0; }

    // A read transaction (BEGIN DEFERRED) around a call that only reads: every read inside it
    // sees one snapshot of the database, and SQLite takes its read lock once instead of once
    // per statement. Inside another transaction it does nothing; no write transaction may
    // start inside it.
    class ReadTransaction {
      public:
        explicit ReadTransaction(GlobalStore& store);
        ~ReadTransaction();
        ReadTransaction(const ReadTransaction&) = delete;
        ReadTransaction& operator=(const ReadTransaction&) = delete;

      private:
        GlobalStore& store_;
        bool own_;
    };

    // The connection, for other tables of the same database (the users); null on an engine
    // that keeps everything in globals.
    sqlite3* Handle() { return db_; }
    // Runs SQL with no result; throws StoreError.
    void Exec(const char* sql);

  protected:
    // For another engine: no SQLite connection.
    GlobalStore() = default;
    virtual void Begin();
    virtual void End(bool commit);
    virtual void BeginRead();
    virtual void EndRead();
    int depth_ = 0;
    bool rollbackOnly_ = false;

  private:
    void Close();

    // A write outside any transaction, done: waits for the flush that covers it.
    void Flushed();
    // Waits for the writer before this one to commit, stepping aside meanwhile; false after
    // kBusyMs.
    bool WaitForWritersTurn();
    // Syncs the write-ahead log through this connection's own handle of it.
    void SyncOwnLog();
    bool sharedSync_ = false;  // commits share syncs of the log (the database has one)

    // How long a writer waits for another before it gives up.
    static constexpr int kBusyMs = 15000;
    // The writers' turn and the shared flush of one database file (see Begin and End).
    struct WriterTurn;
    std::shared_ptr<WriterTurn> turn_;
    sqlite3* db_ = nullptr;
    bool reading_ = false;  // a ReadTransaction is open
    // The nodes KeyBetween found lately, with their values, while a transaction holds the
    // snapshot still: a listing that finds each record's first node to see that it exists and
    // then reads it asks the database once a record, not twice.
    struct FoundNode {
        std::string name, key, value;
    };
    static constexpr std::size_t kFoundNodes = 128;
    std::vector<FoundNode> found_;  // a ring of at most kFoundNodes
    std::size_t foundNext_ = 0;
    std::size_t foundHit_ = 0;  // where the next read is likely to be
    void Forget() {
        found_.clear();
        foundNext_ = foundHit_ = 0;
    }
    // Kept prepared: the calls of every procedure go through them.
    std::unique_ptr<SqlStatement> get_, set_, delOne_, delRange_, next_, prev_, walk_, data_;
    std::unique_ptr<SqlStatement> nextMany_, prevMany_;
    std::unique_ptr<SqlStatement> beginWrite_, beginRead_, commit_;
};

}  // namespace vorn::devserver
