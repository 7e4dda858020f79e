#include "devserver/storage/gtm_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "devserver/storage/gtm_name.h"

namespace vorn::devserver {
namespace {

using namespace std::chrono_literals;

// Ten decimal digits of length, then the bytes.
void AppendCounted(std::string& out, std::string_view bytes) {
    char count[10];
    std::size_t n = bytes.size();
    for (int i = 9; i >= 0; --i, n /= 10)
        count[i] = static_cast<char>('0' + n % 10);
    out.append(count, sizeof count);
    out += bytes;
}

std::string CountedSubscripts(const Subscripts& subs) {
    std::string out;
    for (const std::string& s : subs)
        AppendCounted(out, s);
    return out;
}

// One counted item off the front of `rest`; nullopt when what is left is cut short.
std::optional<std::string_view> TakeCounted(std::string_view& rest) {
    if (rest.size() < 10) return std::nullopt;
    std::size_t n = 0;
    for (const char c : rest.substr(0, 10)) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (rest.size() - 10 < n) return std::nullopt;
    const std::string_view item = rest.substr(10, n);
    rest.remove_prefix(10 + n);
    return item;
}

StoreError UnreadableName(std::string_view name) {
    std::string shown;
    for (const char c : name.substr(0, 200)) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 32 && b < 127) {
            shown += c;
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", b);
            shown += code;
        }
    }
    return StoreError("GT.M gave a node name that cannot be read: " + shown);
}

// The key of a node the routine found, from the name GT.M wrote for it.
std::string KeyOfName(std::string_view name) {
    std::optional<std::string> key = GtmNameKey(name);
    if (!key) throw UnreadableName(name);
    return std::move(*key);
}

GtmString In(std::string_view s) {
    return GtmString{static_cast<long>(s.size()), const_cast<char*>(s.data())};
}

bool EndsAfterChildren(const std::string& key) {
    return !key.empty() && key.back() == kAfterChildren;
}

bool IsUnder(const std::string& key, const std::string& node) {
    return key.compare(0, node.size(), node) == 0;
}

// Threads of one process share its M locks, so they take turns here before taking ^%ZVRNW.
std::timed_mutex& ProcessWriters(const std::string& gld) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<std::timed_mutex>> writers;
    const std::lock_guard hold(mutex);
    auto& w = writers[gld];
    if (!w) w = std::make_unique<std::timed_mutex>();
    return *w;
}

constexpr int kWriterWaitSeconds = 15;

// The routine's reads of nodes one to six subscripts deep, which take the subscripts as
// arguments.
constexpr const char* kGetByDepth[] = {"vget1", "vget2", "vget3", "vget4", "vget5", "vget6"};
constexpr const char* kDataByDepth[] = {"vdata1", "vdata2", "vdata3", "vdata4", "vdata5", "vdata6"};

// Calls `call` with the global's name (caret first) and a pointer to each subscript, when the
// node is one to six subscripts deep; false otherwise.
template <typename Call>
bool ByDepth(const std::string& name, const Subscripts& subs, const Call& call) {
    GtmString a[6];
    const std::size_t n = subs.size();
    if (n < 1 || n > 6) return false;
    for (std::size_t i = 0; i < n; ++i)
        a[i] = In(subs[i]);
    const std::string global = "^" + name;
    switch (n) {
        case 1:
            call(global, &a[0]);
            break;
        case 2:
            call(global, &a[0], &a[1]);
            break;
        case 3:
            call(global, &a[0], &a[1], &a[2]);
            break;
        case 4:
            call(global, &a[0], &a[1], &a[2], &a[3]);
            break;
        case 5:
            call(global, &a[0], &a[1], &a[2], &a[3], &a[4]);
            break;
        default:
            call(global, &a[0], &a[1], &a[2], &a[3], &a[4], &a[5]);
            break;
    }
    return true;
}

}  // namespace

GtmGlobalStore::GtmGlobalStore(const GtmFolder& folder)
    : folder_(folder), runtime_(GtmRuntime::For(folder)), gld_(folder.Gld()) {}

GtmGlobalStore::~GtmGlobalStore() {
    if (depth_ > 0) {
        depth_ = 1;
        rollbackOnly_ = true;
        try {
            End(false);
        } catch (...) {
        }
    }
}

