#include "devserver/files/users.h"

#include <sqlite3.h>

#include <algorithm>

#include "devserver/files/code_hash.h"
#include "devserver/files/dictionary.h"
#include "devserver/m/text.h"
#include "devserver/storage/gtm_store.h"

namespace vorn::devserver {
namespace {

constexpr const char* kColumns =
    "duz, name, division, contexts, rights, must_change, suspended, last_signon";

User ReadUser(SqlStatement& q) {
    User u;
    u.duz = static_cast<long>(q.IntColumn(0));
    u.name = q.Column(1);
    u.division = q.Column(2);
    u.contexts = Words(q.Column(3));
    for (const std::string& r : Words(q.Column(4))) {
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

// On an engine without SQL the users are the global ^%ZVRNU(duz,column), which no screen reads.
GlobalRef UserNode(long duz, const char* column) {
    return GlobalRef{kGtmUserGlobal, {std::to_string(duz), column}};
}

std::vector<long> UserNumbers(GlobalStore& store) {
    std::vector<long> out;
    for (std::string duz = store.Order(GlobalRef{kGtmUserGlobal, {""}}); !duz.empty();
         duz = store.Order(GlobalRef{kGtmUserGlobal, {duz}}))
        out.push_back(std::stol(duz));
    return out;
}

User ReadUser(GlobalStore& store, long duz) {
    auto col = [&](const char* c) { return store.GetOr(UserNode(duz, c)); };
    User u;
    u.duz = duz;
    u.name = col("name");
    u.division = col("division");
    u.contexts = Words(col("contexts"));
    for (const std::string& r : Words(col("rights"))) {
        if (r == "READ") u.rights.read = true;
        if (r == "WRITE") u.rights.write = true;
        if (r == "DEL") u.rights.del = true;
        if (r == "LAYGO") u.rights.laygo = true;
    }
    u.mustChange = col("must_change") == "1";
    u.suspended = col("suspended") == "1";
    u.lastSignOn = col("last_signon");
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
    if (!store_.Handle()) return;
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
    if (store_.Handle())
        store_.Exec("DELETE FROM users");
    else
        store_.Kill(GlobalRef{kGtmUserGlobal, {}});
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
        if (!store_.Handle()) {
            const auto opt = [&](const char* key) { return s.One(key) ? *s.One(key) : ""; };
            const std::pair<const char*, std::string> columns[] = {
                {"name", need("name")},
                {"division", opt("division")},
                {"contexts", opt("contexts")},
                {"rights", opt("rights")},
                {"must_change", yes("must-change") ? "1" : "0"},
                {"suspended", yes("suspended") ? "1" : "0"},
                {"last_signon", ""},
                {"salt", salt},
                {"iterations", std::to_string(iterations_)},
                {"access_hash", Hash(need("access"), salt, iterations_)},
                {"verify_hash", Hash(need("verify"), salt, iterations_)}};
            for (const auto& [column, value] : columns)
                store_.Set(UserNode(duz, column), value);
            continue;
        }
        SqlStatement(
            store_.Handle(),
            "INSERT INTO users(duz, name, division, contexts, rights, must_change, suspended, "
            "last_signon, salt, iterations, access_hash, verify_hash) "
            "VALUES(?1,?2,?3,?4,?5,?6,?7,'',?8,?9,?10,?11)")
            .BindInt(1, duz)
            .Bind(2, need("name"))
            .Bind(3, s.One("division") ? *s.One("division") : "")
            .Bind(4, s.One("contexts") ? *s.One("contexts") : "")
            .Bind(5, s.One("rights") ? *s.One("rights") : "")
            .BindInt(6, yes("must-change"))
            .BindInt(7, yes("suspended"))
            .Bind(8, salt)
            .BindInt(9, iterations_)
            .Bind(10, Hash(need("access"), salt, iterations_))
            .Bind(11, Hash(need("verify"), salt, iterations_))
            .Step();
    }
}

std::optional<User> UserStore::FindByAccess(const std::string& access) {
    if (!store_.Handle()) {
        std::optional<User> found;
        for (long duz : UserNumbers(store_)) {
            const int iterations = std::stoi(store_.GetOr(UserNode(duz, "iterations"), "1"));
            const bool match =
                ConstantTimeEqual(Hash(access, store_.GetOr(UserNode(duz, "salt")), iterations),
                                  store_.GetOr(UserNode(duz, "access_hash")));
            if (match && !found) found = ReadUser(store_, duz);
        }
        return found;
    }
    SqlStatement q(store_.Handle(), (std::string("SELECT ") + kColumns +
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
    if (!store_.Handle()) {
        if (!store_.Get(UserNode(duz, "name"))) return std::nullopt;
        return ReadUser(store_, duz);
    }
    SqlStatement q(store_.Handle(),
                   (std::string("SELECT ") + kColumns + " FROM users WHERE duz=?1").c_str());
    q.BindInt(1, duz);
    if (!q.Step()) return std::nullopt;
    return ReadUser(q);
}

bool UserStore::VerifyMatches(long duz, const std::string& verify) {
    if (!store_.Handle()) {
        const auto salt = store_.Get(UserNode(duz, "salt"));
        if (!salt) return false;
        const int iterations = std::stoi(store_.GetOr(UserNode(duz, "iterations"), "1"));
        return ConstantTimeEqual(Hash(verify, *salt, iterations),
                                 store_.GetOr(UserNode(duz, "verify_hash")));
    }
    SqlStatement q(store_.Handle(), "SELECT salt, iterations, verify_hash FROM users WHERE duz=?1");
    q.BindInt(1, duz);
    if (!q.Step()) return false;
    return ConstantTimeEqual(Hash(verify, q.Column(0), static_cast<int>(q.IntColumn(1))),
                             q.Column(2));
}

void UserStore::ChangeVerify(long duz, const std::string& verify) {
    store_.Atomically([&] {
        if (!store_.Handle()) {
            const auto salt = store_.Get(UserNode(duz, "salt"));
            if (!salt) throw StoreError("no user " + std::to_string(duz));
            const int iterations = std::stoi(store_.GetOr(UserNode(duz, "iterations"), "1"));
            store_.Set(UserNode(duz, "verify_hash"), Hash(verify, *salt, iterations));
            store_.Set(UserNode(duz, "must_change"), "0");
            return;
        }
        SqlStatement q(store_.Handle(), "SELECT salt, iterations FROM users WHERE duz=?1");
        q.BindInt(1, duz);
        if (!q.Step()) throw StoreError("no user " + std::to_string(duz));
        const std::string salt = q.Column(0);
        const int iterations = static_cast<int>(q.IntColumn(1));
        SqlStatement(store_.Handle(), "UPDATE users SET verify_hash=?1, must_change=0 WHERE duz=?2")
            .Bind(1, Hash(verify, salt, iterations))
            .BindInt(2, duz)
            .Step();
    });
}

void UserStore::RecordSignOn(long duz, const std::string& when) {
    store_.Atomically([&] {
        if (!store_.Handle()) {
            if (store_.Get(UserNode(duz, "name"))) store_.Set(UserNode(duz, "last_signon"), when);
            return;
        }
        SqlStatement(store_.Handle(), "UPDATE users SET last_signon=?1 WHERE duz=?2")
            .Bind(1, when)
            .BindInt(2, duz)
            .Step();
    });
}

std::vector<std::string> UserStore::StoredCredentialTexts() {
    if (!store_.Handle()) {
        std::vector<std::string> out;
        for (long duz : UserNumbers(store_))
            for (const char* c : {"salt", "access_hash", "verify_hash"})
                out.push_back(store_.GetOr(UserNode(duz, c)));
        return out;
    }
    SqlStatement q(store_.Handle(), "SELECT salt, access_hash, verify_hash FROM users");
    std::vector<std::string> out;
    while (q.Step())
        for (int i = 0; i < 3; ++i)
            out.push_back(q.Column(i));
    return out;
}

}  // namespace vorn::devserver
