#include "devserver/storage/global_store.h"

#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <vector>

#include "devserver/storage/group_flush.h"
#include "devserver/storage/stepping_aside.h"

namespace vorn::devserver {

// One per database file, shared by every connection of this process to it.
struct GlobalStore::WriterTurn {
    std::timed_mutex writers;
    GroupFlush flush;

    static std::shared_ptr<WriterTurn> Of(const std::string& path) {
        static std::mutex mutex;
        static std::map<std::string, std::weak_ptr<WriterTurn>> turns;
        std::error_code ignored;
        std::string file = std::filesystem::weakly_canonical(path, ignored).string();
        if (file.empty()) file = path;
        const std::lock_guard hold(mutex);
        std::weak_ptr<WriterTurn>& known = turns[file];
        std::shared_ptr<WriterTurn> turn = known.lock();
        if (!turn) known = turn = std::make_shared<WriterTurn>();
        return turn;
    }
};

GlobalStore::GlobalStore(const std::string& path) : turn_(WriterTurn::Of(path)) {
    // Every session has its own connection, so SQLite's count of the memory it holds would be
    // a lock that all sessions take on every allocation. It can only be turned off before
    // SQLite starts; later (an embedding program started it) the call fails and changes nothing.
    static const bool quiet = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    (void)quiet;
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + path + ": " + why);
    }
    try {
        sqlite3_busy_timeout(db_, kBusyMs);
        {
            SqlStatement mode(db_, "PRAGMA journal_mode=WAL");
            mode.Reset();
            sharedSync_ = mode.Step() && mode.Column(0) == "wal";
        }
        // With a write-ahead log End syncs it, once for every writer that committed meanwhile;
        // without one (a database in memory) SQLite syncs inside each commit.
        Exec(sharedSync_ ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
        // Read through a mapping of the file: every session's connection shares the system's
        // copy of the pages instead of reading them into a cache of its own.
        Exec("PRAGMA mmap_size=1073741824");
        Exec(
            "CREATE TABLE IF NOT EXISTS globals(name TEXT NOT NULL, key BLOB NOT NULL, "
            "value BLOB NOT NULL, PRIMARY KEY(name, key)) WITHOUT ROWID");
        Exec("CREATE TABLE IF NOT EXISTS meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)");
        get_ = std::make_unique<SqlStatement>(db_,
                                              "SELECT value FROM globals WHERE name=?1 AND key=?2");
        set_ = std::make_unique<SqlStatement>(
            db_, "INSERT OR REPLACE INTO globals(name,key,value) VALUES(?1,?2,?3)");
        delOne_ =
            std::make_unique<SqlStatement>(db_, "DELETE FROM globals WHERE name=?1 AND key=?2");
        delRange_ = std::make_unique<SqlStatement>(
            db_, "DELETE FROM globals WHERE name=?1 AND key>?2 AND key<?3");
        next_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key, value FROM globals WHERE name=?1 AND key>?2 AND key<?3 ORDER BY key "
            "LIMIT 1");
        prev_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key, value FROM globals WHERE name=?1 AND key>?2 AND key<?3 "
            "ORDER BY key DESC LIMIT 1");
        nextMany_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key FROM globals WHERE name=?1 AND key>?2 AND key<?3 ORDER BY key LIMIT ?4");
        prevMany_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key FROM globals WHERE name=?1 AND key>?2 AND key<?3 "
            "ORDER BY key DESC LIMIT ?4");
        walk_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key, value FROM globals WHERE name=?1 AND key>=?2 AND "
            "key<?3 ORDER BY key LIMIT 256");
        // The node itself (if it has a value) and its first descendant: $DATA in one query.
        data_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key FROM globals WHERE name=?1 AND key>=?2 AND key<?3 ORDER BY key LIMIT 2");
        beginWrite_ = std::make_unique<SqlStatement>(db_, "BEGIN IMMEDIATE");
        beginRead_ = std::make_unique<SqlStatement>(db_, "BEGIN DEFERRED");
        commit_ = std::make_unique<SqlStatement>(db_, "COMMIT");
    } catch (...) {
        Close();
        throw;
    }
}