std::optional<std::string> GtmGlobalStore::DbGet(const std::string& name, const Subscripts& subs) {
    const std::lock_guard hold(runtime_.mutex());
    GtmString v = runtime_.Out(0);
    long has = 0;
    if (!ByDepth(name, subs, [&](const std::string& global, auto... each) {
            runtime_.Call(gld_, kGetByDepth[sizeof...(each) - 1], global.c_str(), each..., &v,
                          &has);
        })) {
        const std::string counted = CountedSubscripts(subs);
        GtmString s = In(counted);
        runtime_.Call(gld_, "vget", name.c_str(), &s, &v, &has);
    }
    if (!has) return std::nullopt;
    return std::string(v.address, static_cast<std::size_t>(v.length));
}

void GtmGlobalStore::DbSet(const std::string& name, const Subscripts& subs,
                           std::string_view value) {
    const std::string counted = CountedSubscripts(subs);
    GtmString s = In(counted), v = In(value);
    runtime_.Call(gld_, "vset", name.c_str(), &s, &v);
}

void GtmGlobalStore::DbKill(const std::string& name, const Subscripts& subs) {
    const std::string counted = CountedSubscripts(subs);
    GtmString s = In(counted);
    runtime_.Call(gld_, "vkill", name.c_str(), &s);
}

std::optional<GtmGlobalStore::Found> GtmGlobalStore::DbStep(const std::string& name,
                                                            const std::string& key, bool after,
                                                            bool skipOrWithin) {
    if (after && !skipOrWithin && !firstAfter_.empty()) {
        if (auto n = firstAfter_.find(name + '\0' + key); n != firstAfter_.end()) {
            std::optional<Found> found = std::move(n->second);
            firstAfter_.erase(n);
            return found;
        }
    }
    const std::string counted = CountedSubscripts(DecodeKey(key));
    GtmString s = In(counted);
    const std::lock_guard hold(runtime_.mutex());
    GtmString o = runtime_.Out(0), v = runtime_.Out(1);
    long found = 0;
    runtime_.Call(gld_, after ? "vnext" : "vprev", name.c_str(), &s, skipOrWithin ? 1L : 0L, &o, &v,
                  &found);
    if (!found) return std::nullopt;
    return Found{KeyOfName(std::string_view(o.address, static_cast<std::size_t>(o.length))),
                 std::string(v.address, static_cast<std::size_t>(v.length))};
}

std::optional<GtmGlobalStore::Found> GtmGlobalStore::DbKeyBetween(const std::string& name,
                                                                  const std::string& low,
                                                                  const std::string& high,
                                                                  int direction) {
    std::string from = direction < 0 ? high : low;
    for (;;) {
        const bool children = EndsAfterChildren(from);
        const std::string node = children ? from.substr(0, from.size() - 1) : from;
        std::optional<Found> f = DbStep(name, node, direction >= 0, children);
        if (!f) return std::nullopt;
        if (direction >= 0 ? !(f->key < high) : !(f->key > low)) return std::nullopt;
        const std::string* killed = KilledOver(name, f->key);
        if (!killed) return f;
        from = direction >= 0 ? *killed + kAfterChildren : *killed;
    }
}

const std::string* GtmGlobalStore::KilledOver(const std::string& name,
                                              const std::string& key) const {
    const auto k = kills_.find(name);
    if (k == kills_.end()) return nullptr;
    for (const std::string& node : k->second)
        if (IsUnder(key, node)) return &node;
    return nullptr;
}

std::optional<std::string> GtmGlobalStore::Get(const GlobalRef& ref) {
    if (!stepped_.empty()) {
        if (auto n = stepped_.find(ref.name + '\0' + EncodeKey(ref.subscripts));
            n != stepped_.end()) {
            std::string value = std::move(n->second);
            stepped_.erase(n);
            return value;
        }
    }
    if (depth_ > 0) {
        const std::string key = EncodeKey(ref.subscripts);
        if (auto g = sets_.find(ref.name); g != sets_.end())
            if (auto v = g->second.find(key); v != g->second.end()) return v->second;
        if (KilledOver(ref.name, key)) return std::nullopt;
    }
    return DbGet(ref.name, ref.subscripts);
}

int GtmGlobalStore::Data(const GlobalRef& ref) {
    if (depth_ == 0) {
        long data = 0;
        if (!ByDepth(ref.name, ref.subscripts, [&](const std::string& global, auto... each) {
                runtime_.Call(gld_, kDataByDepth[sizeof...(each) - 1], global.c_str(), each...,
                              &data);
            })) {
            const std::string counted = CountedSubscripts(ref.subscripts);
            GtmString s = In(counted);
            runtime_.Call(gld_, "vdata", ref.name.c_str(), &s, &data);
        }
        return static_cast<int>(data);
    }
    const std::string key = EncodeKey(ref.subscripts);
    const bool value = Get(ref).has_value();
    const bool below = KeyBetween(ref.name, key, key + kAfterChildren, 1).has_value();
    return (value ? 1 : 0) + (below ? 10 : 0);
}

