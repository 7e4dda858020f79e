#include "devserver/global_store.h"

#include <sqlite3.h>

#include <vector>

namespace vorn::devserver {

namespace {

bool IsDigitText(std::string_view s) {
    return IsCanonicNumber(s);
}

}  // namespace

GlobalRef GlobalRef::Child(std::string_view subscript) const {
    GlobalRef out = *this;
    out.subscripts.emplace_back(subscript);
    return out;
}

GlobalRef GlobalRef::Parent() const {
    GlobalRef out = *this;
    if (!out.subscripts.empty()) out.subscripts.pop_back();
    return out;
}

std::string QuoteM(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"') out += '"';
    }
    out += '"';
    return out;
}

std::string SubscriptText(std::string_view s) {
    return IsDigitText(s) ? std::string(s) : QuoteM(s);
}

std::string GlobalRef::Text() const {
    std::string out = "^" + name;
    if (subscripts.empty()) return out;
    out += '(';
    for (std::size_t i = 0; i < subscripts.size(); ++i) {
        if (i) out += ',';
        out += SubscriptText(subscripts[i]);
    }
    out += ')';
    return out;
}

GlobalStore::GlobalStore(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open " + path + ": " + why);
    }
    try {
        sqlite3_busy_timeout(db_, 15000);
        Exec("PRAGMA journal_mode=WAL");
        Exec("PRAGMA synchronous=FULL");
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
            "SELECT key FROM globals WHERE name=?1 AND key>?2 AND key<?3 ORDER BY key LIMIT 1");
        prev_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key FROM globals WHERE name=?1 AND key>?2 AND key<?3 "
            "ORDER BY key DESC LIMIT 1");
        walk_ = std::make_unique<SqlStatement>(
            db_,
            "SELECT key, value FROM globals WHERE name=?1 AND key>=?2 AND "
            "key<?3 ORDER BY key LIMIT 256");
    } catch (...) {
        Close();
        throw;
    }
}

GlobalStore::~GlobalStore() {
    Close();
}

void GlobalStore::Close() {
    for (auto* s : {&get_, &set_, &delOne_, &delRange_, &next_, &prev_, &walk_})
        s->reset();
    if (db_) {
        if (depth_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

void GlobalStore::Exec(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string why = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw StoreError(std::string(sql).substr(0, 40) + ": " + why);
    }
}

std::optional<std::string> GlobalStore::Get(const GlobalRef& ref) {
    const std::string key = EncodeKey(ref.subscripts);
    get_->Reset();
    get_->Bind(1, ref.name);
    get_->Bind(2, key);
    std::optional<std::string> out;
    if (get_->Step()) out = get_->Column(0);
    get_->Finish();
    return out;
}

std::string GlobalStore::GetOr(const GlobalRef& ref, std::string_view fallback) {
    auto v = Get(ref);
    return v ? *v : std::string(fallback);
}

std::optional<std::string> GlobalStore::FirstKey(const std::string& name, const std::string& low,
                                                 const std::string& high, bool descending) {
    SqlStatement& s = descending ? *prev_ : *next_;
    s.Reset();
    s.Bind(1, name);
    s.Bind(2, low);
    s.Bind(3, high);
    std::optional<std::string> out;
    if (s.Step()) out = s.Column(0);
    s.Finish();
    return out;
}

int GlobalStore::Data(const GlobalRef& ref) {
    const std::string key = EncodeKey(ref.subscripts);
    const int value = Get(ref) ? 1 : 0;
    const bool below = FirstKey(ref.name, key, key + kAfterChildren, false).has_value();
    return value + (below ? 10 : 0);
}

void GlobalStore::Set(const GlobalRef& ref, std::string_view value) {
    if (ref.name.empty()) throw StoreError("a global needs a name");
    const std::string key = EncodeKey(ref.subscripts);
    set_->Reset();
    set_->Bind(1, ref.name);
    set_->Bind(2, key);
    set_->Bind(3, value);
    set_->Step();
    set_->Finish();
}

void GlobalStore::Kill(const GlobalRef& ref) {
    const std::string key = EncodeKey(ref.subscripts);
    delOne_->Reset();
    delOne_->Bind(1, ref.name);
    delOne_->Bind(2, key);
    delOne_->Step();
    delOne_->Finish();
    delRange_->Reset();
    delRange_->Bind(1, ref.name);
    delRange_->Bind(2, key);
    delRange_->Bind(3, key + kAfterChildren);
    delRange_->Step();
    delRange_->Finish();
}

std::string GlobalStore::Order(const GlobalRef& ref, int direction) {
    if (ref.subscripts.empty()) throw StoreError("$ORDER needs a subscript");
    Subscripts parent(ref.subscripts.begin(), ref.subscripts.end() - 1);
    const std::string pk = EncodeKey(parent);
    const std::string& last = ref.subscripts.back();
    std::optional<std::string> found;
    if (last.empty()) {
        found = FirstKey(ref.name, pk, pk + kAfterChildren, direction < 0);
    } else {
        std::string ck = pk;
        AppendEncoded(ck, last);
        if (direction < 0)
            found = FirstKey(ref.name, pk, ck, true);
        else
            found = FirstKey(ref.name, ck + kAfterChildren, pk + kAfterChildren, false);
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
        walk_->Reset();
        walk_->Bind(1, ref.name);
        walk_->Bind(2, low);
        walk_->Bind(3, high);
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
}

void GlobalStore::Begin() {
    if (depth_++ == 0) {
        rollbackOnly_ = false;
        try {
            Exec("BEGIN IMMEDIATE");
        } catch (...) {
            depth_ = 0;
            throw;
        }
    }
}

void GlobalStore::End(bool commit) {
    if (!commit) rollbackOnly_ = true;
    if (--depth_ > 0) return;
    if (rollbackOnly_) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        if (commit) throw StoreError("an inner transaction failed; nothing was stored");
        return;
    }
    if (sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        const std::string why = sqlite3_errmsg(db_);
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw StoreError("commit: " + why);
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

}  // namespace vorn::devserver
