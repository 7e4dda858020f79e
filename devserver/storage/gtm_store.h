// M globals kept in a GT.M database (--engine gtm): the same store, with M itself collating.
//
// A GT.M transaction cannot stay open across call-ins, so a write transaction gathers its
// writes here (reads inside it see them) and commits them with one call that runs them between
// TSTART and TCOMMIT: all or nothing, restarts handled by GT.M. Writers take turns with an M
// LOCK on ^%ZVRNW, held from the first write of a transaction to its end, which serialises them
// across processes as SQLite's BEGIN IMMEDIATE does. Reads outside a write transaction see each
// committed transaction whole, but there is no snapshot across several reads.
//
// The meta table and the users are globals of their own (^%ZVRNM, ^%ZVRNU); GlobalNames and
// screens never see globals whose name starts with "%ZVRN".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "devserver/storage/global_store.h"
#include "devserver/storage/gtm_runtime.h"

namespace vorn::devserver {

inline constexpr const char* kGtmInternalPrefix = "%ZVRN";
inline constexpr const char* kGtmMetaGlobal = "%ZVRNM";
inline constexpr const char* kGtmUserGlobal = "%ZVRNU";
// The routine stops adding nodes to a reply once it holds more bytes than this (gtm_routine.h).
inline constexpr long kStepsOutputBytes = 524288;

class GtmGlobalStore final : public GlobalStore {
  public:
    // Opens the database of a folder that PrepareGtmFolder made ready.
    explicit GtmGlobalStore(const GtmFolder& folder);
    ~GtmGlobalStore() override;

    std::optional<std::string> Get(const GlobalRef& ref) override;
    int Data(const GlobalRef& ref) override;
    void Set(const GlobalRef& ref, std::string_view value) override;
    void Kill(const GlobalRef& ref) override;
    void Walk(const GlobalRef& ref,
              const std::function<bool(const GlobalRef&, const std::string&)>& visit) override;
    std::optional<std::string> KeyBetween(const std::string& name, const std::string& low,
                                          const std::string& high, int direction = 1) override;
    std::vector<std::string> KeysBetween(const std::string& name, const std::string& low,
                                         const std::string& high, int direction,
                                         int limit) override;
    // Backwards outside a write transaction, by $ORDER on the two levels only.
    std::vector<std::string> EntryKeysBetween(const GlobalRef& root, const std::string& low,
                                              const std::string& high, int direction,
                                              int limit) override;
    // One call-in for the first node after each parent(child), kept for the steps that ask.
    void ReadAhead(const GlobalRef& parent, const std::vector<std::string>& children) override;
    bool ReadsAhead() const override { return true; }
    std::vector<std::string> GlobalNames() override;
    void ClearAll() override;
    std::optional<std::string> Meta(const std::string& key) override;
    void SetMeta(const std::string& key, const std::string& value) override;

    // An M LOCK of the node, incremental, waiting at most `seconds`: it belongs to this process.
    bool Lock(const GlobalRef& ref, int seconds = 0);
    void Unlock(const GlobalRef& ref);

  protected:
    void Begin() override;
    void End(bool commit) override;
    void BeginRead() override {
        inReadCall_ = true;
        Forget();
    }
    void EndRead() override {
        inReadCall_ = false;
        Forget();
    }

  private:
    std::vector<std::string> AllGlobalNames();
    struct Found {
        std::string key, value;
    };
    // The database alone, without this transaction's writes.
    std::optional<std::string> DbGet(const std::string& name, const Subscripts& subs);
    std::optional<Found> DbKeyBetween(const std::string& name, const std::string& low,
                                      const std::string& high, int direction);
    std::optional<Found> DbStep(const std::string& name, const std::string& key, bool after,
                                bool skipOrWithin);
    void DbSet(const std::string& name, const Subscripts& subs, std::string_view value);
    void DbKill(const std::string& name, const Subscripts& subs);
    // Up to `limit` keys strictly between `low` and `high`, read by `call` (which runs a routine
    // that steps from the node `s` with `flag`, at most `wanted` keys, into `o`) batch after
    // batch, each next batch from the last key with `flagOnward`.
    std::vector<std::string> KeysInBatches(
        const std::string& low, const std::string& high, bool back, int limit, Subscripts start,
        bool flag, bool flagOnward,
        const std::function<void(GtmString& s, long flag, long wanted, GtmString& o)>& call);
    // The killed subtree of this transaction that holds `key`, if any.
    const std::string* KilledOver(const std::string& name, const std::string& key) const;

    GtmFolder folder_;
    GtmRuntime& runtime_;
    std::string gld_;
    // The open write transaction's writes: the values set, by global and key, and the subtrees
    // killed (each by its key). A set after a kill of its subtree is in `sets_`.
    std::map<std::string, std::map<std::string, std::string>> sets_;
    std::map<std::string, std::vector<std::string>> kills_;
    bool writerLock_ = false;
    // Inside a call that only reads: the nodes that steps found, with the values that came with
    // them, each for one Get of that node later in the call (a listing finds each record's first
    // node, then reads the records it keeps: one call-in a record instead of two). A write and
    // the call's end drop them.
    static constexpr std::size_t kSteppedNodes = 256;
    bool inReadCall_ = false;
    std::unordered_map<std::string, std::string> stepped_;  // by global name, NUL, key
    // Read ahead in a call that only reads: the first node with a value after a node (nullopt:
    // none), by global name, NUL, the node's key; each answers one step forward from there.
    std::unordered_map<std::string, std::optional<Found>> firstAfter_;
    void Forget() {
        stepped_.clear();
        firstAfter_.clear();
    }
};

}  // namespace vorn::devserver