void GtmGlobalStore::Set(const GlobalRef& ref, std::string_view value) {
    Forget();
    if (ref.name.empty()) throw StoreError("a global needs a name");
    if (depth_ == 0) return DbSet(ref.name, ref.subscripts, value);
    sets_[ref.name][EncodeKey(ref.subscripts)] = std::string(value);
}

void GtmGlobalStore::Kill(const GlobalRef& ref) {
    Forget();
    if (depth_ == 0) return DbKill(ref.name, ref.subscripts);
    const std::string key = EncodeKey(ref.subscripts);
    if (auto g = sets_.find(ref.name); g != sets_.end()) {
        auto& m = g->second;
        m.erase(m.lower_bound(key), m.lower_bound(key + kAfterChildren));
    }
    auto& killed = kills_[ref.name];
    if (!KilledOver(ref.name, key)) killed.push_back(key);
}

std::optional<std::string> GtmGlobalStore::KeyBetween(const std::string& name,
                                                      const std::string& low,
                                                      const std::string& high, int direction) {
    std::optional<Found> db = DbKeyBetween(name, low, high, direction);
    if (db && inReadCall_ && depth_ == 0 && stepped_.size() < kSteppedNodes)
        stepped_.insert_or_assign(name + '\0' + db->key, std::move(db->value));
    if (depth_ > 0) {
        if (auto g = sets_.find(name); g != sets_.end()) {
            const auto& m = g->second;
            std::optional<std::string> mine;
            if (direction >= 0) {
                auto it = m.upper_bound(low);
                if (it != m.end() && it->first < high) mine = it->first;
            } else {
                auto it = m.lower_bound(high);
                if (it != m.begin() && (--it)->first > low) mine = it->first;
            }
            if (mine && (!db || (direction >= 0 ? *mine <= db->key : *mine >= db->key)))
                return mine;
        }
    }
    if (!db) return std::nullopt;
    return db->key;
}

void GtmGlobalStore::ReadAhead(const GlobalRef& parent, const std::vector<std::string>& children) {
    if (!inReadCall_ || depth_ > 0 || children.empty()) return;
    std::string counted;
    for (const std::string& child : children)
        if (!child.empty()) AppendCounted(counted, child);
    const std::string prefix = CountedSubscripts(parent.subscripts);
    GtmString s = In(prefix), c = In(counted);
    const std::lock_guard hold(runtime_.mutex());
    GtmString o = runtime_.Out(0);
    runtime_.Call(gld_, "vfirsts", parent.name.c_str(), &s, &c, &o);
    // Each child in turn: "0", or "1" with the node's counted name and counted value. A reply
    // cut short at the buffer's end leaves the rest to be asked for one by one.
    std::string_view rest(o.address, static_cast<std::size_t>(o.length));
    const std::string keyOfParent = parent.name + '\0' + EncodeKey(parent.subscripts);
    for (const std::string& child : children) {
        if (child.empty() || rest.empty()) continue;
        std::string key = keyOfParent;
        AppendEncoded(key, child);
        const bool found = rest[0] == '1';
        rest.remove_prefix(1);
        if (!found) {
            firstAfter_[std::move(key)] = std::nullopt;
            continue;
        }
        const auto node = TakeCounted(rest), value = TakeCounted(rest);
        if (!node || !value) break;
        firstAfter_[std::move(key)] = Found{KeyOfName(*node), std::string(*value)};
    }
}

std::vector<std::string> GtmGlobalStore::KeysBetween(const std::string& name,
                                                     const std::string& low,
                                                     const std::string& high, int direction,
                                                     int limit) {
    std::vector<std::string> out;
    if (depth_ == 0) {
        // Outside a transaction: the nodes one after another in one call.
        const bool back = direction < 0;
        const std::string& from = back ? high : low;
        const bool children = EndsAfterChildren(from);
        return KeysInBatches(
            low, high, back, limit,
            DecodeKey(children ? std::string_view(from).substr(0, from.size() - 1) : from),
            children, false, [&](GtmString& s, long flag, long wanted, GtmString& o) {
                runtime_.Call(gld_, "vsteps", name.c_str(), &s, back ? -1L : 1L, flag, wanted, 0L,
                              &o);
            });
    }
    std::string lo = low, hi = high;
    while (static_cast<int>(out.size()) < limit) {
        auto k = KeyBetween(name, lo, hi, direction);
        if (!k) break;
        (direction < 0 ? hi : lo) = *k;
        out.push_back(std::move(*k));
    }
    return out;
}

