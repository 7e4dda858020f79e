#include "devserver/users.h"

#include <sqlite3.h>

#include <algorithm>

#include "devserver/code_hash.h"
#include "devserver/dictionary.h"
#include "devserver/text.h"

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
    SqlStatement q(store_.Handle(),
                   (std::string("SELECT ") + kColumns + " FROM users WHERE duz=?1").c_str());
    q.BindInt(1, duz);
    if (!q.Step()) return std::nullopt;
    return ReadUser(q);
}

bool UserStore::VerifyMatches(long duz, const std::string& verify) {
    SqlStatement q(store_.Handle(), "SELECT salt, iterations, verify_hash FROM users WHERE duz=?1");
    q.BindInt(1, duz);
    if (!q.Step()) return false;
    return ConstantTimeEqual(Hash(verify, q.Column(0), static_cast<int>(q.IntColumn(1))),
                             q.Column(2));
}

void UserStore::ChangeVerify(long duz, const std::string& verify) {
    store_.Atomically([&] {
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
        SqlStatement(store_.Handle(), "UPDATE users SET last_signon=?1 WHERE duz=?2")
            .Bind(1, when)
            .BindInt(2, duz)
            .Step();
    });
}

std::vector<std::string> UserStore::StoredCredentialTexts() {
    SqlStatement q(store_.Handle(), "SELECT salt, access_hash, verify_hash FROM users");
    std::vector<std::string> out;
    while (q.Step())
        for (int i = 0; i < 3; ++i)
            out.push_back(q.Column(i));
    return out;
}

}  // namespace vorn::devserver
