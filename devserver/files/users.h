// The users: who may sign on with which codes, which contexts they may create and what they
// may do with each file. Kept in the "users" table of the server's database (not in a global,
// so that no M code a client sends can read it); codes only as salted PBKDF2 hashes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devserver/files/section_file.h"
#include "devserver/storage/global_store.h"

namespace vorn::devserver {

struct FileDef;

// A user's rights on one file.
struct FileAccess {
    bool read = false;
    bool write = false;
    bool del = false;
    bool laygo = false;  // may add new entries
    bool operator==(const FileAccess&) const = default;
};

struct User {
    long duz = 0;  // the user's number
    std::string name;
    std::string division;
    std::vector<std::string> contexts;
    FileAccess rights;  // on every file that is not read-only
    bool mustChange = false;
    bool suspended = false;
    std::string lastSignOn;  // "DEC 6, 2026 at 14:03", empty before the first sign-on

    bool MayUseContext(const std::string& context) const;
};

// What a user may do with `file`: read-only files give READ at most.
FileAccess AccessFor(const User& user, const FileDef& file);

// Operates on the users table through a store's connection; one per session, like the store.
class UserStore {
  public:
    explicit UserStore(GlobalStore& store, int iterations = kDefaultIterations);

    // Replaces every user with those of the sections (from data/users.txt), in the caller's
    // transaction.
    void Seed(const std::vector<Section>& sections);
    // The user whose access and verify codes these are (compared in upper case).
    std::optional<User> FindByCodes(const std::string& access, const std::string& verify);
    // The user with this access code, whatever the verify code (for --auto-signon).
    std::optional<User> FindByAccess(const std::string& access);
    std::optional<User> ByDuz(long duz);
    bool VerifyMatches(long duz, const std::string& verify);
    // Stores the new verify code's hash and clears the must-change mark.
    void ChangeVerify(long duz, const std::string& verify);
    void RecordSignOn(long duz, const std::string& when);
    // Number of users; the stored text of each hash, for tests that look for plain codes.
    std::vector<std::string> StoredCredentialTexts();

    static constexpr int kDefaultIterations = 2000;

  private:
    std::string Hash(const std::string& code, const std::string& salt, int iterations) const;
    GlobalStore& store_;
    int iterations_;
};

}  // namespace vorn::devserver