std::vector<std::string> GtmGlobalStore::EntryKeysBetween(const GlobalRef& root,
                                                          const std::string& low,
                                                          const std::string& high, int direction,
                                                          int limit) {
    const bool back = direction < 0;
    const std::string& from = back ? high : low;
    const bool children = EndsAfterChildren(from);
    Subscripts start =
        DecodeKey(children ? std::string_view(from).substr(0, from.size() - 1) : from);
    const std::size_t depth = root.subscripts.size();
    // Forwards, $QUERY finds the next entry in one step and STEPS is as quick. Backwards, PRV
    // climbs and descends every level for each entry. An entry's key is the start only
    // backwards before it; any other start (inside a transaction, outside the root, deeper than
    // an entry) takes every node's way.
    const bool fromEntry = start.size() == depth + 2;
    if (!back || depth_ > 0 || start.size() < depth || start.size() > depth + 2 ||
        (fromEntry && children == back) ||
        !std::equal(root.subscripts.begin(), root.subscripts.end(), start.begin()))
        return KeysBetween(root.name, low, high, direction, limit);
    return KeysInBatches(low, high, back, limit, std::move(start), children, !back,
                         [&](GtmString& s, long flag, long wanted, GtmString& o) {
                             runtime_.Call(gld_, "ventries", root.name.c_str(), &s,
                                           static_cast<long>(depth), back ? -1L : 1L, flag, wanted,
                                           &o);
                         });
}

std::vector<std::string> GtmGlobalStore::KeysInBatches(
    const std::string& low, const std::string& high, bool back, int limit, Subscripts start,
    bool flag, bool flagOnward,
    const std::function<void(GtmString& s, long flag, long wanted, GtmString& o)>& call) {
    std::vector<std::string> out;
    for (;;) {
        const std::string counted = CountedSubscripts(start);
        GtmString s = In(counted);
        const std::lock_guard hold(runtime_.mutex());
        GtmString o = runtime_.Out(0);
        call(s, flag ? 1L : 0L, limit - static_cast<long>(out.size()), o);
        std::string_view rest(o.address, static_cast<std::size_t>(o.length));
        const std::size_t before = out.size();
        while (const auto node = TakeCounted(rest)) {
            std::string key = KeyOfName(*node);
            if (back ? !(key > low) : !(key < high)) return out;
            out.push_back(std::move(key));
        }
        // A reply that filled the routine's output is asked on from its last key; a shorter one
        // is the range's end.
        const bool filled = o.length > kStepsOutputBytes;
        if (!filled || out.size() == before || static_cast<int>(out.size()) >= limit) return out;
        start = DecodeKey(out.back());
        flag = flagOnward;
    }
}

void GtmGlobalStore::Walk(const GlobalRef& ref,
                          const std::function<bool(const GlobalRef&, const std::string&)>& visit) {
    const std::string key = EncodeKey(ref.subscripts);
    if (auto v = Get(ref); v && !ref.subscripts.empty())
        if (!visit(ref, *v)) return;
    const std::string high = key + kAfterChildren;
    if (depth_ == 0) {
        // Outside a transaction: the nodes with their values, a batch a call-in. A batch stops
        // short of the output buffer: what it leaves is asked for next.
        Subscripts from = ref.subscripts;
        for (;;) {
            const std::string counted = CountedSubscripts(from);
            GtmString s = In(counted);
            std::vector<std::pair<GlobalRef, std::string>> batch;
            {
                const std::lock_guard hold(runtime_.mutex());
                GtmString o = runtime_.Out(0);
                runtime_.Call(gld_, "vsteps", ref.name.c_str(), &s, 1L, 0L, 256L, 1L, &o);
                std::string_view rest(o.address, static_cast<std::size_t>(o.length));
                for (;;) {
                    const auto node = TakeCounted(rest), value = TakeCounted(rest);
                    if (!node || !value) break;
                    std::optional<GlobalRef> found = ParseGtmName(*node);
                    if (!found) throw UnreadableName(*node);
                    batch.emplace_back(std::move(*found), std::string(*value));
                }
            }
            for (const auto& [node, value] : batch) {
                if (!(EncodeKey(node.subscripts) < high)) return;
                if (!visit(node, value)) return;
            }
            if (batch.empty()) return;
            from = batch.back().first.subscripts;
        }
    }
    std::string low = key;
    for (;;) {
        auto k = KeyBetween(ref.name, low, high, 1);
        if (!k) return;
        GlobalRef node{ref.name, DecodeKey(*k)};
        auto v = Get(node);
        if (v && !visit(node, *v)) return;
        low = *k;
    }
}