GlobalStore::~GlobalStore() {
    Close();
}

void GlobalStore::Close() {
    for (auto* s : {&get_, &set_, &delOne_, &delRange_, &next_, &prev_, &walk_, &data_, &nextMany_,
                    &prevMany_, &beginWrite_, &beginRead_, &commit_})
        s->reset();
    if (db_) {
        if (depth_ > 0) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            depth_ = 0;
            turn_->writers.unlock();
        }
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void GlobalStore::Exec(const char* sql) {
    Forget();
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw StoreError(std::string(sql).substr(0, 40) + ": " + why);
    }
}

// The kept statements bind their values without copying (SqlStatement::BindView): every value
// bound below outlives the statement's use, which ends with Finish.

std::optional<std::string> GlobalStore::Get(const GlobalRef& ref) {
    const std::string key = EncodeKey(ref.subscripts);
    // Reads come in the order the nodes were found: look after the last one read first.
    for (std::size_t n = 0, i = foundHit_; n < found_.size(); ++n, i = (i + 1) % found_.size()) {
        if (i >= found_.size()) i = 0;
        if (found_[i].key == key && found_[i].name == ref.name) {
            foundHit_ = i + 1;
            return found_[i].value;
        }
    }
    get_->Reset().BindView(1, ref.name).BindView(2, key);
    std::optional<std::string> out;
    if (get_->Step()) out = get_->Column(0);
    get_->Finish();
    return out;
}

std::string GlobalStore::GetOr(const GlobalRef& ref, std::string_view fallback) {
    auto v = Get(ref);
    return v ? *v : std::string(fallback);
}

std::optional<std::string> GlobalStore::KeyBetween(const std::string& name, const std::string& low,
                                                   const std::string& high, int direction) {
    SqlStatement& s = direction < 0 ? *prev_ : *next_;
    s.Reset().BindView(1, name).BindView(2, low).BindView(3, high);
    std::optional<std::string> out;
    if (s.Step()) {
        out = s.Column(0);
        // Only a snapshot keeps it true; between statements outside one, others may write.
        if (reading_ || depth_ > 0) {
            FoundNode& node =
                found_.size() < kFoundNodes ? found_.emplace_back() : found_[foundNext_];
            node.name = name;
            node.key = *out;
            node.value = s.ColumnView(1);
            foundNext_ = (foundNext_ + 1) % kFoundNodes;
        }
    }
    s.Finish();
    return out;
}

std::vector<std::string> GlobalStore::KeysBetween(const std::string& name, const std::string& low,
                                                  const std::string& high, int direction,
                                                  int limit) {
    SqlStatement& s = direction < 0 ? *prevMany_ : *nextMany_;
    s.Reset().BindView(1, name).BindView(2, low).BindView(3, high).BindInt(4, limit);
    std::vector<std::string> out;
    while (s.Step())
        out.push_back(s.Column(0));
    s.Finish();
    return out;
}

int GlobalStore::Data(const GlobalRef& ref) {
    const std::string key = EncodeKey(ref.subscripts);
    const std::string high = key + kAfterChildren;
    data_->Reset().BindView(1, ref.name).BindView(2, key).BindView(3, high);
    int data = 0;
    if (data_->Step()) {
        // The first key of the range is the node's own when it holds a value.
        if (data_->Column(0) != key)
            data = 10;
        else
            data = data_->Step() ? 11 : 1;
    }
    data_->Finish();
    return data;
}

bool GlobalStore::HasChildren(const GlobalRef& ref) {
    return HasChildrenAt(ref.name, EncodeKey(ref.subscripts));
}

