#include "devserver/users.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "devserver/code_hash.h"
#include "devserver/dictionary.h"

namespace vorn::devserver {
namespace {

std::string Upper(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// A statement over the users table; throws StoreError.
class Query {
  public:
    Query(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK)
            throw StoreError(std::string("users: ") + sqlite3_errmsg(db));
    }
    ~Query() { sqlite3_finalize(stmt_); }
    Query& Text(int i, const std::string& v) {
        sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query& Int(int i, long long v) {
        sqlite3_bind_int64(stmt_, i, v);
        return *this;
    }
    bool Step() {
        const int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        throw StoreError(std::string("users: ") + sqlite3_errmsg(db_));
    }
    std::string Column(int i) {
        const void* p = sqlite3_column_blob(stmt_, i);
        return p ? std::string(static_cast<const char*>(p),
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
                 : std::string();
    }
    long long IntColumn(int i) { return sqlite3_column_int64(stmt_, i); }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

constexpr const char* kColumns =
    "duz, name, division, contexts, rights, must_change, suspended, last_signon";

User ReadUser(Query& q) {
    User u;
    u.duz = static_cast<long>(q.IntColumn(0));
    u.name = q.Column(1);
    u.division = q.Column(2);
    u.contexts = SplitWords(q.Column(3));
    for (const std::string& r : SplitWords(q.Column(4))) {
        if (r == "READ") u.rights.read = true;
        if (r == "WRITE") u.rights.write = true;
        if (r == "DEL") u.rights.del = true;
        if (r == "LAYGO") u.rights.laygo = true;
    }
    u.mustChange = q.IntColumn(5) != 0;
    u.suspended = q.IntColumn(6) != 0;
    u.lastSignOn = q.Column(7);
    return u;
}

}  // namespace

bool User::MayUseContext(const std::string& context) const {
    return std::find(contexts.begin(), contexts.end(), context) != contexts.end();
}

FileAccess AccessFor(const User& user, const FileDef& file) {
    FileAccess a = user.rights;
    if (file.readOnly) a = FileAccess{a.read, false, false, false};
    return a;
}

UserStore::UserStore(GlobalStore& store, int iterations) : store_(store), iterations_(iterations) {
    store_.Exec(
        "CREATE TABLE IF NOT EXISTS users(duz INTEGER PRIMARY KEY, name TEXT NOT NULL, "
        "division TEXT NOT NULL, contexts TEXT NOT NULL, rights TEXT NOT NULL, "
        "must_change INTEGER NOT NULL, suspended INTEGER NOT NULL, last_signon TEXT NOT NULL, "
        "salt BLOB NOT NULL, iterations INTEGER NOT NULL, access_hash BLOB NOT NULL, "
        "verify_hash BLOB NOT NULL)");
}

std::string UserStore::Hash(const std::string& code, const std::string& salt,
                            int iterations) const {
    return Pbkdf2(Upper(code), salt, iterations);
}

void UserStore::Seed(const std::vector<Section>& sections) {
    store_.Exec("DELETE FROM users");
    for (const Section& s : sections) {
        if (s.kind != "user" || s.args.size() != 1) s.Fail("the heading is [user NUMBER]");
        const long duz = std::stol(s.args[0]);
        auto need = [&](const char* key) {
            const std::string* v = s.One(key);
            if (!v || v->empty()) s.Fail(std::string("a user has \"") + key + "\"");
            return *v;
        };
        auto yes = [&](const char* key) {
            const std::string* v = s.One(key);
            return v && *v == "yes";
        };
        const std::string salt = RandomSalt();
        Query(store_.Handle(),
              "INSERT INTO users(duz, name, division, contexts, rights, must_change, suspended, "
              "last_signon, salt, iterations, access_hash, verify_hash) "
              "VALUES(?1,?2,?3,?4,?5,?6,?7,'',?8,?9,?10,?11)")
            .Int(1, duz)
            .Text(2, need("name"))
            .Text(3, s.One("division") ? *s.One("division") : "")
            .Text(4, s.One("contexts") ? *s.One("contexts") : "")
            .Text(5, s.One("rights") ? *s.One("rights") : "")
            .Int(6, yes("must-change"))
            .Int(7, yes("suspended"))
            .Text(8, salt)
            .Int(9, iterations_)
            .Text(10, Hash(need("access"), salt, iterations_))
            .Text(11, Hash(need("verify"), salt, iterations_))
            .Step();
    }
}

std::optional<User> UserStore::FindByAccess(const std::string& access) {
    Query q(store_.Handle(), (std::string("SELECT ") + kColumns +
                              ", salt, iterations, access_hash FROM users ORDER BY duz")
                                 .c_str());
    std::optional<User> found;
    // Every user is hashed, whether or not an earlier one matched, so the time taken tells
    // nothing about which access codes exist.
    while (q.Step()) {
        const bool match = ConstantTimeEqual(
            Hash(access, q.Column(8), static_cast<int>(q.IntColumn(9))), q.Column(10));
        if (match && !found) found = ReadUser(q);
    }
    return found;
}

std::optional<User> UserStore::FindByCodes(const std::string& access, const std::string& verify) {
    auto user = FindByAccess(access);
    if (!user) {
        Hash(verify, "salt-of-nobody", iterations_);  // as long as a match would take
        return std::nullopt;
    }
    if (!VerifyMatches(user->duz, verify)) return std::nullopt;
    return user;
}

std::optional<User> UserStore::ByDuz(long duz) {
    Query q(store_.Handle(),
            (std::string("SELECT ") + kColumns + " FROM users WHERE duz=?1").c_str());
    q.Int(1, duz);
    if (!q.Step()) return std::nullopt;
    return ReadUser(q);
}

bool UserStore::VerifyMatches(long duz, const std::string& verify) {
    Query q(store_.Handle(), "SELECT salt, iterations, verify_hash FROM users WHERE duz=?1");
    q.Int(1, duz);
    if (!q.Step()) return false;
    return ConstantTimeEqual(Hash(verify, q.Column(0), static_cast<int>(q.IntColumn(1))),
                             q.Column(2));
}

void UserStore::ChangeVerify(long duz, const std::string& verify) {
    store_.Atomically([&] {
        Query q(store_.Handle(), "SELECT salt, iterations FROM users WHERE duz=?1");
        q.Int(1, duz);
        if (!q.Step()) throw StoreError("no user " + std::to_string(duz));
        const std::string salt = q.Column(0);
        const int iterations = static_cast<int>(q.IntColumn(1));
        Query(store_.Handle(), "UPDATE users SET verify_hash=?1, must_change=0 WHERE duz=?2")
            .Text(1, Hash(verify, salt, iterations))
            .Int(2, duz)
            .Step();
    });
}

void UserStore::RecordSignOn(long duz, const std::string& when) {
    store_.Atomically([&] {
        Query(store_.Handle(), "UPDATE users SET last_signon=?1 WHERE duz=?2")
            .Text(1, when)
            .Int(2, duz)
            .Step();
    });
}

std::vector<std::string> UserStore::StoredCredentialTexts() {
    Query q(store_.Handle(), "SELECT salt, access_hash, verify_hash FROM users");
    std::vector<std::string> out;
    while (q.Step())
        for (int i = 0; i < 3; ++i)
            out.push_back(q.Column(i));
    return out;
}

}  // namespace vorn::devserver