// Every global of the database, ours included, from the routine's comma-ended list.
std::vector<std::string> GtmGlobalStore::AllGlobalNames() {
    std::vector<std::string> names;
    const std::lock_guard hold(runtime_.mutex());
    GtmString o = runtime_.Out(0);
    runtime_.Call(gld_, "vnames", &o);
    std::string name;
    for (char c : std::string_view(o.address, o.length)) {
        if (c != ',') {
            name += c;
            continue;
        }
        names.push_back(name);
        name.clear();
    }
    return names;
}

std::vector<std::string> GtmGlobalStore::GlobalNames() {
    std::vector<std::string> out;
    for (std::string& name : AllGlobalNames())
        if (name.rfind(kGtmInternalPrefix, 0) != 0) out.push_back(std::move(name));
    return out;
}

void GtmGlobalStore::ClearAll() {
    const std::vector<std::string> names = AllGlobalNames();
    for (const std::string& n : names)
        Kill(GlobalRef{n, {}});
    for (auto& [n, m] : sets_)
        Kill(GlobalRef{n, {}});
}

std::optional<std::string> GtmGlobalStore::Meta(const std::string& key) {
    return Get(GlobalRef{kGtmMetaGlobal, {key}});
}

void GtmGlobalStore::SetMeta(const std::string& key, const std::string& value) {
    Set(GlobalRef{kGtmMetaGlobal, {key}}, value);
}

bool GtmGlobalStore::Lock(const GlobalRef& ref, int seconds) {
    const std::string counted = CountedSubscripts(ref.subscripts);
    GtmString s = In(counted);
    long ok = 0;
    runtime_.Call(gld_, "vlock", ref.name.c_str(), &s, static_cast<long>(seconds), &ok);
    return ok != 0;
}

void GtmGlobalStore::Unlock(const GlobalRef& ref) {
    const std::string counted = CountedSubscripts(ref.subscripts);
    GtmString s = In(counted);
    runtime_.Call(gld_, "vunlock", ref.name.c_str(), &s);
}

void GtmGlobalStore::Begin() {
    stepped_.clear();
    if (depth_++ > 0) return;
    rollbackOnly_ = false;
    sets_.clear();
    kills_.clear();
    std::timed_mutex& writers = ProcessWriters(gld_);
    if (!writers.try_lock_for(std::chrono::seconds(kWriterWaitSeconds))) {
        depth_ = 0;
        throw StoreError("another writer held the database too long");
    }
    try {
        if (!Lock(GlobalRef{"%ZVRNW", {}}, kWriterWaitSeconds))
            throw StoreError("another process held the database's writer lock too long");
    } catch (...) {
        depth_ = 0;
        writers.unlock();
        throw;
    }
}

void GtmGlobalStore::End(bool commit) {
    if (!commit) rollbackOnly_ = true;
    if (--depth_ > 0) return;
    struct Release {
        GtmGlobalStore& store;
        ~Release() {
            store.sets_.clear();
            store.kills_.clear();
            try {
                store.Unlock(GlobalRef{"%ZVRNW", {}});
            } catch (...) {
            }
            ProcessWriters(store.gld_).unlock();
        }
    } release{*this};
    if (rollbackOnly_) {
        if (commit) throw StoreError("an inner transaction failed; nothing was stored");
        return;
    }
    if (sets_.empty() && kills_.empty()) return;
    const std::lock_guard hold(runtime_.mutex());
    try {
        std::string op;
        auto add = [&] {
            GtmString s = In(op);
            runtime_.Call(gld_, "vadd", &s);
        };
        for (const auto& [name, keys] : kills_)
            for (const std::string& key : keys) {
                op = "K";
                AppendCounted(op, name);
                AppendCounted(op, CountedSubscripts(DecodeKey(key)));
                add();
            }
        for (const auto& [name, values] : sets_)
            for (const auto& [key, value] : values) {
                op = "S";
                AppendCounted(op, name);
                AppendCounted(op, CountedSubscripts(DecodeKey(key)));
                op += value;
                add();
            }
        runtime_.Call(gld_, "vcommit");
    } catch (const StoreError& e) {
        try {
            runtime_.Call(gld_, "vdrop");
        } catch (...) {
        }
        throw StoreError(std::string("commit: ") + e.what());
    }
}

}  // namespace vorn::devserver
