// One session: one call-back connection and everything it holds. The signed-on user, a pending
// verify-code change, the failed sign-on attempts, the created contexts, its record locks and its
// stored documents, and its own connection to the database. All of it goes when the Session is
// destroyed, however the connection ended.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "devserver/files/dictionary.h"
#include "devserver/files/users.h"
#include "devserver/m/fm_dates.h"
#include "devserver/net/call_log.h"
#include "devserver/net/clock.h"
#include "devserver/net/document_store.h"
#include "devserver/net/lock_table.h"
#include "devserver/procedures/procedure_registry.h"
#include "devserver/storage/global_store.h"
#include "devserver/storage/store_engine.h"

namespace vorn::devserver {

class GtmGlobalStore;

// What every session shares: set up by the server before the first connection and read-only
// afterwards, apart from the lock table and the document store, which lock themselves.
struct ServerContext {
    std::string databasePath;
    StoreLocation storeLocation;    // the engine and its path (databasePath)
    bool readOnly = false;          // --read-only
    bool sessionProcesses = false;  // see ServerOptions
    std::shared_ptr<const Dictionary> dictionary;
    const Clock* clock = &SystemClock();
    const ProcedureRegistry* registry = nullptr;
    CallLog* log = nullptr;
    LockTable locks;
    DocumentStore documents;         // with the budgets of --document-budget
    std::size_t spoolCap = 0;        // --spool-cap: bytes a device's spool file may reach
    std::string serverName;          // line 0 of "XUS SIGNON SETUP"
    int port = 0;                    // the listener port, line 3
    std::optional<long> autoSignOn;  // --auto-signon: every session starts signed on as this user
    std::string spoolFolder;         // --spool: where server printers' documents go
    std::mutex spoolLock;            // one document at a time into the spool files
    int hashIterations = UserStore::kDefaultIterations;
};

// The answer of a --read-only server (a replication secondary) to a call that changes data.
inline constexpr const char* kReadOnlyRefusal =
    "This server is read-only (a replica): changes are made on the primary server.";

class Session {
  public:
    Session(ServerContext& server, int id);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int id() const { return id_; }
    ServerContext& server() { return server_; }
    GlobalStore& store() { return *store_; }
    UserStore& users() { return *users_; }
    const Dictionary& dictionary() const { return *server_.dictionary; }
    const Clock& clock() const { return *server_.clock; }
    CivilDate Today() const { return LocalDate(clock().WallNow()); }

    // --- who is signed on ---
    bool SignedOn() const { return user_.has_value(); }
    // The signed-on user (DUZ and rights); only while SignedOn().
    const User& user() const { return *user_; }
    long Duz() const { return user_ ? user_->duz : 0; }
    void SignOn(const User& user);
    // A user who gave the right codes but must change the verify code first.
    const std::optional<long>& PendingUser() const { return pendingDuz_; }
    void SetPendingUser(std::optional<long> duz) { pendingDuz_ = duz; }
    int failedAttempts = 0;

    bool HasContext(const std::string& context) const { return contexts_.count(context) > 0; }
    void AddContext(const std::string& context) { contexts_.insert(context); }

    // The signed-on user's rights on a file (nothing before sign-on).
    FileAccess Access(const FileDef& file) const;

    // --- record locks: per top-level record; `iens` innermost first as ParseIens gives them ---
    bool LockRecord(const FileDef& file, const std::vector<std::string>& iens);
    bool UnlockRecord(const FileDef& file, const std::vector<std::string>& iens);
    bool LockedByOther(const FileDef& file, const std::vector<std::string>& iens) const;
    SessionLocks& locks() { return locks_; }

    // --- stored documents ---
    SessionDocuments& documents() { return documents_; }
    const DocumentStore& documentStore() const { return server_.documents; }

    // Runs one call through the registry.
    Reply Handle(const Call& call);
    // The procedures that change stored data, refused by a --read-only server.
    static bool ChangesData(const std::string& procedure);
    bool ReadOnly() const { return server_.readOnly; }
    // A line in the server's log about this session.
    void Note(const std::string& text);

  private:
    // The top-level file and record that a (sub-)file record's lock stands on.
    std::pair<std::string, std::string> LockKey(const FileDef& file,
                                                const std::vector<std::string>& iens) const;
    // On GT.M a record this process locks is an M LOCK of its node too, so that M processes
    // on the same database and this server exclude each other: taken with the first count
    // of any session, given back with the last.
    bool MLock(const std::string& file, const std::string& ien);
    // The M LOCK of a record of a session served by a process of its own; null otherwise.
    GtmGlobalStore* ProcessLocks() const;
    std::optional<GlobalRef> RecordNode(const std::string& file, const std::string& ien) const;
    std::map<std::pair<std::string, std::string>, int> held_;  // counts of ProcessLocks
    void MUnlock(const std::string& file, const std::string& ien);

    ServerContext& server_;
    const int id_;
    std::unique_ptr<GlobalStore> store_;
    std::unique_ptr<UserStore> users_;
    std::optional<User> user_;
    std::optional<long> pendingDuz_;
    std::set<std::string> contexts_;
    SessionLocks locks_;
    SessionDocuments documents_;
};

}  // namespace vorn::devserver