bool GlobalStore::HasChildrenAt(const std::string& name, const std::string& key) {
    return KeyBetween(name, key, key + kAfterChildren, 1).has_value();
}

void GlobalStore::Set(const GlobalRef& ref, std::string_view value) {
    if (ref.name.empty()) throw StoreError("a global needs a name");
    Forget();
    const std::string key = EncodeKey(ref.subscripts);
    set_->Reset().BindView(1, ref.name).BindView(2, key).BindView(3, value);
    set_->Step();
    set_->Finish();
    Flushed();
}

void GlobalStore::Kill(const GlobalRef& ref) {
    Forget();
    const std::string key = EncodeKey(ref.subscripts);
    const std::string high = key + kAfterChildren;
    delOne_->Reset().BindView(1, ref.name).BindView(2, key);
    delOne_->Step();
    delOne_->Finish();
    delRange_->Reset().BindView(1, ref.name).BindView(2, key).BindView(3, high);
    delRange_->Step();
    delRange_->Finish();
    Flushed();
}

std::string GlobalStore::Order(const GlobalRef& ref, int direction) {
    if (ref.subscripts.empty()) throw StoreError("$ORDER needs a subscript");
    std::string pk;
    for (std::size_t i = 0; i + 1 < ref.subscripts.size(); ++i)
        AppendEncoded(pk, ref.subscripts[i]);
    const std::string end = pk + kAfterChildren;
    const std::string& last = ref.subscripts.back();
    std::optional<std::string> found;
    if (last.empty()) {
        found = KeyBetween(ref.name, pk, end, direction);
    } else {
        std::string ck = pk;
        AppendEncoded(ck, last);
        if (direction < 0)
            found = KeyBetween(ref.name, pk, ck, -1);
        else
            found = KeyBetween(ref.name, ck + kAfterChildren, end, 1);
    }
    if (!found) return {};
    std::size_t pos = pk.size();
    return DecodeOne(*found, pos);
}

void GlobalStore::Walk(const GlobalRef& ref,
                       const std::function<bool(const GlobalRef&, const std::string&)>& visit) {
    const std::string key = EncodeKey(ref.subscripts);
    const std::string high = key + kAfterChildren;
    std::string low = key;
    bool first = true;
    for (;;) {
        std::vector<std::pair<std::string, std::string>> batch;
        walk_->Reset().BindView(1, ref.name).BindView(2, low).BindView(3, high);
        while (walk_->Step())
            batch.emplace_back(walk_->Column(0), walk_->Column(1));
        walk_->Finish();
        std::size_t i = 0;
        if (!first && !batch.empty() && batch[0].first == low) i = 1;  // resumed at the last one
        if (i >= batch.size()) return;
        for (; i < batch.size(); ++i) {
            if (!visit(GlobalRef{ref.name, DecodeKey(batch[i].first)}, batch[i].second)) return;
        }
        if (batch.size() < 256) return;
        low = batch.back().first;
        first = false;
    }
}

std::vector<std::string> GlobalStore::GlobalNames() {
    SqlStatement s(db_, "SELECT DISTINCT name FROM globals ORDER BY name");
    s.Reset();
    std::vector<std::string> out;
    while (s.Step())
        out.push_back(s.Column(0));
    return out;
}

void GlobalStore::ClearAll() {
    Exec("DELETE FROM globals");
    Exec("DELETE FROM meta");
}

std::optional<std::string> GlobalStore::Meta(const std::string& key) {
    SqlStatement s(db_, "SELECT value FROM meta WHERE key=?1");
    s.Reset();
    s.Bind(1, key);
    if (s.Step()) return s.Column(0);
    return std::nullopt;
}

void GlobalStore::SetMeta(const std::string& key, const std::string& value) {
    SqlStatement s(db_, "INSERT OR REPLACE INTO meta(key,value) VALUES(?1,?2)");
    s.Reset();
    s.Bind(1, key);
    s.Bind(2, value);
    s.Step();
    Flushed();
}

bool GlobalStore::WaitForWritersTurn() {
    // Back from the wait this writer holds the turn while it waits for a call's turn, ahead of
    // the calls that have not had one: the other writers wait no longer than one call.
    const SteppingAside aside;
    return turn_->writers.try_lock_for(std::chrono::milliseconds(kBusyMs));
}

void GlobalStore::Begin() {
    Forget();
    if (reading_) throw StoreError("a write transaction cannot start inside a read transaction");
    if (depth_++ == 0) {
        rollbackOnly_ = false;
        // Writers of this process wait their turn here, woken as soon as the one before them
        // commits, instead of in SQLite's busy handler, which sleeps in growing steps up to
        // 100 ms: a save among many sessions then waits for the saves ahead of it, no longer.
        if (!turn_->writers.try_lock() && !WaitForWritersTurn()) {
            depth_ = 0;
            throw StoreError("BEGIN IMMEDIATE: another writer held the database too long");
        }
        try {
            beginWrite_->Run();
        } catch (const StoreError& e) {
            depth_ = 0;
            turn_->writers.unlock();
            throw StoreError(std::string("BEGIN IMMEDIATE: ") + e.what());
        } catch (...) {
            depth_ = 0;
            turn_->writers.unlock();
            throw;
        }
    }
}

void GlobalStore::End(bool commit) {
    Forget();
    if (!commit) rollbackOnly_ = true;
    if (--depth_ > 0) return;
    std::uint64_t ticket = 0;
    {
        // Whatever happens below, the writers' turn is handed on when this block ends.
        struct Release {
            std::timed_mutex& writers;
            ~Release() { writers.unlock(); }
        } release{turn_->writers};
        if (rollbackOnly_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            if (commit) throw StoreError("an inner transaction failed; nothing was stored");
            return;
        }
        try {
            commit_->Run();
        } catch (const StoreError& e) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw StoreError(std::string("commit: ") + e.what());
        }
        if (!sharedSync_) return;
        ticket = turn_->flush.Committed();
    }
    // The next writer goes on meanwhile; its commit may share this flush.
    const SteppingAside aside;
    turn_->flush.WaitFlushed(ticket, [this] { SyncOwnLog(); });
}

void GlobalStore::SyncOwnLog() {
    sqlite3_file* log = nullptr;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK ||
        !log || !log->pMethods)
        throw StoreError("the log cannot be flushed: it is not open");
    if (log->pMethods->xSync(log, SQLITE_SYNC_NORMAL) != SQLITE_OK)
        throw StoreError("cannot flush the log to disk");
}

void GlobalStore::Flushed() {
    if (sharedSync_ && depth_ == 0 && !reading_) {
        const SteppingAside aside;
        turn_->flush.WaitFlushed(turn_->flush.Committed(), [this] { SyncOwnLog(); });
    }
}

GlobalStore::Transaction::Transaction(GlobalStore& store) : store_(store) {
    store_.Begin();
}

GlobalStore::Transaction::~Transaction() {
    if (!done_) store_.End(false);
}

void GlobalStore::Transaction::Commit() {
    done_ = true;
    store_.End(true);
}

GlobalStore::ReadTransaction::ReadTransaction(GlobalStore& store)
    : store_(store), own_(!store.InTransaction() && !store.reading_) {
    if (!own_) return;
    store_.BeginRead();
    store_.reading_ = true;
}

void GlobalStore::BeginRead() {
    Forget();
    beginRead_->Run();
}

GlobalStore::ReadTransaction::~ReadTransaction() {
    if (!own_) return;
    store_.reading_ = false;
    store_.EndRead();
}

void GlobalStore::EndRead() {
    Forget();
    try {
        commit_->Run();
    } catch (const StoreError&) {
        // A transaction that only read loses nothing when it is rolled back instead, and the
        // connection must not stay in it.
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

}  // namespace vorn::devserver
